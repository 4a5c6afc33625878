// The sheet window readied while the program is idle: made hidden after
// start-up without anything the user could notice, and then opened by Ctrl+P
// exactly as it would have been without it.
#include "gui_fixture.h"

#include "windows/sheet_readying.h"

#include <QBackingStore>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTextEdit>
#include <QWindow>

using guitest::Fixture;
using windows::SheetReadying;
using windows::WindowId;

namespace {

// Every event by which a user would see a window come, go or take the focus.
class WindowEventRecorder : public QObject {
public:
    QStringList seen;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
            if (auto *widget = qobject_cast<QWidget *>(object); widget && widget->isWindow())
                seen << QStringLiteral("%1 %2")
                            .arg(int(event->type()))
                            .arg(widget->metaObject()->className());
            break;
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
        case QEvent::ActivationChange:
            seen << QStringLiteral("%1 %2").arg(int(event->type())).arg(object->objectName());
            break;
        default:
            break;
        }
        return false;
    }
};

// The sheet as the user sees it after Ctrl+P in the single-rod window.
struct ShownSheet {
    QString title;
    QString text;
    QImage textView;
    QImage drawing;
};

QWidget *sheetWindow() { return Fixture::form("SheetWindow"); }
QTextEdit *sheetText() { return Fixture::control<QTextEdit>("SheetWindow", "sheetText"); }
QLineEdit *field(const char *name) { return Fixture::control<QLineEdit>("Form1", name); }

QSet<QWidget *> topLevels()
{
    const QWidgetList all = QApplication::topLevelWidgets();
    return QSet<QWidget *>(all.begin(), all.end());
}

ShownSheet pressCtrlP()
{
    Fixture::menuEntry("Form1", "sheetAction")->trigger();
    QWidget *window = sheetWindow();
    if (!window || !QTest::qWaitForWindowExposed(window)) return {};
    return {window->windowTitle(), sheetText()->toPlainText(),
            sheetText()->viewport()->grab().toImage(),
            Fixture::control("SheetWindow", "zoneDrawing")->grab().toImage()};
}

} // namespace

class SheetReadyingTest : public QObject {
    Q_OBJECT

    SheetReadying *readying() const { return fx.set().findChild<SheetReadying *>(); }

    // Runs every step of the readying at once; false when it did not get to
    // its end.
    bool readyNow()
    {
        SheetReadying *ready = readying();
        if (!ready) return false;
        int steps = 0;
        while (ready->step()) ++steps;
        return steps >= 4 && ready->isFinished() && sheetWindow();
    }

    // Types the single-rod inputs before or after the readying (or without
    // it) and opens the sheet.
    enum class Typed { BeforeReadying, AfterReadying, WithoutReadying };
    ShownSheet openSheet(const QString &hx, const QString &h, Typed typed)
    {
        const auto type = [&] {
            field("Text1")->setText(hx);
            field("Text2")->setText(h);
        };
        if (typed == Typed::WithoutReadying) {
            delete readying();
            type();
        } else {
            if (typed == Typed::BeforeReadying) type();
            if (!readyNow()) return {};
            if (typed == Typed::AfterReadying) type();
        }
        return pressCtrlP();
    }

private slots:
    void init() { fx.start(); }
    void cleanup() { fx.finish(); }

    void readiesTheSheetWindowHiddenAndUnnoticedAfterStartUp()
    {
        QElapsedTimer sinceStart;
        sinceStart.start();
        SheetReadying *ready = readying();
        QVERIFY(ready);
        QSignalSpy finished(ready, &SheetReadying::finished);
        const QSet<QWidget *> before = topLevels();
        QWidget *focus = QApplication::focusWidget();
        QWidget *active = QApplication::activeWindow();
        QVERIFY(focus);
        WindowEventRecorder recorder;
        qApp->installEventFilter(&recorder);

        QTRY_VERIFY_WITH_TIMEOUT(ready->isFinished(), 20000);
        qApp->removeEventFilter(&recorder);
        // It waits for the program to be idle a while after start-up.
        QVERIFY(sinceStart.elapsed() >= SheetReadying::kDefaultDelay.count() - 500);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!ready->step());

        QWidget *sheet = sheetWindow();
        QVERIFY(sheet);
        QCOMPARE(fx.set().existing(WindowId::Sheet), sheet);
        QCOMPARE(topLevels(), before + QSet<QWidget *>{sheet});
        QVERIFY(!sheet->isVisible());
        QVERIFY(sheet->windowHandle() && !sheet->windowHandle()->isVisible());
        QVERIFY(!sheet->windowHandle()->isExposed());
        QCOMPARE(recorder.seen, QStringList());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        QCOMPARE(QApplication::focusWidget(), focus);
        QCOMPARE(QApplication::activeWindow(), active);
        QCOMPARE(fx.boxes.count(), 0);

        // Ready for the start window, its text laid out at the width it is
        // shown with, and its window buffer made at the window's size.
        QCOMPARE(sheet->windowTitle(), QStringLiteral("计算书 - 单支避雷针保护范围"));
        QVERIFY(sheetText()->toPlainText().contains("单根避雷针保护范围计算书"));
        QCOMPARE(sheet->size(), QSize(900, 620));
        QCOMPARE(sheet->backingStore()->size(), sheet->size());
        const int readiedWidth = sheetText()->viewport()->width();
        const int readiedRevision = sheetText()->document()->revision();
        pressCtrlP();
        QCOMPARE(sheetText()->viewport()->width(), readiedWidth);
        QVERIFY(readiedWidth > 400);
        // The same sheet again: its text is not set anew.
        QCOMPARE(sheetText()->document()->revision(), readiedRevision);
    }

    void ctrlPShowsWhatItShowsWithoutReadying_data()
    {
        QTest::addColumn<QString>("hx");
        QTest::addColumn<QString>("h");
        QTest::addColumn<bool>("typedFirst");
        QTest::addColumn<QStringList>("expected");
        // Class 3, hr = 60: ro = √(30·(120 − 30)) = √2700 = 51.9615;
        // rx = ro − √(10·(120 − 10)) = 51.9615 − 33.1662 = 18.7953.
        QTest::newRow("inputs typed before the readying")
            << "10"
            << "30" << true << QStringList{"51.962", "18.795"};
        // The readying saw empty fields; the sheet is made from the current ones.
        QTest::newRow("inputs typed after the readying")
            << "10"
            << "30" << false << QStringList{"51.962", "18.795"};
        // h = 100 is above hr = 60, so h = hr: ro = √(60·60) = 60;
        // rx = 60 − √(20·100) = 60 − 44.7214 = 15.2786.
        QTest::newRow("rod longer than hr") << "20"
                                            << "100" << false << QStringList{"60.000", "15.279"};
        // The fields as at start: the sheet says why there are no numbers.
        QTest::newRow("empty fields") << ""
                                      << "" << true << QStringList{"单根避雷针保护范围计算书"};
    }
    void ctrlPShowsWhatItShowsWithoutReadying()
    {
        QFETCH(QString, hx);
        QFETCH(QString, h);
        QFETCH(bool, typedFirst);
        QFETCH(QStringList, expected);
        const ShownSheet cold = openSheet(hx, h, Typed::WithoutReadying);
        fx.finish();
        fx.start();
        const ShownSheet readied =
            openSheet(hx, h, typedFirst ? Typed::BeforeReadying : Typed::AfterReadying);
        QVERIFY(!cold.text.isEmpty());
        for (const QString &part : expected)
            QVERIFY2(readied.text.contains(part), qPrintable(part + " in:\n" + readied.text));
        QCOMPARE(readied.title, cold.title);
        QCOMPARE(readied.text, cold.text);
        QVERIFY(!readied.textView.isNull());
        QCOMPARE(readied.textView, cold.textView);
        QVERIFY(!readied.drawing.isNull());
        QCOMPARE(readied.drawing, cold.drawing);
        QTRY_VERIFY(sheetWindow()->isActiveWindow());
    }

    void theReadiedSheetStillFollowsEveryCalculation()
    {
        field("Text1")->setText("10");
        field("Text2")->setText("30");
        QVERIFY(readyNow());
        pressCtrlP();
        QVERIFY(sheetText()->toPlainText().contains("51.962"));
        const QImage before = Fixture::control("SheetWindow", "zoneDrawing")->grab().toImage();

        // ro = √(40·80) = 56.5685, rx = 56.5685 − 33.1662 = 23.4023.
        field("Text2")->setText("40");
        Fixture::control<QPushButton>("Form1", "Command1")->click();
        QTRY_VERIFY(sheetText()->toPlainText().contains("56.569"));
        QVERIFY(sheetText()->toPlainText().contains("23.402"));
        const QImage after = Fixture::control("SheetWindow", "zoneDrawing")->grab().toImage();
        QVERIFY(after != before);

        // The drawing now is the one a sheet opened afresh for h = 40 shows.
        const QString text = sheetText()->toPlainText();
        fx.finish();
        fx.start();
        const ShownSheet fresh = openSheet("10", "40", Typed::WithoutReadying);
        QCOMPARE(fresh.text, text);
        QCOMPARE(fresh.drawing, after);
    }

    // The readying saw the empty fields of a program just started; the user
    // then calculates, pauses, and presses Ctrl+P: the sheet was readied
    // again for what they calculated, unseen, and opens with its text as laid
    // out then. Once the user has opened it, a hidden sheet is left alone.
    void aCalculationReadiesTheSheetAgainUntilItIsOpened()
    {
        QVERIFY(readyNow());
        QVERIFY(!sheetText()->toPlainText().contains("51.962"));
        WindowEventRecorder recorder;
        qApp->installEventFilter(&recorder);
        field("Text1")->setText("10");
        field("Text2")->setText("30");
        Fixture::control<QPushButton>("Form1", "Command1")->click();
        QTRY_VERIFY(sheetText()->toPlainText().contains("51.962"));
        QTRY_VERIFY(readying()->isFinished());
        qApp->removeEventFilter(&recorder);
        QVERIFY(!sheetWindow()->isVisible());
        QCOMPARE(recorder.seen, QStringList());
        const int revision = sheetText()->document()->revision();
        const ShownSheet shown = pressCtrlP();
        QCOMPARE(sheetText()->document()->revision(), revision);

        Fixture::control<QPushButton>("SheetWindow", "sheetClose")->click();
        field("Text2")->setText("40");
        Fixture::control<QPushButton>("Form1", "Command1")->click();
        QTest::qWait(SheetReadying::kAfterPause.count() + 300);
        QCOMPARE(sheetText()->toPlainText(), shown.text);

        const QString text = shown.text;
        fx.finish();
        fx.start();
        QCOMPARE(openSheet("10", "30", Typed::WithoutReadying).text, text);
    }

    // Inputs typed and not calculated: the pause after typing readies the
    // sheet for them, as Ctrl+P would make it.
    void aPauseInTypingReadiesTheSheetAgain()
    {
        QVERIFY(readyNow());
        QTest::keyClicks(field("Text1"), "10");
        QTest::keyClicks(field("Text2"), "30");
        QTRY_VERIFY(sheetText()->toPlainText().contains("51.962"));
        QTRY_VERIFY(readying()->isFinished());
        QVERIFY(!sheetWindow()->isVisible());
        const int revision = sheetText()->document()->revision();
        const QString text = pressCtrlP().text;
        QCOMPARE(sheetText()->document()->revision(), revision);
        fx.finish();
        fx.start();
        QCOMPARE(openSheet("10", "30", Typed::WithoutReadying).text, text);
    }

    void readyingDoesNothingOnceASheetWasOpened()
    {
        field("Text1")->setText("10");
        field("Text2")->setText("30");
        const QString shown = pressCtrlP().text;
        QVERIFY(shown.contains("51.962"));
        Fixture::control<QPushButton>("SheetWindow", "sheetClose")->click();
        QVERIFY(!sheetWindow()->isVisible());
        const int revision = sheetText()->document()->revision();

        field("Text2")->setText("40");
        SheetReadying *ready = readying();
        QVERIFY(ready);
        QSignalSpy finished(ready, &SheetReadying::finished);
        QVERIFY(!ready->step());
        QVERIFY(ready->isFinished());
        QCOMPARE(finished.count(), 1);
        QVERIFY(!sheetWindow()->isVisible());
        QCOMPARE(sheetText()->document()->revision(), revision);
        QCOMPARE(sheetText()->toPlainText(), shown);
    }

    void theUsersOwnOpeningStopsTheReadyingHalfWay()
    {
        SheetReadying *ready = readying();
        QVERIFY(ready);
        QVERIFY(ready->step()); // the window is made, hidden
        QVERIFY(ready->step());
        field("Text1")->setText("10");
        field("Text2")->setText("30");
        const ShownSheet shown = pressCtrlP();
        QVERIFY(shown.text.contains("51.962"));
        QVERIFY(!ready->step());
        QVERIFY(ready->isFinished());
        QCOMPARE(sheetText()->toPlainText(), shown.text);
        QVERIFY(sheetWindow()->isVisible());
    }

    void theReadiedWindowNeitherKeepsTheProgramNorCountsAsAWindow()
    {
        QVERIFY(readyNow());
        QPointer<QWidget> sheet = sheetWindow();
        // The close box still asks, as for the last calculation window.
        fx.boxes.expect(QMessageBox::No);
        Fixture::form("Form1")->close();
        QCOMPARE(fx.boxes.count(), 1);
        QCOMPARE(fx.boxes.last().text, QStringLiteral("真的要退出系统？"));
        QVERIFY(Fixture::form("Form1")->isVisible());
        QVERIFY(!sheet->isVisible());

        const int code =
            Fixture::runEventLoop([] { Fixture::menuEntry("Form1", "tuichule")->trigger(); });
        QCOMPARE(code, 0);
        QVERIFY(sheet.isNull());
        QCOMPARE(fx.set().existing(WindowId::Sheet), nullptr);
    }

    void theProgramEndingStopsTheReadying()
    {
        QPointer<SheetReadying> ready = readying();
        QVERIFY(ready);
        QVERIFY(ready->step());
        QVERIFY(ready->step());
        const int code =
            Fixture::runEventLoop([] { Fixture::menuEntry("Form1", "tuichule")->trigger(); });
        QCOMPARE(code, 0);
        if (ready) QVERIFY(!ready->step());
        fx.finish();
        QVERIFY(ready.isNull());
        fx.start();
    }

private:
    Fixture fx;
};

QTEST_MAIN(SheetReadyingTest)
#include "sheet_readying_test.moc"
