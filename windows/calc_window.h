#pragma once

#include "sheets/sheet.h"
#include "windows/menu_bars.h"
#include "windows/window_id.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <variant>
#include <vector>

class QAction;
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
// design gives. Every calculation window also has its calculation sheet:
// the action "计算书" (Ctrl+P, and the context menu of the background and
// the labels) shows it in the program's sheet window.
class CalcWindow : public QMainWindow {
    Q_OBJECT
public:
    CalcWindow(WindowSet &set, WindowId id, const QString &caption, int clientWidthTwips,
               int clientHeightTwips);

    WindowId windowId() const { return id_; }
    QWidget *client() const { return client_; }
    QAction *sheetAction() const { return sheetAction_; }

    // The sheet of the current field texts and list indices.
    calc::sheet::Sheet currentSheet(const std::string &date) const;
    // The sheet of the inputs the last calculation ran with, which an error
    // outcome may have cleared from the fields since; the current inputs'
    // sheet before any calculation.
    calc::sheet::Sheet lastCalculationSheet(const std::string &date) const;

signals:
    // A calculation ran (button or Enter, whatever its outcome) and every
    // message box it showed is closed.
    void calculated();

protected:
    using SheetMaker = std::function<calc::sheet::Sheet(const std::string &date)>;
    // Makes the sheet of the inputs as they are now, through the same core
    // calculation as the window's button. A window without a calculation of
    // its own has a sheet with its title alone.
    virtual SheetMaker sheetOfInputs() const;
    // A calculation brackets its work with these two.
    void calculationStarts() { lastCalculation_ = sheetOfInputs(); }
    void calculationDone() { emit calculated(); }

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
    void addSheetAction();
    void showSheet();

    WindowSet &set_;
    WindowId id_;
    QWidget *client_ = nullptr;
    QLineEdit *firstField_ = nullptr;
    QPushButton *defaultButton_ = nullptr;
    QAction *sheetAction_ = nullptr;
    SheetMaker lastCalculation_;
    // The control that had the focus when the program hid the window.
    QPointer<QWidget> focusWhenHidden_;
};

} // namespace windows
