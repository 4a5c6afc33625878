#include "gui_fixture.h"

#include "rendering/branding.h"
#include "windows/links.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

using guitest::bgr;
using guitest::colourOf;
using guitest::Fixture;
namespace colour = windows::colour;
using windows::WindowId;

class RodHeightWindowTest : public QObject {
    Q_OBJECT

    Fixture fx;

    static QWidget *form3() { return Fixture::form("Form3"); }
    static QLineEdit *text1() { return Fixture::control<QLineEdit>("Form3", "Text1"); }
    static QLineEdit *text2() { return Fixture::control<QLineEdit>("Form3", "Text2"); }
    static QComboBox *combo1() { return Fixture::control<QComboBox>("Form3", "Combo1"); }
    static QLabel *label8() { return Fixture::control<QLabel>("Form3", "Label8"); }
    static QLabel *label9() { return Fixture::control<QLabel>("Form3", "Label9"); }
    static QPushButton *button(const char *name)
    {
        return Fixture::control<QPushButton>("Form3", name);
    }
    static QWidget *named(const QString &name) { return Fixture::control("Form3", name); }

    // Opens the window the way the user does: from the start window's menu.
    static void open()
    {
        Fixture::menuEntry("Form1", "gethigh")->trigger();
        QVERIFY(form3());
        QVERIFY(QTest::qWaitForWindowActive(form3()));
        QVERIFY(!Fixture::form("Form1")->isVisible());
    }

    static void fill(const QString &hx, const QString &distance)
    {
        text1()->setText(hx);
        text2()->setText(distance);
    }

    static void clickCompute() { QTest::mouseClick(button("Command1"), Qt::LeftButton); }

    static void expectResults(const QString &x1, const QString &x2)
    {
        QCOMPARE(label8()->text(), x1);
        QCOMPARE(label9()->text(), x2);
        // Whatever happens, the results keep their colour.
        QCOMPARE(colourOf(label8()), bgr(colour::kLightYellow));
        QCOMPARE(colourOf(label9()), bgr(colour::kLightYellow));
    }

private slots:
    void init()
    {
        fx.start();
        open();
    }
    void cleanup() { fx.finish(); }

    void opensAsDesigned()
    {
        QCOMPARE(form3()->windowTitle(), QStringLiteral("避雷针高度计算"));
        QTRY_COMPARE(QApplication::focusWidget(), text1());
        QCOMPARE(text1()->text(), QString());
        QCOMPARE(text2()->text(), QString());
        QCOMPARE(combo1()->currentIndex(), 0);
        QCOMPARE(combo1()->currentText(), QStringLiteral("3类 hr=60米"));
        QCOMPARE(combo1()->count(), 3);
        expectResults(QStringLiteral("    "), QStringLiteral("    "));
        QCOMPARE(label8()->toolTip(), QStringLiteral(" "));

        const QList<QPair<const char *, QString>> captions{
            {"Label6", "避雷针高度计算"}, {"Label2", "防雷类别"}, {"Label1", "被保护物高度  hx"},
            {"Label5", "距离   h"},       {"Label3", "结果 x1"},  {"Label4", "结果 x2"}};
        for (const auto &[name, caption] : captions) {
            auto *label = Fixture::control<QLabel>("Form3", name);
            QVERIFY2(label, name);
            QCOMPARE(label->text(), caption);
        }
        QCOMPARE(colourOf(named("Label6")), bgr(colour::kWhite));
        QCOMPARE(colourOf(named("Label5")), bgr(colour::kYellow));
        QCOMPARE(named("Label3")->toolTip(), QStringLiteral("避雷针在hx高度的xx'平面上的保护半径"));
        QCOMPARE(named("Label4")->toolTip(), QStringLiteral("避雷针在地面上的保护半径"));
        QCOMPARE(button("Command1")->text(), QStringLiteral("计  算"));
        QCOMPARE(button("Command2")->text(), QStringLiteral("清  除"));
        QCOMPARE(button("Command3")->text(), QStringLiteral("退  出"));

        // The red line under the link runs from 120 to 7320 twips at 600.
        QWidget *line = named("Line1");
        QCOMPARE(line->geometry().topLeft(), QPoint(8, 40));
        QCOMPARE(line->geometry().right(), 488);
        QCOMPARE(colourOf(line), bgr(colour::kRed));
        QCOMPARE(Fixture::control<QWidget>("Form3", "Text2")->geometry(), QRect(328, 128, 89, 25));
        QCOMPARE(qobject_cast<QMainWindow *>(form3())->centralWidget()->size(), QSize(486, 310));

        // Tab runs through the six controls that take the focus, in order.
        for (const char *name : {"Text2", "Combo1", "Command1", "Command2", "Command3", "Text1"}) {
            Fixture::press(Qt::Key_Tab);
            QTRY_COMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(name));
        }
    }

    void buttonShowsBothHeights_data()
    {
        QTest::addColumn<QString>("hx");
        QTest::addColumn<QString>("distance");
        QTest::addColumn<int>("classIndex");
        QTest::addColumn<QString>("x1");
        QTest::addColumn<QString>("x2");
        QTest::newRow("first class") << "10"
                                     << "10" << 0 << "101.6"
                                     << "18.32";
        QTest::newRow("trailing zero") << "10"
                                       << "20" << 0 << "87.80"
                                       << "32.19";
        QTest::newRow("second class") << "5"
                                      << "3" << 1 << "83.30"
                                      << "6.694";
        QTest::newRow("one height") << "0"
                                    << "60" << 0 << "60"
                                    << "60";
        QTest::newRow("hx at twice hr") << "120"
                                        << "0" << 0 << "120"
                                        << "0";
        QTest::newRow("negative distance") << "10"
                                           << "-10" << 0 << "115.3"
                                           << "4.652";
    }
    void buttonShowsBothHeights()
    {
        QFETCH(QString, hx);
        QFETCH(QString, distance);
        QFETCH(int, classIndex);
        QFETCH(QString, x1);
        QFETCH(QString, x2);
        fill(hx, distance);
        combo1()->setCurrentIndex(classIndex);
        clickCompute();
        expectResults(x1, x2);
        // Nothing else moves: the inputs, the class and the focus stay.
        QCOMPARE(text1()->text(), hx);
        QCOMPARE(text2()->text(), distance);
        QCOMPARE(combo1()->currentIndex(), classIndex);
        QCOMPARE(QApplication::focusWidget(), button("Command1"));
    }

    void enterAndFunctionKeysDoNothing_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("key");
        for (const char *name : {"Text1", "Text2"}) {
            QTest::newRow(QByteArray(name).append(" Enter").constData())
                << name << int(Qt::Key_Return);
            QTest::newRow(QByteArray(name).append(" keypad Enter").constData())
                << name << int(Qt::Key_Enter);
        }
        for (const char *name : {"Text1", "Text2", "Combo1", "Command1", "Command2", "Command3"}) {
            QTest::newRow(QByteArray(name).append(" F2").constData()) << name << int(Qt::Key_F2);
            QTest::newRow(QByteArray(name).append(" F10").constData()) << name << int(Qt::Key_F10);
        }
    }
    void enterAndFunctionKeysDoNothing()
    {
        QFETCH(QString, control);
        QFETCH(int, key);
        // Numbers in both fields: a calculation would change the results.
        fill("10", "10");
        Fixture::focus(named(control));
        Fixture::press(Qt::Key(key));
        // No box (the fixture fails on one), no calculation, no move.
        expectResults(QStringLiteral("    "), QStringLiteral("    "));
        QCOMPARE(text1()->text(), QStringLiteral("10"));
        QCOMPARE(text2()->text(), QStringLiteral("10"));
        QCOMPARE(QApplication::focusWidget(), named(control));
        QVERIFY(form3()->isVisible());
        QVERIFY(!Fixture::form("Form1")->isVisible());
        QCOMPARE(fx.set().existing(WindowId::TwoRods), nullptr);
        QCOMPARE(fx.set().existing(WindowId::StrikeCount), nullptr);
    }

    void f10OnTheThirdClassShowsTheStrikeCountWindowBeside()
    {
        combo1()->setCurrentIndex(2);
        Fixture::focus(combo1());
        Fixture::press(Qt::Key_F10);
        QWidget *strikes = fx.set().existing(WindowId::StrikeCount);
        QVERIFY(strikes);
        QTRY_VERIFY(strikes->isVisible());
        QVERIFY(form3()->isVisible());
        QCOMPARE(combo1()->currentIndex(), 2);
        expectResults(QStringLiteral("    "), QStringLiteral("    "));
    }

    void textsThatAreNotNumbersOrANegativeHeightAreReportedAtTheirField_data()
    {
        QTest::addColumn<QString>("hx");
        QTest::addColumn<QString>("distance");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("fieldAtFault");
        QTest::newRow("hx") << "abc"
                            << "10"
                            << "被保护物高度 hx 不是数字，请输入数字"
                            << "Text1";
        QTest::newRow("distance empty") << "10"
                                        << ""
                                        << "距离 h 不是数字，请输入数字"
                                        << "Text2";
        QTest::newRow("both") << ""
                              << "1.2.3"
                              << "被保护物高度 hx、距离 h 不是数字，请输入数字"
                              << "Text1";
        QTest::newRow("negative hx") << "-5"
                                     << "10"
                                     << "被保护物高度 hx 不能为负数，请重新输入！"
                                     << "Text1";
    }
    void textsThatAreNotNumbersOrANegativeHeightAreReportedAtTheirField()
    {
        QFETCH(QString, hx);
        QFETCH(QString, distance);
        QFETCH(QString, message);
        QFETCH(QString, fieldAtFault);
        combo1()->setCurrentIndex(1);
        fill("10", "10");
        clickCompute(); // earlier results that must survive the message
        expectResults(QStringLiteral("68.64"), QStringLiteral("21.35"));
        fill(hx, distance);
        fx.boxes.expect(QMessageBox::Ok);
        clickCompute();

        fx.expectOneOkBox(message, QMessageBox::Critical);
        Fixture::expectSelectedFocus(Fixture::control<QLineEdit>("Form3", fieldAtFault));
        expectResults(QStringLiteral("68.64"), QStringLiteral("21.35"));
        QCOMPARE(text1()->text(), hx);
        QCOMPARE(text2()->text(), distance);
        QCOMPARE(combo1()->currentIndex(), 1);
    }

    void anObjectAboveTwiceTheRadiusResetsTheWindow_data()
    {
        QTest::addColumn<QString>("hx");
        QTest::addColumn<int>("classIndex");
        QTest::newRow("first class") << "121" << 0;
        QTest::newRow("third class") << "60.5" << 2;
        QTest::newRow("typed class, hr 0") << "1" << -1;
    }
    void anObjectAboveTwiceTheRadiusResetsTheWindow()
    {
        QFETCH(QString, hx);
        QFETCH(int, classIndex);
        fill("10", "10");
        clickCompute();
        fill(hx, "10");
        if (classIndex < 0) {
            Fixture::typeIntoList(combo1(), "9");
        } else {
            combo1()->setCurrentIndex(classIndex);
        }
        fx.boxes.expect(QMessageBox::Ok);
        clickCompute();

        fx.expectOneOkBox(QStringLiteral("2*hr(滚球半径）< hx（被保护物高度）,无法计算！"),
                          QMessageBox::NoIcon);
        QCOMPARE(text1()->text(), QString());
        QCOMPARE(text2()->text(), QString());
        expectResults(QStringLiteral("    "), QStringLiteral("    "));
        QCOMPARE(combo1()->currentIndex(), 0);
        QCOMPARE(combo1()->currentText(), QStringLiteral("3类 hr=60米"));
        Fixture::expectSelectedFocus(text1());
    }

    void aNegativeRadicandBlanksTheResultsAndKeepsClassAndFocus_data()
    {
        QTest::addColumn<QString>("hx");
        QTest::addColumn<QString>("distance");
        QTest::addColumn<int>("classIndex");
        QTest::newRow("third class") << "30"
                                     << "5" << 2;
        QTest::newRow("typed class") << "0"
                                     << "1" << -1;
        QTest::newRow("overflowing distance") << "10"
                                              << "1e200" << 0;
    }
    void aNegativeRadicandBlanksTheResultsAndKeepsClassAndFocus()
    {
        QFETCH(QString, hx);
        QFETCH(QString, distance);
        QFETCH(int, classIndex);
        fill("10", "10");
        clickCompute();
        fill(hx, distance);
        if (classIndex < 0) {
            Fixture::typeIntoList(combo1(), "x");
        } else {
            combo1()->setCurrentIndex(classIndex);
        }
        // The user may press the button from the keyboard: the focus stays
        // wherever it was.
        Fixture::focus(button("Command2"));
        fx.boxes.expect(QMessageBox::Ok);
        button("Command1")->click();

        fx.expectOneOkBox(QStringLiteral("输入数字使根号内数字小于零，请重新输入！"),
                          QMessageBox::NoIcon);
        QCOMPARE(text1()->text(), QString());
        QCOMPARE(text2()->text(), QString());
        expectResults(QString(), QString());
        QCOMPARE(combo1()->currentIndex(), classIndex);
        if (classIndex < 0) QCOMPARE(combo1()->currentText(), QStringLiteral("x"));
        QTRY_COMPARE(QApplication::focusWidget(), button("Command2"));
    }

    void clearStartsAfresh()
    {
        fill("30", "5");
        combo1()->setCurrentIndex(2);
        fx.boxes.expect(QMessageBox::Ok);
        clickCompute(); // results blank after the root guard
        QVERIFY(QTest::qWaitForWindowActive(form3()));
        fill("5", "3");
        QTest::mouseClick(button("Command2"), Qt::LeftButton);
        QCOMPARE(combo1()->currentIndex(), 0);
        QCOMPARE(text1()->text(), QString());
        QCOMPARE(text2()->text(), QString());
        expectResults(QStringLiteral("    "), QStringLiteral("    "));
        QCOMPARE(QApplication::focusWidget(), text1());
    }

    void menusLeadToTheOtherWindowsAndBackWithTheStateKept()
    {
        const QList<QPair<const char *, QString>> entries{{"tirasol", "保护范围"},
                                                          {"dangen", "单根避雷针保护范围"},
                                                          {"shuanggen", "双根等高避雷针保护范围"},
                                                          {"leijicishuki", "雷击次数"},
                                                          {"leijicishudejisuan", "雷击次数计算"},
                                                          {"tuichuley", "退出"},
                                                          {"tuichuleded", "退出"}};
        for (const auto &[name, caption] : entries) {
            QAction *entry = Fixture::menuEntry("Form3", name);
            QVERIFY2(entry, name);
            QCOMPARE(entry->text(), caption);
        }
        // Three menus, each opening its submenu; no help, no own entry.
        const QList<QAction *> top = form3()->findChild<QMenuBar *>()->actions();
        QCOMPARE(top.size(), 3);
        for (QAction *menu : top) QVERIFY(menu->menu());

        fill("10", "10");
        combo1()->setCurrentIndex(1);
        clickCompute();
        Fixture::focus(text2());

        struct Trip {
            const char *entry;
            WindowId target;
        };
        for (const Trip trip :
             {Trip{"dangen", WindowId::SingleRod}, Trip{"shuanggen", WindowId::TwoRods},
              Trip{"leijicishudejisuan", WindowId::StrikeCount}}) {
            Fixture::menuEntry("Form3", trip.entry)->trigger();
            QWidget *target = fx.set().existing(trip.target);
            QVERIFY(target);
            QVERIFY(QTest::qWaitForWindowActive(target));
            QVERIFY(!form3()->isVisible());
            // Back through the single-rod window's entry to this window.
            if (trip.target != WindowId::SingleRod) {
                fx.set().switchTo(target, WindowId::SingleRod);
                target = Fixture::form("Form1");
                QVERIFY(QTest::qWaitForWindowActive(target));
            }
            Fixture::menuEntry("Form1", "gethigh")->trigger();
            QVERIFY(QTest::qWaitForWindowActive(form3()));
            QVERIFY(!target->isVisible());

            QCOMPARE(text1()->text(), QStringLiteral("10"));
            QCOMPARE(text2()->text(), QStringLiteral("10"));
            QCOMPARE(combo1()->currentIndex(), 1);
            expectResults(QStringLiteral("68.64"), QStringLiteral("21.35"));
            // No step on showing: the focus is where the user left it, and the
            // field receives it anew.
            Fixture::expectSelectedFocus(text2());
        }
    }

    void aLateActivationOfTheHiddenWindowLeavesItsFocus()
    {
        fill("10", "20");
        Fixture::focus(text1());
        Fixture::menuEntry("Form3", "dangen")->trigger();
        QWidget *form1 = Fixture::form("Form1");
        QVERIFY(QTest::qWaitForWindowActive(form1));
        // As the X11 window system may after a menu: the hidden window is
        // activated once more, and Qt moves its focus on to the next control.
        QApplication::setActiveWindow(form3());
        QApplication::setActiveWindow(form1);

        Fixture::menuEntry("Form1", "gethigh")->trigger();
        QVERIFY(QTest::qWaitForWindowActive(form3()));
        Fixture::expectSelectedFocus(text1());
    }

    void exitButtonAsksAndNoReturnsToTheFirstField()
    {
        text1()->setText("12");
        Fixture::focus(text2());
        fx.boxes.expect(QMessageBox::No);
        QTest::mouseClick(button("Command3"), Qt::LeftButton);
        QCOMPARE(fx.boxes.count(), 1);
        const guitest::Box box = fx.boxes.last();
        QCOMPARE(box.text, QStringLiteral("真的要退出系统？"));
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.defaultButton, QMessageBox::Yes);
        QCOMPARE(box.title, QStringLiteral("防雷计算"));
        Fixture::expectSelectedFocus(text1());
        QVERIFY(form3()->isVisible());
    }

    void exitButtonYesEndsTheProgram()
    {
        fx.boxes.expect(QMessageBox::Yes);
        const int code =
            Fixture::runEventLoop([] { QTest::mouseClick(button("Command3"), Qt::LeftButton); });
        QCOMPARE(code, 0);
        QCOMPARE(fx.boxes.count(), 1);
        QWidget *window = fx.set().existing(WindowId::RodHeight);
        QVERIFY(!window || !window->isVisible());
    }

    void exitMenuEndsAtOnce()
    {
        const int code =
            Fixture::runEventLoop([] { Fixture::menuEntry("Form3", "tuichuleded")->trigger(); });
        QCOMPARE(code, 0);
        QCOMPARE(fx.boxes.count(), 0);
        QWidget *window = fx.set().existing(WindowId::RodHeight);
        QVERIFY(!window || !window->isVisible());
    }

    void closeBoxAsksOnlyWhenNoOtherCalculationWindowIsShown()
    {
        text1()->setText("7");
        Fixture::focus(text2());
        fx.boxes.expect(QMessageBox::No);
        QVERIFY(!form3()->close());
        QCOMPARE(fx.boxes.last().text, QStringLiteral("真的要退出系统？"));
        QVERIFY(form3()->isVisible());
        Fixture::expectSelectedFocus(text1());

        // With the strike-count window shown beside, the close box only hides.
        combo1()->setCurrentIndex(2);
        Fixture::focus(combo1());
        Fixture::press(Qt::Key_F10);
        QTRY_VERIFY(Fixture::form("Form4") && Fixture::form("Form4")->isVisible());
        QVERIFY(form3()->close());
        QVERIFY(!form3()->isVisible());
        QCOMPARE(fx.boxes.count(), 1);
        QCOMPARE(text1()->text(), QStringLiteral("7"));
    }

    void linkFlickersAndOpensTheSite()
    {
        auto *link = Fixture::control<windows::LinkLabel>("Form3", "Label11");
        QVERIFY(link);
        QCOMPARE(link->text(), QStringLiteral("岚舟 ") + rendering::makerHost());
        QCOMPARE(link->toolTip(), QStringLiteral("点击去岚舟网站！"));
        QCOMPARE(colourOf(link), bgr(colour::kYellow));
        fill("7", "8");
        Fixture::focus(text2());
        for (unsigned expected : {colour::kRed, colour::kYellow, colour::kRed}) {
            Fixture::hover(link, QPoint(10, 5));
            QCOMPARE(colourOf(link), bgr(expected));
        }
        QTest::mouseClick(link, Qt::LeftButton, Qt::NoModifier, QPoint(10, 5));
        QCOMPARE(fx.urls.urls, QList<QUrl>{rendering::makerAddress()});
        QCOMPARE(QApplication::focusWidget(), text2());
        QCOMPARE(text1()->text(), QStringLiteral("7"));
        expectResults(QStringLiteral("    "), QStringLiteral("    "));
    }
};

QTEST_MAIN(RodHeightWindowTest)
#include "rod_height_window_test.moc"
