#pragma once

#include "windows/colours.h"
#include "windows/program.h"
#include "windows/window_set.h"

#include "../quiet_platform.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <functional>
#include <memory>

// What the windows' tests share: the program started afresh for every test,
// controls found by name, the program's message boxes answered and recorded,
// and the addresses the links hand to the desktop recorded.
namespace guitest {

// Run without a display unless the caller chose a platform.
inline const bool kOffscreen = [] {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}();

// One message box as the user saw it.
struct Box {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QStringList buttonTexts; // in the box's order, as shown
};

// Answers modal boxes from a timer while the test's action waits in the box.
// Each box answers the oldest expectation; a box nobody expected is recorded,
// closed and fails the test at finish(). Once a box is answered, its window
// is activated again, as a window manager does (the offscreen platform does
// not); a window hidden meanwhile stays hidden.
class BoxAnswerer : public QObject {
    Q_OBJECT
public:
    BoxAnswerer()
    {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, &BoxAnswerer::poll);
        timer_.start();
    }

    void expect(QMessageBox::StandardButton answer) { answers_.append(answer); }
    // For a test that answers the boxes itself.
    void stop() { timer_.stop(); }
    int count() const { return int(seen_.size()); }
    Box last() const { return seen_.isEmpty() ? Box{} : seen_.last(); }
    QList<Box> seen() const { return seen_; }
    QStringList unexpected() const { return unexpected_; }
    int unanswered() const { return int(answers_.size()); }

    void reset()
    {
        answers_.clear();
        seen_.clear();
        unexpected_.clear();
    }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == handled_) return;
        handled_ = modal;
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            unexpected_ << QStringLiteral("a modal %1").arg(modal->metaObject()->className());
            modal->close();
            return;
        }
        Box seen{box->windowTitle(),
                 box->text(),
                 box->icon(),
                 box->standardButtons(),
                 box->standardButton(box->defaultButton()),
                 {}};
        for (QAbstractButton *button : box->buttons()) seen.buttonTexts << button->text();
        if (answers_.isEmpty()) {
            unexpected_ << seen.text;
            if (QAbstractButton *escape = box->escapeButton())
                escape->click();
            else
                box->reject();
            return;
        }
        seen_.append(seen);
        const auto answer = answers_.takeFirst();
        QPointer<QWidget> owner = box->parentWidget() ? box->parentWidget()->window() : nullptr;
        if (QAbstractButton *button = box->button(answer)) {
            button->click();
        } else {
            unexpected_ << QStringLiteral("no button %1 in: %2").arg(int(answer)).arg(seen.text);
            box->reject();
        }
        QTimer::singleShot(0, this, [owner] {
            if (owner && owner->isVisible()) owner->activateWindow();
        });
    }

    QTimer timer_;
    QPointer<QWidget> handled_;
    QList<QMessageBox::StandardButton> answers_;
    QList<Box> seen_;
    QStringList unexpected_;
};

// Stands in for the desktop's browser.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class Fixture {
public:
    // Starts the program as main() does and waits for the start window.
    void start()
    {
        static const bool once = [] {
            quietPlatformNotes();
            return true;
        }();
        Q_UNUSED(once);
        boxes.reset();
        urls.urls.clear();
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &urls, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &urls, "open");
        set_ = windows::startProgram();
        QWidget *start = form("Form1");
        QVERIFY(start);
        QVERIFY(QTest::qWaitForWindowActive(start));
    }

    // Fails on boxes nobody expected or expected boxes never shown, then
    // throws every window away.
    void finish()
    {
        const QStringList unexpected = boxes.unexpected();
        const int unanswered = boxes.unanswered();
        set_.reset();
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(u'|')));
        QCOMPARE(unanswered, 0);
    }

    // A shown or hidden top-level window of the program by its form name.
    static QWidget *form(const char *name)
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QLatin1String(name)) return widget;
        }
        return nullptr;
    }

    template <class T = QWidget>
    static T *control(const char *formName, const char *name)
    {
        QWidget *window = form(formName);
        return window ? window->findChild<T *>(QString::fromUtf8(name)) : nullptr;
    }

    template <class T = QWidget>
    static T *control(const char *formName, const QString &name)
    {
        return control<T>(formName, name.toUtf8().constData());
    }

    static QAction *menuEntry(const char *formName, const char *name)
    {
        return control<QAction>(formName, name);
    }

    // Gives a control the keyboard focus and waits until it has it. Its window is made active
    // first when it is not (a popup just closed may leave no window active, and a control of an
    // inactive window takes no focus).
    static void focus(QWidget *widget)
    {
        QWidget *window = widget->window();
        if (!window->isActiveWindow()) {
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
        }
        widget->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), widget);
    }

    // The focus is in `field`, with its whole text selected.
    static void expectSelectedFocus(QLineEdit *field)
    {
        QTRY_COMPARE(QApplication::focusWidget(), field);
        QCOMPARE(field->selectionStart(), field->text().isEmpty() ? -1 : 0);
        QCOMPARE(field->selectedText(), field->text());
    }

    // Types `text` over the whole text of a list's text part, which then
    // selects no entry.
    static void typeIntoList(QComboBox *list, const QString &text)
    {
        focus(list);
        list->lineEdit()->selectAll();
        type(text);
        QCOMPARE(list->currentIndex(), -1);
    }

    // The one box shown so far: `text` with `icon`, a single 确定 button and
    // `title`.
    void expectOneOkBox(const QString &text, QMessageBox::Icon icon,
                        const QString &title = QStringLiteral("防雷计算")) const
    {
        QCOMPARE(boxes.count(), 1);
        const Box box = boxes.last();
        QCOMPARE(box.text, text);
        QCOMPARE(box.icon, icon);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(box.buttonTexts, QStringList{QStringLiteral("确定")});
        QCOMPARE(box.title, title);
    }

    // Keys go where the user's keys go: to the widget with the focus.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keyClick(focus, key, modifiers);
    }

    // Moves the mouse over a widget with no button pressed. Like the system's
    // own moves, it reaches only widgets that track the mouse.
    static void hover(QWidget *widget, QPoint pos)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(pos), QPointF(widget->mapToGlobal(pos)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

    // Types text into the focused widget; Chinese characters go as
    // text-carrying key events, which QTest::keyClicks cannot send.
    static void type(const QString &text)
    {
        for (QChar ch : text) {
            QWidget *focus = QApplication::focusWidget();
            QVERIFY(focus);
            if (ch.unicode() < 0x80) {
                QTest::keyClick(focus, char(ch.unicode()));
            } else {
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
                QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
                QApplication::sendEvent(focus, &press);
                QApplication::sendEvent(focus, &release);
            }
        }
    }

    // Runs `action` inside the program's event loop and returns the loop's
    // exit code; 99 when the loop was still running after five seconds.
    static int runEventLoop(const std::function<void()> &action)
    {
        QTimer::singleShot(0, qApp, action);
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
        watchdog.start(5000);
        return QApplication::exec();
    }

    // The running program's window set.
    windows::WindowSet &set() const { return *set_; }

    BoxAnswerer boxes;
    UrlRecorder urls;

private:
    std::unique_ptr<windows::WindowSet> set_;
};

inline QColor colourOf(const QWidget *widget) { return windows::textColour(widget); }

inline QColor bgr(unsigned value) { return windows::bgrColour(value); }

} // namespace guitest
