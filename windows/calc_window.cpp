#include "windows/calc_window.h"

#include "calc/visit.h"
#include "windows/colours.h"
#include "windows/control_factory.h"
#include "windows/input_field.h"
#include "windows/key_hooks.h"
#include "windows/message_boxes.h"
#include "windows/placement.h"
#include "windows/sheet_window.h"
#include "windows/twips.h"
#include "windows/window_set.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace windows {

CalcWindow::CalcWindow(WindowSet &set, WindowId id, const QString &caption, int clientWidthTwips,
                       int clientHeightTwips)
    : set_(set), id_(id)
{
    setObjectName(QString::fromLatin1(formName(id)));
    setWindowTitle(caption);
    client_ = new QWidget(this);
    client_->setFixedSize(pixels(clientWidthTwips), pixels(clientHeightTwips));
    QPalette palette = client_->palette();
    palette.setColor(QPalette::Window, bgrColour(colour::kBlack));
    client_->setPalette(palette);
    client_->setAutoFillBackground(true);
    setCentralWidget(client_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    connect(&set_, &WindowSet::activated, this, &CalcWindow::activated);
    addSheetAction();
}

void CalcWindow::addSheetAction()
{
    sheetAction_ = new QAction(QStringLiteral("计算书(&J)…"), this);
    sheetAction_->setObjectName(QStringLiteral("sheetAction"));
    sheetAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    // From any control of this window, not only the one with the focus.
    sheetAction_->setShortcutContext(Qt::WindowShortcut);
    addAction(sheetAction_);
    connect(sheetAction_, &QAction::triggered, this, &CalcWindow::showSheet);
    // Labels and the frames pass the right click (and the Menu key of a
    // button) on to the background, which offers the action; fields and lists
    // answer it with their own editing menus first.
    client_->setContextMenuPolicy(Qt::ActionsContextMenu);
    client_->addAction(sheetAction_);
}

void CalcWindow::showSheet()
{
    if (auto *sheet = qobject_cast<SheetWindow *>(set_.window(WindowId::Sheet)))
        sheet->showFor(*this);
}

CalcWindow::SheetMaker CalcWindow::sheetOfInputs() const
{
    return [name = windowTitle().toStdString()](const std::string &date) {
        calc::sheet::Sheet sheet;
        sheet.calculationName = name;
        sheet.title = name + "计算书";
        sheet.date = date;
        return sheet;
    };
}

calc::sheet::Sheet CalcWindow::currentSheet(const std::string &date) const
{
    return sheetOfInputs()(date);
}

calc::sheet::Sheet CalcWindow::lastCalculationSheet(const std::string &date) const
{
    return lastCalculation_ ? lastCalculation_(date) : currentSheet(date);
}

CommandButtons makeCommandButtons(QWidget *client, const CommandButtonsDesign &design,
                                  const QFont &font)
{
    std::array<QPushButton *, 3> made{};
    for (std::size_t i = 0; i < made.size(); ++i) {
        made[i] = makeButton(client, design.names[i],
                             {design.lefts[i], design.top, design.width, design.height},
                             design.captions[i], font);
    }
    return {made[0], made[1], made[2]};
}

void CalcWindow::centreOnScreen() { windows::centreOnScreen(this); }

void CalcWindow::buildMenuBar()
{
    for (const menu::BarItem &item : menuBarOf(id_)) {
        if (item.entries.empty()) {
            QAction *command = menuBar()->addAction(item.caption);
            command->setObjectName(QString::fromUtf8(item.name));
            connectAction(command, item.command);
            continue;
        }
        QMenu *menu = menuBar()->addMenu(item.caption);
        menu->setObjectName(QString::fromUtf8(item.name));
        menu->menuAction()->setObjectName(QString::fromUtf8(item.name));
        for (const menu::Entry &entry : item.entries) {
            QAction *action = menu->addAction(entry.caption);
            action->setObjectName(QString::fromUtf8(entry.name));
            connectAction(action, entry.action);
        }
    }
}

void CalcWindow::connectAction(QAction *action, const menu::Action &what)
{
    const auto run = [this, action](std::function<void()> step) {
        connect(action, &QAction::triggered, this, [step = std::move(step)] { step(); });
    };
    std::visit(calc::Overloaded{
                   [&](const menu::SwitchTo &to) { run([this, to] { switchTo(to.target); }); },
                   [&](const menu::ShowBeside &to) { run([this, to] { showBeside(to.target); }); },
                   [&](const menu::EndProgram &) { run([this] { endProgram(); }); },
                   [&](const menu::Nothing &) {},
                   [&](const menu::ThisWindow &) { action->setEnabled(false); },
                   [&](const std::function<void()> &step) { run(step); },
               },
               what);
}

void CalcWindow::switchTo(WindowId target) { set_.switchTo(this, target); }

void CalcWindow::switchToHidingFirst(WindowId target) { set_.switchToHidingFirst(this, target); }

void CalcWindow::showBeside(WindowId target) { set_.showBeside(target); }

void CalcWindow::endProgram() { set_.endProgram(); }

void CalcWindow::askExit()
{
    if (confirmExit(this))
        endProgram();
    else if (firstField_)
        focusAndSelect(firstField_);
}

void CalcWindow::activated(QWidget *window, std::optional<WindowId> from)
{
    if (window != this || !from || *from == id_) return;
    activationStep();
    // Coming from another window, the control that has the focus receives it
    // anew, so a field selects its whole text as on any other focus.
    if (auto *field = qobject_cast<InputField *>(focusWidget())) selectWholeText(field);
}

void CalcWindow::closeEvent(QCloseEvent *event)
{
    // With another calculation window still shown, the close box only hides
    // this one, which keeps its state; the last one asks the exit question.
    const bool anotherShown = set_.anotherShown(
        this, [](QWidget *other) { return qobject_cast<CalcWindow *>(other) != nullptr; });
    if (set_.ending() || anotherShown) {
        event->accept();
        return;
    }
    askExit();
    if (set_.ending())
        event->accept();
    else
        event->ignore();
}

void CalcWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Shown by the program (its first showing or a switch to it), not
    // restored from the task bar. The step runs at once, so the focus is in
    // place whenever the window manager activates the window; the activation
    // that follows from the window the user came from runs it once more, to
    // the same effect.
    if (!event->spontaneous()) {
        if (focusWhenHidden_) focusWhenHidden_->setFocus(Qt::ActiveWindowFocusReason);
        activationStep();
    }
}

void CalcWindow::hideEvent(QHideEvent *event)
{
    // On X11 the window system can activate a window just after the program
    // has hidden it (a menu's late focus return); Qt then moves the hidden
    // window's focus on to the next control. The next showing puts it back
    // where the user left it.
    if (!event->spontaneous()) focusWhenHidden_ = focusWidget();
    QMainWindow::hideEvent(event);
}

void CalcWindow::keyPressEvent(QKeyEvent *event)
{
    if (defaultButton_ && keyCode(*event) == kKeyEnter && defaultButton_->isVisible() &&
        defaultButton_->isEnabled()) {
        defaultButton_->click();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace windows
