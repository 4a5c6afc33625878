#include "designer/designer_window.h"
#include "designer/layout_document.h"
#include "designer/plan_items.h"
#include "designer/plan_view.h"

#include "../quiet_platform.h"

#include <QAction>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include <memory>

using calc::layout::Layout;
using calc::layout::Object;
using calc::layout::Rod;
using calc::layout::Wire;
using designer::DesignerWindow;

namespace {

using Points = QList<QPointF>;

// A conductor as "rod x y h" or "wire x y z x y z", an object as its corners: what a test
// compares, readable in a failure.
QString conductorText(const calc::layout::Conductor &c)
{
    if (const auto *rod = std::get_if<Rod>(&c))
        return QStringLiteral("rod %1 %2 %3").arg(rod->x).arg(rod->y).arg(rod->h);
    const auto &w = std::get<Wire>(c);
    return QStringLiteral("wire %1 %2 %3 %4 %5 %6")
        .arg(w.a.x)
        .arg(w.a.y)
        .arg(w.a.z)
        .arg(w.b.x)
        .arg(w.b.y)
        .arg(w.b.z);
}

QStringList conductorTexts(const Layout &layout)
{
    QStringList texts;
    for (const auto &c : layout.conductors) texts << conductorText(c);
    return texts;
}

Points cornersOf(const Object &o)
{
    Points corners;
    for (const auto &c : o.footprint) corners << QPointF(c.x, c.y);
    return corners;
}

QStringList objectNames(const Layout &layout)
{
    QStringList names;
    for (const auto &o : layout.objects) names << QString::fromStdString(o.name);
    return names;
}

Object square(const char *name, double x, double y, double side)
{
    return {name, {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}}, 5};
}

// The two buildings of the README's picture: three rods of unequal height, a wire along the
// taller building, the plan at the lower roof.
Layout exampleLayout()
{
    return Layout{45,
                  {Rod{-6, -4, 30}, Rod{64, 0, 25}, Rod{50, 30, 20}, Wire{{0, 6, 22}, {30, 6, 22}}},
                  {Object{"1#楼", {{0, 0}, {30, 0}, {30, 12}, {0, 12}}, 18},
                   Object{"2#楼", {{38, 4}, {58, 4}, {58, 20}, {38, 20}}, 12}}};
}

} // namespace

class PlanEditingTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<DesignerWindow> window;

    DesignerWindow &w() { return *window; }
    designer::PlanView &plan() { return w().plan(); }
    QUndoStack &undo() { return w().document().undoStack(); }
    QString status() { return w().statusBar()->currentMessage(); }

    QAction *action(const QString &name)
    {
        for (QAction *a : w().findChildren<QAction *>())
            if (a->objectName() == name || a->text() == name) return a;
        return nullptr;
    }

    // Shows the layout as opened from a file, the whole of it in view.
    void start(const Layout &layout)
    {
        w().document().reset(layout);
        plan().fitLayout();
    }

    void clickPlan(QPointF at, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(plan().viewport(), Qt::LeftButton, modifiers, plan().viewPoint(at));
    }

    // Presses at one plan point, moves in two steps and lets go at the other; the edit is
    // reported once the release has been handled.
    void dragPlan(QPointF from, QPointF to)
    {
        QWidget *viewport = plan().viewport();
        const QPoint a = plan().viewPoint(from), b = plan().viewPoint(to);
        QTest::mousePress(viewport, Qt::LeftButton, {}, a);
        QTest::mouseMove(viewport, (a + b) / 2);
        QTest::mouseMove(viewport, b);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, b);
        QCoreApplication::processEvents();
    }

    // Ctrl+Z gives back `before`, Ctrl+Y the layout after the edit again; the edit's name
    // is on the undo stack.
    void checkUndoRedo(const Layout &before, const QString &name)
    {
        const Layout after = w().document().layout();
        QCOMPARE(undo().count(), 1);
        QCOMPARE(undo().undoText(), name);
        QTest::keyClick(&w(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(designer::sameLayout(w().document().layout(), before));
        QTest::keyClick(&w(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(designer::sameLayout(w().document().layout(), after));
    }

    int visibleHandles()
    {
        int count = 0;
        for (QGraphicsItem *item : plan().scene()->items()) {
            const auto t = designer::tagOf(item);
            count += t && t->kind == designer::ItemKind::Corner && item->isVisible();
        }
        return count;
    }

private slots:
    void initTestCase() { guitest::quietPlatformNotes(); }

    void init()
    {
        window = std::make_unique<DesignerWindow>();
        w().askToSave = [](const QString &) { return QMessageBox::Discard; };
        w().showProblem = [](const QString &text) { QFAIL(qPrintable(text)); };
        w().show();
        QVERIFY(QTest::qWaitForWindowExposed(&w()));
    }

    void cleanup()
    {
        w().document().markSaved();
        window.reset();
    }

    // Press at one end and let go at the other, or click each end; the ends snap to the grid
    // and take the heights of the last wire's ends, 15 m on a site without wires.
    void drawWire_data()
    {
        QTest::addColumn<Layout>("before");
        QTest::addColumn<Points>("clicks"); // two points: pressed and let go; four: two clicks
        QTest::addColumn<QString>("drawn");
        const Layout rodOnly{45, {Rod{0, 0, 20}}, {}};
        const Layout twoWires{
            45,
            {Wire{{0, -10, 12}, {10, -10, 12}}, Rod{0, 0, 20}, Wire{{-10, -20, 22}, {10, -20, 18}}},
            {}};
        QTest::newRow("dragged, no wire before")
            << rodOnly << Points{{2.2, 4.8}, {21.7, 5.3}} << QStringLiteral("wire 2 5 15 22 5 15");
        QTest::newRow("two clicks, no wire before")
            << rodOnly << Points{{0.2, -0.3}, {0.2, -0.3}, {-9.8, 10.3}, {-9.8, 10.3}}
            << QStringLiteral("wire 0 0 15 -10 10 15");
        QTest::newRow("dragged, heights of the last wire")
            << twoWires << Points{{-3.2, 7.7}, {6.8, 7.7}} << QStringLiteral("wire -3 8 22 7 8 18");
        QTest::newRow("second click dragged a little")
            << twoWires << Points{{5, 5}, {5.1, 4.9}, {15.2, 4.8}, {14.8, 5.3}}
            << QStringLiteral("wire 5 5 22 15 5 18");
    }

    void drawWire()
    {
        QFETCH(Layout, before);
        QFETCH(Points, clicks);
        QFETCH(QString, drawn);
        start(before);
        plan().centerOn(0, 0);
        action(QStringLiteral("drawWire"))->setChecked(true);
        QWidget *viewport = plan().viewport();
        for (qsizetype i = 0; i < clicks.size(); i += 2) {
            QTest::mousePress(viewport, Qt::LeftButton, {}, plan().viewPoint(clicks[i]));
            QTest::mouseMove(viewport, plan().viewPoint(clicks[i + 1]));
            if (i + 2 < clicks.size()) QCOMPARE(undo().count(), 0); // not before the last
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, plan().viewPoint(clicks[i + 1]));
        }
        QStringList expected = conductorTexts(before);
        expected << drawn;
        QCOMPARE(conductorTexts(w().document().layout()), expected);
        // The new wire's row is selected, and the wire on the plan.
        const int row = static_cast<int>(before.conductors.size());
        QCOMPARE(w().conductorTable().selectionModel()->selectedRows(0).size(), 1);
        QCOMPARE(w().conductorTable().selectionModel()->selectedRows(0).front().row(), row);
        QCOMPARE(plan().selectedConductors(), QList<int>{row});
        checkUndoRedo(before, QStringLiteral("画避雷线"));
    }

    // Nothing is added, and the status bar says why when the user finished a wire.
    void wiresNotDrawn_data()
    {
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<Points>("clicks"); // press and release points, in pairs
        QTest::addColumn<bool>("escape");   // Esc after the clicks
        QTest::addColumn<QString>("message");
        QTest::newRow("both clicks on one grid point")
            << QPointF(0, 0) << Points{{3.2, 3.1}, {3.2, 3.1}, {2.8, 2.9}, {2.8, 2.9}} << false
            << QStringLiteral("避雷线两端重合，未添加避雷线");
        QTest::newRow("dragged within one grid point, then clicked there")
            << QPointF(0, 0) << Points{{3.2, 3.1}, {2.8, 3.2}, {3.1, 2.8}, {3.1, 2.8}} << false
            << QStringLiteral("避雷线两端重合，未添加避雷线");
        QTest::newRow("second end off the site")
            << QPointF(10000, 0) << Points{{9995.2, 0.2}, {10003.2, 0.2}} << false
            << QStringLiteral("端点超出场地范围，未添加避雷线");
        QTest::newRow("abandoned with Esc after the first click")
            << QPointF(0, 0) << Points{{0, 0}, {0, 0}} << true << QString();
    }

    void wiresNotDrawn()
    {
        QFETCH(QPointF, centre);
        QFETCH(Points, clicks);
        QFETCH(bool, escape);
        QFETCH(QString, message);
        const Layout before{45, {Rod{centre.x() - 10, centre.y() - 10, 20}}, {}};
        start(before);
        plan().centerOn(designer::toScene(centre));
        action(QStringLiteral("drawWire"))->setChecked(true);
        QWidget *viewport = plan().viewport();
        for (qsizetype i = 0; i < clicks.size(); i += 2) {
            QTest::mousePress(viewport, Qt::LeftButton, {}, plan().viewPoint(clicks[i]));
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, plan().viewPoint(clicks[i + 1]));
        }
        if (escape) {
            QTest::keyClick(&plan(), Qt::Key_Escape);
            // A click after Esc places a first end again, not a second one.
            clickPlan(centre + QPointF(10, 0));
        }
        QVERIFY(designer::sameLayout(w().document().layout(), before));
        QCOMPARE(undo().count(), 0);
        QCOMPARE(status(), message);
    }

    // A double click draws nothing: its two presses fall on one grid point.
    void doubleClickDrawsNoWire()
    {
        start(Layout{45, {Rod{0, 0, 20}}, {}});
        action(QStringLiteral("drawWire"))->setChecked(true);
        // As the window system sends it: press, release, double click, release.
        const QPoint at = plan().viewPoint({4, 4});
        QTest::mouseClick(plan().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(plan().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(plan().viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(w().document().layout().conductors.size(), 1u);
        QCOMPARE(status(), QStringLiteral("避雷线两端重合，未添加避雷线"));
        // The next two clicks draw a wire.
        clickPlan({4, 4});
        clickPlan({9, 4});
        QCOMPARE(conductorTexts(w().document().layout()).last(),
                 QStringLiteral("wire 4 4 15 9 4 15"));
    }

    // A wire dragged from anywhere along it: its first end lands on the grid, the second
    // moves with it.
    void dragWire_data()
    {
        QTest::addColumn<Wire>("wire");
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QString>("moved");
        QTest::newRow("on the grid") << Wire{{0, 0, 15}, {20, 0, 12}} << QPointF(10, 0)
                                     << QPointF(13.2, 4.8) << QStringLiteral("wire 3 5 15 23 5 12");
        // (0.5, 0.5) + (3.2, 4.8) = (3.7, 5.3), on the grid (4, 5): moved by (3.5, 4.5).
        QTest::newRow("off the grid")
            << Wire{{0.5, 0.5, 15}, {20.5, 10.5, 15}} << QPointF(10.5, 5.5) << QPointF(13.7, 10.3)
            << QStringLiteral("wire 4 5 15 24 15 15");
        QTest::newRow("grabbed near its second end")
            << Wire{{0, 0, 15}, {20, 0, 12}} << QPointF(19, 0) << QPointF(11.2, -6.8)
            << QStringLiteral("wire -8 -7 15 12 -7 12");
    }

    void dragWire()
    {
        QFETCH(Wire, wire);
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        QFETCH(QString, moved);
        const Layout before{45, {Rod{-10, 10, 20}, wire}, {}};
        start(before);
        dragPlan(from, to);
        QCOMPARE(conductorTexts(w().document().layout()),
                 (QStringList{QStringLiteral("rod -10 10 20"), moved}));
        checkUndoRedo(before, QStringLiteral("移动避雷线"));
    }

    // With a rod, a wire and an object selected, dragging any one of them moves all three by
    // the same offset, (3, -3) here; the object not selected stays.
    void moveSeveral_data()
    {
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::newRow("by the object") << QPointF(6, -2) << QPointF(8.8, -4.8);
        QTest::newRow("by the rod") << QPointF(0, 0) << QPointF(2.8, -3.2);
        QTest::newRow("by the wire") << QPointF(10, 10) << QPointF(13.2, 6.8);
    }

    void moveSeveral()
    {
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        const Layout before{45,
                            {Rod{0, 0, 20}, Wire{{0, 10, 15}, {20, 10, 15}}, Rod{-12, 0, 25}},
                            {square("乙", -8, -8, 4), square("甲", 4, -4, 4)}};
        start(before);
        clickPlan({0, 0});
        clickPlan({16, 10}, Qt::ControlModifier);
        clickPlan({7, -1}, Qt::ControlModifier);
        QCOMPARE(plan().selectedConductors(), (QList<int>{0, 1}));
        QCOMPARE(plan().selectedObjects(), QList<int>{1});

        dragPlan(from, to);
        const Layout &after = w().document().layout();
        QCOMPARE(conductorTexts(after),
                 (QStringList{QStringLiteral("rod 3 -3 20"), QStringLiteral("wire 3 7 15 23 7 15"),
                              QStringLiteral("rod -12 0 25")}));
        QCOMPARE(cornersOf(after.objects[1]), (Points{{7, -7}, {11, -7}, {11, -3}, {7, -3}}));
        QCOMPARE(cornersOf(after.objects[0]), cornersOf(before.objects[0]));
        // The items stay selected, where they now are.
        QCOMPARE(plan().selectedConductors(), (QList<int>{0, 1}));
        QCOMPARE(plan().selectedObjects(), QList<int>{1});
        checkUndoRedo(before, QStringLiteral("移动所选"));
    }

    // A plain click on one of several selected items selects it alone; a drag from it then
    // moves only it.
    void clickNarrowsTheSelection()
    {
        const Layout before{45, {Rod{0, 0, 20}, Rod{10, 0, 20}}, {}};
        start(before);
        clickPlan({0, 0});
        clickPlan({10, 0}, Qt::ControlModifier);
        QCOMPARE(plan().selectedConductors(), (QList<int>{0, 1}));
        clickPlan({10, 0});
        QCOMPARE(plan().selectedConductors(), QList<int>{1});
        dragPlan({10, 0}, {12.2, 1.8});
        QCOMPARE(conductorTexts(w().document().layout()),
                 (QStringList{QStringLiteral("rod 0 0 20"), QStringLiteral("rod 12 2 20")}));
        QCOMPARE(undo().undoText(), QStringLiteral("移动避雷针"));
    }

    // A move that would take any selected item off the site is refused as a whole, and the
    // items are drawn where they were.
    void moveOffTheSiteIsRefused_data()
    {
        QTest::addColumn<bool>("several");
        QTest::newRow("a wire alone") << false;
        QTest::newRow("a rod with a wire") << true;
    }

    void moveOffTheSiteIsRefused()
    {
        QFETCH(bool, several);
        const Layout before{45, {Rod{9980, 0, 20}, Wire{{9990, 5, 15}, {9998, 5, 15}}}, {}};
        start(before);
        if (several) {
            clickPlan({9980, 0});
            clickPlan({9994, 5}, Qt::ControlModifier);
        }
        dragPlan({9994, 5}, {9997.2, 5.2}); // the wire's second end to x = 10001
        QVERIFY(designer::sameLayout(w().document().layout(), before));
        QCOMPARE(undo().count(), 0);
        QTRY_COMPARE(designer::tagOf(plan().itemAt(plan().viewPoint({9991, 5})))->index, 1);
        QCOMPARE(designer::tagOf(plan().itemAt(plan().viewPoint({9980, 0})))->index, 0);
    }

    // The Delete key takes everything selected on the plan, from both tables, as one edit.
    void deleteAcrossBothTables_data()
    {
        QTest::addColumn<Points>("clicks"); // the first plain, the others with Ctrl
        QTest::addColumn<QStringList>("conductorsLeft");
        QTest::addColumn<QStringList>("objectsLeft");
        QTest::newRow("a rod and an object")
            << Points{{0, 0}, {-6, -6}}
            << QStringList{QStringLiteral("wire -10 10 15 10 10 15"), QStringLiteral("rod 20 0 25")}
            << QStringList{QStringLiteral("甲"), QStringLiteral("丙")};
        QTest::newRow("a wire, a rod and two objects")
            << Points{{20, 0}, {-6, -6}, {0, 10}, {26, -6}}
            << QStringList{QStringLiteral("rod 0 0 20")} << QStringList{QStringLiteral("甲")};
    }

    void deleteAcrossBothTables()
    {
        QFETCH(Points, clicks);
        QFETCH(QStringList, conductorsLeft);
        QFETCH(QStringList, objectsLeft);
        const Layout before{
            45,
            {Rod{0, 0, 20}, Wire{{-10, 10, 15}, {10, 10, 15}}, Rod{20, 0, 25}},
            {square("甲", 4, -4, 4), square("乙", -8, -8, 4), square("丙", 24, -8, 4)}};
        start(before);
        for (qsizetype i = 0; i < clicks.size(); ++i)
            clickPlan(clicks[i], i == 0 ? Qt::NoModifier : Qt::ControlModifier);
        QCOMPARE(plan().selectedConductors().size() + plan().selectedObjects().size(),
                 clicks.size());
        QTest::keyClick(&w(), Qt::Key_Delete);
        QCOMPARE(conductorTexts(w().document().layout()), conductorsLeft);
        QCOMPARE(objectNames(w().document().layout()), objectsLeft);
        checkUndoRedo(before, QStringLiteral("删除所选"));
    }

    // A selected object shows a handle at each corner; dragging one moves that corner to the
    // grid point under the mouse.
    void reshapeAnObject_data()
    {
        QTest::addColumn<QPointF>("corner");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<Points>("outline");
        QTest::newRow("a corner outwards")
            << QPointF(10, 6) << QPointF(13.2, 8.8) << Points{{0, 0}, {10, 0}, {13, 9}, {0, 6}};
        QTest::newRow("the first corner inwards")
            << QPointF(0, 0) << QPointF(2.2, 1.8) << Points{{2, 2}, {10, 0}, {10, 6}, {0, 6}};
    }

    void reshapeAnObject()
    {
        QFETCH(QPointF, corner);
        QFETCH(QPointF, to);
        QFETCH(Points, outline);
        const Layout before{
            45, {Rod{-10, 10, 20}}, {Object{"甲", {{0, 0}, {10, 0}, {10, 6}, {0, 6}}, 8}}};
        start(before);
        QCOMPARE(visibleHandles(), 0);
        clickPlan({5, 3});
        QCOMPARE(visibleHandles(), 4);
        dragPlan(corner, to);
        const Object &o = w().document().layout().objects[0];
        QCOMPARE(cornersOf(o), outline);
        QCOMPARE(o.height, 8.0);
        QCOMPARE(plan().selectedObjects(), QList<int>{0}); // still selected, handles shown
        QCOMPARE(visibleHandles(), 4);
        checkUndoRedo(before, QStringLiteral("修改被保护物轮廓"));
        clickPlan({-5, -5}); // empty ground
        QCOMPARE(visibleHandles(), 0);
    }

    // An outline the layout cannot take goes back, and the status bar says why.
    void reshapesRefused_data()
    {
        QTest::addColumn<Object>("object");
        QTest::addColumn<QPointF>("corner");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QString>("message");
        const Object block{"甲", {{0, 0}, {10, 0}, {10, 6}, {0, 6}}, 8};
        // The edge from (5, -3) to (0, 6) crosses the first edge at (3.33, 0).
        QTest::newRow("outline crossing itself")
            << block << QPointF(10, 6) << QPointF(5.2, -2.8)
            << QStringLiteral("轮廓自相交，未修改被保护物轮廓");
        QTest::newRow("corner onto its neighbour")
            << block << QPointF(10, 6) << QPointF(0.2, 5.8)
            << QStringLiteral("轮廓自相交，未修改被保护物轮廓");
        QTest::newRow("corner off the site")
            << Object{"乙", {{9990, 0}, {9998, 0}, {9998, 6}, {9990, 6}}, 8} << QPointF(9998, 6)
            << QPointF(10003.2, 6.2) << QStringLiteral("轮廓超出场地范围，未修改被保护物轮廓");
    }

    void reshapesRefused()
    {
        QFETCH(Object, object);
        QFETCH(QPointF, corner);
        QFETCH(QPointF, to);
        QFETCH(QString, message);
        const Layout before{45, {}, {object}};
        start(before);
        clickPlan(corner - QPointF(2, 2));
        QCOMPARE(visibleHandles(), 4);
        dragPlan(corner, to);
        QVERIFY(designer::sameLayout(w().document().layout(), before));
        QCOMPARE(undo().count(), 0);
        QCOMPARE(status(), message);
        // The outline is drawn as it was: the mouse finds the handle at the old corner.
        QTRY_COMPARE(designer::tagOf(plan().itemAt(plan().viewPoint(corner)))->kind,
                     designer::ItemKind::Corner);
    }

    // Every wire's number lies beside the wire, no label covers another, and no line (the wire,
    // the section's line, an object's outline, the protected area's outline) runs through a
    // label, at the zoom that shows the whole layout and zoomed in.
    void wireLabelsCoverNoOtherLabel_data()
    {
        QTest::addColumn<int>("wheelSteps");
        QTest::addColumn<bool>("crowded");
        QTest::newRow("whole layout") << 0 << false;
        QTest::newRow("zoomed in") << 3 << false;
        // A pump house narrower than its name, with a rod at its side.
        QTest::newRow("small object beside a rod") << 0 << true;
    }

    void wireLabelsCoverNoOtherLabel()
    {
        QFETCH(int, wheelSteps);
        QFETCH(bool, crowded);
        Layout layout = exampleLayout();
        if (crowded) {
            layout.objects.push_back(Object{"3#泵房", {{20, 20}, {23, 20}, {23, 22}, {20, 22}}, 6});
            layout.conductors.push_back(Rod{24, 21, 15});
        }
        start(layout);
        const QLineF section(-20, 8, 80, 8); // as the example file has it
        plan().showSectionLine(std::pair{calc::drawing::Vec2{section.x1(), section.y1()},
                                         calc::drawing::Vec2{section.x2(), section.y2()}});
        for (int i = 0; i < wheelSteps; ++i) {
            QWheelEvent wheel(QPointF(plan().viewport()->rect().center()),
                              plan().viewport()->mapToGlobal(plan().viewport()->rect().center()),
                              {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(plan().viewport(), &wheel);
        }
        const QTransform viewport = plan().viewportTransform();
        QList<QRectF> wireLabels, others;
        QList<QLineF> wires;
        for (QGraphicsItem *item : plan().scene()->items()) {
            if (auto *line = dynamic_cast<QGraphicsLineItem *>(item); line && designer::tagOf(line))
                wires << viewport.map(line->line());
            if (!dynamic_cast<QGraphicsSimpleTextItem *>(item)) continue;
            const QRectF box = item->deviceTransform(viewport).mapRect(item->boundingRect());
            (dynamic_cast<QGraphicsLineItem *>(item->parentItem()) ? wireLabels : others) << box;
        }
        QCOMPARE(wires.size(), 1);
        QCOMPARE(wireLabels.size(), 1);
        QCOMPARE(others.size(), crowded ? 7 : 5); // the rods and the objects
        for (const QRectF &other : others)
            QVERIFY2(!wireLabels[0].intersects(other), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                      .arg(other.x())
                                                                      .arg(other.y())
                                                                      .arg(other.width())
                                                                      .arg(other.height())));
        // Beside the wire: its centre no farther from the line than half its diagonal and
        // a little more.
        const QPointF c = wireLabels[0].center();
        const QLineF wire = wires[0];
        const QPointF d = wire.p2() - wire.p1();
        const double t =
            std::clamp(QPointF::dotProduct(c - wire.p1(), d) / QPointF::dotProduct(d, d), 0.0, 1.0);
        const QPointF nearest = wire.p1() + t * d;
        const double reach = std::hypot(wireLabels[0].width(), wireLabels[0].height()) / 2 + 6;
        QVERIFY(std::hypot(c.x() - nearest.x(), c.y() - nearest.y()) <= reach);
        // The lines' pixels, a quarter pixel apart, miss every other label.
        const QLineF sectionOnScreen(plan().viewPoint(section.p1()),
                                     plan().viewPoint(section.p2()));
        QList<QLineF> lines{wire, sectionOnScreen};
        // So do the objects' outlines and the protected area's, and no label covers another.
        for (QGraphicsItem *item : plan().scene()->items()) {
            QList<QPolygonF> rings;
            if (auto *object = dynamic_cast<QGraphicsPolygonItem *>(item)) {
                QPolygonF ring = object->polygon();
                ring << ring.front();
                rings << ring;
            } else if (auto *path = dynamic_cast<QGraphicsPathItem *>(item);
                       path && path->brush().style() == Qt::NoBrush && !path->parentItem()) {
                rings = path->path().toSubpathPolygons();
            }
            for (const QPolygonF &ring : rings)
                for (qsizetype k = 1; k < ring.size(); ++k)
                    lines << item->deviceTransform(viewport).map(QLineF(ring[k - 1], ring[k]));
        }
        QList<QRectF> labels = others + wireLabels;
        for (const QLineF &line : lines) {
            const int steps = std::max(1, static_cast<int>(4 * line.length()));
            for (int i = 0; i <= steps; ++i) {
                const QPointF p = line.pointAt(static_cast<double>(i) / steps);
                for (const QRectF &label : labels)
                    QVERIFY(!label.adjusted(0.5, 0.5, -0.5, -0.5).contains(p));
            }
        }
        for (qsizetype i = 0; i < labels.size(); ++i)
            for (qsizetype j = 0; j < i; ++j) QVERIFY(!labels[i].intersects(labels[j]));
    }

    // Marking an object metal, or a wire as laid out, changes the layout: each is an edit of its
    // own that undo takes back, not one dropped as no change.
    void metalAndLaidOutAreEdits()
    {
        designer::LayoutDocument document;
        const Layout before{45,
                            {Wire{{0, 0, 10.15}, {10, 0, 10.15}}},
                            {Object{"楼", {{0, 0}, {10, 0}, {10, 10}}, 10}}};
        document.reset(before);
        Layout metal = before;
        metal.objects[0].metal = true;
        document.edit(QStringLiteral("金属"), metal);
        QCOMPARE(document.undoStack().count(), 1);
        Layout laid = metal;
        std::get<Wire>(laid.conductors[0]).laidOut = true;
        document.edit(QStringLiteral("生成"), laid);
        QCOMPARE(document.undoStack().count(), 2);
        document.undoStack().undo();
        document.undoStack().undo();
        QVERIFY(!document.layout().objects[0].metal);
        QVERIFY(designer::sameLayout(document.layout(), before));
    }
};

QTEST_MAIN(PlanEditingTest)
#include "plan_editing_test.moc"
