#include "designer/import_dialog.h"

#include "designer/import_preview.h"
#include "dxf/site_layers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace designer {

namespace {

using Units = lplayout::DrawingPlace::Units;

enum Column { Building, Name, FirstCount };

QDoubleSpinBox *heightBox(const QString &objectName, double value)
{
    auto *box = new QDoubleSpinBox;
    box->setObjectName(objectName);
    box->setRange(0.1, lplayout::kMaxHeight);
    box->setDecimals(2);
    box->setSingleStep(1);
    box->setSuffix(QStringLiteral(" m"));
    box->setValue(value);
    return box;
}

QTableWidgetItem *countItem(std::uint64_t count)
{
    auto *item = new QTableWidgetItem;
    item->setData(Qt::DisplayRole, QVariant::fromValue<qulonglong>(count));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (count == 0) item->setForeground(QColor(160, 160, 160));
    return item;
}

QString legendEntry(const QColor &colour, const QString &what)
{
    return QStringLiteral("<span style=\"color:%1\">■</span> %2").arg(colour.name(), what);
}

} // namespace

ImportDialog::ImportDialog(const dxf::Drawing &drawing, const calc::layout::Layout &current,
                           const std::optional<lplayout::DrawingPlace> &place, QWidget *parent)
    : QDialog(parent), drawing_(drawing), current_(current), place_(place)
{
    setObjectName(QStringLiteral("importDialog"));
    setWindowTitle(QStringLiteral("导入DXF"));

    const std::vector<dxf::LayerSummary> summaries = dxf::layerSummaries(drawing);
    const auto &columns = dxf::countColumns();
    layers_ = new QTableWidget(int(summaries.size()), FirstCount + int(columns.size()));
    layers_->setObjectName(QStringLiteral("importLayers"));
    QStringList headings{QStringLiteral("建筑物"), QStringLiteral("图层")};
    for (const dxf::CountColumn &c : columns) headings << QString::fromUtf8(c.title);
    layers_->setHorizontalHeaderLabels(headings);
    layers_->horizontalHeaderItem(Building)->setToolTip(
        QStringLiteral("勾选的图层上的闭合轮廓、填充，以及能连成闭合的直线、圆弧作为建筑物"
                       "（被保护物）导入"));
    for (int i = 0; i < int(columns.size()); ++i)
        layers_->horizontalHeaderItem(FirstCount + i)
            ->setToolTip(QString::fromUtf8(columns[std::size_t(i)].tooltip));
    layers_->verticalHeader()->hide();
    layers_->setSelectionBehavior(QAbstractItemView::SelectRows);
    layers_->setSelectionMode(QAbstractItemView::SingleSelection);
    layers_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layers_->setWordWrap(false);
    for (int row = 0; row < int(summaries.size()); ++row) {
        const dxf::LayerSummary &s = summaries[std::size_t(row)];
        auto *tick = new QTableWidgetItem;
        tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        tick->setCheckState(Qt::Unchecked);
        tick->setToolTip(QStringLiteral("图层「%1」的闭合轮廓是建筑物").arg(s.name));
        layers_->setItem(row, Building, tick);
        auto *name = new QTableWidgetItem(s.name);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (!s.shown) {
            name->setForeground(QColor(128, 128, 128));
            name->setToolTip(QStringLiteral("此图层在图中关闭或冻结"));
        }
        layers_->setItem(row, Name, name);
        for (int i = 0; i < int(columns.size()); ++i)
            layers_->setItem(row, FirstCount + i,
                             countItem(s.counts.*columns[std::size_t(i)].count));
    }
    layers_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layers_->horizontalHeader()->setSectionResizeMode(Name, QHeaderView::Stretch);
    layers_->verticalHeader()->setDefaultSectionSize(24);

    preview_ = new ImportPreview(drawing);
    preview_->setObjectName(QStringLiteral("importPreview"));
    auto *legend = new QLabel(
        QStringList{legendEntry(ImportPreview::buildingColour(), QStringLiteral("建筑物")),
                    legendEntry(ImportPreview::rodColour(), QStringLiteral("避雷针")),
                    legendEntry(ImportPreview::wireColour(), QStringLiteral("避雷线")),
                    legendEntry(ImportPreview::leftOutColour(), QStringLiteral("未导入")),
                    legendEntry(QColor(176, 176, 176), QStringLiteral("其他图层"))}
            .join(QStringLiteral("&nbsp;&nbsp;&nbsp;")));
    legend->setTextFormat(Qt::RichText);
    extent_ = new QLabel;
    extent_->setObjectName(QStringLiteral("importExtent"));
    auto *picture = new QWidget;
    auto *pictureColumn = new QVBoxLayout(picture);
    pictureColumn->setContentsMargins(0, 0, 0, 0);
    pictureColumn->addWidget(new QLabel(QStringLiteral("预览")));
    pictureColumn->addWidget(preview_, 1);
    pictureColumn->addWidget(extent_);
    pictureColumn->addWidget(legend);
    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("importSummary"));
    summary_->setWordWrap(true);
    report_ = new QListWidget;
    report_->setObjectName(QStringLiteral("importReport"));
    report_->setWordWrap(true);
    report_->setToolTip(QStringLiteral("未导入和经过修补的轮廓，以及其他说明"));
    pictureColumn->addWidget(summary_);
    pictureColumn->addWidget(report_);

    auto *left = new QWidget;
    auto *leftColumn = new QVBoxLayout(left);
    leftColumn->setContentsMargins(0, 0, 0, 0);
    leftColumn->addWidget(new QLabel(QStringLiteral("图层（勾选其闭合轮廓为建筑物的图层）")));
    leftColumn->addWidget(layers_, 1);
    leftColumn->addWidget(buildChoices());
    leftColumn->addWidget(buildReading());

    auto *splitter = new QSplitter;
    splitter->addWidget(left);
    splitter->addWidget(picture);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setText(QStringLiteral("导入"));
    ok_->setObjectName(QStringLiteral("importOk"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ImportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ImportDialog::reject);

    auto *column = new QVBoxLayout(this);
    column->addWidget(splitter, 1);
    column->addWidget(buttons);
    // Only once every control is there: filling the combo boxes already signals a change.
    connect(layers_, &QTableWidget::itemChanged, this, &ImportDialog::choiceChanged);
    for (QComboBox *box : {rods_, wires_, tapes_, meshes_, downs_})
        connect(box, &QComboBox::currentIndexChanged, this, &ImportDialog::choiceChanged);
    connect(units_, &QComboBox::currentIndexChanged, this, &ImportDialog::showExtent);
    // What an import would do, worked out once the choice has rested a moment.
    trial_ = new QTimer(this);
    trial_->setSingleShot(true);
    trial_->setInterval(150);
    connect(trial_, &QTimer::timeout, this, &ImportDialog::showTrial);
    connect(units_, &QComboBox::currentIndexChanged, trial_, qOverload<>(&QTimer::start));
    for (QDoubleSpinBox *box : {objectHeight_, joinTolerance_, storeyHeight_, parapet_})
        connect(box, &QDoubleSpinBox::valueChanged, trial_, qOverload<>(&QTimer::start));
    connect(bareMetres_, &QCheckBox::toggled, trial_, qOverload<>(&QTimer::start));
    connect(codePage_, &QComboBox::currentIndexChanged, this, &ImportDialog::codePageChosen);
    choiceChanged();
    resize(1180, 720);
}

QComboBox *ImportDialog::layerChoice(const QString &objectName)
{
    auto *box = new QComboBox;
    box->setObjectName(objectName);
    box->addItem(QStringLiteral("（无）"), -1);
    for (std::size_t i = 0; i < drawing_.layers.size(); ++i)
        box->addItem(drawing_.layers[i].name, int(i));
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(12);
    return box;
}

QWidget *ImportDialog::buildChoices()
{
    auto *choices = new QWidget;
    auto *form = new QFormLayout(choices);
    form->setContentsMargins(0, 0, 0, 0);
    rods_ = layerChoice(QStringLiteral("importRodsLayer"));
    rods_->setToolTip(QStringLiteral("此图层上的点、圆（取圆心）和块参照作为避雷针导入"));
    form->addRow(QStringLiteral("避雷针图层"), rods_);
    wires_ = layerChoice(QStringLiteral("importWiresLayer"));
    wires_->setToolTip(QStringLiteral("此图层上的直线和多段线，每段作为一根避雷线导入"));
    form->addRow(QStringLiteral("避雷线图层"), wires_);
    // The roof network: its lines take the height of the roof they lie on, its marks become
    // conductors from the roof down.
    tapes_ = layerChoice(QStringLiteral("importTapeLayer"));
    meshes_ = layerChoice(QStringLiteral("importMeshLayer"));
    const QString roofTip = QStringLiteral(
        "此图层上的直线和多段线，每段作为屋面接闪导体导入，高度取其所在屋面加接闪带高出屋面的高度");
    tapes_->setToolTip(roofTip);
    meshes_->setToolTip(roofTip);
    form->addRow(QStringLiteral("接闪带图层"), tapes_);
    form->addRow(QStringLiteral("接闪网图层"), meshes_);
    downs_ = layerChoice(QStringLiteral("importDownLayer"));
    downs_->setToolTip(QStringLiteral(
        "此图层上的点、圆和块参照，每个作为一根引下线，自所在屋面引至下层屋面或地面"));
    form->addRow(QStringLiteral("引下线图层"), downs_);
    tapeHeight_ = new QDoubleSpinBox;
    tapeHeight_->setObjectName(QStringLiteral("importTapeHeight"));
    tapeHeight_->setRange(0, calc::roof::kRoofConductorRise);
    tapeHeight_->setDecimals(2);
    tapeHeight_->setSingleStep(0.05);
    tapeHeight_->setSuffix(QStringLiteral(" m"));
    tapeHeight_->setValue(calc::roof::kDefaultTapeHeight);
    form->addRow(QStringLiteral("接闪带高出屋面"), tapeHeight_);

    units_ = new QComboBox;
    units_->setObjectName(QStringLiteral("importUnits"));
    for (const Units u : {Units::Millimetres, Units::Centimetres, Units::Metres})
        units_->addItem(lplayout::unitsName(u), int(u));
    const std::optional<Units> header = dxf::headerUnits(drawing_);
    const Units shown = place_ ? place_->units : header.value_or(Units::Millimetres);
    units_->setCurrentIndex(units_->findData(int(shown)));
    QString note;
    if (place_) {
        // The layout already lies in this drawing's units: what is added must line up with it.
        units_->setEnabled(false);
        note = QStringLiteral("沿用当前布置所在图形的单位");
    } else if (header) {
        note = QStringLiteral("图中所记（$INSUNITS）");
    } else if (drawing_.insUnits != 0) {
        note = QStringLiteral("图中所记单位（$INSUNITS = %1）不是毫米、厘米或米，请核对")
                   .arg(drawing_.insUnits);
    } else {
        note = QStringLiteral("图中未记单位，请核对");
    }
    auto *unitsRow = new QHBoxLayout;
    unitsRow->addWidget(units_);
    auto *unitsNote = new QLabel(note);
    unitsNote->setObjectName(QStringLiteral("importUnitsNote"));
    unitsNote->setWordWrap(true);
    unitsRow->addWidget(unitsNote, 1);
    form->addRow(QStringLiteral("图形单位"), unitsRow);

    objectHeight_ = heightBox(QStringLiteral("importObjectHeight"), calc::layout::kNewObjectHeight);
    rodHeight_ = heightBox(QStringLiteral("importRodHeight"), calc::layout::kNewRodHeight);
    wireHeight_ = heightBox(QStringLiteral("importWireHeight"), calc::layout::kNewWireHeight);
    const QString fallback = QStringLiteral("图中未给出高度（标高、厚度或高度注记）时取此高度");
    for (QDoubleSpinBox *box : {objectHeight_, rodHeight_, wireHeight_}) box->setToolTip(fallback);
    form->addRow(QStringLiteral("建筑物默认高度"), objectHeight_);
    form->addRow(QStringLiteral("避雷针默认高度"), rodHeight_);
    form->addRow(QStringLiteral("避雷线默认高度"), wireHeight_);

    useUnits_ = new QPushButton;
    useUnits_->setObjectName(QStringLiteral("importUseUnits"));
    useUnits_->hide();
    unitsRow->addWidget(useUnits_);
    return choices;
}

dxf::SiteChoice ImportDialog::choice() const
{
    dxf::SiteChoice c;
    for (int row = 0; row < layers_->rowCount(); ++row)
        if (layers_->item(row, Building)->checkState() == Qt::Checked)
            c.buildings << layers_->item(row, Name)->text();
    if (rods_->currentIndex() > 0) c.rods = rods_->currentText();
    if (wires_->currentIndex() > 0) c.wires = wires_->currentText();
    for (QComboBox *box : {tapes_, meshes_})
        if (box->currentIndex() > 0 && !c.roofConductors.contains(box->currentText()))
            c.roofConductors << box->currentText();
    if (downs_->currentIndex() > 0) c.downConductors = downs_->currentText();
    c.tapeHeight = tapeHeight_->value();
    c.units = Units(units_->currentData().toInt());
    c.objectHeight = objectHeight_->value();
    c.rodHeight = rodHeight_->value();
    c.wireHeight = wireHeight_->value();
    c.joinTolerance = joinTolerance_->value();
    c.heights.storeyHeight = storeyHeight_->value();
    c.heights.parapet = parapet_->value();
    c.heights.bareMetres = bareMetres_->isChecked();
    c.place = place_;
    return c;
}

void ImportDialog::choiceChanged()
{
    QSet<std::uint32_t> buildings;
    for (int row = 0; row < layers_->rowCount(); ++row)
        if (layers_->item(row, Building)->checkState() == Qt::Checked)
            buildings.insert(std::uint32_t(row));
    const int rods = rods_->currentData().toInt(), wires = wires_->currentData().toInt();
    preview_->setHighlight(buildings, rods, wires);
    const bool chosen = !buildings.isEmpty() || rods >= 0 || wires >= 0 ||
                        tapes_->currentIndex() > 0 || meshes_->currentIndex() > 0 ||
                        downs_->currentIndex() > 0;
    ok_->setEnabled(chosen);
    showExtent();
    trial_->start();
}

void ImportDialog::showExtent()
{
    // In metres by the units chosen: a site of 0.1 m or 100 km says the units are wrong.
    const QSizeF size = preview_->fittedExtent();
    const double metres = lplayout::metresPerUnit(Units(units_->currentData().toInt()));
    const double width = size.width() * metres, height = size.height() * metres;
    if (preview_->isEmpty() || !std::isfinite(width) || !std::isfinite(height)) {
        extent_->clear();
        return;
    }
    const int decimals = std::max(width, height) < 100 ? 1 : 0;
    const auto text = [decimals](double m) { return QString::number(m, 'f', decimals); };
    extent_->setText(
        QStringLiteral("%1范围：约 %2 m × %3 m")
            .arg(preview_->fittedToChoice() ? QStringLiteral("所选图层的") : QStringLiteral("全图"),
                 text(width), text(height)));
}

void ImportDialog::accept()
{
    if (!ok_->isEnabled()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    dxf::SiteResult taken = dxf::importSite(drawing_, choice(), current_);
    QApplication::restoreOverrideCursor();
    if (!taken.site) {
        QMessageBox::warning(this, QStringLiteral("导入DXF"),
                             QStringLiteral("不能导入：\n") + taken.error);
        return;
    }
    imported_ = std::move(taken.site);
    QDialog::accept();
}

} // namespace designer
