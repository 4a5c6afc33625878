#include "gui_fixture.h"

#include "rendering/branding.h"

#include "windows/two_rods_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>

using guitest::bgr;
using guitest::colourOf;
using guitest::Fixture;
namespace colour = windows::colour;

namespace {

// Records, in order, when the program's windows are shown and hidden by the
// program itself.
class ShowHideLog : public QObject {
public:
    ShowHideLog() { qApp->installEventFilter(this); }
    ~ShowHideLog() override { qApp->removeEventFilter(this); }

    QStringList events;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        const bool show = event->type() == QEvent::Show;
        if ((show || event->type() == QEvent::Hide) && !event->spontaneous() &&
            object->isWidgetType() && static_cast<QWidget *>(object)->isWindow() &&
            object->objectName().startsWith(QLatin1String("Form")))
            events << (show ? QStringLiteral("show ") : QStringLiteral("hide ")) +
                          object->objectName();
        return false;
    }
};

QByteArray latin(const QString &text) { return text.toLatin1(); }

} // namespace

class TwoRodsWindowTest : public QObject {
    Q_OBJECT

    Fixture fx;

    static QWidget *form2() { return Fixture::form("Form2"); }
    static QLineEdit *text1() { return Fixture::control<QLineEdit>("Form2", "Text1"); }
    static QLineEdit *text2() { return Fixture::control<QLineEdit>("Form2", "Text2"); }
    static QComboBox *combo1() { return Fixture::control<QComboBox>("Form2", "Combo1"); }
    static QLabel *label(const char *name) { return Fixture::control<QLabel>("Form2", name); }
    static QLabel *label8() { return label("Label8"); }
    static QLabel *label9() { return label("Label9"); }
    static QPushButton *button(const char *name)
    {
        return Fixture::control<QPushButton>("Form2", name);
    }
    static QWidget *control(const QString &name) { return Fixture::control("Form2", name); }

    // The user's way in: F2 in the start window's first field.
    static void openByF2()
    {
        QTRY_COMPARE(QApplication::focusWidget(), Fixture::control<QWidget>("Form1", "Text1"));
        Fixture::press(Qt::Key_F2);
        QVERIFY(form2());
        QTRY_VERIFY(form2()->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(form2()));
        QTRY_COMPARE(QApplication::focusWidget(), text1());
    }

    static void fill(const QString &h, const QString &d, int classIndex = 0)
    {
        text1()->setText(h);
        text2()->setText(d);
        combo1()->setCurrentIndex(classIndex);
    }

    void clickCompute() { QTest::mouseClick(button("Command1"), Qt::LeftButton); }

    // Computes by the button, or by Enter in the field named.
    void compute(const QString &by)
    {
        if (by == QLatin1String("button")) {
            clickCompute();
            return;
        }
        Fixture::focus(control(by));
        Fixture::press(Qt::Key_Return);
    }

    static void expectResultColours()
    {
        QCOMPARE(colourOf(label8()), bgr(colour::kLightYellow));
        QCOMPARE(colourOf(label9()), bgr(colour::kLightYellow));
    }

private slots:
    void init()
    {
        fx.start();
        openByF2();
    }
    void cleanup() { fx.finish(); }

    void opensHiddenStartWindowAndLooksAsDesigned()
    {
        QVERIFY(!Fixture::form("Form1")->isVisible());
        QCOMPARE(form2()->windowTitle(), QStringLiteral("双根等高针保护范围"));
        auto *window = static_cast<windows::CalcWindow *>(form2());
        QCOMPARE(window->client()->size(), QSize(486, 310));
        QCOMPARE(combo1()->currentIndex(), 0);
        QCOMPARE(combo1()->currentText(), QStringLiteral("3类 hr=60米"));
        QCOMPARE(combo1()->count(), 3);
        QCOMPARE(text1()->text(), QString());
        QCOMPARE(text2()->text(), QString());

        const QList<QPair<const char *, QString>> captions{{"Label6", "双根等高避雷针保护范围计算"},
                                                           {"Label2", "防雷类别"},
                                                           {"Label5", "避雷针高度    h"},
                                                           {"Label1", "针间距离      D"},
                                                           {"Label3", "结果 hx"},
                                                           {"Label4", "结果 bo"},
                                                           {"Label8", "    "},
                                                           {"Label9", "    "}};
        for (const auto &[name, caption] : captions) QCOMPARE(label(name)->text(), caption);
        QCOMPARE(button("Command1")->text(), QStringLiteral("计  算"));
        QCOMPARE(button("Command2")->text(), QStringLiteral("清  除"));
        QCOMPARE(button("Command3")->text(), QStringLiteral("退  出"));

        expectResultColours();
        for (QLabel *result : {label8(), label9()}) {
            QVERIFY(result->font().underline());
            QVERIFY(result->font().bold());
            QVERIFY(result->alignment() & Qt::AlignHCenter);
            QCOMPARE(result->toolTip(), QString());
        }
        QCOMPARE(label8()->geometry(), QRect(144, 200, 89, 17));
        QCOMPARE(label9()->geometry(), QRect(320, 200, 89, 25));
        QCOMPARE(text2()->geometry(), QRect(328, 128, 89, 25));
        QCOMPARE(colourOf(label("Label6")), bgr(colour::kWhite));
        QCOMPARE(colourOf(label("Label5")), bgr(colour::kYellow));
        QCOMPARE(colourOf(text1()), bgr(colour::kWhite));
        QCOMPARE(text1()->palette().color(QPalette::Base), bgr(colour::kDarkTeal));
        QCOMPARE(colourOf(Fixture::control<QWidget>("Form2", "Line1")), bgr(colour::kRed));

        // Tab walks the fields, the list and the buttons in this order.
        for (const char *next : {"Text2", "Combo1", "Command1", "Command2", "Command3"}) {
            Fixture::press(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), control(QString::fromLatin1(next)));
        }
    }

    void resultsByButtonAndByEnter_data()
    {
        QTest::addColumn<QString>("h");
        QTest::addColumn<QString>("d");
        QTest::addColumn<int>("classIndex");
        QTest::addColumn<QString>("by");
        QTest::addColumn<QString>("hx");
        QTest::addColumn<QString>("bo");
        for (const char *by : {"button", "Text1", "Text2"}) {
            const QByteArray at = QByteArray(", ") + by;
            const bool button = QByteArray(by) == "button";
            QTest::newRow("30 40" + at) << "30"
                                        << "40" << 0 << by << "23.94"
                                        << "47.95";
            QTest::newRow("below 1" + at)
                << "44"
                << "88.9" << 1 << by << (button ? "0.5387" : ".5387") << "6.942";
            QTest::newRow("below 0.1" + at)
                << "10"
                << "66" << 0 << by << (button ? "0.0917" : ".0917") << "3.316";
        }
        QTest::newRow("rod above hr") << "70"
                                      << "40" << 0 << "button"
                                      << "40"
                                      << "56.56";
        QTest::newRow("negative distance") << "30"
                                           << "-40" << 0 << "button"
                                           << "23.94"
                                           << "47.95";
        // Right under the limit hx is 0, or a rounding remnant below it: a
        // "0" in front would make "00" or "0-7.10".
        QTest::newRow("hx zero") << "0.5"
                                 << "15.459624833740305" << 0 << "button"
                                 << "0"
                                 << "1.192";
        QTest::newRow("hx remnant below zero") << "0.036477307788198542"
                                               << "4.1837525455506173" << 0 << "button"
                                               << "-7.10"
                                               << "1.788";
    }
    void resultsByButtonAndByEnter()
    {
        QFETCH(QString, h);
        QFETCH(QString, d);
        QFETCH(int, classIndex);
        QFETCH(QString, by);
        QFETCH(QString, hx);
        QFETCH(QString, bo);
        fill(h, d, classIndex);
        compute(by);
        QCOMPARE(label8()->text(), hx);
        QCOMPARE(label9()->text(), bo);
        QCOMPARE(fx.boxes.count(), 0);
        QCOMPARE(text1()->text(), h);
        QCOMPARE(text2()->text(), d);
        expectResultColours();
        const bool byButton = by == QLatin1String("button");
        QCOMPARE(QApplication::focusWidget(), control(byButton ? QStringLiteral("Command1") : by));
    }

    void buttonReportsTextsThatAreNotNumbers_data()
    {
        QTest::addColumn<QString>("h");
        QTest::addColumn<QString>("d");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("fieldAtFault");
        QTest::newRow("h") << "abc"
                           << "40"
                           << "避雷针高度 h 不是数字，请输入数字"
                           << "Text1";
        QTest::newRow("d") << "30"
                           << "4O"
                           << "针间距离 D 不是数字，请输入数字"
                           << "Text2";
        QTest::newRow("both") << "abc"
                              << ""
                              << "避雷针高度 h、针间距离 D 不是数字，请输入数字"
                              << "Text1";
    }
    void buttonReportsTextsThatAreNotNumbers()
    {
        QFETCH(QString, h);
        QFETCH(QString, d);
        QFETCH(QString, message);
        QFETCH(QString, fieldAtFault);
        fill("30", "40");
        clickCompute(); // results that must survive the message
        fill(h, d);
        fx.boxes.expect(QMessageBox::Ok);
        clickCompute();
        fx.expectOneOkBox(message, QMessageBox::Critical);
        auto *field = static_cast<QLineEdit *>(control(fieldAtFault));
        Fixture::expectSelectedFocus(field);
        QCOMPARE(text1()->text(), h);
        QCOMPARE(text2()->text(), d);
        QCOMPARE(label8()->text(), QStringLiteral("23.94"));
        QCOMPARE(label9()->text(), QStringLiteral("47.95"));
    }

    void enterEmptiesAFieldThatIsNotANumber_data()
    {
        QTest::addColumn<QString>("h");
        QTest::addColumn<QString>("d");
        QTest::addColumn<QString>("pressedIn");
        QTest::addColumn<QString>("emptied");
        QTest::addColumn<QString>("thenEmptied"); // once the first is typed again
        QTest::newRow("both, in Text2") << "abc"
                                        << "x"
                                        << "Text2"
                                        << "Text2"
                                        << "Text1";
        QTest::newRow("d, in Text1") << "30"
                                     << "4O"
                                     << "Text1"
                                     << "Text2"
                                     << "";
        QTest::newRow("h, in Text2") << "1.2.3"
                                     << "40"
                                     << "Text2"
                                     << "Text1"
                                     << "";
        QTest::newRow("h, in Text1") << "12m"
                                     << "40"
                                     << "Text1"
                                     << "Text1"
                                     << "";
        QTest::newRow("empty h, in Text1") << ""
                                           << "40"
                                           << "Text1"
                                           << "Text1"
                                           << "";
    }
    void enterEmptiesAFieldThatIsNotANumber()
    {
        QFETCH(QString, h);
        QFETCH(QString, d);
        QFETCH(QString, pressedIn);
        QFETCH(QString, emptied);
        QFETCH(QString, thenEmptied);
        fill(h, d);
        compute(pressedIn);
        auto *field = static_cast<QLineEdit *>(control(emptied));
        QTRY_COMPARE(QApplication::focusWidget(), field);
        QCOMPARE(field->text(), QString());
        QCOMPARE(emptied == QLatin1String("Text1") ? text2()->text() : text1()->text(),
                 emptied == QLatin1String("Text1") ? d : h);
        QCOMPARE(label8()->text(), QStringLiteral("    "));
        QCOMPARE(label9()->text(), QStringLiteral("    "));
        QCOMPARE(fx.boxes.count(), 0);

        // Typing a number and Enter lead on, field by field, to the results.
        const auto retype = [](QLineEdit *emptiedField) {
            Fixture::type(emptiedField == text1() ? "30" : "40");
            Fixture::press(Qt::Key_Return);
        };
        retype(field);
        if (!thenEmptied.isEmpty()) {
            auto *next = static_cast<QLineEdit *>(control(thenEmptied));
            QTRY_COMPARE(QApplication::focusWidget(), next);
            QCOMPARE(next->text(), QString());
            QCOMPARE(label8()->text(), QStringLiteral("    "));
            retype(next);
        }
        QCOMPARE(label8()->text(), QStringLiteral("23.94"));
        QCOMPARE(label9()->text(), QStringLiteral("47.95"));
        QCOMPARE(fx.boxes.count(), 0);
    }

    void aNegativeRodHeightIsReportedAtTheField_data()
    {
        QTest::addColumn<QString>("by");
        QTest::newRow("button") << "button";
        QTest::newRow("enter") << "Text2";
    }
    void aNegativeRodHeightIsReportedAtTheField()
    {
        QFETCH(QString, by);
        fill("30", "40");
        clickCompute();
        fill("-5", "10");
        fx.boxes.expect(QMessageBox::Ok);
        compute(by);
        fx.expectOneOkBox(QStringLiteral("避雷针高度 h 不能为负数，请重新输入！"),
                          QMessageBox::Critical);
        Fixture::expectSelectedFocus(text1());
        QCOMPARE(text1()->selectedText(), QStringLiteral("-5"));
        QCOMPARE(text2()->text(), QStringLiteral("10"));
        QCOMPARE(label8()->text(), QStringLiteral("23.94"));
        QVERIFY(form2()->isVisible());
    }

    void rodsTooFarApartHandOverToTheSingleRodWindow_data()
    {
        QTest::addColumn<QString>("h");
        QTest::addColumn<QString>("d");
        QTest::addColumn<int>("classIndex");
        QTest::addColumn<QString>("typedClass");
        QTest::addColumn<QString>("by");
        QTest::newRow("at the limit, button") << "45"
                                              << "90" << 1 << ""
                                              << "button";
        QTest::newRow("at the limit, Enter") << "45"
                                             << "90" << 1 << ""
                                             << "Text1";
        QTest::newRow("beyond, Enter in Text2") << "20"
                                                << "60" << 2 << ""
                                                << "Text2";
        QTest::newRow("typed class, hr 0") << "30"
                                           << "10" << 0 << "7"
                                           << "button";
    }
    void rodsTooFarApartHandOverToTheSingleRodWindow()
    {
        QFETCH(QString, h);
        QFETCH(QString, d);
        QFETCH(int, classIndex);
        QFETCH(QString, typedClass);
        QFETCH(QString, by);
        Fixture::control<QLineEdit>("Form1", "Text1")->setText("12");
        fill("30", "40");
        clickCompute();
        fill(h, d, classIndex);
        if (!typedClass.isEmpty()) {
            Fixture::typeIntoList(combo1(), typedClass);
            classIndex = -1;
        }

        ShowHideLog log;
        fx.boxes.expect(QMessageBox::Ok);
        compute(by);
        fx.expectOneOkBox(QStringLiteral("针间距离 D 过大，按单支避雷针方法计算"),
                          QMessageBox::NoIcon);
        QCOMPARE(text1()->text(), QString());
        QCOMPARE(text2()->text(), QString());
        QCOMPARE(label8()->text(), QStringLiteral("    "));
        QCOMPARE(label9()->text(), QString());
        QCOMPARE(combo1()->currentIndex(), classIndex);
        expectResultColours();
        QCOMPARE(log.events, (QStringList{"show Form1", "hide Form2"}));
        QVERIFY(!form2()->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(Fixture::form("Form1")));
        // Nothing is passed over: the single-rod window's fields are its own.
        QCOMPARE(Fixture::control<QLineEdit>("Form1", "Text1")->text(), QStringLiteral("12"));
        Fixture::expectSelectedFocus(Fixture::control<QLineEdit>("Form1", "Text1"));

        // Back again, the window is as the hand-over left it.
        Fixture::press(Qt::Key_F2);
        QTRY_VERIFY(form2()->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), text1());
        QCOMPARE(label9()->text(), QString());
        QCOMPARE(combo1()->currentIndex(), classIndex);
    }

    void f2GoesBackHidingThisWindowFirstAndKeepsState_data()
    {
        QTest::addColumn<QString>("control");
        for (const char *name : {"Text1", "Text2", "Combo1", "Command1", "Command2", "Command3"})
            QTest::newRow(name) << name;
    }
    void f2GoesBackHidingThisWindowFirstAndKeepsState()
    {
        QFETCH(QString, control);
        fill("44", "88.9", 1);
        clickCompute();
        text2()->setText("abc"); // not a number: F2 must not calculate or ask
        Fixture::focus(TwoRodsWindowTest::control(control));

        ShowHideLog log;
        Fixture::press(Qt::Key_F2);
        QCOMPARE(log.events, (QStringList{"hide Form2", "show Form1"}));
        QVERIFY(QTest::qWaitForWindowActive(Fixture::form("Form1")));
        QTRY_COMPARE(QApplication::focusWidget(), Fixture::control<QWidget>("Form1", "Text1"));

        Fixture::press(Qt::Key_F2);
        QTRY_VERIFY(form2()->isVisible());
        QVERIFY(!Fixture::form("Form1")->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(form2()));
        Fixture::expectSelectedFocus(text1());
        QCOMPARE(text1()->selectedText(), QStringLiteral("44"));
        QCOMPARE(text2()->text(), QStringLiteral("abc"));
        QCOMPARE(combo1()->currentIndex(), 1);
        QCOMPARE(label8()->text(), QStringLiteral("0.5387"));
        QCOMPARE(label9()->text(), QStringLiteral("6.942"));
    }

    void f10OnTheThirdClassShowsTheStrikeCountWindowBeside_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("classIndex");
        QTest::addColumn<bool>("shown");
        QTest::newRow("third class") << "Combo1" << 2 << true;
        QTest::newRow("first class") << "Combo1" << 0 << false;
        QTest::newRow("second class") << "Combo1" << 1 << false;
        QTest::newRow("in a field") << "Text1" << 2 << false;
        QTest::newRow("on a button") << "Command1" << 2 << false;
    }
    void f10OnTheThirdClassShowsTheStrikeCountWindowBeside()
    {
        QFETCH(QString, control);
        QFETCH(int, classIndex);
        QFETCH(bool, shown);
        fill("30", "40", classIndex);
        Fixture::focus(TwoRodsWindowTest::control(control));
        Fixture::press(Qt::Key_F10);
        QWidget *strikes = Fixture::form("Form4");
        QCOMPARE(strikes && strikes->isVisible(), shown);
        QVERIFY(form2()->isVisible());
        QCOMPARE(label8()->text(), QStringLiteral("    "));
    }

    void menuEntriesShowTheTargetFirstAndComeBackToTheSameState_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("entryBack");
        QTest::newRow("single rod") << "dangen"
                                    << "Form1"
                                    << "shuanggen";
        QTest::newRow("rod height") << "bileizhen"
                                    << "Form3"
                                    << "shuanggen";
        QTest::newRow("strike count") << "leijicishude"
                                      << "Form4"
                                      << "shuanggende";
    }
    void menuEntriesShowTheTargetFirstAndComeBackToTheSameState()
    {
        QFETCH(QString, entry);
        QFETCH(QString, target);
        QFETCH(QString, entryBack);
        fill("30", "40", 2);
        clickCompute();

        ShowHideLog log;
        Fixture::menuEntry("Form2", latin(entry).constData())->trigger();
        QCOMPARE(log.events, (QStringList{"show " + target, "hide Form2"}));
        QWidget *shown = Fixture::form(latin(target).constData());
        QVERIFY(QTest::qWaitForWindowActive(shown));

        QAction *back = Fixture::menuEntry(latin(target).constData(), latin(entryBack).constData());
        QVERIFY(back);
        back->trigger();
        QTRY_VERIFY(form2()->isVisible());
        QVERIFY(!shown->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(form2()));
        Fixture::expectSelectedFocus(text1());
        QCOMPARE(text1()->text(), QStringLiteral("30"));
        QCOMPARE(text2()->text(), QStringLiteral("40"));
        QCOMPARE(combo1()->currentIndex(), 2);
        QCOMPARE(label8()->text(), QStringLiteral("10"));
        QCOMPARE(label9()->text(), QStringLiteral("22.36"));
    }

    void menuBarHasItsEntries()
    {
        const QList<QPair<const char *, QString>> entries{{"quelm", "保护范围"},
                                                          {"dangen", "单根避雷针保护范围(&D)"},
                                                          {"shuanggende", "双根等高避雷针保护范围"},
                                                          {"bileizhendehigh", "避雷针高度"},
                                                          {"bileizhen", "避雷针高度计算"},
                                                          {"leijicishuya", "雷击次数"},
                                                          {"leijicishude", "雷击次数计算"},
                                                          {"ituichu", "退出"},
                                                          {"exitid", "退出"}};
        for (const auto &[name, caption] : entries) {
            QAction *entry = Fixture::menuEntry("Form2", name);
            QVERIFY2(entry, name);
            QCOMPARE(entry->text(), caption);
        }
        QVERIFY(!Fixture::menuEntry("Form2", "shuanggende")->isEnabled());
        // No help menu: the About window is not reachable from here.
        QCOMPARE(static_cast<QMainWindow *>(form2())->menuBar()->actions().size(), 4);
    }

    void clearStartsAfreshAfterAHandOver()
    {
        fill("45", "90", 1);
        fx.boxes.expect(QMessageBox::Ok);
        clickCompute();
        QTRY_COMPARE(QApplication::focusWidget(), Fixture::control<QWidget>("Form1", "Text1"));
        Fixture::press(Qt::Key_F2); // from the single-rod window, back here
        QTRY_VERIFY(form2()->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(form2()));
        fill("30", "40", 2);
        QTest::mouseClick(button("Command2"), Qt::LeftButton);
        QCOMPARE(combo1()->currentIndex(), 0);
        QCOMPARE(combo1()->currentText(), QStringLiteral("3类 hr=60米"));
        QCOMPARE(text1()->text(), QString());
        QCOMPARE(text2()->text(), QString());
        QCOMPARE(label8()->text(), QStringLiteral("    "));
        QCOMPARE(label9()->text(), QStringLiteral("    "));
        expectResultColours();
        QCOMPARE(QApplication::focusWidget(), text1());
    }

    void exitButtonNoReturnsToTheRodHeight()
    {
        text1()->setText("30");
        fx.boxes.expect(QMessageBox::No);
        QTest::mouseClick(button("Command3"), Qt::LeftButton);
        const guitest::Box box = fx.boxes.last();
        QCOMPARE(box.text, QStringLiteral("真的要退出系统？"));
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.defaultButton, QMessageBox::Yes);
        QCOMPARE(box.title, QStringLiteral("防雷计算"));
        Fixture::expectSelectedFocus(text1());
        QCOMPARE(text1()->selectedText(), QStringLiteral("30"));
        QVERIFY(form2()->isVisible());
    }

    void exitButtonYesAndTheExitEntryEndTheProgram_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("Yes") << false;
        QTest::newRow("exitid") << true;
    }
    void exitButtonYesAndTheExitEntryEndTheProgram()
    {
        QFETCH(bool, byMenu);
        if (!byMenu) fx.boxes.expect(QMessageBox::Yes);
        const int code = Fixture::runEventLoop([byMenu] {
            if (byMenu)
                Fixture::menuEntry("Form2", "exitid")->trigger();
            else
                QTest::mouseClick(button("Command3"), Qt::LeftButton);
        });
        QCOMPARE(code, 0);
        QCOMPARE(fx.boxes.count(), byMenu ? 0 : 1);
        QWidget *left = fx.set().existing(windows::WindowId::TwoRods);
        QVERIFY(!left || !left->isVisible());
    }

    void closeBoxAsksWhenAloneAndHidesBesideAnother()
    {
        fx.boxes.expect(QMessageBox::No);
        QVERIFY(!form2()->close());
        QCOMPARE(fx.boxes.last().text, QStringLiteral("真的要退出系统？"));
        QVERIFY(form2()->isVisible());
        Fixture::expectSelectedFocus(text1());

        combo1()->setCurrentIndex(2);
        Fixture::focus(combo1());
        Fixture::press(Qt::Key_F10);
        QWidget *strikes = Fixture::form("Form4");
        QVERIFY(strikes && strikes->isVisible());
        text1()->setText("30");
        QVERIFY(form2()->close());
        QVERIFY(!form2()->isVisible());
        QCOMPARE(fx.boxes.count(), 1);
        QCOMPARE(text1()->text(), QStringLiteral("30"));
    }

    void linkFlickersAndOpensTheSite()
    {
        auto *link = label("Label11");
        QVERIFY(link->hasMouseTracking());
        QCOMPARE(link->text(), QStringLiteral("岚舟 ") + rendering::makerHost());
        QCOMPARE(link->toolTip(), QStringLiteral("点击去岚舟网站！"));
        QCOMPARE(colourOf(link), bgr(colour::kYellow));
        Fixture::hover(link, QPoint(10, 5));
        QCOMPARE(colourOf(link), bgr(colour::kRed));
        Fixture::hover(link, QPoint(20, 6));
        QCOMPARE(colourOf(link), bgr(colour::kYellow));
        Fixture::hover(link, QPoint(30, 7));
        QCOMPARE(colourOf(link), bgr(colour::kRed));

        text1()->setText("7");
        QTest::mouseClick(link, Qt::LeftButton, Qt::NoModifier, QPoint(30, 7));
        QCOMPARE(fx.urls.urls, QList<QUrl>{rendering::makerAddress()});
        QCOMPARE(QApplication::focusWidget(), text1());
        QCOMPARE(text1()->text(), QStringLiteral("7"));
        QCOMPARE(colourOf(link), bgr(colour::kRed));
    }
};

QTEST_MAIN(TwoRodsWindowTest)
#include "two_rods_window_test.moc"
