#include "designer/designer_window.h"
#include "designer/import_dialog.h"
#include "designer/import_preview.h"
#include "designer/plan_view.h"
#include "project/project_file.h"

#include "../quiet_platform.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>
#include <variant>

// 文件 → 导入DXF… driven as the user does: the file chosen, the layers ticked and picked in
// the dialog (modal, as it runs for the user), 导入, and the edit undone and redone.
using calc::layout::Layout;
using calc::layout::Object;
using calc::layout::Rod;
using calc::layout::Wire;
using designer::DesignerWindow;
using designer::ImportDialog;
using lplayout::DrawingPlace;

namespace {

const QString kSmall = QStringLiteral(LPCALC_TEST_EXAMPLES "/small.dxf");

// A drawing written here: a square, a bow tie (its outline crosses itself) and an open
// polyline, each on a layer of its own, with the header's units when given.
QByteArray drawing(std::optional<int> insUnits)
{
    QByteArray text = "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n";
    if (insUnits) text += "9\n$INSUNITS\n70\n" + QByteArray::number(*insUnits) + "\n";
    text += "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
    const auto polyline = [&](const char *handle, const char *layer, bool closed,
                              std::initializer_list<std::pair<int, int>> corners) {
        text += QByteArray("0\nLWPOLYLINE\n5\n") + handle + "\n8\n" + layer + "\n90\n" +
                QByteArray::number(qsizetype(corners.size())) + "\n70\n" + (closed ? "1" : "0") +
                "\n";
        for (const auto &[x, y] : corners)
            text += "10\n" + QByteArray::number(x) + "\n20\n" + QByteArray::number(y) + "\n";
    };
    polyline("2A", "SQUARE", true, {{0, 0}, {8000, 0}, {8000, 8000}, {0, 8000}});
    polyline("2B", "BOWTIE", true, {{20000, 0}, {30000, 10000}, {30000, 0}, {20000, 10000}});
    polyline("2C", "OPEN", false, {{40000, 0}, {45000, 0}, {45000, 5000}});
    text += "0\nENDSEC\n0\nEOF\n";
    return text;
}

QString write(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return {};
    return path;
}

template <typename T>
T *child(QWidget &parent, const char *name)
{
    return parent.findChild<T *>(QString::fromLatin1(name));
}

int rowOf(QTableWidget &table, const QString &layer)
{
    for (int row = 0; row < table.rowCount(); ++row)
        if (table.item(row, 1)->text() == layer) return row;
    return -1;
}

// Ticks the layers whose closed outlines are to be buildings; false when one is not listed.
bool tick(ImportDialog &d, const QStringList &layers)
{
    auto *table = child<QTableWidget>(d, "importLayers");
    for (const QString &layer : layers) {
        const int row = table ? rowOf(*table, layer) : -1;
        if (row < 0) return false;
        table->item(row, 0)->setCheckState(Qt::Checked);
    }
    return true;
}

bool pick(ImportDialog &d, const char *combo, const QString &layer)
{
    auto *box = child<QComboBox>(d, combo);
    const int index = box ? box->findText(layer) : -1;
    if (index < 0) return false;
    box->setCurrentIndex(index);
    return true;
}

QPushButton *okButton(ImportDialog &d) { return child<QPushButton>(d, "importOk"); }

// Pixels of the preview drawn in the building colour or near it (its lines are antialiased).
int buildingPixels(ImportDialog &d)
{
    const QImage image = child<QWidget>(d, "importPreview")->grab().toImage();
    const QColor want = designer::ImportPreview::buildingColour();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::abs(c.red() - want.red()) < 40 &&
                     std::abs(c.green() - want.green()) < 40 &&
                     std::abs(c.blue() - want.blue()) < 40;
        }
    return count;
}

const Layout kHandDrawn{45, {Rod{0, 0, 20}}, {Object{"建筑物4", {{2, 2}, {6, 2}, {6, 6}}, 5}}};

} // namespace

class DesignerImportTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<DesignerWindow> window;
    QStringList problems; // the window's messages
    QStringList boxes;    // message boxes shown over the dialog, closed as they come
    QTimer boxWatch, dialogWatch;
    std::function<void(ImportDialog &)> drive;
    bool dialogSeen = false;
    QString chosen; // the file the file dialog gives

    DesignerWindow &w() { return *window; }

    // Chooses 导入DXF with the file, and runs `how` on the dialog once it is open.
    void importWith(const QString &path, std::function<void(ImportDialog &)> how)
    {
        chosen = path;
        drive = std::move(how);
        dialogSeen = false;
        dialogWatch.start();
        w().findChild<QAction *>(QStringLiteral("importDxfAction"))->trigger();
        dialogWatch.stop();
    }

    void watchDialog()
    {
        auto *d = qobject_cast<ImportDialog *>(QApplication::activeModalWidget());
        if (!d || !d->isVisible()) return;
        dialogWatch.stop();
        dialogSeen = true;
        drive(*d);
        if (d->isVisible()) d->reject(); // a test that left it open closes it
    }

    void watchBoxes()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        boxes << box->text();
        box->done(QMessageBox::Ok);
    }

private slots:
    void initTestCase()
    {
        guitest::quietPlatformNotes();
        boxWatch.setInterval(5);
        dialogWatch.setInterval(5);
        connect(&boxWatch, &QTimer::timeout, this, &DesignerImportTest::watchBoxes);
        connect(&dialogWatch, &QTimer::timeout, this, &DesignerImportTest::watchDialog);
    }

    void init()
    {
        window = std::make_unique<DesignerWindow>();
        problems.clear();
        boxes.clear();
        chosen.clear();
        w().askToSave = [](const QString &) { return QMessageBox::Cancel; };
        w().showProblem = [this](const QString &text) { problems << text; };
        w().chooseFile = [this](const QString &caption, const QString &, const QString &filter,
                                bool saving) {
            const bool importing = caption == QStringLiteral("导入DXF") && !saving &&
                                   filter == QStringLiteral("DXF 图形 (*.dxf)");
            return importing ? chosen : QString();
        };
        w().show();
        QVERIFY(QTest::qWaitForWindowExposed(&w()));
        boxWatch.start();
    }

    void cleanup()
    {
        boxWatch.stop();
        dialogWatch.stop();
        QVERIFY(!QApplication::activeModalWidget());
        w().document().markSaved();
        window.reset();
    }

    // Each layer's row: what it holds, blocks' copies counted where their inserts put them.
    void layerTableCounts_data()
    {
        QTest::addColumn<QString>("layer");
        // closed, lines, arcs, circles, splines, hatches, points, texts, inserts
        QTest::addColumn<QStringList>("counts");
        QTest::newRow("houses: two outlines and the hut block's two copies")
            << QStringLiteral("HOUSES") << QStringList{"4", "0", "0", "1", "0", "0", "0", "2", "1"};
        QTest::newRow("rods: a point and its height")
            << QStringLiteral("RODS") << QStringList{"0", "0", "0", "0", "0", "0", "1", "1", "0"};
        QTest::newRow("wires: a line on a layer the table lacks")
            << QStringLiteral("WIRES") << QStringList{"0", "1", "0", "0", "0", "0", "0", "0", "0"};
    }
    void layerTableCounts()
    {
        QFETCH(QString, layer);
        QFETCH(QStringList, counts);
        QStringList shown, headers, rods;
        importWith(kSmall, [&](ImportDialog &d) {
            auto *table = child<QTableWidget>(d, "importLayers");
            for (int c = 0; c < table->columnCount(); ++c)
                headers << table->horizontalHeaderItem(c)->text();
            if (const int row = rowOf(*table, layer); row >= 0)
                for (int c = 2; c < table->columnCount(); ++c) shown << table->item(row, c)->text();
            auto *box = child<QComboBox>(d, "importRodsLayer");
            for (int i = 0; i < box->count(); ++i) rods << box->itemText(i);
        });
        QVERIFY(dialogSeen);
        QCOMPARE(headers, (QStringList{"建筑物", "图层", "闭合轮廓", "直线", "圆弧", "圆", "样条",
                                       "填充", "点", "文字", "块参照"}));
        QCOMPARE(shown, counts);
        QCOMPARE(rods.value(0), QStringLiteral("（无）"));
        QVERIFY(rods.contains(layer));
        QCOMPARE(w().document().undoStack().count(), 0); // looking imports nothing
    }

    void unitsAndHeightsPreset_data()
    {
        QTest::addColumn<std::optional<int>>("insUnits");
        QTest::addColumn<QString>("units");
        QTest::newRow("millimetres") << std::optional(4) << QStringLiteral("mm");
        QTest::newRow("centimetres") << std::optional(5) << QStringLiteral("cm");
        QTest::newRow("metres") << std::optional(6) << QStringLiteral("m");
        QTest::newRow("unitless: millimetres") << std::optional(0) << QStringLiteral("mm");
        QTest::newRow("no header entry: millimetres")
            << std::optional<int>() << QStringLiteral("mm");
        QTest::newRow("inches: millimetres, to be checked")
            << std::optional(1) << QStringLiteral("mm");
    }
    void unitsAndHeightsPreset()
    {
        QFETCH(std::optional<int>, insUnits);
        QFETCH(QString, units);
        QTemporaryDir dir;
        QString shown;
        double heights[3] = {};
        bool enabled = true;
        importWith(write(dir, QStringLiteral("u.dxf"), drawing(insUnits)), [&](ImportDialog &d) {
            shown = child<QComboBox>(d, "importUnits")->currentText();
            heights[0] = child<QDoubleSpinBox>(d, "importObjectHeight")->value();
            heights[1] = child<QDoubleSpinBox>(d, "importRodHeight")->value();
            heights[2] = child<QDoubleSpinBox>(d, "importWireHeight")->value();
            enabled = okButton(d)->isEnabled();
        });
        QVERIFY(dialogSeen);
        QCOMPARE(shown, units);
        QCOMPARE(heights[0], calc::layout::kNewObjectHeight);
        QCOMPARE(heights[1], calc::layout::kNewRodHeight);
        QCOMPARE(heights[2], calc::layout::kNewWireHeight);
        QVERIFY(!enabled); // nothing chosen yet
    }

    // 导入 waits for a buildings' layer or a rods' or wires' layer; the preview shows the
    // buildings' layers in their colour.
    void importWaitsForAChoice()
    {
        QList<bool> enabled;
        int before = -1, ticked = -1;
        importWith(kSmall, [&](ImportDialog &d) {
            QPushButton *ok = okButton(d);
            before = buildingPixels(d);
            enabled << ok->isEnabled();
            tick(d, {QStringLiteral("HOUSES")});
            ticked = buildingPixels(d);
            enabled << ok->isEnabled();
            child<QTableWidget>(d, "importLayers")->item(0, 0)->setCheckState(Qt::Unchecked);
            enabled << ok->isEnabled();
            pick(d, "importWiresLayer", QStringLiteral("WIRES"));
            enabled << ok->isEnabled();
            pick(d, "importWiresLayer", QStringLiteral("（无）"));
            pick(d, "importRodsLayer", QStringLiteral("RODS"));
            enabled << ok->isEnabled();
            d.reject();
        });
        QCOMPARE(enabled, (QList<bool>{false, true, false, true, true}));
        QCOMPARE(before, 0);
        QVERIFY2(ticked > 50, qPrintable(QString::number(ticked)));
        QVERIFY(w().document().undoStack().count() == 0);
    }

    // The size under the preview, in metres by the units chosen, is the chosen layers' when
    // there are any: a wrong unit shows as a site a thousand times too big.
    void extentFollowsTheChoiceAndUnits()
    {
        QTemporaryDir dir;
        QStringList said;
        importWith(write(dir, QStringLiteral("site.dxf"), drawing(4)), [&](ImportDialog &d) {
            auto *extent = child<QLabel>(d, "importExtent");
            said << extent->text();
            tick(d, {QStringLiteral("SQUARE")});
            said << extent->text();
            auto *units = child<QComboBox>(d, "importUnits");
            units->setCurrentIndex(units->findText(QStringLiteral("m")));
            said << extent->text();
            d.reject();
        });
        QCOMPARE(said,
                 (QStringList{"全图范围：约 45.0 m × 10.0 m", "所选图层的范围：约 8.0 m × 8.0 m",
                              "所选图层的范围：约 8000 m × 8000 m"}));
    }

    // The example site into an empty layout: the names and heights the drawing gives, the
    // dialog's heights where it gives none, and one edit that undo takes back with the place.
    void importThenUndoAndRedo()
    {
        importWith(kSmall, [&](ImportDialog &d) {
            QVERIFY(tick(d, {QStringLiteral("HOUSES")}));
            QVERIFY(pick(d, "importRodsLayer", QStringLiteral("RODS")));
            QVERIFY(pick(d, "importWiresLayer", QStringLiteral("WIRES")));
            child<QDoubleSpinBox>(d, "importObjectHeight")->setValue(12.5);
            okButton(d)->click();
        });
        QVERIFY(dialogSeen);
        QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(u'\n')));
        const Layout after = w().document().layout();
        QCOMPARE(after.objects.size(), 5u);
        QCOMPARE(after.objects[0].name, std::string("主楼"));
        QCOMPARE(after.objects[0].height, 6.0);
        QCOMPARE(after.objects[1].name, std::string("Works"));
        QCOMPARE(after.objects[1].height, 5.0);
        QCOMPARE(after.objects[2].name, std::string("建筑物3"));
        QCOMPARE(after.objects[2].height, 12.5); // the dialog's height: the drawing gives none
        QCOMPARE(after.conductors.size(), 2u);
        QVERIFY(std::holds_alternative<Wire>(after.conductors[0]));
        QCOMPARE(std::get<Rod>(after.conductors[1]).h, 25.0); // its "h=25m" beside it
        const DrawingPlace place{DrawingPlace::Units::Metres, -4, 0};
        QCOMPARE(w().document().drawingPlace(), std::optional(place));
        // The plan, empty before, is fitted to what came in.
        const QRect view = w().plan().viewport()->rect();
        for (const Object &o : after.objects)
            for (const auto &c : o.footprint)
                QVERIFY2(view.contains(w().plan().viewPoint(QPointF(c.x, c.y))), o.name.c_str());
        QCOMPARE(w().document().undoStack().count(), 1);
        QCOMPARE(w().document().undoStack().undoText(), QStringLiteral("导入DXF"));
        QVERIFY(w().isWindowModified());

        w().document().undoStack().undo();
        QVERIFY(w().document().layout().objects.empty());
        QVERIFY(w().document().layout().conductors.empty());
        QVERIFY(!w().document().drawingPlace());
        w().document().undoStack().redo();
        QVERIFY(designer::sameLayout(w().document().layout(), after));
        QCOMPARE(w().document().drawingPlace(), std::optional(place));

        // The place goes into the file with the layout.
        QTemporaryDir dir;
        const QString saved = dir.filePath(QStringLiteral("site.lplayout"));
        QVERIFY(w().saveTo(saved));
        const auto reread = lplayout::loadProject(saved);
        QVERIFY(reread.file);
        QCOMPARE(reread.file->drawing, std::optional(place));
        QVERIFY(problems.isEmpty());
    }

    // Into a layout opened from a file taken from the drawing before: its place is kept (the
    // units too), what is there stays, and the new names keep clear of its own.
    void importIntoALayoutFromTheDrawing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("site.lplayout"));
        const DrawingPlace place{DrawingPlace::Units::Metres, 0, 0};
        QVERIFY(lplayout::saveProject(path, {kHandDrawn, place, {}}, nullptr));
        QVERIFY(w().openFile(path));
        QString units;
        bool unitsOpen = true;
        importWith(kSmall, [&](ImportDialog &d) {
            units = child<QComboBox>(d, "importUnits")->currentText();
            unitsOpen = child<QComboBox>(d, "importUnits")->isEnabled();
            QVERIFY(tick(d, {QStringLiteral("HOUSES")}));
            okButton(d)->click();
        });
        QCOMPARE(units, QStringLiteral("m"));
        QVERIFY(!unitsOpen);
        const Layout &after = w().document().layout();
        QCOMPARE(after.objects.size(), 6u);
        QCOMPARE(after.conductors.size(), 1u);
        QCOMPARE(after.objects[0].name, std::string("建筑物4"));
        QCOMPARE(after.objects[3].name, std::string("建筑物5")); // the circle, named clear of it
        // The house's corner at the drawing's (0, 0) is the layout's, as the place says.
        QCOMPARE(after.objects[1].footprint[0].x, 0.0);
        QCOMPARE(after.objects[1].footprint[0].y, 0.0);
        QCOMPARE(w().document().drawingPlace(), std::optional(place));
        w().document().undoStack().undo();
        QVERIFY(designer::sameLayout(w().document().layout(), kHandDrawn));
        QCOMPARE(w().document().drawingPlace(), std::optional(place));
    }

    // A site the drawing cannot give: the message names the layer, the dialog stays open for
    // another choice, and the layout is as it was.
    void refusedImportChangesNothing_data()
    {
        QTest::addColumn<QString>("file"); // empty: the drawing written here
        QTest::addColumn<QStringList>("buildings");
        QTest::addColumn<QString>("rods");
        QTest::addColumn<QStringList>("said");
        QTest::newRow("a layer without a closed outline")
            << QString() << QStringList{"SQUARE", "OPEN"} << QString()
            << QStringList{"图层「OPEN」", "没有闭合轮廓"};
        QTest::newRow("nothing left but an outline that crosses itself")
            << QString() << QStringList{"BOWTIE"} << QString()
            << QStringList{"没有可导入的", "图层「BOWTIE」", "2B", "自相交"};
        QTest::newRow("rods on a layer without rods")
            << kSmall << QStringList{} << QStringLiteral("WIRES")
            << QStringList{"图层「WIRES」", "没有避雷针"};
        QTest::newRow("one layer as buildings and rods")
            << kSmall << QStringList{"HOUSES"} << QStringLiteral("HOUSES")
            << QStringList{"图层「HOUSES」", "不能既是建筑物图层又是避雷针图层"};
    }
    void refusedImportChangesNothing()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, buildings);
        QFETCH(QString, rods);
        QFETCH(QStringList, said);
        QTemporaryDir dir;
        if (file.isEmpty()) file = write(dir, QStringLiteral("site.dxf"), drawing(4));
        w().document().reset(kHandDrawn);
        bool stayedOpen = false;
        importWith(file, [&](ImportDialog &d) {
            QVERIFY(tick(d, buildings));
            if (!rods.isEmpty()) QVERIFY(pick(d, "importRodsLayer", rods));
            okButton(d)->click();
            stayedOpen = d.isVisible() && !d.imported();
            d.reject();
        });
        QVERIFY(dialogSeen);
        QVERIFY(stayedOpen);
        QCOMPARE(boxes.size(), 1);
        for (const QString &words : said) QVERIFY2(boxes[0].contains(words), qPrintable(boxes[0]));
        QVERIFY(designer::sameLayout(w().document().layout(), kHandDrawn));
        QVERIFY(!w().document().drawingPlace());
        QCOMPARE(w().document().undoStack().count(), 0);
    }

    // An outline that crosses itself among good ones: listed and marked before 导入, the rest
    // imported.
    void leftOutListedThenTheRestImported()
    {
        QTemporaryDir dir;
        const QString file = write(dir, QStringLiteral("site.dxf"), drawing(4));
        QString summary, listed;
        int marked = 0;
        importWith(file, [&](ImportDialog &d) {
            QVERIFY(tick(d, {QStringLiteral("SQUARE"), QStringLiteral("BOWTIE")}));
            auto *report = child<QListWidget>(d, "importReport");
            QTRY_COMPARE(report->count(), 1);
            listed = report->item(0)->text();
            summary = child<QLabel>(d, "importSummary")->text();
            const QImage image = child<QWidget>(d, "importPreview")->grab().toImage();
            const QColor want = designer::ImportPreview::leftOutColour();
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) marked += image.pixelColor(x, y) == want;
            okButton(d)->click();
        });
        QVERIFY(dialogSeen);
        QVERIFY2(listed.contains(QStringLiteral("图层「BOWTIE」上的多段线（句柄 2B")) &&
                     listed.contains(QStringLiteral("未导入：自相交")),
                 qPrintable(listed));
        QCOMPARE(summary,
                 QStringLiteral("导入 1 个建筑物，0 根避雷针，0 段避雷线；1 个轮廓未导入"));
        QVERIFY(marked > 20);
        QCOMPARE(w().document().layout().objects.size(), 1u);
        QVERIFY(boxes.isEmpty());
    }

    // A square 8 km across in declared metres is no building: the units that fit are offered.
    void implausibleUnitsOffersOthers()
    {
        QTemporaryDir dir;
        const QString file = write(dir, QStringLiteral("site.dxf"), drawing(6));
        QString offered, units;
        importWith(file, [&](ImportDialog &d) {
            QVERIFY(tick(d, {QStringLiteral("SQUARE")}));
            auto *use = child<QPushButton>(d, "importUseUnits");
            QTRY_VERIFY(use->isVisible());
            offered = use->text();
            use->click();
            units = child<QComboBox>(d, "importUnits")->currentText();
            QTRY_VERIFY(!use->isVisible());
        });
        QVERIFY(dialogSeen);
        QCOMPARE(offered, QStringLiteral("改用 mm"));
        QCOMPARE(units, QStringLiteral("mm"));
    }

    // Qt's own buttons and dialogs speak Chinese in the designer, whatever the system's locale.
    void qtTextsInChinese()
    {
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    }

    // A file that is no drawing this program reads: the reader's reason, and no dialog.
    void unreadableFileChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
        QTest::addColumn<QString>("said");
        QTest::newRow("binary DXF") << QByteArray("AutoCAD Binary DXF\r\n\x1a\0\0\0\0\0\0", 28)
                                    << QStringLiteral("二进制 DXF");
        QTest::newRow("DWG") << QByteArray("AC1015\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 22)
                             << QStringLiteral("DWG");
        QTest::newRow("missing") << QByteArray() << QStringLiteral("无法打开");
    }
    void unreadableFileChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString path = bytes.isEmpty() ? dir.filePath(QStringLiteral("none.dxf"))
                                             : write(dir, QStringLiteral("bad.dxf"), bytes);
        w().document().reset(kHandDrawn);
        importWith(path, [](ImportDialog &) {});
        QVERIFY(!dialogSeen);
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems[0].contains(said), qPrintable(problems[0]));
        QVERIFY2(problems[0].contains(QFileInfo(path).fileName()), qPrintable(problems[0]));
        QVERIFY(designer::sameLayout(w().document().layout(), kHandDrawn));
        QCOMPARE(w().document().undoStack().count(), 0);
    }

    void cancelledDialogChangesNothing()
    {
        w().document().reset(kHandDrawn);
        importWith(kSmall, [&](ImportDialog &d) {
            QVERIFY(tick(d, {QStringLiteral("HOUSES")}));
            d.reject();
        });
        QVERIFY(dialogSeen);
        QVERIFY(designer::sameLayout(w().document().layout(), kHandDrawn));
        QCOMPARE(w().document().undoStack().count(), 0);
        // And no file chosen: no dialog at all.
        importWith(QString(), [](ImportDialog &) {});
        QVERIFY(!dialogSeen);
        QVERIFY(problems.isEmpty());
    }
};

QTEST_MAIN(DesignerImportTest)
#include "designer_import_test.moc"
