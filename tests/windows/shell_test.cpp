#include "gui_fixture.h"

#include "windows/calc_window.h"
#include "windows/control_factory.h"
#include "windows/editable_list.h"
#include "windows/fonts.h"
#include "windows/input_field.h"

#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMenuBar>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

using guitest::bgr;
using guitest::colourOf;
using guitest::Fixture;
using windows::WindowId;
namespace colour = windows::colour;

// A calculation window with a default button, as a window may have one.
class DefaultButtonWindow : public windows::CalcWindow {
public:
    explicit DefaultButtonWindow(windows::WindowSet &set)
        : CalcWindow(set, WindowId::StrikeCount, QStringLiteral("probe"), 7290, 4650)
    {
        const QFont font = windows::designFont(windows::kSongTi, 10.5, true);
        field = windows::makeInputField(client(), "Text1_0", {600, 600, 975, 333}, font);
        list = windows::makeEditableList(client(), "Combo1", {1320, 1200, 3855, 330}, font,
                                         {QStringLiteral("一"), QStringLiteral("二")});
        compute = windows::makeButton(client(), "Command1", {2040, 3960, 1000, 430},
                                      QStringLiteral("计算"), font);
        other = windows::makeButton(client(), "Command3", {4680, 3960, 1000, 430},
                                    QStringLiteral("退出"), font);
        setDefaultButton(compute);
        connect(compute, &QPushButton::clicked, this, [this] { ++computed; });
        connect(other, &QPushButton::clicked, this, [this] { ++otherClicked; });
        centreOnScreen();
    }

    QLineEdit *field;
    QComboBox *list;
    QPushButton *compute;
    QPushButton *other;
    int computed = 0;
    int otherClicked = 0;
};

class ShellTest : public QObject {
    Q_OBJECT

    Fixture fx;

    static QWidget *form1() { return Fixture::form("Form1"); }
    static QLineEdit *field(const char *name) { return Fixture::control<QLineEdit>("Form1", name); }
    static QComboBox *combo1() { return Fixture::control<QComboBox>("Form1", "Combo1"); }

    static bool wholeTextSelected(const QLineEdit *field)
    {
        return field->selectionStart() == 0 && field->selectedText() == field->text();
    }

private slots:
    void init() { fx.start(); }
    void cleanup() { fx.finish(); }

    void activationStepRunsOnlyWhenComingFromAnotherWindow()
    {
        QLineEdit *text1 = field("Text1");
        QLineEdit *text2 = field("Text2");
        text1->setText("12");
        text2->setText("345");
        text2->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), text2);
        text2->setCursorPosition(1);

        // Another application takes the focus and gives it back.
        QWindow elsewhere;
        elsewhere.resize(50, 50);
        elsewhere.show();
        elsewhere.requestActivate();
        QTRY_COMPARE(QGuiApplication::focusWindow(), &elsewhere);
        form1()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form1()));
        QCOMPARE(QApplication::focusWidget(), text2);
        QVERIFY(!text2->hasSelectedText());
        QCOMPARE(text2->cursorPosition(), 1);

        // Back from the About window: focus to the first field, text selected.
        Fixture::menuEntry("Form1", "vorn")->trigger();
        QVERIFY(QTest::qWaitForWindowActive(Fixture::form("Form5")));
        form1()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form1()));
        QCOMPARE(QApplication::focusWidget(), text1);
        QVERIFY(wholeTextSelected(text1));

        // The same when the About window is closed and its discarded.
        text2->setFocus();
        Fixture::menuEntry("Form1", "vorn")->trigger();
        QWidget *about = Fixture::form("Form5");
        QVERIFY(QTest::qWaitForWindowActive(about));
        about->close();
        form1()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form1()));
        QCOMPARE(QApplication::focusWidget(), text1);
    }

    void aSwitchRunsTheActivationStepAndKeepsTheState()
    {
        QLineEdit *text1 = field("Text1");
        text1->setText("20");
        field("Text2")->setText("10");
        combo1()->setCurrentIndex(1);
        QTest::mouseClick(Fixture::control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
        const QString rx = Fixture::control<QLabel>("Form1", "Label8")->text();

        field("Text2")->setFocus();
        form1()->hide();
        fx.set().switchTo(nullptr, WindowId::SingleRod);
        QVERIFY(form1()->isVisible());
        // The window's focus is set as it shows; the window manager's
        // activation then lands on it.
        QCOMPARE(form1()->focusWidget(), text1);
        QVERIFY(wholeTextSelected(text1));
        QCOMPARE(field("Text2")->text(), QStringLiteral("10"));
        QCOMPARE(combo1()->currentIndex(), 1);
        QCOMPARE(Fixture::control<QLabel>("Form1", "Label8")->text(), rx);
        QCOMPARE(colourOf(Fixture::control<QLabel>("Form1", "Label8")), bgr(colour::kRed));
    }

    void switchingNeverLeavesTheUserWithoutAWindow_data()
    {
        QTest::addColumn<WindowId>("target");
        QTest::addColumn<bool>("hidingFirst");
        for (auto [id, name] : {std::pair{WindowId::TwoRods, "two rods"},
                                std::pair{WindowId::RodHeight, "rod height"},
                                std::pair{WindowId::StrikeCount, "strike count"}}) {
            QTest::newRow(name) << id << false;
            QTest::newRow(QByteArray(name).append(", hiding first").constData()) << id << true;
        }
    }
    void switchingNeverLeavesTheUserWithoutAWindow()
    {
        QFETCH(WindowId, target);
        QFETCH(bool, hidingFirst);
        if (hidingFirst)
            fx.set().switchToHidingFirst(form1(), target);
        else
            fx.set().switchTo(form1(), target);
        if (QWidget *shown = fx.set().existing(target)) {
            QVERIFY(shown->isVisible());
            QVERIFY(!form1()->isVisible());
        } else {
            QVERIFY(form1()->isVisible());
        }
    }

    void inputFieldsSelectTheirWholeTextWhicheverWayTheFocusComes()
    {
        QLineEdit *text1 = field("Text1");
        QLineEdit *text2 = field("Text2");
        text1->setText("456");
        text2->setText("123");
        QCOMPARE(QApplication::focusWidget(), text1);

        Fixture::press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), text2);
        QVERIFY(wholeTextSelected(text2));

        QTest::mouseClick(text1, Qt::LeftButton, Qt::NoModifier, QPoint(8, 10));
        QCOMPARE(QApplication::focusWidget(), text1);
        QVERIFY(wholeTextSelected(text1));
        // A further click edits as usual: the caret goes where the mouse is.
        QTest::mouseClick(text1, Qt::LeftButton, Qt::NoModifier, QPoint(8, 10));
        QVERIFY(!text1->hasSelectedText());

        text2->setFocus();
        QCOMPARE(QApplication::focusWidget(), text2);
        QVERIFY(wholeTextSelected(text2));
        Fixture::type("9");
        QCOMPARE(text2->text(), QStringLiteral("9"));
    }

    void typingIntoTheClassListLeavesNoEntrySelected()
    {
        QComboBox *list = combo1();
        list->setCurrentIndex(1);
        list->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), list);
        list->lineEdit()->selectAll();
        Fixture::type("2");
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(list->currentText(), QStringLiteral("2")); // not completed to "2类 hr=45米"
        Fixture::type("7");
        QCOMPARE(list->currentText(), QStringLiteral("27"));
        QCOMPARE(list->lineEdit()->cursorPosition(), 2);

        Fixture::press(Qt::Key_Return);
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(list->count(), 3);
        Fixture::press(Qt::Key_Tab);
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(list->currentText(), QStringLiteral("27"));

        list->setCurrentIndex(2);
        QCOMPARE(list->currentText(), QStringLiteral("1类 hr=30米"));
        // Chinese typed the way an input method delivers it.
        list->setFocus();
        list->lineEdit()->selectAll();
        Fixture::type(QStringLiteral("一类"));
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(list->currentText(), QStringLiteral("一类"));
    }

    // The toolkit's own matching would quietly pick the entry whose text the
    // user typed in full.
    void aTypedEntryTextStaysNoEntry_data()
    {
        QTest::addColumn<int>("leaveBy");
        QTest::newRow("Enter, then Tab") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter, then Tab") << int(Qt::Key_Enter);
        QTest::newRow("Tab") << int(Qt::Key_Tab);
    }
    void aTypedEntryTextStaysNoEntry()
    {
        QFETCH(int, leaveBy);
        QComboBox *list = combo1();
        Fixture::typeIntoList(list, QStringLiteral("2类 hr=45米"));
        Fixture::press(Qt::Key(leaveBy));
        QCOMPARE(list->currentIndex(), -1);
        if (leaveBy != Qt::Key_Tab) Fixture::press(Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Command1"));
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(list->currentText(), QStringLiteral("2类 hr=45米"));
        QCOMPARE(list->count(), 3);

        // So the calculation sees no class: hr is 0, and any hx is too high.
        field("Text1")->setText("5");
        field("Text2")->setText("10");
        fx.boxes.expect(QMessageBox::Ok);
        QTest::mouseClick(Fixture::control<QPushButton>("Form1", "Command1"), Qt::LeftButton);
        QCOMPARE(fx.boxes.last().text,
                 QStringLiteral("2*hr(滚球半径）< hx（被保护物高度）,无法计算！"));
        QCOMPARE(list->currentIndex(), 0);
    }

    void aListShowsTheStartOfItsTextOnceTheFocusLeaves()
    {
        QComboBox *list = combo1();
        QLineEdit *edit = list->lineEdit();
        const auto caretLeft = [edit] {
            edit->grab(); // the text part scrolls as it paints
            return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
        };
        const int startLeft = caretLeft();
        QCOMPARE(edit->cursorPosition(), 0);

        // Typed to its end, a text wider than the list scrolls left.
        Fixture::typeIntoList(list, QStringLiteral("1类 hr=30米 二类 三类"));
        QVERIFY(caretLeft() > startLeft);
        Fixture::press(Qt::Key_Tab);
        QTRY_VERIFY(QApplication::focusWidget() != list);
        QCOMPARE(edit->cursorPosition(), 0);
        QCOMPARE(caretLeft(), startLeft);
        QCOMPARE(list->currentText(), QStringLiteral("1类 hr=30米 二类 三类"));

        // The same when the program takes the focus elsewhere.
        Fixture::focus(list);
        edit->end(false);
        Fixture::focus(field("Text1"));
        QCOMPARE(edit->cursorPosition(), 0);
    }

    void theCloseBoxAsksWhenNoOtherCalculationWindowIsShown()
    {
        Fixture::menuEntry("Form1", "vorn")->trigger();
        QVERIFY(QTest::qWaitForWindowActive(Fixture::form("Form5")));
        field("Text1")->setText("8");

        fx.boxes.expect(QMessageBox::No);
        QVERIFY(!form1()->close());
        QCOMPARE(fx.boxes.count(), 1);
        QCOMPARE(fx.boxes.last().text, QStringLiteral("真的要退出系统？"));
        QVERIFY(form1()->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), field("Text1"));
        QVERIFY(wholeTextSelected(field("Text1")));

        fx.boxes.expect(QMessageBox::Yes);
        const int code = Fixture::runEventLoop([] { form1()->close(); });
        QCOMPARE(code, 0);
        for (WindowId id : {WindowId::SingleRod, WindowId::About}) {
            QWidget *window = fx.set().existing(id);
            QVERIFY(!window || !window->isVisible());
        }
    }

    void theExitCommandClosesEveryWindow()
    {
        Fixture::menuEntry("Form1", "vorn")->trigger();
        QVERIFY(QTest::qWaitForWindowActive(Fixture::form("Form5")));
        const int code =
            Fixture::runEventLoop([] { Fixture::menuEntry("Form1", "tuichule")->trigger(); });
        QCOMPARE(code, 0);
        QCOMPARE(fx.boxes.count(), 0);
        QCOMPARE(fx.set().existing(WindowId::SingleRod), nullptr);
        QCOMPARE(fx.set().existing(WindowId::About), nullptr);
    }

    void theStartWindowFollowsTheDesign()
    {
        QWidget *window = form1();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY((window->frameGeometry().center() - screen.center()).manhattanLength() <= 2);
        QCOMPARE(window->findChild<QWidget *>("Text1")->parentWidget()->size(), QSize(486, 310));
        QCOMPARE(field("Text1")->geometry(), QRect(144, 128, 89, 25));
        QCOMPARE(Fixture::control<QWidget>("Form1", "Command3")->geometry(),
                 QRect(296, 240, 104, 33));
        QCOMPARE(Fixture::control<QWidget>("Form1", "Line1")->geometry().top(), 40);
        QCOMPARE(colourOf(Fixture::control<QWidget>("Form1", "Line1")), bgr(colour::kRed));

        QCOMPARE(field("Text1")->palette().color(QPalette::Text), bgr(colour::kWhite));
        QCOMPARE(field("Text1")->palette().color(QPalette::Base), bgr(colour::kDarkTeal));
        QCOMPARE(colourOf(Fixture::control<QWidget>("Form1", "Label6")), bgr(colour::kWhite));
        QCOMPARE(colourOf(Fixture::control<QWidget>("Form1", "Label2")), bgr(colour::kYellow));
        QCOMPARE(field("Text1")->parentWidget()->palette().color(QPalette::Window),
                 bgr(colour::kBlack));

        const QFont text = field("Text1")->font();
        QCOMPARE(text.family(), QStringLiteral("宋体"));
        QCOMPARE(text.pointSizeF(), 10.5);
        QVERIFY(text.bold());
        QVERIFY(Fixture::control<QLabel>("Form1", "Label8")->font().underline());
        QCOMPARE(field("Text3")->font().family(), QStringLiteral("楷体_GB2312"));
        QCOMPARE(Fixture::control<QLabel>("Form1", "Label6")->font().family(),
                 QStringLiteral("幼圆"));
        // Every family lands on a face that has the Chinese glyphs.
        for (const char *name : {"Text1", "Text3", "Label6"}) {
            const QFont font = Fixture::control<QWidget>("Form1", name)->font();
            QVERIFY2(QFontMetrics(font).inFont(QChar(u'被')), qPrintable(QFontInfo(font).family()));
        }
        // Menus and message boxes use the window's Song face at the desktop size,
        // so they need no font of their own.
        const QFont menu = Fixture::form("Form1")->findChild<QMenuBar *>()->font();
        QCOMPARE(menu.family(), QStringLiteral("宋体"));
        QCOMPARE(menu.pointSizeF(), 9.0);
        QCOMPARE(QFontInfo(menu).family(), QFontInfo(text).family());
    }

    void enterClicksTheDefaultButtonUnlessAButtonHasTheFocus()
    {
        DefaultButtonWindow probe(fx.set());
        probe.show();
        QVERIFY(QTest::qWaitForWindowActive(&probe));
        for (QWidget *control :
             {static_cast<QWidget *>(probe.field), static_cast<QWidget *>(probe.list)}) {
            control->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), control);
            Fixture::press(Qt::Key_Return);
        }
        QCOMPARE(probe.computed, 2);
        QCOMPARE(probe.list->count(), 2);
        probe.other->setFocus();
        Fixture::press(Qt::Key_Enter);
        QCOMPARE(probe.otherClicked, 1);
        QCOMPARE(probe.computed, 2);
    }

    // A screen scaled by a fraction puts the one-pixel lines between device
    // pixels; they must still show, in their colour and across their length.
    void theDecorativeLineShowsAtEveryScale_data()
    {
        QTest::addColumn<qreal>("scale");
        for (qreal scale : {1.0, 1.25, 1.5, 1.75, 2.0}) QTest::addRow("%g", scale) << scale;
    }
    void theDecorativeLineShowsAtEveryScale()
    {
        QFETCH(qreal, scale);
        QWidget *line = Fixture::control("Form1", "Line1");
        QImage image((QSizeF(form1()->size()) * scale).toSize(), QImage::Format_RGB32);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::white);
        form1()->render(&image);
        const QRect at = QRect(line->mapTo(form1(), QPoint(0, 0)), line->size());
        const int first = qFloor(at.top() * scale);
        const int last = qCeil((at.bottom() + 1) * scale);
        int redRows = 0;
        for (int y = first; y <= last && y < image.height(); ++y) {
            bool whole = true;
            for (int x = qCeil(at.left() * scale); x < qFloor((at.right() + 1) * scale); ++x)
                whole = whole && QColor(image.pixel(x, y)) == bgr(colour::kRed);
            redRows += whole ? 1 : 0;
        }
        QVERIFY(redRows >= 1);
    }

    void tabFollowsTheDesignsOrder()
    {
        QStringList order{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 6; ++i) {
            Fixture::press(Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, (QStringList{"Text1", "Text2", "Combo1", "Command1", "Command2", "Command3",
                                     "Text3"}));
    }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
