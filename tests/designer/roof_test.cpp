#include "designer/designer_window.h"
#include "designer/layout_tables.h"
#include "designer/plan_view.h"
#include "designer/roof_dialog.h"
#include "designer/roof_pane.h"
#include "designer/table_selection.h"
#include "designer/table_selection.h"
#include "roof/lay_out.h"

#include "../quiet_platform.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <functional>
#include <memory>

using calc::layout::Layout;
using calc::layout::Object;
using calc::layout::Wire;
using designer::DesignerWindow;

namespace {

// An L-shaped building 24 m high and a small one far off, class 2.
Layout twoBuildings()
{
    Layout layout;
    layout.hr = 45;
    layout.objects.push_back(
        {"1#楼", {{0, 0}, {50, 0}, {50, 20}, {20, 20}, {20, 45}, {0, 45}}, 24});
    layout.objects.push_back({"2#楼", {{100, 0}, {110, 0}, {110, 8}, {100, 8}}, 6});
    return layout;
}

// The L building laid out, with a metal stack on its roof.
Layout laidOutL()
{
    Layout layout = twoBuildings();
    layout.objects.pop_back();
    Object stack{"排风管", {{35, 8}, {36, 8}, {36, 9}, {35, 9}}, 26.5, "1#楼"};
    stack.metal = true;
    layout.objects.push_back(stack);
    return calc::roof::layOutRoofs(layout);
}

// The index of the first laid-out wire for which `pick` holds.
std::size_t findWire(const Layout &layout, const std::function<bool(const Wire &)> &pick)
{
    for (std::size_t i = 0; i < layout.conductors.size(); ++i)
        if (const auto *w = std::get_if<Wire>(&layout.conductors[i]); w && pick(*w)) return i;
    qFatal("no such wire");
}

} // namespace

class RoofTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<DesignerWindow> window;
    QStringList problems;
    std::function<void(designer::RoofLayOutDialog &)> driveDialog;

    DesignerWindow &w() { return *window; }
    QTreeWidget &report() { return w().roofPane().tree(); }
    void waitForResults() { QTRY_VERIFY_WITH_TIMEOUT(w().resultsCurrent(), 20000); }
    void show(const Layout &layout)
    {
        w().document().reset(layout);
        waitForResults();
    }
    // The rule's row under the building's, by its name in the first column.
    QTreeWidgetItem *rule(int building, const QString &name)
    {
        QTreeWidgetItem *top = report().topLevelItem(building);
        for (int i = 0; top && i < top->childCount(); ++i)
            if (top->child(i)->text(0) == name) return top->child(i);
        qFatal("no rule row");
    }
    // 生成屋面防雷 with the dialog driven by driveDialog once it is up.
    void layOut()
    {
        QTimer::singleShot(0, this, [this] {
            auto *d = qobject_cast<designer::RoofLayOutDialog *>(QApplication::activeModalWidget());
            QVERIFY(d);
            driveDialog(*d);
            if (d->isVisible()) d->reject();
        });
        w().findChild<QAction *>(QStringLiteral("layOutRoofs"))->trigger();
        waitForResults();
    }

private slots:
    void initTestCase() { guitest::quietPlatformNotes(); }

    void init()
    {
        window = std::make_unique<DesignerWindow>();
        problems.clear();
        w().showProblem = [this](const QString &text) { problems << text; };
        w().show();
    }

    void cleanup()
    {
        w().document().markSaved();
        window.reset();
    }

    // The dialog lists the buildings, all ticked; the chosen ones are laid out at the chosen
    // height as one edit that undo takes back whole; laying out again replaces what was laid
    // out and keeps the hand-drawn wire.
    void layOutIsOneUndoableEdit()
    {
        Layout start = twoBuildings();
        start.conductors.push_back(Wire{{-20, -20, 15}, {-10, -20, 15}}); // drawn by hand
        show(start);
        driveDialog = [](designer::RoofLayOutDialog &d) {
            auto *list = d.findChild<QListWidget *>(QStringLiteral("roofBuildings"));
            QCOMPARE(list->count(), 2);
            QCOMPARE(list->item(0)->checkState(), Qt::Checked);
            QCOMPARE(list->item(1)->checkState(), Qt::Checked);
            QCOMPARE(d.findChild<QDoubleSpinBox *>(QStringLiteral("tapeHeight"))->value(), 0.15);
            list->item(1)->setCheckState(Qt::Unchecked); // 2#楼 left as it is
            d.findChild<QDoubleSpinBox *>(QStringLiteral("tapeHeight"))->setValue(0.3);
            d.accept();
        };
        layOut();
        const Layout &after = w().document().layout();
        QVERIFY(after.conductors.size() > 10);
        QCOMPARE(w().document().undoStack().undoText(), QStringLiteral("生成屋面防雷"));
        for (std::size_t i = 1; i < after.conductors.size(); ++i) {
            const Wire &wire = std::get<Wire>(after.conductors[i]);
            QVERIFY(wire.laidOut);
            QVERIFY(wire.a.x <= 50); // nothing over 2#楼
            if (wire.a.z == wire.b.z) QCOMPARE(wire.a.z, 24.3);
        }
        QVERIFY(!std::get<Wire>(after.conductors[0]).laidOut);
        // The tab: the L passes its mesh, 2#楼 has none.
        QCOMPARE(report().topLevelItemCount(), 2);
        QCOMPARE(rule(0, QStringLiteral("接闪网"))->text(2), QStringLiteral("满足"));
        QCOMPARE(rule(0, QStringLiteral("引下线间距"))->text(2), QStringLiteral("满足"));
        QCOMPARE(rule(1, QStringLiteral("接闪网"))->text(2), QStringLiteral("不满足"));

        // Again, every building: the L's wires are replaced, not doubled.
        const std::size_t lWires = after.conductors.size() - 1;
        driveDialog = [](designer::RoofLayOutDialog &d) { d.accept(); };
        layOut();
        const Layout &again = w().document().layout();
        std::size_t overL = 0;
        for (const auto &c : again.conductors)
            if (std::get<Wire>(c).laidOut && std::get<Wire>(c).a.x <= 50) ++overL;
        QCOMPARE(overL, lWires);
        QCOMPARE(rule(1, QStringLiteral("接闪网"))->text(2), QStringLiteral("满足"));

        w().document().undoStack().undo();
        w().document().undoStack().undo();
        waitForResults();
        QCOMPARE(w().document().layout().conductors.size(), std::size_t{1});

        // Cancelled: nothing changes.
        driveDialog = [](designer::RoofLayOutDialog &d) { d.reject(); };
        layOut();
        QCOMPARE(w().document().layout().conductors.size(), std::size_t{1});
        QVERIFY(problems.isEmpty());
    }

    // With no building there is nothing to lay out, and the window says so.
    void layOutWithoutBuildings()
    {
        show(Layout{});
        w().findChild<QAction *>(QStringLiteral("layOutRoofs"))->trigger();
        QCOMPARE(problems.size(), 1);
        QVERIFY(!QApplication::activeModalWidget());
    }

    // A mesh line taken out leaves 10 m × 18 m cells: the mesh fails, the fault is listed and a
    // click on it marks it on the plan and selects the building.
    void meshFaultSelectsOnThePlan()
    {
        Layout layout = laidOutL();
        const std::size_t line = findWire(
            layout, [](const Wire &w) { return w.a.y == 9 && w.b.y == 9 && w.a.z == w.b.z; });
        layout.conductors.erase(layout.conductors.begin() + static_cast<long>(line));
        show(layout);
        QTreeWidgetItem *mesh = rule(0, QStringLiteral("接闪网"));
        QCOMPARE(mesh->text(2), QStringLiteral("不满足"));
        QVERIFY(mesh->text(3).contains(QStringLiteral("18.00 m × 10.00 m")));
        QVERIFY(mesh->childCount() >= 1);
        QVERIFY(!w().plan().isShowingFault());
        w().findChild<QTabWidget *>()->setCurrentWidget(&w().roofPane());
        emit report().itemClicked(mesh->child(0), 0);
        QVERIFY(w().plan().isShowingFault());
        QCOMPARE(w().plan().selectedObjects(), QList<int>{0});
        QCOMPARE(designer::selectedRows(w().objectTable()), QList<int>{0});
        // The tab stays open to read the next fault.
        QCOMPARE(w().findChild<QTabWidget *>()->currentWidget(), &w().roofPane());
    }

    // A down conductor taken out doubles a spacing: the fault names the two neighbours and a
    // click selects both; the figures follow the edit.
    void spacingFaultSelectsItsConductors()
    {
        Layout layout = laidOutL();
        // The second conductor along the south side (at x = 16.67 m) taken out.
        const std::size_t down = findWire(layout, [](const Wire &w) {
            return w.a.x > 16 && w.a.x < 17 && w.a.y == 0 && w.a.x == w.b.x && w.a.y == w.b.y;
        });
        layout.conductors.erase(layout.conductors.begin() + static_cast<long>(down));
        show(layout);
        QTreeWidgetItem *spacing = rule(0, QStringLiteral("引下线间距"));
        QCOMPARE(spacing->text(2), QStringLiteral("不满足"));
        QVERIFY(spacing->text(3).contains(QStringLiteral("最大间距 33.33 m")));
        // The fault, then the long-span note: the average (190 m over 13) still holds.
        QCOMPARE(spacing->childCount(), 2);
        QVERIFY(spacing->child(0)->text(0).contains(QStringLiteral("33.33 m")));
        QVERIFY(spacing->text(3).contains(QStringLiteral("平均间距 14.62 m")));
        QVERIFY(spacing->child(1)->text(0).contains(QStringLiteral("跨距两端")));
        emit report().itemClicked(spacing->child(0), 0);
        const QList<int> chosen = w().plan().selectedConductors();
        QCOMPARE(chosen.size(), 2);
        for (const int i : chosen) {
            const Wire &wire =
                std::get<Wire>(w().document().layout().conductors[static_cast<std::size_t>(i)]);
            QCOMPARE(wire.a.y, 0.0);
            QVERIFY(wire.a.x == 0 || std::abs(wire.a.x - 100.0 / 3) < 1e-9);
        }
        // A click on a rule's own row marks nothing.
        w().plan().showFault({}, false);
        emit report().itemClicked(spacing, 0);
        QVERIFY(!w().plan().isShowingFault());
    }

    // The object table's 金属 column: a check is one undoable edit, and the verdict table
    // names the method that follows from it.
    void metalCheckbox()
    {
        show(laidOutL());
        QTreeWidget &verdicts = w().verdictList();
        QCOMPARE(verdicts.topLevelItem(0)->text(4), QStringLiteral("网格法"));
        QCOMPARE(verdicts.topLevelItem(0)->text(1), QStringLiteral("受保护"));
        QCOMPARE(verdicts.topLevelItem(1)->text(4), QStringLiteral("金属物与接闪器连接"));
        auto *model = w().objectTable().model();
        const QModelIndex metal = model->index(1, designer::ObjectTableModel::kMetalColumn);
        QCOMPARE(model->data(metal, Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
        QVERIFY(model->flags(metal) & Qt::ItemIsUserCheckable);
        QVERIFY(model->setData(metal, Qt::Unchecked, Qt::CheckStateRole));
        waitForResults();
        QVERIFY(!w().document().layout().objects[1].metal);
        QCOMPARE(w().document().undoStack().undoText(), QStringLiteral("取消金属物体"));
        QCOMPARE(verdicts.topLevelItem(1)->text(4), QStringLiteral("滚球法"));
        // Not editable as text, and the same state again is no edit.
        QVERIFY(!(model->flags(metal) & Qt::ItemIsEditable));
        QVERIFY(!model->setData(metal, Qt::Unchecked, Qt::CheckStateRole));
        w().document().undoStack().undo();
        waitForResults();
        QVERIFY(w().document().layout().objects[1].metal);
        QCOMPARE(verdicts.topLevelItem(1)->text(4), QStringLiteral("金属物与接闪器连接"));
    }

    // The 计算书 has the building's section and the plan of its network.
    void sheetHasTheRoofSection()
    {
        show(laidOutL());
        const calc::sheet::Sheet sheet = w().sheet();
        QVERIFY(calc::sheet::findSection(sheet, "屋面防雷：1#楼"));
        QVERIFY(calc::sheet::findSection(sheet, "被保护物的保护方法"));
        bool plan = false;
        for (const auto &view : sheet.drawing.views)
            plan = plan || view.title.starts_with("屋面防雷平面：1#楼");
        QVERIFY(plan);
    }
};

QTEST_MAIN(RoofTest)
#include "roof_test.moc"
