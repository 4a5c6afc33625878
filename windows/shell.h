#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QUrl;

// What the program's windows share: the window set and switching between its
// windows, the exit question, the message boxes, the link to the maker's site
// and the base of the four calculation windows.
namespace windows {

enum class WindowId { SingleRod, TwoRods, RodHeight, StrikeCount, About };

// The window's objectName: "Form1" ... "Form5".
const char *formName(WindowId id);

// The title of every message box but the strike-count window's input error.
QString programTitle();

// The maker, as the links show it and open it.
QString makerName();
QString makerHost();
QUrl makerAddress();
// The tool tip of the links to the maker's site.
QString linkToolTip();

// The window set. window() creates the window on first use (its load step
// runs in its constructor) and returns nullptr for a window this build lacks.
// The About window is discarded when closed; the next request creates it anew.
QWidget *window(WindowId id);
QWidget *existingWindow(WindowId id); // nullptr when not created (or discarded)

// Shows `target` (creating it on first use) and then hides `from`; the target
// runs its activation step. Does nothing when the target is unavailable.
void switchToWindow(QWidget *from, WindowId target);
// As switchToWindow, but hides `from` before showing the target.
void switchToWindowHidingFirst(QWidget *from, WindowId target);
// Shows `target` beside the windows already shown and brings it to the front;
// an existing window is raised, never made twice.
void showBeside(WindowId target);

// Centres a window's outer size on the screen: part of every load step.
void centreOnScreen(QWidget *window);

// Closes every window and quits the event loop: no question, nothing saved.
void endProgram();
// "真的要退出系统？" with Yes (the default) and No, no icon. Yes ends the
// program; No gives `firstField` the focus with its whole text selected.
void askExit(QWidget *parent, QLineEdit *firstField);

// Asks the desktop to open the maker's address; the outcome is not looked at.
void openMakerSite();
// The hover step of a link: red becomes yellow, any other colour red.
void toggleLinkColour(QWidget *link);

// Modal boxes with a single OK button. A stop box carries the error icon and
// the program title unless the caller names its own title; a notice has no icon.
void showStopBox(QWidget *parent, const QString &text, const QString &title = programTitle());
void showNotice(QWidget *parent, const QString &text);

// Maps the design's font families to the closest installed faces. Call once,
// after the QApplication exists and before any window is made.
void mapFontFamilies();
// Loads Qt's own Simplified-Chinese texts, so that standard buttons read
// 确定, 是, 否. A missing translation leaves them as they are.
void loadQtChineseTexts();

// Deletes every window of the set at once, with no close events, and forgets
// that the program ended, so that the program can be started afresh (tests).
void discardAllWindows();

// The three buttons of every calculation window.
struct CommandButtons {
    QPushButton *compute = nullptr;
    QPushButton *clear = nullptr;
    QPushButton *exit = nullptr;
};

// The base of the four calculation windows: a fixed client area on a black
// background under the menu bar, the close-box rule, the activation step and
// the default button. A window builds its controls on client() in its
// constructor, then runs its load step (selecting list entries and calling
// centreOnScreen()) in the order its design gives.
class CalcWindow : public QMainWindow {
    Q_OBJECT
public:
    CalcWindow(WindowId id, const QString &caption, int clientWidthTwips, int clientHeightTwips);

    WindowId windowId() const { return id_; }
    QWidget *client() const { return client_; }

protected:
    // Runs when the window becomes active coming from another window of the
    // program: its first showing, a switch to it, or a return from the About
    // window or a window shown beside it. Never when one of its own message
    // boxes closes, nor when the program regains focus from another
    // application. Windows without an activation step do not override it.
    virtual void activationStep() {}

    // The field that the exit question's No (also the close box's) focuses.
    void setFirstField(QLineEdit *field) { firstField_ = field; }
    QLineEdit *firstField() const { return firstField_; }

    // Enter pressed on a control that does not use it clicks this button.
    void setDefaultButton(QPushButton *button) { defaultButton_ = button; }

    void centreOnScreen() { windows::centreOnScreen(this); }

    // The menu bar. An entry or command with no action does nothing.
    QMenu *addMenu(const char *name, const QString &caption);
    QAction *addMenuEntry(QMenu *menu, const char *name, const QString &caption,
                          std::function<void()> action);
    // An entry standing on the menu bar itself that acts when chosen.
    QAction *addMenuCommand(const char *name, const QString &caption, std::function<void()> action);

    // The shell's operations with this window as the current one.
    void switchTo(WindowId target) { switchToWindow(this, target); }
    void switchToHidingFirst(WindowId target) { switchToWindowHidingFirst(this, target); }
    void askExit() { windows::askExit(this, firstField_); }

    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    friend class ActivationWatch;
    // `from` is the program window that was active before, if the last
    // active window was one of the five (not a message box).
    void becameActive(std::optional<WindowId> from);

    WindowId id_;
    QWidget *client_ = nullptr;
    QLineEdit *firstField_ = nullptr;
    QPushButton *defaultButton_ = nullptr;
    // The control that had the focus when the program hid the window.
    QPointer<QWidget> focusWhenHidden_;
};

} // namespace windows
