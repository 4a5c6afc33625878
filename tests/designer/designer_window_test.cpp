#include "designer/designer_window.h"
#include "designer/layout_tables.h"
#include "designer/plan_view.h"
#include "designer/section_pane.h"
#include "project/project_file.h"
#include "rendering/sheet_rendering.h"

#include "../quiet_platform.h"

#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>

using calc::layout::Layout;
using calc::layout::Object;
using calc::layout::Rod;
using calc::layout::Wire;
using designer::DesignerWindow;
using designer::LayoutDocument;

Q_DECLARE_METATYPE(calc::layout::Layout)

namespace {

// A rod of height h protects, at height z, the disc of radius
// sqrt(h (2hr - h)) - sqrt(z (2hr - z)) about its foot (GB 50057-2010 附录D).
double singleRodRadius(double h, double hr, double z)
{
    return std::sqrt(h * (2 * hr - h)) - std::sqrt(z * (2 * hr - z));
}

using Corners = QList<QPointF>;

Corners cornersOf(const Object &o)
{
    Corners corners;
    for (const auto &c : o.footprint) corners << QPointF(c.x, c.y);
    return corners;
}

// Pages of a PDF file: its page objects ("/Type /Page", not the "/Type /Pages" tree).
int pdfPages(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("%PDF")) return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    int pages = 0;
    for (auto it = page.globalMatch(QString::fromLatin1(bytes)); it.hasNext(); it.next()) ++pages;
    return pages;
}

QAction *action(DesignerWindow &w, const QString &text)
{
    for (QAction *a : w.findChildren<QAction *>())
        if (a->objectName() == text || a->text() == text) return a;
    return nullptr;
}

// Two rods of height h, D apart, protect jointly (hr > h): midway between them the zone dips to
// h0 = hr - sqrt((hr - h)^2 + (D/2)^2) and reaches b0 = sqrt(h (2hr - h) - (D/2)^2) to either
// side on the ground (GB 50057-2010 附录D); they do so while b0 is real, D < 2 sqrt(h (2hr - h)).
double twoRodsH0(double h, double hr, double d)
{
    return hr - std::sqrt((hr - h) * (hr - h) + d * d / 4);
}
double twoRodsB0(double h, double hr, double d) { return std::sqrt(h * (2 * hr - h) - d * d / 4); }

// Four rods of height h on a rectangle of diagonal D3: h0 = sqrt(hr^2 - (D3/2)^2) + h - hr.
double fourRodsH0(double h, double hr, double d3)
{
    return std::sqrt(hr * hr - d3 * d3 / 4) + h - hr;
}

QString metres(double value) { return QString::number(value, 'f', 3); }

} // namespace

class DesignerWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<DesignerWindow> window;
    QStringList asked, problems;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;

    DesignerWindow &w() { return *window; }
    void waitForResults() { QTRY_VERIFY_WITH_TIMEOUT(w().resultsCurrent(), 20000); }

    // Types text into the cell's editor as the user does, and presses Enter.
    void editCell(QTableView &table, int row, int column, const QString &text)
    {
        const QModelIndex index = table.model()->index(row, column);
        if (auto *tabs = w().findChild<QTabWidget *>()) tabs->setCurrentWidget(&table);
        table.setCurrentIndex(index);
        table.edit(index);
        // The open editor: one closed before may still wait for deletion, hidden.
        QLineEdit *editor = nullptr;
        for (auto *e : table.viewport()->findChildren<QLineEdit *>())
            if (e->isVisible()) editor = e;
        QVERIFY(editor);
        QCOMPARE(editor->text(), index.data(Qt::EditRole).toString());
        editor->selectAll();
        // QTest types ASCII only; other text goes in as an input method would put it.
        bool ascii = true;
        for (QChar c : text) ascii = ascii && c.unicode() < 128;
        if (ascii)
            QTest::keyClicks(editor, text);
        else
            editor->insert(text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The view commits the editor's text from its event queue.
        QCoreApplication::processEvents();
    }

    void clickPlan(QPointF plan, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(w().plan().viewport(), Qt::LeftButton, modifiers,
                          w().plan().viewPoint(plan));
    }

    // Presses at one plan point, moves in two steps and lets go at the other.
    void dragPlan(QPointF from, QPointF to)
    {
        QWidget *viewport = w().plan().viewport();
        const QPoint a = w().plan().viewPoint(from), b = w().plan().viewPoint(to);
        QTest::mousePress(viewport, Qt::LeftButton, {}, a);
        QTest::mouseMove(viewport, (a + b) / 2);
        QTest::mouseMove(viewport, b);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, b);
    }

    int planItemsSelected() { return static_cast<int>(w().plan().scene()->selectedItems().size()); }

    QList<int> tableRows(QTableView &table)
    {
        QList<int> rows;
        for (const QModelIndex &index : table.selectionModel()->selectedIndexes())
            if (!rows.contains(index.row())) rows << index.row();
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    QAction *heightButton(const QString &text)
    {
        for (QAction *a : w().heightButtons().actions())
            if (a->text() == text) return a;
        return nullptr;
    }

private slots:
    void initTestCase() { guitest::quietPlatformNotes(); }

    void init()
    {
        window = std::make_unique<DesignerWindow>();
        asked.clear();
        problems.clear();
        answer = QMessageBox::Cancel;
        w().askToSave = [this](const QString &text) {
            asked << text;
            return answer;
        };
        w().showProblem = [this](const QString &text) { problems << text; };
        w().chooseFile = [](const QString &, const QString &, const QString &, bool) {
            return QString(); // no file dialog in these tests
        };
        w().show();
        QVERIFY(QTest::qWaitForWindowExposed(&w()));
    }

    void cleanup()
    {
        QVERIFY(!QApplication::activeModalWidget());
        w().document().markSaved();
        window.reset();
    }

    void titleAndClasses()
    {
        QCOMPARE(w().windowTitle(), QStringLiteral("防雷布置[*]"));
        auto *classes = w().findChild<QComboBox *>(QStringLiteral("hrChoice"));
        QVERIFY(classes);
        QCOMPARE(classes->count(), 3);
        QCOMPARE(classes->itemText(0), QStringLiteral("3类 hr=60米"));
        QCOMPARE(classes->currentText(), QStringLiteral("2类 hr=45米"));
    }

    // Click a rod onto the plan, set its height and add a building in the tables; the building
    // lies inside the rod's zone at its roof, then, moved away, outside it.
    void buildLayoutWithMouseAndTable()
    {
        w().plan().fitLayout();
        action(w(), QStringLiteral("placeRod"))->setChecked(true);
        clickPlan({3.2, -4.7});
        QCOMPARE(w().document().layout().conductors.size(), 1u);
        const auto &rod = std::get<Rod>(w().document().layout().conductors[0]);
        QCOMPARE(rod.x, 3.0); // snapped to the metre grid
        QCOMPARE(rod.y, -5.0);
        action(w(), QStringLiteral("placeRod"))->setChecked(false);

        editCell(w().conductorTable(), 0, 3, QStringLiteral("25"));
        QCOMPARE(std::get<Rod>(w().document().layout().conductors[0]).h, 25.0);

        action(w(), QStringLiteral("添加被保护物"))->trigger();
        QCOMPARE(w().document().layout().objects.size(), 1u);
        editCell(w().objectTable(), 0, 0, QStringLiteral("1#楼"));
        editCell(w().objectTable(), 0, 1, QStringLiteral("8"));
        editCell(w().objectTable(), 0, 2, QStringLiteral("5,-8; 9,-8; 9,-2; 5,-2"));
        const Object &o = w().document().layout().objects[0];
        QCOMPARE(QString::fromStdString(o.name), QStringLiteral("1#楼"));
        QCOMPARE(o.height, 8.0);
        QCOMPARE(o.footprint.size(), 4u);

        // The farthest roof corner is sqrt(6² + 3²) = 6.7 m from the rod; the zone reaches
        // 40.311 - 25.612 = 14.699 m there.
        QVERIFY(singleRodRadius(25, 45, 8) > 14.6);
        waitForResults();
        QCOMPARE(w().verdictList().topLevelItemCount(), 1);
        QCOMPARE(w().verdictList().topLevelItem(0)->text(1), QStringLiteral("受保护"));

        // After an edit the verdict comes first, its least clearance after it.
        QStringList shown;
        const auto record = connect(&w(), &DesignerWindow::resultsShown, this, [&] {
            const QTreeWidgetItem *row = w().verdictList().topLevelItem(0);
            shown << (row ? row->text(1) + QLatin1Char('|') + row->text(2) : QString());
        });
        editCell(w().objectTable(), 0, 2, QStringLiteral("40,0; 44,0; 44,4; 40,4"));
        waitForResults();
        disconnect(record);
        QCOMPARE(w().verdictList().topLevelItem(0)->text(1), QStringLiteral("未受保护"));
        QVERIFY(!w().results().verdicts[0].isProtected);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.front(), QStringLiteral("未受保护|计算中…"));
        QCOMPARE(shown.back(),
                 QStringLiteral("未受保护|") + w().verdictList().topLevelItem(0)->text(2));
        QVERIFY(!w().verdictList().topLevelItem(0)->text(2).contains(QStringLiteral("计算中")));
    }

    void refusedCellsKeepTheirValue_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::newRow("height not a number") << 3 << QStringLiteral("abc");
        QTest::newRow("rod of height zero") << 3 << QStringLiteral("0");
        QTest::newRow("negative rod height") << 3 << QStringLiteral("-5");
        QTest::newRow("absurd coordinate") << 1 << QStringLiteral("1e9");
        QTest::newRow("infinite coordinate") << 2 << QStringLiteral("inf");
    }

    void refusedCellsKeepTheirValue()
    {
        QFETCH(int, column);
        QFETCH(QString, text);
        w().document().reset(Layout{45, {Rod{1, 2, 20}}, {}});
        editCell(w().conductorTable(), 0, column, text);
        QVERIFY(designer::sameLayout(w().document().layout(), Layout{45, {Rod{1, 2, 20}}, {}}));
        QCOMPARE(w().document().undoStack().count(), 0);
    }

    void crossingFootprintIsRefused()
    {
        const Layout before{45, {}, {Object{"a", {{0, 0}, {4, 0}, {4, 4}, {0, 4}}, 5}}};
        w().document().reset(before);
        editCell(w().objectTable(), 0, 2, QStringLiteral("0,0; 4,4; 4,0; 0,4"));
        QVERIFY(designer::sameLayout(w().document().layout(), before));
    }

    void dragRodSnapsAndUndoes()
    {
        w().document().reset(Layout{45, {Rod{0, 0, 20}}, {}});
        w().plan().fitLayout();
        QWidget *viewport = w().plan().viewport();
        const QPoint from = w().plan().viewPoint({0, 0});
        const QPoint to = w().plan().viewPoint({10.3, 4.8});
        QTest::mousePress(viewport, Qt::LeftButton, {}, from);
        QTest::mouseMove(viewport, (from + to) / 2);
        QTest::mouseMove(viewport, to);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
        QTRY_COMPARE(std::get<Rod>(w().document().layout().conductors[0]).x, 10.0);
        QCOMPARE(std::get<Rod>(w().document().layout().conductors[0]).y, 5.0);
        QTest::keyClick(&w(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(std::get<Rod>(w().document().layout().conductors[0]).x, 0.0);
    }

    // Each kind of edit, undone with Ctrl+Z and redone with Ctrl+Y and Ctrl+Shift+Z.
    void undoRedoEachEdit_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("place rod") << 0;
        QTest::newRow("edit conductor cell") << 1;
        QTest::newRow("change class") << 2;
        QTest::newRow("add wire") << 3;
        QTest::newRow("add object") << 4;
        QTest::newRow("edit object cell") << 5;
        QTest::newRow("delete conductor") << 6;
        QTest::newRow("delete object") << 7;
    }

    void undoRedoEachEdit()
    {
        QFETCH(int, kind);
        const Layout start{45,
                           {Rod{0, 0, 20}, Wire{{0, 10, 15}, {20, 10, 15}}},
                           {Object{"a", {{2, 2}, {6, 2}, {6, 6}, {2, 6}}, 5}}};
        w().document().reset(start);
        w().plan().fitLayout();
        switch (kind) {
        case 0:
            action(w(), QStringLiteral("placeRod"))->setChecked(true);
            clickPlan({12, -3});
            break;
        case 1:
            editCell(w().conductorTable(), 1, 6, QStringLiteral("18"));
            break;
        case 2: {
            auto *classes = w().findChild<QComboBox *>(QStringLiteral("hrChoice"));
            classes->setCurrentIndex(2);
            emit classes->activated(2);
            break;
        }
        case 3:
            action(w(), QStringLiteral("添加避雷线"))->trigger();
            break;
        case 4:
            action(w(), QStringLiteral("添加被保护物"))->trigger();
            break;
        case 5:
            editCell(w().objectTable(), 0, 1, QStringLiteral("7.5"));
            break;
        case 6:
            w().conductorTable().setCurrentIndex(w().conductorTable().model()->index(0, 1));
            action(w(), QStringLiteral("删除所选行"))->trigger();
            break;
        case 7: {
            auto *tabs = w().findChild<QTabWidget *>();
            tabs->setCurrentIndex(1);
            w().objectTable().setCurrentIndex(w().objectTable().model()->index(0, 0));
            action(w(), QStringLiteral("删除所选行"))->trigger();
            break;
        }
        }
        const Layout edited = w().document().layout();
        QVERIFY(!designer::sameLayout(edited, start));
        QVERIFY(w().isWindowModified());
        QTest::keyClick(&w(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(designer::sameLayout(w().document().layout(), start));
        QTest::keyClick(&w(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(designer::sameLayout(w().document().layout(), edited));
        QTest::keyClick(&w(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&w(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(designer::sameLayout(w().document().layout(), edited));
    }

    // One click on an object's roof height shows the zone there; its outline is the single
    // rod's circle of the closed form within 5 cm, and each outline point separates protected
    // from unprotected as the engine says.
    void planOutlineAtARoofHeight()
    {
        w().document().reset(
            Layout{45, {Rod{0, 0, 20}}, {Object{"塔", {{30, 0}, {32, 0}, {32, 2}}, 6}}});
        auto *heights = w().findChild<QComboBox *>(QStringLiteral("heightChoice"));
        QCOMPARE(heights->count(), 2);
        heights->setCurrentIndex(1);
        emit heights->activated(1);
        QCOMPARE(w().planHeight(), 6.0);
        waitForResults();
        const auto &zone = w().plan().zone();
        QCOMPARE(zone.outline.size(), 1u);
        const double r = singleRodRadius(20, 45, 6);
        const auto conductors = calc::layout::engineConductors(w().document().layout().conductors);
        const calc::rolling_sphere::Layout engine(conductors, 45);
        for (const auto &p : zone.outline[0]) {
            const double d = std::hypot(p.x, p.y);
            QVERIFY2(std::abs(d - r) < 0.05, qPrintable(QString::number(d)));
            const double ux = p.x / d, uy = p.y / d;
            QVERIFY(engine.clearance({p.x - 0.05 * ux, p.y - 0.05 * uy, 6}) > 0);
            QVERIFY(engine.clearance({p.x + 0.05 * ux, p.y + 0.05 * uy, 6}) < 0);
        }
        // The object's verdict as checkObject gives it.
        QCOMPARE(w().results().verdicts.size(), 1u);
        QVERIFY(!w().results().verdicts[0].isProtected);
    }

    // A line dragged across the plan gives the section through the rod and the block.
    void drawSectionWithTheMouse()
    {
        w().document().reset(
            Layout{45, {Rod{0, 0, 20}}, {Object{"块", {{5, -2}, {9, -2}, {9, 2}, {5, 2}}, 5}}});
        w().plan().fitLayout();
        action(w(), QStringLiteral("drawSection"))->setChecked(true);
        QWidget *viewport = w().plan().viewport();
        const QPoint from = w().plan().viewPoint({-20, 0}), to = w().plan().viewPoint({20, 0});
        QTest::mousePress(viewport, Qt::LeftButton, {}, from);
        QTest::mouseMove(viewport, to);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
        waitForResults();
        QTRY_VERIFY(w().sectionPane().section().has_value());
        const auto &view = *w().sectionPane().section();
        bool rod = false, block = false;
        for (const auto &p : view.paths) {
            rod = rod || (p.ink == calc::drawing::Ink::Rod && p.points.size() == 2 &&
                          p.points[0].x == 20 && p.points[1].y == 20);
            block = block || p.ink == calc::drawing::Ink::Object;
        }
        QVERIFY(rod);
        QVERIFY(block);
        QCOMPARE(w().document().undoStack().count(), 0); // a view setting, not an edit
    }

    void saveOpenAndUnsavedChanges()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.lplayout"));
        const Layout saved{30, {Rod{0, 0, 20}}, {Object{"a", {{2, 2}, {6, 2}, {6, 6}}, 5}}};
        w().document().reset(saved);
        w().setPlanHeight(5);
        QVERIFY(w().saveTo(path));
        QVERIFY(!w().isWindowModified());
        const auto reread = lplayout::loadProject(path);
        QVERIFY(reread.file);
        QVERIFY(designer::sameLayout(reread.file->layout, saved));

        action(w(), QStringLiteral("添加避雷线"))->trigger();
        QVERIFY(w().isWindowModified());
        answer = QMessageBox::Cancel;
        QVERIFY(!w().openFile(path));
        QCOMPARE(asked.size(), 1);
        QCOMPARE(w().document().layout().conductors.size(), 2u);
        QVERIFY(!w().close());
        QCOMPARE(asked.size(), 2);

        answer = QMessageBox::Discard;
        w().setPlanHeight(0);
        QVERIFY(w().openFile(path));
        QVERIFY(designer::sameLayout(w().document().layout(), saved));
        QCOMPARE(w().planHeight(), 5.0); // the view's height comes back from the file
        QCOMPARE(w().document().undoStack().count(), 0);
        QVERIFY(problems.isEmpty());
    }

    // A layout taken from a CAD drawing keeps the drawing's place through open and save, and
    // 导出DXF writes the drawing there: in millimetres, at the drawing's own coordinates.
    void drawingPlaceSurvivesAndExportsThere()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("site.lplayout"));
        const lplayout::DrawingPlace place{lplayout::DrawingPlace::Units::Millimetres, 512000000,
                                           3010000};
        QVERIFY(lplayout::saveProject(
            path,
            {Layout{45, {Rod{0, 0, 20}}, {Object{"a", {{2, 2}, {6, 2}, {6, 6}}, 5}}}, place, {}},
            nullptr));
        answer = QMessageBox::Discard;
        QVERIFY(w().openFile(path));
        action(w(), QStringLiteral("添加避雷线"))->trigger();
        QVERIFY(w().saveTo(path));
        const auto reread = lplayout::loadProject(path);
        QVERIFY(reread.file);
        QCOMPARE(reread.file->drawing, std::optional(place));

        const QString drawing = dir.filePath(QStringLiteral("site.dxf"));
        w().chooseFile = [&](const QString &caption, const QString &, const QString &,
                             bool saving) {
            return caption == QStringLiteral("导出DXF") && saving ? drawing : QString();
        };
        waitForResults();
        action(w(), QStringLiteral("exportDxfAction"))->trigger();
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
        QFile written(drawing);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray bytes = written.readAll();
        QVERIFY(bytes.contains("ENTITIES"));
        // The rod at the layout's (0, 0) stands at the drawing's origin, in millimetres.
        QVERIFY(bytes.contains("512000000"));
        QVERIFY(bytes.contains("$INSUNITS"));
    }

    void badFileLeavesTheLayout()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.lplayout"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            R"({"format":"lplayout","version":1,"hr":45,"conductors":[{"kind":"rod","x":0,"y":0,"h":-3}],"objects":[]})");
        file.close();
        const Layout before{45, {Rod{5, 5, 10}}, {}};
        w().document().reset(before);
        QVERIFY(!w().openFile(path));
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems[0].contains(QStringLiteral("conductors[0].h")), qPrintable(problems[0]));
        QVERIFY(designer::sameLayout(w().document().layout(), before));
    }

    void failedSaveSaysWhyAndStaysModified()
    {
        action(w(), QStringLiteral("添加避雷线"))->trigger();
        QVERIFY(!w().saveTo(QStringLiteral("/nonexistent-folder/x.lplayout")));
        QCOMPARE(problems.size(), 1);
        QVERIFY(w().isWindowModified());
    }

    void sheetShowsTheVerdicts()
    {
        w().document().reset(Layout{45,
                                    {Rod{0, 0, 20}},
                                    {Object{"近", {{2, 2}, {6, 2}, {6, 6}, {2, 6}}, 5},
                                     Object{"远", {{30, 0}, {34, 0}, {34, 4}, {30, 4}}, 5}}});
        waitForResults();
        const calc::sheet::Sheet sheet = w().sheet();
        QCOMPARE(QString::fromStdString(sheet.title), QStringLiteral("防雷布置计算书"));
        const QString text = QString::fromStdString(calc::sheet::plainText(sheet));
        QVERIFY(text.contains(QStringLiteral("近 | 受保护")));
        QVERIFY(text.contains(QStringLiteral("远 | 未受保护")));
        QVERIFY(!text.contains(QStringLiteral("nan")) && !text.contains(QStringLiteral("inf")));
        QVERIFY(!sheet.drawing.views.empty());
    }

    // The pane beside the verdicts: a closed form's values from the formulas, both in the closed
    // form's column and in the engine's where it holds; the narrow rectangle, whose long sides dip
    // below its centre (there the two-rod h0 of the long side, 60 m apart), called unsafe; three
    // rods, no closed form.
    void closedFormPane_data()
    {
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<QStringList>("twice");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("two rods 20 m apart")
            << Layout{45, {Rod{0, 0, 20}, Rod{20, 0, 20}}, {}}
            << QStringList{metres(twoRodsH0(20, 45, 20))}
            << QStringList{metres(twoRodsB0(20, 45, 20)), QStringLiteral("量"),
                           QStringLiteral("闭合公式 / m"), QStringLiteral("滚球法精确几何 / m"),
                           QStringLiteral("一致")}
            << QStringList{QStringLiteral("不一致"), QStringLiteral("不适用")};
        QTest::newRow("square of four rods")
            << Layout{45, {Rod{0, 0, 20}, Rod{40, 0, 20}, Rod{40, 40, 20}, Rod{0, 40, 20}}, {}}
            << QStringList{metres(fourRodsH0(20, 45, std::hypot(40, 40)))}
            << QStringList{QStringLiteral("闭合公式在此适用")}
            << QStringList{QStringLiteral("不一致")};
        QTest::newRow("narrow four-rod rectangle")
            << Layout{45, {Rod{0, 0, 20}, Rod{60, 0, 20}, Rod{60, 10, 20}, Rod{0, 10, 20}}, {}}
            << QStringList{}
            << QStringList{metres(fourRodsH0(20, 45, std::hypot(60, 10))),
                           metres(twoRodsH0(20, 45, 60)), QStringLiteral("不一致"),
                           QStringLiteral("偏不安全")}
            << QStringList{QStringLiteral("闭合公式在此适用")};
        QTest::newRow("three rods")
            << Layout{45, {Rod{0, 0, 20}, Rod{20, 0, 20}, Rod{10, 15, 20}}, {}} << QStringList{}
            << QStringList{QStringLiteral("附录D的闭合公式不适用")}
            << QStringList{QStringLiteral("闭合公式 / m")};
    }

    void closedFormPane()
    {
        QFETCH(Layout, layout);
        QFETCH(QStringList, twice);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, absent);
        auto *pane = w().findChild<QTextBrowser *>(QStringLiteral("closedForms"));
        QVERIFY(pane);
        QCOMPARE(pane, &w().closedFormPane());
        QVERIFY(pane->isReadOnly());
        // Pending while the exact stage is worked out, as the least clearances are.
        QStringList shown;
        const auto record = connect(&w(), &DesignerWindow::resultsShown, this,
                                    [&] { shown << pane->toPlainText(); });
        w().document().reset(layout);
        waitForResults();
        disconnect(record);
        QVERIFY(shown.size() >= 2);
        QCOMPARE(shown.front(), QStringLiteral("计算中…"));
        const QString text = pane->toPlainText();
        for (const QString &value : twice)
            QVERIFY2(text.count(value) == 2, qPrintable(value + QStringLiteral(" in ") + text));
        for (const QString &t : texts) QVERIFY2(text.contains(t), qPrintable(t));
        for (const QString &t : absent) QVERIFY2(!text.contains(t), qPrintable(t));
        QVERIFY(!text.contains(QStringLiteral("nan")) && !text.contains(QStringLiteral("inf")));
    }

    // The pane follows the layout: a rod moved 80 m from the other (beyond 2 sqrt(20 x 70) =
    // 74.8 m the two no longer protect jointly) leaves no closed form; undo brings the two-rod
    // values back, redo takes them away, and an opened file shows its own.
    void closedFormPaneFollowsEditsUndoAndOpen()
    {
        QVERIFY(80 > 2 * std::sqrt(20.0 * 70));
        const QString h0 = metres(twoRodsH0(20, 45, 20));
        const QString notApplicable = QStringLiteral("附录D的闭合公式不适用");
        const QTextBrowser &pane = w().closedFormPane();
        w().document().reset(Layout{45, {Rod{0, 0, 20}, Rod{20, 0, 20}}, {}});
        waitForResults();
        QCOMPARE(pane.toPlainText().count(h0), 2);

        editCell(w().conductorTable(), 1, 1, QStringLiteral("80"));
        QCOMPARE(std::get<Rod>(w().document().layout().conductors[1]).x, 80.0);
        waitForResults();
        QVERIFY(pane.toPlainText().contains(notApplicable));
        QVERIFY(!pane.toPlainText().contains(h0));

        QTest::keyClick(&w(), Qt::Key_Z, Qt::ControlModifier);
        waitForResults();
        QCOMPARE(pane.toPlainText().count(h0), 2);
        QVERIFY(!pane.toPlainText().contains(notApplicable));
        QTest::keyClick(&w(), Qt::Key_Y, Qt::ControlModifier);
        waitForResults();
        QVERIFY(pane.toPlainText().contains(notApplicable));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rectangle.lplayout"));
        QString error;
        QVERIFY(lplayout::saveProject(
            path,
            {Layout{45, {Rod{0, 0, 20}, Rod{60, 0, 20}, Rod{60, 10, 20}, Rod{0, 10, 20}}, {}},
             {},
             {}},
            &error));
        answer = QMessageBox::Discard;
        QVERIFY(w().openFile(path));
        waitForResults();
        QVERIFY(pane.toPlainText().contains(QStringLiteral("不一致")));
        QVERIFY(pane.toPlainText().contains(metres(fourRodsH0(20, 45, std::hypot(60, 10)))));
    }

    // The caption sits with the pane, and the pane keeps its place below the verdicts without
    // taking theirs.
    void closedFormPaneBelowTheVerdicts()
    {
        const QTextBrowser &pane = w().closedFormPane();
        const QTreeWidget &verdicts = w().verdictList();
        QVERIFY(pane.isVisible() && verdicts.isVisible());
        const QPoint paneTop = pane.mapTo(&w(), QPoint(0, 0));
        const QPoint verdictsBottom = verdicts.mapTo(&w(), QPoint(0, verdicts.height()));
        QVERIFY(paneTop.y() >= verdictsBottom.y());
        QVERIFY(pane.height() >= 100);
        QVERIFY(verdicts.height() >= 100);
        bool captioned = false;
        for (const QLabel *label : w().findChildren<QLabel *>())
            captioned = captioned ||
                        (label->text() == QStringLiteral("闭合公式对照（GB 50057-2010 附录D）") &&
                         label->isVisible());
        QVERIFY(captioned);
    }

    // A rectangle dragged on the plan becomes an object on the grid with a name and a height;
    // dragged from its inside it moves by whole metres; both undo and redo.
    void drawAndMoveAnObject()
    {
        const Layout start{45, {Rod{0, 0, 20}}, {}};
        w().document().reset(start);
        w().plan().fitLayout();
        action(w(), QStringLiteral("drawRectangle"))->setChecked(true);
        dragPlan({10.4, 8.8}, {2.2, 3.1}); // from the upper right to the lower left corner
        QCOMPARE(w().document().layout().objects.size(), 1u);
        const Object drawn = w().document().layout().objects[0];
        QCOMPARE(QString::fromStdString(drawn.name), QStringLiteral("建筑物1"));
        QCOMPARE(drawn.height, 10.0);
        const Corners rectangle{{2, 3}, {10, 3}, {10, 9}, {2, 9}};
        QCOMPARE(cornersOf(drawn), rectangle);
        // The new object is selected, in the table and on the plan.
        QCOMPARE(tableRows(w().objectTable()), QList<int>{0});
        QCOMPARE(w().plan().selectedObjects(), QList<int>{0});
        const Layout withObject = w().document().layout();

        action(w(), QStringLiteral("drawRectangle"))->setChecked(false);
        dragPlan({6.2, 5.9}, {9.4, 4.7}); // by (3.2, -1.2), moved by (3, -1)
        QTRY_COMPARE(cornersOf(w().document().layout().objects[0]),
                     (Corners{{5, 2}, {13, 2}, {13, 8}, {5, 8}}));
        QCOMPARE(w().document().undoStack().count(), 2);
        QCOMPARE(w().plan().selectedObjects(), QList<int>{0});
        const Layout moved = w().document().layout();

        QTest::keyClick(&w(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(designer::sameLayout(w().document().layout(), withObject));
        QTest::keyClick(&w(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(designer::sameLayout(w().document().layout(), start));
        QTest::keyClick(&w(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(designer::sameLayout(w().document().layout(), withObject));
        QTest::keyClick(&w(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(designer::sameLayout(w().document().layout(), moved));
        // The plan draws what the document holds after each step: the object is where it was
        // moved to, under the mouse there.
        waitForResults();
        clickPlan({12, 7});
        QCOMPARE(w().plan().selectedObjects(), QList<int>{0});
    }

    void drawRectangleWithoutArea()
    {
        w().document().reset(Layout{45, {}, {}});
        w().plan().fitLayout();
        action(w(), QStringLiteral("drawRectangle"))->setChecked(true);
        dragPlan({2.2, 3.1}, {2.4, 9.0}); // both ends snap to x = 2
        QCOMPARE(w().document().layout().objects.size(), 0u);
        QCOMPARE(w().document().undoStack().count(), 0);
    }

    // Corners clicked one by one, the last with a double click.
    void drawPolygons_data()
    {
        QTest::addColumn<Corners>("clicks");
        QTest::addColumn<Corners>("footprint");
        QTest::newRow("quadrilateral") << Corners{{0.2, 0.1}, {12.3, -0.4}, {11.8, 8.2}, {4.1, 9.9}}
                                       << Corners{{0, 0}, {12, 0}, {12, 8}, {4, 10}};
        QTest::newRow("triangle, a corner clicked twice")
            << Corners{{0, 0}, {0.3, 0.2}, {6, 0}, {3, 5}} << Corners{{0, 0}, {6, 0}, {3, 5}};
    }

    void drawPolygons()
    {
        QFETCH(Corners, clicks);
        QFETCH(Corners, footprint);
        w().document().reset(
            Layout{45, {}, {Object{"建筑物1", {{-20, -20}, {-15, -20}, {-15, -15}}, 5}}});
        w().plan().fitLayout();
        w().plan().centerOn(0, 0);
        action(w(), QStringLiteral("drawPolygon"))->setChecked(true);
        for (qsizetype i = 0; i + 1 < clicks.size(); ++i) clickPlan(clicks[i]);
        QCOMPARE(w().document().layout().objects.size(), 1u); // nothing until the double click
        QTest::mouseDClick(w().plan().viewport(), Qt::LeftButton, {},
                           w().plan().viewPoint(clicks.back()));
        QCOMPARE(w().document().layout().objects.size(), 2u);
        const Object &o = w().document().layout().objects[1];
        QCOMPARE(cornersOf(o), footprint);
        QCOMPARE(QString::fromStdString(o.name), QStringLiteral("建筑物2"));
        QCOMPARE(w().document().undoStack().count(), 1);
    }

    void polygonsNotDrawn_data()
    {
        QTest::addColumn<Corners>("clicks");
        QTest::addColumn<bool>("escape");
        QTest::newRow("outline crossing itself")
            << Corners{{0, 0}, {10, 10}, {10, 0}, {0, 10}} << false;
        QTest::newRow("two corners") << Corners{{0, 0}, {10, 0}} << false;
        QTest::newRow("abandoned with Esc") << Corners{{0, 0}, {10, 0}, {10, 10}} << true;
    }

    void polygonsNotDrawn()
    {
        QFETCH(Corners, clicks);
        QFETCH(bool, escape);
        w().document().reset(Layout{45, {}, {}});
        w().plan().fitLayout();
        w().plan().centerOn(0, 0);
        action(w(), QStringLiteral("drawPolygon"))->setChecked(true);
        for (const QPointF &p : clicks) clickPlan(p);
        if (escape) {
            QTest::keyClick(&w().plan(), Qt::Key_Escape);
            clickPlan({20, 20});
            QTest::mouseDClick(w().plan().viewport(), Qt::LeftButton, {},
                               w().plan().viewPoint({20, 20}));
        } else {
            QTest::mouseDClick(w().plan().viewport(), Qt::LeftButton, {},
                               w().plan().viewPoint(clicks.back()));
        }
        QCOMPARE(w().document().layout().objects.size(), 0u);
        QCOMPARE(w().document().undoStack().count(), 0);
    }

    void newObjectNames_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("next");
        QTest::newRow("empty site") << QStringList{} << QStringLiteral("建筑物1");
        QTest::newRow("after the first")
            << QStringList{QStringLiteral("建筑物1")} << QStringLiteral("建筑物2");
        QTest::newRow("others named freely")
            << QStringList{QStringLiteral("1#楼"), QStringLiteral("罐")}
            << QStringLiteral("建筑物3");
        QTest::newRow("count's number taken")
            << QStringList{QStringLiteral("建筑物2"), QStringLiteral("罐"),
                           QStringLiteral("建筑物3")}
            << QStringLiteral("建筑物4");
    }

    void newObjectNames()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, next);
        Layout layout{45, {}, {}};
        for (const QString &name : names)
            layout.objects.push_back({name.toStdString(), {{0, 0}, {1, 0}, {0, 1}}, 5});
        QCOMPARE(QString::fromStdString(calc::layout::newObjectName(layout)), next);
    }

    // A click on the plan selects the row; a row chosen in a table selects the item on the plan;
    // neither passes the change back.
    void selectionFollowsPlanAndTables()
    {
        w().document().reset(Layout{45,
                                    {Rod{0, 0, 20}, Wire{{-10, 10, 15}, {10, 10, 15}}},
                                    {Object{"甲", {{4, -4}, {8, -4}, {8, 0}, {4, 0}}, 5},
                                     Object{"乙", {{-8, -8}, {-4, -8}, {-4, -4}, {-8, -4}}, 5}}});
        w().plan().fitLayout();
        waitForResults();
        auto *tabs = w().findChild<QTabWidget *>();
        QSignalSpy fromPlan(&w().plan(), &designer::PlanView::selectionChanged);

        clickPlan({0, 0}); // the rod
        QCOMPARE(tableRows(w().conductorTable()), QList<int>{0});
        QCOMPARE(tableRows(w().objectTable()), QList<int>{});
        QCOMPARE(tabs->currentWidget(), &w().conductorTable());

        clickPlan({-6, -6}); // 乙
        QCOMPARE(tableRows(w().objectTable()), QList<int>{1});
        QCOMPARE(tableRows(w().conductorTable()), QList<int>{});
        QCOMPARE(tabs->currentWidget(), &w().objectTable());

        clickPlan({0, 10}, Qt::ControlModifier); // and the wire
        QCOMPARE(tableRows(w().conductorTable()), QList<int>{1});
        QCOMPARE(tableRows(w().objectTable()), QList<int>{1});
        QCOMPARE(planItemsSelected(), 2);
        const int clicks = static_cast<int>(fromPlan.count());

        // From the table: a click on a cell of 甲's row.
        QTableView &objects = w().objectTable();
        QTest::mouseClick(objects.viewport(), Qt::LeftButton, {},
                          objects.visualRect(objects.model()->index(0, 1)).center());
        QCOMPARE(w().plan().selectedObjects(), QList<int>{0});
        QCOMPARE(w().plan().selectedConductors(), QList<int>{});
        QCOMPARE(tableRows(w().conductorTable()), QList<int>{});
        QCOMPARE(planItemsSelected(), 1);
        tabs->setCurrentWidget(&w().conductorTable());
        w().conductorTable().selectRow(1);
        QCOMPARE(w().plan().selectedConductors(), QList<int>{1});
        QCOMPARE(w().plan().selectedObjects(), QList<int>{});
        QCOMPARE(tableRows(w().objectTable()), QList<int>{});
        QCOMPARE(fromPlan.count(), clicks); // the plan did not report what the tables set

        // The selection outlives the plan's redrawing, and goes with a deleted row.
        w().setPlanHeight(3);
        waitForResults();
        QCOMPARE(planItemsSelected(), 1);
        action(w(), QStringLiteral("删除所选行"))->trigger();
        QCOMPARE(w().document().layout().conductors.size(), 1u);
        QCOMPARE(w().plan().selectedConductors(), QList<int>{});
        QCOMPARE(planItemsSelected(), 0);
    }

    // One button per distinct height, lowest first; one click sets the plan's height.
    void roofHeightButtons()
    {
        w().document().reset(
            Layout{45,
                   {Rod{0, 0, 30}},
                   {Object{"1#楼", {{5, 5}, {25, 5}, {25, 15}, {5, 15}}, 18},
                    Object{"罐", {{-10, 0}, {-6, 0}, {-8, 3}}, 6.125},
                    Object{"2#楼", {{5, -15}, {25, -15}, {25, -5}, {5, -5}}, 18}}});
        QStringList texts;
        for (QAction *a : w().heightButtons().actions()) texts << a->text();
        QCOMPARE(texts, (QStringList{QStringLiteral("地面 0 m"), QStringLiteral("罐 6.125 m"),
                                     QStringLiteral("1#楼、2#楼 18 m")}));
        QCOMPARE(heightButton(QStringLiteral("地面 0 m"))->isChecked(), true);
        // The drop-down of the same heights shows the height too, after the layout changed.
        QCOMPARE(w().findChild<QComboBox *>(QStringLiteral("heightChoice"))->currentText(),
                 QStringLiteral("地面 0 m"));

        QWidget *roof = w().heightButtons().widgetForAction(heightButton(texts[2]));
        QVERIFY(roof);
        QTRY_VERIFY(roof->isVisible()); // once the bar is laid out
        QTest::mouseClick(roof, Qt::LeftButton);
        QCOMPARE(w().planHeight(), 18.0);
        QVERIFY(heightButton(texts[2])->isChecked());
        QVERIFY(!heightButton(texts[0])->isChecked());
        waitForResults();
        QCOMPARE(w().results().height, 18.0);
        // A second click keeps the height, and its button stays down.
        QTest::mouseClick(roof, Qt::LeftButton);
        QCOMPARE(w().planHeight(), 18.0);
        QVERIFY(heightButton(texts[2])->isChecked());

        // A height typed in checks the button of that height, or none.
        w().setPlanHeight(6.125); // shown to the centimetre, 6.13 m
        QVERIFY(heightButton(texts[1])->isChecked());
        w().setPlanHeight(6.14);
        for (QAction *a : w().heightButtons().actions()) QVERIFY(!a->isChecked());

        // The buttons follow the objects.
        editCell(w().objectTable(), 1, 1, QStringLiteral("18"));
        texts.clear();
        for (QAction *a : w().heightButtons().actions()) texts << a->text();
        QCOMPARE(texts,
                 (QStringList{QStringLiteral("地面 0 m"), QStringLiteral("1#楼、罐、2#楼 18 m")}));
    }

    // Printing paints the same sheet as the PDF export, here onto a PDF printer.
    void printTheSheet()
    {
        QTemporaryDir dir;
        const QString printed = dir.filePath(QStringLiteral("printed.pdf"));
        const QString exported = dir.filePath(QStringLiteral("exported.pdf"));
        w().document().reset(
            Layout{45, {Rod{0, 0, 20}}, {Object{"近", {{2, 2}, {6, 2}, {6, 6}, {2, 6}}, 5}}});
        waitForResults();
        int asked = 0;
        w().setUpPrinter = [&](QPrinter &printer) {
            ++asked;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printed);
            return true;
        };
        action(w(), QStringLiteral("printSheet"))->trigger();
        QCOMPARE(asked, 1);
        QVERIFY(problems.isEmpty());
        const int pages = pdfPages(printed);
        QVERIFY2(pages >= 1, qPrintable(QString::number(pages)));
        QVERIFY(rendering::writeSheetPdf(w().sheet(), exported).isEmpty());
        QCOMPARE(pages, pdfPages(exported));

        // Cancelled: nothing printed.
        const QString cancelled = dir.filePath(QStringLiteral("cancelled.pdf"));
        w().setUpPrinter = [&](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(cancelled);
            return false;
        };
        action(w(), QStringLiteral("printSheet"))->trigger();
        QVERIFY(!QFile::exists(cancelled));
        QVERIFY(problems.isEmpty());

        // A printer that cannot take the pages is reported, not passed over.
        w().setUpPrinter = [](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QStringLiteral("/nonexistent-folder/x.pdf"));
            return true;
        };
        action(w(), QStringLiteral("printSheet"))->trigger();
        QCOMPARE(problems.size(), 1);
    }
};

QTEST_MAIN(DesignerWindowTest)
#include "designer_window_test.moc"
