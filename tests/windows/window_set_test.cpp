#include "windows/window_id.h"
#include "windows/window_set.h"

#include <QApplication>
#include <QWidget>
#include <QtTest>

using windows::WindowId;
using windows::WindowSet;

// The window set on its own: windows made by their registered factories,
// once each, and ids nobody registered left alone.
class WindowSetTest : public QObject {
    Q_OBJECT

private slots:
    void formNamesAreTiedToTheirIds()
    {
        QCOMPARE(windows::formName(WindowId::SingleRod), "Form1");
        QCOMPARE(windows::formName(WindowId::TwoRods), "Form2");
        QCOMPARE(windows::formName(WindowId::RodHeight), "Form3");
        QCOMPARE(windows::formName(WindowId::StrikeCount), "Form4");
        QCOMPARE(windows::formName(WindowId::About), "Form5");
    }

    void makesARegisteredWindowOnceOnFirstUse()
    {
        WindowSet set;
        int made = 0;
        set.registerWindow(WindowId::About, [&made](WindowSet &) {
            ++made;
            return new QWidget;
        });
        QCOMPARE(set.existing(WindowId::About), nullptr);
        QWidget *first = set.window(WindowId::About);
        QVERIFY(first);
        QCOMPARE(set.window(WindowId::About), first);
        QCOMPARE(set.existing(WindowId::About), first);
        QCOMPARE(made, 1);
        QCOMPARE(set.idOf(first), std::optional<WindowId>(WindowId::About));
    }

    void anUnregisteredTargetLeavesTheCurrentWindowShown()
    {
        WindowSet set;
        set.registerWindow(WindowId::SingleRod, [](WindowSet &) { return new QWidget; });
        QWidget *from = set.window(WindowId::SingleRod);
        from->show();
        QCOMPARE(set.window(WindowId::TwoRods), nullptr);
        set.switchTo(from, WindowId::TwoRods);
        set.switchToHidingFirst(from, WindowId::TwoRods);
        QVERIFY(from->isVisible());
    }

    void deletingTheSetDeletesItsWindows()
    {
        QPointer<QWidget> window;
        {
            WindowSet set;
            set.registerWindow(WindowId::About, [](WindowSet &) { return new QWidget; });
            window = set.window(WindowId::About);
            QVERIFY(window);
        }
        QVERIFY(window.isNull());
    }
};

QTEST_MAIN(WindowSetTest)
#include "window_set_test.moc"
