#pragma once

#include "windows/menu_bars.h"
#include "windows/window_id.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <initializer_list>
#include <optional>
#include <variant>
#include <vector>

class QLineEdit;
class QPushButton;

namespace windows {

class WindowSet;

// The three buttons of every calculation window.
struct CommandButtons {
    QPushButton *compute = nullptr;
    QPushButton *clear = nullptr;
    QPushButton *exit = nullptr;
};
// How a window shows them: object names and captions in the order compute,
// clear, exit, side by side at `lefts`, one size, one top (twips).
struct CommandButtonsDesign {
    std::array<const char *, 3> names;
    std::array<QString, 3> captions;
    std::array<int, 3> lefts;
    int top;
    int width;
    int height;
};
CommandButtons makeCommandButtons(QWidget *client, const CommandButtonsDesign &design,
                                  const QFont &font);

// The base of the four calculation windows: a fixed client area on a black
// background under the menu bar, the menu bar built from a table, the
// close-box rule, the activation step and the default button. A window builds
// its controls on client() in its constructor, then runs its load step
// (selecting list entries and calling centreOnScreen()) in the order its
// design gives.
class CalcWindow : public QMainWindow {
    Q_OBJECT
public:
    CalcWindow(WindowSet &set, WindowId id, const QString &caption, int clientWidthTwips,
               int clientHeightTwips);

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

    void centreOnScreen();
    // The window's menu bar, as the program's table of menus gives it.
    void buildMenuBar();

    // The window set's operations with this window as the current one.
    WindowSet &windowSet() const { return set_; }
    void switchTo(WindowId target);
    void switchToHidingFirst(WindowId target);
    void showBeside(WindowId target);
    void endProgram();
    // The exit question: Yes ends the program; No gives the first field the
    // focus with its whole text selected.
    void askExit();

    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void connectAction(QAction *action, const menu::Action &what);
    void activated(QWidget *window, std::optional<WindowId> from);

    WindowSet &set_;
    WindowId id_;
    QWidget *client_ = nullptr;
    QLineEdit *firstField_ = nullptr;
    QPushButton *defaultButton_ = nullptr;
    // The control that had the focus when the program hid the window.
    QPointer<QWidget> focusWhenHidden_;
};

} // namespace windows
