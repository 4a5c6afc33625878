#include "designer/designer_window.h"
#include "designer/plan_view.h"
#include "designer/strikes_pane.h"
#include "project/project_file.h"

#include "../quiet_platform.h"

#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using calc::layout::Layout;
using calc::layout::Object;
using designer::DesignerWindow;

namespace {

// A 40 m × 20 m block 18 m high: D = √(18·182) = √3276 m, and by the closed form
// Ae = [800 + 2·60·√3276 + π·3276]·10⁻⁶ = 0.017960 km².
constexpr double kBlockAe = 0.01796021978;
// A 10 m square 10 m high, far off: D = √1900 m, Ae = [100 + 40·√1900 + π·1900]·10⁻⁶ km².
constexpr double kSquareAe = 0.02577280540 - kBlockAe;

Object block() { return {"1#楼", {{0, 0}, {40, 0}, {40, 20}, {0, 20}}, 18}; }

} // namespace

class StrikesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<DesignerWindow> window;
    QStringList problems;

    DesignerWindow &w() { return *window; }
    QTableWidget &table() { return w().strikesPane().table(); }
    QString cell(int row, int column) { return table().item(row, column)->text(); }
    template <typename T>
    T *control(const char *name)
    {
        T *found = w().findChild<T *>(QLatin1String(name));
        if (!found) qFatal("no control %s", name);
        return found;
    }
    void waitForResults() { QTRY_VERIFY_WITH_TIMEOUT(w().resultsCurrent(), 20000); }
    QString undoText() { return w().document().undoStack().undoText(); }
    void choose(QComboBox *box, int index)
    {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    void show(const Layout &layout)
    {
        w().document().reset(layout);
        waitForResults();
    }

private slots:
    void initTestCase() { guitest::quietPlatformNotes(); }

    void init()
    {
        window = std::make_unique<DesignerWindow>();
        problems.clear();
        w().showProblem = [this](const QString &text) { problems << text; };
        w().chooseFile = [](const QString &, const QString &, const QString &, bool) {
            return QString();
        };
        w().show();
        QVERIFY(QTest::qWaitForWindowExposed(&w()));
    }

    void cleanup()
    {
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(problems.isEmpty());
        w().document().markSaved();
        window.reset();
    }

    // A layout without thunderstorm days measures its buildings but counts nothing; a city
    // gives the count and the class, and one undo takes the city back.
    void cityGivesTheCount()
    {
        show({45, {}, {block()}});
        QCOMPARE(table().rowCount(), 1);
        QCOMPARE(cell(0, 0), QStringLiteral("1#楼"));
        QCOMPARE(cell(0, 2), QStringLiteral("18"));
        QCOMPARE(cell(0, 3), QStringLiteral("57.236"));
        QCOMPARE(cell(0, 4), QStringLiteral("0.017960"));
        QCOMPARE(cell(0, 5), QStringLiteral("未给出年雷暴日"));
        QCOMPARE(cell(0, 7), QStringLiteral("未给出年雷暴日"));
        QVERIFY(control<QLabel>("strikeSite")->text().startsWith(QStringLiteral("未给出年雷暴日")));

        auto *days = control<QComboBox>("strikeDays");
        choose(days, days->findText(QStringLiteral("北京 36.7")));
        QCOMPARE(w().document().layout().site.city, std::string("北京"));
        QCOMPARE(undoText(), QStringLiteral("修改年雷暴日"));
        waitForResults();
        // N = 1 · 0.1 · 36.7 · Ae = 0.0659: from 0.05 to 0.25, an ordinary building's third class.
        QCOMPARE(cell(0, 5), QString::number(3.67 * kBlockAe, 'f', 4));
        QCOMPARE(cell(0, 5), QStringLiteral("0.0659"));
        QCOMPARE(cell(0, 7), QStringLiteral("第三类防雷建筑物"));

        w().document().undoStack().undo();
        waitForResults();
        QCOMPARE(days->currentIndex(), 0);
        QCOMPARE(cell(0, 5), QStringLiteral("未给出年雷暴日"));
    }

    // Typed days, the correction factor and the group each change the count or the class, and
    // each is one undoable edit that the file keeps.
    void siteValuesAndGroupAreEdits()
    {
        show({45, {}, {block()}});
        auto *days = control<QComboBox>("strikeDays");
        auto *typed = control<QDoubleSpinBox>("strikeTypedDays");
        QVERIFY(!typed->isEnabled());
        choose(days, days->findText(QStringLiteral("输入年雷暴日")));
        QVERIFY(typed->isEnabled());
        typed->setValue(10);
        QCOMPARE(w().document().layout().site.thunderstormDays, 10.0);
        waitForResults();
        // N = 0.1 · 10 · Ae = 0.0180: below an ordinary building's 0.05.
        QCOMPARE(cell(0, 5), QStringLiteral("0.0180"));
        QCOMPARE(cell(0, 7), QStringLiteral("不按年预计雷击次数划分防雷类别"));

        auto *group = qobject_cast<QComboBox *>(table().cellWidget(0, 6));
        QVERIFY(group);
        choose(group, group->findData(static_cast<int>(calc::BuildingGroup::Important)));
        QCOMPARE(undoText(), QStringLiteral("修改建筑物分组"));
        QCOMPARE(w().document().layout().objects[0].group, calc::BuildingGroup::Important);
        waitForResults();
        // From 0.01 to 0.05: an important building's third class.
        QCOMPARE(cell(0, 7), QStringLiteral("第三类防雷建筑物"));

        auto *k = control<QComboBox>("strikeK");
        QCOMPARE(k->count(), 4);
        QVERIFY(k->itemText(3).contains(QStringLiteral("位于旷野孤立的建筑物")));
        choose(k, k->findData(2.0));
        QCOMPARE(undoText(), QStringLiteral("修改校正系数"));
        waitForResults();
        // N = 2 · 1 · Ae = 0.0359.
        QCOMPARE(cell(0, 5), QStringLiteral("0.0359"));
        const int steps = w().document().undoStack().count();
        choose(k, k->findData(2.0)); // the same again: no edit
        QCOMPARE(w().document().undoStack().count(), steps);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("site.lplayout"));
        QVERIFY(w().saveTo(path));
        const auto saved = lplayout::loadProject(path);
        QVERIFY(saved.file);
        QCOMPARE(saved.file->layout.site.thunderstormDays, 10.0);
        QCOMPARE(saved.file->layout.site.k, 2.0);
        QCOMPARE(saved.file->layout.objects[0].group, calc::BuildingGroup::Important);

        // The file opened again shows the same choices.
        window = std::make_unique<DesignerWindow>();
        w().showProblem = [this](const QString &text) { problems << text; };
        QVERIFY(w().openFile(path));
        waitForResults();
        QVERIFY(control<QDoubleSpinBox>("strikeTypedDays")->isEnabled());
        QCOMPARE(control<QDoubleSpinBox>("strikeTypedDays")->value(), 10.0);
        QCOMPARE(control<QComboBox>("strikeK")->currentData().toDouble(), 2.0);
        QCOMPARE(cell(0, 5), QStringLiteral("0.0359"));
    }

    // Parts apart are one building once the object table names them so; its area is the sum
    // of theirs, the name its building name.
    void objectTableJoinsParts()
    {
        Layout layout{45, {}, {block(), {"门卫", {{700, 0}, {710, 0}, {710, 10}, {700, 10}}, 10}}};
        layout.site.thunderstormDays = 36.7;
        show(layout);
        QCOMPARE(table().rowCount(), 2);
        QCOMPARE(w().objectTable().model()->headerData(3, Qt::Horizontal).toString(),
                 QStringLiteral("所属建筑物"));
        for (int row : {0, 1})
            QVERIFY(w().objectTable().model()->setData(w().objectTable().model()->index(row, 3),
                                                       QStringLiteral("1#院"), Qt::EditRole));
        QCOMPARE(w().document().layout().objects[1].building, std::string("1#院"));
        waitForResults();
        QCOMPARE(table().rowCount(), 1);
        QCOMPARE(cell(0, 0), QStringLiteral("1#院"));
        QCOMPARE(cell(0, 1), QStringLiteral("1#楼\n门卫"));
        QCOMPARE(cell(0, 2), QStringLiteral("18\n10"));
        QCOMPARE(cell(0, 4), QString::number(kBlockAe + kSquareAe, 'f', 6));
        QCOMPARE(cell(0, 5), QString::number(3.67 * (kBlockAe + kSquareAe), 'f', 4));
    }

    // A row of the counts shown before an edit names the parts of the layout before it: until
    // the new counts come, its group cannot be chosen, so no other object takes it.
    void groupOfARowShownBeforeAnEditIsNotTaken()
    {
        Layout layout{45, {}, {block(), {"门卫", {{700, 0}, {710, 0}, {710, 10}, {700, 10}}, 10}}};
        layout.site.thunderstormDays = 36.7;
        show(layout);
        QCOMPARE(table().rowCount(), 2);
        auto *group = qobject_cast<QComboBox *>(table().cellWidget(0, 6));
        QVERIFY(group && group->isEnabled());
        Layout without = layout;
        without.objects.erase(without.objects.begin());
        w().document().edit(QStringLiteral("删除"), without);
        QVERIFY(!group->isEnabled());
        choose(group, group->findData(static_cast<int>(calc::BuildingGroup::Important)));
        QVERIFY(!w().document().layout().objects[0].group);
        QCOMPARE(undoText(), QStringLiteral("删除"));
        waitForResults();
        QCOMPARE(table().rowCount(), 1);
        group = qobject_cast<QComboBox *>(table().cellWidget(0, 6));
        QVERIFY(group && group->isEnabled());
    }

    // Days typed and not yet entered are saved with the layout: a save takes what the box shows.
    void typedDaysGoIntoTheSave()
    {
        show({45, {}, {block()}});
        auto *days = control<QComboBox>("strikeDays");
        choose(days, days->findText(QStringLiteral("输入年雷暴日")));
        auto *typed = control<QDoubleSpinBox>("strikeTypedDays");
        typed->setFocus();
        QTRY_VERIFY(typed->hasFocus());
        auto *editor = typed->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("50"));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("typed.lplayout"));
        QVERIFY(w().saveTo(path));
        const auto saved = lplayout::loadProject(path);
        QVERIFY(saved.file);
        QCOMPARE(saved.file->layout.site.thunderstormDays, 50.0);
        QVERIFY(!w().isWindowModified());

        // So is a cell's text still in its editor.
        QTableView &objects = w().objectTable();
        w().findChild<QTabWidget *>()->setCurrentWidget(&objects);
        const QModelIndex building = objects.model()->index(0, 3);
        objects.setCurrentIndex(building);
        objects.edit(building);
        QLineEdit *cell = nullptr;
        for (auto *e : objects.viewport()->findChildren<QLineEdit *>())
            if (e->isVisible()) cell = e;
        QVERIFY(cell);
        cell->setFocus();
        QTRY_VERIFY(cell->hasFocus());
        cell->insert(QStringLiteral("1#院"));
        QVERIFY(w().saveTo(path));
        const auto again = lplayout::loadProject(path);
        QVERIFY(again.file);
        QCOMPARE(again.file->layout.objects[0].building, std::string("1#院"));
    }

    // On request the plan draws the line the area is measured inside: for the block, its
    // outline pushed out by D on every side.
    void planShowsTheExpandedOutline()
    {
        show({45, {}, {block()}});
        QAction *showOutlines = w().findChild<QAction *>(QStringLiteral("showStrikeOutlines"));
        QVERIFY(showOutlines);
        QVERIFY(!w().plan().isShowingStrikeOutlines());
        showOutlines->trigger();
        QVERIFY(w().plan().isShowingStrikeOutlines());
        const QGraphicsPathItem *outline = nullptr;
        for (QGraphicsItem *item : w().plan().scene()->items())
            if (auto *path = dynamic_cast<QGraphicsPathItem *>(item);
                path && path->isVisible() && path->pen().style() == Qt::DashDotLine)
                outline = path;
        QVERIFY(outline);
        // 40 + 2√3276 by 20 + 2√3276, within the centimetre the arcs are drawn to.
        const QRectF box = outline->path().boundingRect();
        QVERIFY(std::abs(box.width() - 154.4727) < 0.01);
        QVERIFY(std::abs(box.height() - 134.4727) < 0.01);
        showOutlines->trigger();
        QVERIFY(!w().plan().isShowingStrikeOutlines());
    }
};

QTEST_MAIN(StrikesTest)
#include "strikes_test.moc"
