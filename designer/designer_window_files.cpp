#include "designer/designer_window.h"

#include "layouts/layout_sheet.h"
#include "roof/roof_sheet.h"
#include "designer/import_dialog.h"
#include "designer/layout_tables.h"
#include "designer/plan_view.h"
#include "dxf/drawing.h"
#include "dxf/layout_drawing.h"
#include "project/project_file.h"
#include "rendering/sheet_rendering.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QCloseEvent>
#include <QDate>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonValue>
#include <QMimeData>
#include <QPrinter>
#include <QStatusBar>

#include <cmath>
#include <variant>

// The layout's file, new, opened and saved with the view it was left in, and its calculation
// sheet exported, printed and copied.
namespace designer {

namespace {

const QString kFileFilter = QStringLiteral("防雷布置文件 (*.lplayout)");
const QString kViewKey = QStringLiteral("view");
const QString kHeightKey = QStringLiteral("height");
const QString kSectionKey = QStringLiteral("section");

// "section": [[x, y], [x, y]] under "view", when it holds two finite points.
SectionLine sectionFrom(const QJsonObject &view)
{
    const QJsonArray ends = view.value(kSectionKey).toArray();
    if (ends.size() != 2) return std::nullopt;
    double v[4];
    for (int i = 0; i < 4; ++i) {
        const QJsonValue value = ends.at(i / 2).toArray().at(i % 2);
        if (!value.isDouble() || !std::isfinite(value.toDouble()) ||
            std::abs(value.toDouble()) > kMaxCoordinate)
            return std::nullopt;
        v[i] = value.toDouble();
    }
    return std::pair{calc::drawing::Vec2{v[0], v[1]}, calc::drawing::Vec2{v[2], v[3]}};
}

} // namespace

calc::layout::Layout emptyLayout() { return calc::layout::Layout{45, {}, {}}; }

bool DesignerWindow::maybeSave()
{
    if (!document_.isModified()) return true;
    switch (askToSave(QStringLiteral("布置已修改，是否保存？"))) {
    case QMessageBox::Save:
        return save();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void DesignerWindow::newLayout()
{
    if (!maybeSave()) return;
    sectionLine_.reset();
    plan_->showSectionLine(sectionLine_);
    document_.reset(emptyLayout());
    path_.clear();
    otherKeys_ = {};
    statusBar()->clearMessage();
}

void DesignerWindow::open()
{
    if (!maybeSave()) return;
    const QString path =
        chooseFile(QStringLiteral("打开布置"), QFileInfo(path_).path(), kFileFilter, false);
    if (!path.isEmpty()) openFile(path);
}

bool DesignerWindow::openFile(const QString &path)
{
    if (!maybeSave()) return false;
    const lplayout::LoadResult loaded = lplayout::loadProject(path);
    if (!loaded.file) {
        showProblem(
            QStringLiteral("不能打开 %1：\n%2").arg(QFileInfo(path).fileName(), loaded.error));
        return false;
    }
    otherKeys_ = loaded.file->otherKeys;
    path_ = path;
    fitted_ = false;
    const QJsonObject view = otherKeys_.value(kViewKey).toObject();
    const double height = view.value(kHeightKey).toDouble(0);
    sectionLine_ = sectionFrom(view);
    plan_->showSectionLine(sectionLine_);
    height_->blockSignals(true);
    height_->setValue(std::isfinite(height) ? height : 0);
    height_->blockSignals(false);
    document_.reset(loaded.file->layout, loaded.file->drawing);
    // The whole site in view at once, and again with the protected area once it is known.
    plan_->fitLayout();
    statusBar()->showMessage(QFileInfo(path).fileName());
    return true;
}

void DesignerWindow::commitTyping()
{
    // A number typed into a box takes effect when the box is left or Enter is pressed, a cell's
    // text when its editor closes: a shortcut does neither.
    QWidget *focused = QApplication::focusWidget();
    if (!focused || !isAncestorOf(focused)) return;
    if (auto *box = qobject_cast<QAbstractSpinBox *>(focused)) {
        box->interpretText();
        return;
    }
    // A cell's editor lies inside its table; leaving it puts its text in.
    for (QWidget *w = focused->parentWidget(); w; w = w->parentWidget())
        if (qobject_cast<QAbstractItemView *>(w)) {
            focused->clearFocus();
            return;
        }
}

bool DesignerWindow::saveTo(const QString &path)
{
    commitTyping();
    QJsonObject view = otherKeys_.value(kViewKey).toObject();
    view.insert(kHeightKey, planHeight());
    if (sectionLine_)
        view.insert(kSectionKey,
                    QJsonArray{QJsonArray{sectionLine_->first.x, sectionLine_->first.y},
                               QJsonArray{sectionLine_->second.x, sectionLine_->second.y}});
    else
        view.remove(kSectionKey);
    otherKeys_.insert(kViewKey, view);
    QString error;
    if (!lplayout::saveProject(path, {document_.layout(), document_.drawingPlace(), otherKeys_},
                               &error)) {
        showProblem(QStringLiteral("不能保存 %1：\n%2").arg(QFileInfo(path).fileName(), error));
        return false;
    }
    path_ = path;
    document_.markSaved();
    statusBar()->showMessage(QFileInfo(path).fileName());
    return true;
}

bool DesignerWindow::save() { return path_.isEmpty() ? saveAs() : saveTo(path_); }

bool DesignerWindow::saveAs()
{
    QString path =
        chooseFile(QStringLiteral("保存布置"),
                   path_.isEmpty() ? QStringLiteral("布置.lplayout") : path_, kFileFilter, true);
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".lplayout");
    return saveTo(path);
}

calc::sheet::Sheet DesignerWindow::sheet() const
{
    const std::string date = QDate::currentDate().toString(Qt::ISODate).toStdString();
    if (resultsCurrent() && results_.verdicts.size() == document_.layout().objects.size()) {
        calc::sheet::Sheet sheet =
            calc::layoutSheet(document_.layout(), results_.verdicts, planHeight(), date);
        // The section drawn on the plan goes with the sheet's own.
        if (results_.section && !sheet.error) sheet.drawing.views.push_back(*results_.section);
        if (results_.roofs && !sheet.error)
            calc::roof::addRoofSections(sheet, document_.layout(), *results_.roofs,
                                        results_.protections, results_.verdicts);
        return sheet;
    }
    return calc::roof::layoutSheetWithRoofs(document_.layout(), planHeight(), date);
}

void DesignerWindow::exportPdf()
{
    commitTyping();
    const QString path =
        chooseFile(QStringLiteral("导出计算书"), QStringLiteral("防雷布置计算书.pdf"),
                   QStringLiteral("PDF (*.pdf)"), true);
    if (path.isEmpty()) return;
    const QString error = rendering::writeSheetPdf(sheet(), path);
    if (!error.isEmpty()) showProblem(error);
}

void DesignerWindow::exportDxf()
{
    commitTyping();
    const QString path = chooseFile(QStringLiteral("导出DXF"), QStringLiteral("防雷布置.dxf"),
                                    QStringLiteral("DXF (*.dxf)"), true);
    if (path.isEmpty()) return;
    const calc::layout::Layout &layout = document_.layout();
    // The verdicts on the screen when they are final; else worked out now, so that the drawing
    // never carries a verdict still being refined.
    const std::vector<calc::layout::ObjectVerdict> verdicts =
        resultsCurrent() && results_.stage == Stage::Exact &&
                results_.verdicts.size() == layout.objects.size()
            ? results_.verdicts
            : calc::layout::checkObjects(layout);
    const std::string date = QDate::currentDate().toString(Qt::ISODate).toStdString();
    QString error;
    if (!dxf::writeLayoutDrawing(path, layout, verdicts, sectionLine_, document_.drawingPlace(),
                                 date, &error))
        showProblem(error);
}

void DesignerWindow::importDxf()
{
    const QString path = chooseFile(QStringLiteral("导入DXF"), QFileInfo(path_).path(),
                                    QStringLiteral("DXF 图形 (*.dxf)"), false);
    if (path.isEmpty()) return;
    const calc::layout::Layout before = document_.layout();
    // The drawing read, and read again whenever the dialog asks for another code page.
    dxf::ReadOptions reading;
    std::optional<dxf::SiteImport> imported;
    for (;;) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const dxf::ReadResult read = dxf::loadDrawing(path, reading);
        QApplication::restoreOverrideCursor();
        if (!read.drawing) {
            showProblem(
                QStringLiteral("不能导入 %1：\n%2").arg(QFileInfo(path).fileName(), read.error));
            return;
        }
        ImportDialog dialog(*read.drawing, before, document_.drawingPlace(), this);
        dialog.setWindowTitle(QStringLiteral("导入DXF — ") + QFileInfo(path).fileName());
        const int result = dialog.exec();
        if (result == ImportDialog::kReread) {
            reading.encoding = dialog.rereadWith();
            continue;
        }
        if (result != QDialog::Accepted || !dialog.imported()) return;
        imported = dialog.imported();
        break;
    }

    // Added to what is there, with the drawing's place, as one edit: undo takes back both.
    const dxf::SiteImport &site = *imported;
    calc::layout::Layout after = before;
    after.objects.insert(after.objects.end(), site.objects.begin(), site.objects.end());
    after.conductors.insert(after.conductors.end(), site.conductors.begin(), site.conductors.end());
    document_.edit(QStringLiteral("导入DXF"), after, site.place);
    // The whole site in view, and again with the protected area once it is worked out.
    plan_->fitLayout();
    fitted_ = false;
    std::size_t rods = 0;
    for (const auto &c : site.conductors) rods += std::holds_alternative<calc::layout::Rod>(c);
    statusBar()->showMessage(QStringLiteral("从 %1 导入 %2 个被保护物、%3 根避雷针、%4 段避雷线")
                                 .arg(QFileInfo(path).fileName())
                                 .arg(site.objects.size())
                                 .arg(rods)
                                 .arg(site.conductors.size() - rods));
}

void DesignerWindow::printSheet()
{
    const calc::sheet::Sheet s = sheet();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QString::fromStdString(s.title));
    if (!setUpPrinter(printer)) return;
    rendering::paintSheetPages(s, printer);
    if (printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted)
        showProblem(QStringLiteral("计算书未能打印。"));
}

void DesignerWindow::copySheet()
{
    commitTyping();
    const calc::sheet::Sheet s = sheet();
    const QImage image = rendering::drawingImage(s.drawing, QSize(900, 700));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    auto *mime = new QMimeData;
    mime->setHtml(rendering::sheetHtml(s, QStringLiteral("data:image/png;base64,") +
                                              QString::fromLatin1(png.toBase64())));
    mime->setText(QString::fromStdString(calc::sheet::plainText(s)));
    mime->setImageData(image);
    QApplication::clipboard()->setMimeData(mime);
}

void DesignerWindow::closeEvent(QCloseEvent *event)
{
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

} // namespace designer
