#include "gui_fixture.h"

#include "rendering/branding.h"
#include "windows/twips.h"

#include "windows/clock.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using guitest::bgr;
using guitest::colourOf;
using guitest::Fixture;
using windows::WindowId;
namespace colour = windows::colour;

class StrikeCountWindowTest : public QObject {
    Q_OBJECT

    Fixture fx;
    QDateTime now_;
    int beeps_ = 0;

    static QWidget *form4() { return Fixture::form("Form4"); }
    static QLineEdit *field(int i)
    {
        return Fixture::control<QLineEdit>("Form4", QStringLiteral("Text1_%1").arg(i));
    }
    static QComboBox *list(const char *name) { return Fixture::control<QComboBox>("Form4", name); }
    static QLabel *label(const char *name) { return Fixture::control<QLabel>("Form4", name); }
    static QLabel *result() { return label("Label2_1"); }
    static QPushButton *button(const char *name)
    {
        return Fixture::control<QPushButton>("Form4", name);
    }
    static QColor pending() { return QApplication::palette().color(QPalette::HighlightedText); }

    // Opens the window the way the user does, from the start window's menu.
    static void open()
    {
        Fixture::menuEntry("Form1", "leijicishu")->trigger();
        QVERIFY(form4());
        QVERIFY(QTest::qWaitForWindowActive(form4()));
    }

    static void fill(const QString &length, const QString &width, const QString &height)
    {
        field(0)->setText(length);
        field(1)->setText(width);
        field(2)->setText(height);
    }

    static void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }

    static void expectResult(const QString &caption, const QColor &colour, qreal points)
    {
        QCOMPARE(result()->text(), caption);
        QCOMPARE(colourOf(result()), colour);
        QCOMPARE(result()->font().pointSizeF(), points);
        QVERIFY(result()->font().underline());
        QCOMPARE(result()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }

    static windows::Clock *clock()
    {
        return form4()->findChild<windows::Clock *>(QStringLiteral("Timer1"));
    }

private slots:
    void init()
    {
        now_ = QDateTime(QDate(2024, 6, 3), QTime(9, 5, 3));
        beeps_ = 0;
        windows::setTimeSource([this] { return now_; });
        windows::setBeeper([this] { ++beeps_; });
        fx.start();
        open();
    }
    void cleanup()
    {
        fx.finish();
        windows::setTimeSource({});
        windows::setBeeper({});
    }

    void loadsReadyForTheLength()
    {
        QCOMPARE(form4()->windowTitle(), QStringLiteral("雷击次数计算"));
        QVERIFY(!Fixture::form("Form1")->isVisible());
        QCOMPARE(QApplication::focusWidget(), field(0));
        expectResult(QString(7, u' '), bgr(colour::kYellow), 9);
        QVERIFY(pending() != bgr(colour::kYellow));

        QCOMPARE(list("Combo1")->count(), 4);
        QCOMPARE(list("Combo1")->currentIndex(), 0);
        QCOMPARE(list("Combo1")->currentText(), QStringLiteral("一般建筑物 k=1"));
        QCOMPARE(list("Combo2")->count(), 9);
        QCOMPARE(list("Combo2")->currentIndex(), 0);
        QCOMPARE(list("Combo2")->currentText(), QStringLiteral("湛江 95.6"));
        QCOMPARE(list("Combo2")->itemText(8), QStringLiteral("海口 113.8"));

        const QStringList captions{"长:", "宽:", "高:"};
        for (int i = 0; i < 3; ++i) {
            auto *caption = label(QByteArray("Label1_").append(char('0' + i)).constData());
            QCOMPARE(caption->text(), captions[i]);
            QCOMPARE(colourOf(caption), bgr(0xE0E0E0));
            QCOMPARE(field(i)->text(), QString());
        }
        QCOMPARE(label("Label2_0")->text(), QStringLiteral("雷击次数:"));
        QCOMPARE(label("Label4")->text(), QStringLiteral("雷 击 次 数 计 算 系 统"));
        QCOMPARE(button("Command1")->text(), QStringLiteral("计算"));
        QCOMPARE(button("清除")->text(), QStringLiteral("清除"));
        QCOMPARE(button("Command3")->text(), QStringLiteral("退出"));

        // The inputs stand inside the frame, placed relative to it.
        auto *frame = Fixture::control<QGroupBox>("Form4", "Frame1");
        QCOMPARE(frame->title(), QStringLiteral("输入有效数字"));
        QCOMPARE(colourOf(frame), bgr(colour::kRed));
        QCOMPARE(frame->font().pointSizeF(), 12.0);
        QVERIFY(frame->font().bold());
        QCOMPARE(field(2)->parentWidget(), frame);
        QCOMPARE(field(2)->geometry(), windows::pixelRect({4200, 544, 975, 333}));
        QCOMPARE(list("Combo2")->geometry(), windows::pixelRect({1320, 1680, 2535, 300}));

        auto *name = label("Label11");
        QCOMPARE(name->text(), QStringLiteral("岚舟"));
        QCOMPARE(colourOf(name), bgr(colour::kYellow));
        QCOMPARE(name->font().pointSizeF(), 14.25);
        QCOMPARE(colourOf(label("Label12")), bgr(colour::kWhite));
        QCOMPARE(label("Label12")->toolTip(), QStringLiteral("点击去岚舟网站！"));
    }

    void tabLeadsThroughTheInputsWithTheCityListLast()
    {
        QList<QWidget *> order{field(0),       field(1),           field(2),
                               list("Combo1"), button("Command1"), button("Command3"),
                               button("清除"), list("Combo2"),     field(0)};
        Fixture::focus(order.first());
        for (qsizetype i = 1; i < order.size(); ++i) {
            Fixture::press(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), order[i]);
        }
    }

    void showsTheRoundedCount_data()
    {
        QTest::addColumn<QStringList>("dimensions");
        QTest::addColumn<int>("setting");
        QTest::addColumn<int>("city");
        QTest::addColumn<QString>("count");
        QTest::newRow("low building") << QStringList{"50", "20", "30"} << 0 << 0 << "0.243";
        QTest::newRow("tall building") << QStringList{"200", "100", "150"} << 1 << 8 << "4.083";
        QTest::newRow("no cut to five") << QStringList{"1000", "1000", "50"} << 1 << 8 << "30.961";
        QTest::newRow("trailing zero dropped")
            << QStringList{"10", "10", "250"} << 0 << 0 << "1.86";
    }
    void showsTheRoundedCount()
    {
        QFETCH(QStringList, dimensions);
        QFETCH(int, setting);
        QFETCH(int, city);
        QFETCH(QString, count);
        list("Combo1")->setCurrentIndex(setting);
        list("Combo2")->setCurrentIndex(city);
        fill(dimensions[0], dimensions[1], dimensions[2]);
        click("Command1");
        expectResult(count, bgr(colour::kYellow), 12);
        QCOMPARE(QApplication::focusWidget(), button("Command1"));
        QCOMPARE(field(0)->text(), dimensions[0]);
    }

    // Command1 is the default button: Enter in a field or a list presses it.
    void enterRunsTheCalculationFromAnyInput_data()
    {
        QTest::addColumn<QString>("control");
        for (const char *name : {"Text1_0", "Text1_2", "Combo1", "Combo2"})
            QTest::newRow(name) << name;
    }
    void enterRunsTheCalculationFromAnyInput()
    {
        QFETCH(QString, control);
        fill("50", "20", "30");
        auto *target = Fixture::control("Form4", control);
        Fixture::focus(target);
        Fixture::press(Qt::Key_Return);
        expectResult(QStringLiteral("0.243"), bgr(colour::kYellow), 12);
        QCOMPARE(QApplication::focusWidget(), target);
        QCOMPARE(list("Combo1")->count(), 4); // Enter never adds an entry
        QCOMPARE(list("Combo2")->count(), 9);
    }

    void functionKeysDoNothingHere()
    {
        fill("50", "20", "abc");
        for (QWidget *control :
             {static_cast<QWidget *>(field(2)), static_cast<QWidget *>(list("Combo1"))}) {
            list("Combo1")->setCurrentIndex(2);
            Fixture::focus(control);
            Fixture::press(Qt::Key_F2);
            Fixture::press(Qt::Key_F10);
            Fixture::press(Qt::Key_Escape);
        }
        QVERIFY(form4()->isVisible());
        QVERIFY(!Fixture::form("Form1")->isVisible());
        QCOMPARE(field(2)->text(), QStringLiteral("abc"));
        expectResult(QString(7, u' '), bgr(colour::kYellow), 9);
    }

    void inputErrorsEmptyEveryFieldAtFault_data()
    {
        QTest::addColumn<QStringList>("dimensions");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("focused");
        QTest::newRow("length and height")
            << QStringList{"a", "10", "b"} << "长 高 必须为数字!" << QStringList{"", "10", ""} << 0;
        QTest::newRow("all empty")
            << QStringList{"", "", ""} << "长 宽 高 必须为数字!" << QStringList{"", "", ""} << 0;
        QTest::newRow("only height") << QStringList{"10", "10", "10m"} << "高 必须为数字!"
                                     << QStringList{"10", "10", ""} << 2;
        QTest::newRow("negative") << QStringList{"10", "-5", "-1"} << "宽 高 不能为负数!"
                                  << QStringList{"10", "", ""} << 1;
    }
    void inputErrorsEmptyEveryFieldAtFault()
    {
        QFETCH(QStringList, dimensions);
        QFETCH(QString, message);
        QFETCH(QStringList, after);
        QFETCH(int, focused);
        fill("50", "20", "30");
        click("Command1");
        fill(dimensions[0], dimensions[1], dimensions[2]);
        fx.boxes.expect(QMessageBox::Ok);
        click("Command1");

        fx.expectOneOkBox(message, QMessageBox::Critical, QStringLiteral("输入错误"));
        QTRY_COMPARE(QApplication::focusWidget(), field(focused));
        for (int i = 0; i < 3; ++i) QCOMPARE(field(i)->text(), after[i]);
        expectResult(QStringLiteral("(待计算)"), pending(), 9);

        // A good calculation afterwards turns the label back to yellow.
        fill("50", "20", "30");
        click("Command1");
        expectResult(QStringLiteral("0.243"), bgr(colour::kYellow), 12);
    }

    void aCountTooLargeKeepsTheFields()
    {
        fill("1e300", "1e300", "50");
        fx.boxes.expect(QMessageBox::Ok);
        click("Command1");
        QCOMPARE(fx.boxes.count(), 1);
        QCOMPARE(fx.boxes.last().text, QStringLiteral("输入数据过大，无法计算!"));
        QCOMPARE(fx.boxes.last().title, QStringLiteral("输入错误"));
        QCOMPARE(fx.boxes.last().icon, QMessageBox::Critical);
        QCOMPARE(field(0)->text(), QStringLiteral("1e300"));
        QCOMPARE(field(1)->text(), QStringLiteral("1e300"));
        QCOMPARE(field(2)->text(), QStringLiteral("50"));
        expectResult(QStringLiteral("(待计算)"), pending(), 9);
    }

    void aZeroCountIsShownInTheLabel_data()
    {
        QTest::addColumn<QStringList>("dimensions");
        QTest::addColumn<bool>("typeIntoCityList");
        QTest::newRow("typed thunderstorm days") << QStringList{"50", "20", "30"} << true;
        QTest::newRow("zero building") << QStringList{"0", "0", "0"} << false;
        QTest::newRow("tiny building") << QStringList{"0.1", "0.1", "0.01"} << false;
    }
    void aZeroCountIsShownInTheLabel()
    {
        QFETCH(QStringList, dimensions);
        QFETCH(bool, typeIntoCityList);
        fill(dimensions[0], dimensions[1], dimensions[2]);
        if (typeIntoCityList) {
            Fixture::typeIntoList(list("Combo2"), "95.6");
            Fixture::press(Qt::Key_Return);
        } else {
            click("Command1");
        }
        expectResult(QStringLiteral("数据选择不正确"), bgr(colour::kYellow), 12);
        QCOMPARE(fx.boxes.count(), 0);
    }

    // A typed text is never a number of thunderstorm days nor a setting, not
    // even one that reads exactly as an entry.
    void aTypedEntryTextIsNoEntry_data()
    {
        QTest::addColumn<QString>("listName");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byEnter");
        QTest::newRow("city, Enter") << "Combo2"
                                     << "湛江 95.6" << true;
        QTest::newRow("city, Tab away") << "Combo2"
                                        << "海口 113.8" << false;
        QTest::newRow("setting, Enter") << "Combo1"
                                        << "一般建筑物 k=1" << true;
        QTest::newRow("setting, Tab away") << "Combo1"
                                           << "一般建筑物 k=1" << false;
    }
    void aTypedEntryTextIsNoEntry()
    {
        QFETCH(QString, listName);
        QFETCH(QString, typed);
        QFETCH(bool, byEnter);
        QComboBox *typedInto = list(listName.toLatin1().constData());
        fill("50", "20", "30");
        Fixture::typeIntoList(typedInto, typed);
        if (byEnter) {
            Fixture::press(Qt::Key_Return);
        } else {
            Fixture::press(Qt::Key_Tab);
            QTRY_VERIFY(QApplication::focusWidget() != typedInto);
            click("Command1");
        }
        QCOMPARE(typedInto->currentIndex(), -1);
        QCOMPARE(typedInto->currentText(), typed);
        expectResult(QStringLiteral("数据选择不正确"), bgr(colour::kYellow), 12);
        QCOMPARE(fx.boxes.count(), 0);
    }

    void clearEmptiesTheFieldsThenResetsTheLists()
    {
        fill("50", "20", "30");
        list("Combo1")->setCurrentIndex(3);
        list("Combo2")->setCurrentIndex(5);
        click("Command1");

        QStringList steps;
        for (int i = 0; i < 3; ++i) {
            connect(field(i), &QLineEdit::textChanged, this,
                    [&steps, i] { steps << QStringLiteral("text%1").arg(i); });
        }
        for (const char *name : {"Combo1", "Combo2"}) {
            connect(list(name), &QComboBox::currentIndexChanged, this,
                    [&steps, name] { steps << QString::fromLatin1(name); });
        }
        connect(qApp, &QApplication::focusChanged, this, [&steps](QWidget *, QWidget *now) {
            if (now == field(0)) steps << QStringLiteral("focus");
        });
        const auto disconnectAll = qScopeGuard([this] {
            for (int i = 0; i < 3; ++i) field(i)->disconnect(this);
            list("Combo1")->disconnect(this);
            list("Combo2")->disconnect(this);
            qApp->disconnect(this);
        });

        click("清除");
        QCOMPARE(steps, (QStringList{"text0", "text1", "text2", "focus", "Combo1", "Combo2"}));
        QCOMPARE(list("Combo1")->currentText(), QStringLiteral("一般建筑物 k=1"));
        QCOMPARE(list("Combo2")->currentText(), QStringLiteral("湛江 95.6"));
        expectResult(QStringLiteral("(待计算)"), pending(), 9);
        QCOMPARE(QApplication::focusWidget(), field(0));
    }

    void exitQuestionNoReturnsToTheLength()
    {
        field(0)->setText("12");
        Fixture::focus(list("Combo2"));
        fx.boxes.expect(QMessageBox::No);
        click("Command3");
        QCOMPARE(fx.boxes.last().text, QStringLiteral("真的要退出系统？"));
        QCOMPARE(fx.boxes.last().title, QStringLiteral("防雷计算"));
        QCOMPARE(fx.boxes.last().icon, QMessageBox::NoIcon);
        QCOMPARE(fx.boxes.last().buttons, QMessageBox::Yes | QMessageBox::No);
        QTRY_COMPARE(QApplication::focusWidget(), field(0));
        QCOMPARE(field(0)->selectedText(), QStringLiteral("12"));
        QVERIFY(form4()->isVisible());
    }

    void exitQuestionYesAndTheMenuEndTheProgram()
    {
        fx.boxes.expect(QMessageBox::Yes);
        QCOMPARE(Fixture::runEventLoop([] { click("Command3"); }), 0);
        QCOMPARE(fx.boxes.count(), 1);

        fx.finish();
        fx.start();
        open();
        QCOMPARE(Fixture::runEventLoop([] { Fixture::menuEntry("Form4", "exitll")->trigger(); }),
                 0);
        QCOMPARE(fx.boxes.count(), 0);
    }

    void menusSwitchAndTheWindowKeepsItsState()
    {
        const QList<QPair<const char *, QString>> entries{{"tirasolall", "保护范围"},
                                                          {"danzhende", "单根避雷针保护范围"},
                                                          {"shuanggende", "双根避雷针保护范围"},
                                                          {"bileizhengaodu", "避雷针高度"},
                                                          {"zhendegodu", "避雷针高度计算"},
                                                          {"exitedd", "退出"},
                                                          {"exitll", "退出"}};
        for (const auto &[name, caption] : entries) {
            QAction *entry = Fixture::menuEntry("Form4", name);
            QVERIFY2(entry, name);
            QCOMPARE(entry->text(), caption);
        }

        fill("a", "20", "30");
        list("Combo2")->setCurrentIndex(4);
        fx.boxes.expect(QMessageBox::Ok);
        click("Command1");
        QTRY_COMPARE(QApplication::focusWidget(), field(0));
        field(0)->setText("50");
        Fixture::focus(list("Combo2"));

        for (auto [entry, target] : {std::pair{"danzhende", WindowId::SingleRod},
                                     std::pair{"shuanggende", WindowId::TwoRods},
                                     std::pair{"zhendegodu", WindowId::RodHeight}}) {
            Fixture::menuEntry("Form4", entry)->trigger();
            QWidget *shown = fx.set().existing(target);
            if (!shown) { // not in this build
                QVERIFY(form4()->isVisible());
                continue;
            }
            QVERIFY(shown->isVisible());
            QVERIFY(!form4()->isVisible());
            fx.set().switchTo(shown, WindowId::StrikeCount);
            QVERIFY(QTest::qWaitForWindowActive(form4()));
            QVERIFY(!shown->isVisible());
            // No activation step: the focus comes back where the user left it.
            QTRY_COMPARE(QApplication::focusWidget(), list("Combo2"));
            QCOMPARE(field(0)->text(), QStringLiteral("50"));
            QCOMPARE(field(1)->text(), QStringLiteral("20"));
            QCOMPARE(list("Combo2")->currentIndex(), 4);
            expectResult(QStringLiteral("(待计算)"), pending(), 9);
        }
    }

    void closeBoxHidesWhenShownBesideAndAsksWhenAlone()
    {
        // Beside the start window, through F10 on its third class.
        Fixture::menuEntry("Form4", "danzhende")->trigger();
        QWidget *form1 = Fixture::form("Form1");
        QVERIFY(QTest::qWaitForWindowActive(form1));
        auto *classes = Fixture::control<QComboBox>("Form1", "Combo1");
        classes->setCurrentIndex(2);
        Fixture::focus(classes);
        Fixture::press(Qt::Key_F10);
        QTRY_VERIFY(form4()->isVisible());
        QVERIFY(form1->isVisible());
        form4()->close();
        QVERIFY(!form4()->isVisible());
        QVERIFY(form1->isVisible());

        fx.set().switchTo(form1, WindowId::StrikeCount);
        QVERIFY(QTest::qWaitForWindowActive(form4()));
        fx.boxes.expect(QMessageBox::No);
        form4()->close();
        QCOMPARE(fx.boxes.last().text, QStringLiteral("真的要退出系统？"));
        QVERIFY(form4()->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), field(0));
    }

    void theNameFlickersAndTheAddressOpensTheSite()
    {
        auto *name = label("Label11");
        auto *address = label("Label12");
        for (QColor expected : {bgr(colour::kRed), bgr(colour::kYellow), bgr(colour::kRed)}) {
            Fixture::hover(name, QPoint(10, 5));
            QCOMPARE(colourOf(name), expected);
        }
        QTest::mouseClick(name, Qt::LeftButton, Qt::NoModifier, QPoint(10, 5));
        QCOMPARE(fx.urls.urls, QList<QUrl>{});
        QCOMPARE(colourOf(name), bgr(colour::kRed));

        Fixture::hover(address, QPoint(10, 5));
        QCOMPARE(colourOf(address), bgr(colour::kWhite));
        QTest::mouseClick(address, Qt::LeftButton, Qt::NoModifier, QPoint(10, 5));
        QCOMPARE(fx.urls.urls, QList<QUrl>{rendering::makerAddress()});
    }

    void theClockShowsTheTimeAndItsToolTip()
    {
        auto *clockLabel = label("Label5");
        QCOMPARE(clockLabel->text(), QString());
        QCOMPARE(colourOf(clockLabel), bgr(colour::kYellow));
        QCOMPARE(clockLabel->toolTip(), QStringLiteral("当前时间："));
        clock()->tick();
        QCOMPARE(clockLabel->text(), QStringLiteral("9:05:03"));
        QCOMPARE(clockLabel->toolTip(), QStringLiteral("当前时间："));
        Fixture::hover(clockLabel, QPoint(5, 5));
        QCOMPARE(clockLabel->toolTip(), QStringLiteral("现在时间是：9:05:03"));
        now_ = now_.addSecs(3600 * 8 + 60 * 15 + 20);
        clock()->tick();
        Fixture::hover(clockLabel, QPoint(6, 5));
        QCOMPARE(clockLabel->toolTip(), QStringLiteral("现在时间是：17:20:23"));
    }

    void theAlarmSoundsWhileTheWindowIsHidden()
    {
        Fixture::menuEntry("Form4", "danzhende")->trigger();
        QVERIFY(QTest::qWaitForWindowActive(Fixture::form("Form1")));
        QVERIFY(!form4()->isVisible());
        now_ = QDateTime(now_.date(), QTime(11, 50, 22));
        QTRY_COMPARE(label("Label5")->text(), QStringLiteral("11:50:22"));
        QCOMPARE(beeps_, 0);
        now_ = QDateTime(now_.date(), QTime(11, 50, 23));
        QTRY_COMPARE(label("Label5")->text(), QStringLiteral("11:50:23"));
        QCOMPARE(beeps_, 3);
        QVERIFY(!form4()->isVisible());
    }
};

QTEST_MAIN(StrikeCountWindowTest)
#include "strike_count_window_test.moc"
