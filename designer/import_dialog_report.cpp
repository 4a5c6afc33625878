// The import dialog's reading controls (code page, join tolerance, storeys) and its trial of
// the import: what would come in, what would be left out or mended, each building's height.
#include "designer/import_dialog.h"

#include "designer/import_preview.h"
#include "dxf/code_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace designer {

namespace {

QDoubleSpinBox *metresBox(const QString &objectName, double least, double most, double value,
                          int decimals)
{
    auto *box = new QDoubleSpinBox;
    box->setObjectName(objectName);
    box->setRange(least, most);
    box->setDecimals(decimals);
    box->setSingleStep(decimals > 2 ? 0.001 : 0.1);
    box->setSuffix(QStringLiteral(" m"));
    box->setValue(value);
    return box;
}

// The code pages one can choose, by the decoder's name; the first is the drawing's own.
struct PageChoice {
    const char *encoding;
    const char *label;
};
constexpr PageChoice kPages[] = {
    {"", nullptr},
    {"GBK", "GBK（ANSI_936）"},
    {"Shift_JIS", "Shift-JIS（ANSI_932）"},
    {"Big5", "Big5（ANSI_950）"},
    {"windows-1252", "ANSI_1252"},
    {"UTF-8", "UTF-8"},
};

QString heightTag(const calc::layout::Object &o, const dxf::HeightSource &h)
{
    QString text = QStringLiteral("%1 m").arg(o.height, 0, 'f', 1);
    switch (h.from) {
    case dxf::HeightSource::From::Text:
        text += QStringLiteral("（%1）").arg(h.text);
        break;
    case dxf::HeightSource::From::Elevation:
        text += QStringLiteral("（标高）");
        break;
    case dxf::HeightSource::From::Default:
        text += QStringLiteral("（默认）");
        break;
    }
    if (h.disagree) text += QStringLiteral(" 注记不一致");
    return text;
}

} // namespace

QWidget *ImportDialog::buildReading()
{
    auto *reading = new QWidget;
    auto *form = new QFormLayout(reading);
    form->setContentsMargins(0, 0, 0, 0);

    codePage_ = new QComboBox;
    codePage_->setObjectName(QStringLiteral("importCodePage"));
    const QString own = dxf::codePageName(drawing_.encoding);
    for (const PageChoice &p : kPages)
        codePage_->addItem(p.label ? QString::fromUtf8(p.label)
                                   : QStringLiteral("图中的（%1）").arg(own),
                           QString::fromLatin1(p.encoding));
    if (drawing_.encodingFrom == dxf::Drawing::EncodingFrom::Given)
        codePage_->setCurrentIndex(
            std::max(0, codePage_->findData(QString::fromStdString(drawing_.encoding))));
    codePage_->setToolTip(QStringLiteral("图中文字（图层名、注记）的代码页；选择另一个时重新读图"));
    auto *pageRow = new QHBoxLayout;
    pageRow->addWidget(codePage_);
    auto *pageNote = new QLabel(dxf::codePageNote(drawing_));
    pageNote->setObjectName(QStringLiteral("importCodePageNote"));
    pageNote->setWordWrap(true);
    pageRow->addWidget(pageNote, 1);
    form->addRow(QStringLiteral("代码页"), pageRow);

    joinTolerance_ =
        metresBox(QStringLiteral("importJoinTolerance"), 0.0001, dxf::kMaxJoinTolerance, 0.001, 4);
    joinTolerance_->setToolTip(QStringLiteral(
        "端点相距不超过此值的直线、圆弧连成建筑物轮廓，相距不超过其千分之一的角点合并"));
    form->addRow(QStringLiteral("连接容差"), joinTolerance_);
    storeyHeight_ =
        metresBox(QStringLiteral("importStoreyHeight"), 0.1, dxf::kMaxStoreyHeight, 3.0, 2);
    parapet_ = metresBox(QStringLiteral("importParapet"), 0, dxf::kMaxParapet, 1.2, 2);
    const QString rule =
        QStringLiteral("层数注记（6F、6层、18+1F 等）的高度 = 层数 × 层高 + 女儿墙高度");
    storeyHeight_->setToolTip(rule);
    parapet_->setToolTip(rule);
    auto *storeyRow = new QHBoxLayout;
    storeyRow->addWidget(storeyHeight_);
    storeyRow->addWidget(new QLabel(QStringLiteral("女儿墙")));
    storeyRow->addWidget(parapet_);
    form->addRow(QStringLiteral("层高"), storeyRow);
    bareMetres_ = new QCheckBox(QStringLiteral("轮廓内单独的整数是高度（米），不是层数"));
    bareMetres_->setObjectName(QStringLiteral("importBareMetres"));
    bareMetres_->setToolTip(
        QStringLiteral("按总图制图标准，建筑物轮廓内（右上角）单独的整数是层数；有的图用它写高度"));
    form->addRow(QString(), bareMetres_);
    return reading;
}

void ImportDialog::codePageChosen()
{
    reread_ = codePage_->currentData().toString().toStdString();
    done(kReread);
}

void ImportDialog::showTrial()
{
    report_->clear();
    useUnits_->hide();
    const dxf::SiteChoice c = choice();
    if (!ok_->isEnabled()) {
        summary_->clear();
        preview_->setReport({}, {});
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const dxf::SiteResult trial = dxf::importSite(drawing_, c, current_);
    QApplication::restoreOverrideCursor();
    if (!trial.site) {
        // The first line says why; any further ones are the outlines left out.
        const QStringList lines = trial.error.split(QLatin1Char('\n'));
        summary_->setText(QStringLiteral("不能导入：") + lines.first());
        for (qsizetype i = 1; i < lines.size(); ++i) report_->addItem(lines[i]);
        preview_->setReport({}, {});
        return;
    }
    const dxf::SiteImport &site = *trial.site;
    summary_->setText(dxf::importSummary(site));
    std::vector<QPolygonF> leftOut;
    for (const dxf::ImportNote &note : site.notes) {
        auto *item = new QListWidgetItem(note.text, report_);
        if (note.kind == dxf::ImportNote::Kind::LeftOut) {
            item->setForeground(ImportPreview::leftOutColour());
            QPolygonF p;
            for (const dxf::DrawingPoint &k : note.where) p << QPointF(k.x, k.y);
            leftOut.push_back(p);
        } else if (note.kind == dxf::ImportNote::Kind::Mended) {
            item->setForeground(QColor(150, 100, 0));
        }
    }
    std::vector<ImportPreview::Tag> tags;
    for (std::size_t i = 0; i < site.objects.size() && i < site.heights.size(); ++i) {
        const auto &o = site.objects[i];
        double x = 0, y = 0;
        for (const auto &k : o.footprint)
            x += k.x / double(o.footprint.size()), y += k.y / double(o.footprint.size());
        const dxf::DrawingPoint at = dxf::toDrawing(site.place, x, y);
        tags.push_back(
            {QPointF(at.x, at.y), heightTag(o, site.heights[i]), site.heights[i].disagree});
    }
    preview_->setReport(std::move(leftOut), std::move(tags));
    // Buildings a millimetre across, or a site a hundred kilometres wide: the units that fit.
    if (site.unitsImplausible && !site.unitsThatFit.empty() && units_->isEnabled()) {
        const auto fit = site.unitsThatFit.front();
        useUnits_->setText(QStringLiteral("改用 %1").arg(lplayout::unitsName(fit)));
        useUnits_->disconnect();
        connect(useUnits_, &QPushButton::clicked, this,
                [this, fit] { units_->setCurrentIndex(units_->findData(int(fit))); });
        useUnits_->show();
    }
}

} // namespace designer
