#include "windows/shell.h"

#include "windows/about_window.h"
#include "windows/rod_height_window.h"
#include "windows/single_rod_window.h"
#include "windows/strike_count_window.h"
#include "windows/two_rods_window.h"
#include "windows/widgets.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFont>
#include <QKeyEvent>
#include <QLayout>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTranslator>
#include <QUrl>

#include <array>

namespace windows {

namespace {

constexpr int kWindowCount = 5;

std::array<QPointer<QWidget>, kWindowCount> windowSet;
bool programEnding = false;

int slot(WindowId id) { return static_cast<int>(id); }

// The one place a window of the set is made. A window this build lacks
// returns nullptr, and every menu entry or key that asks for it does nothing.
QWidget *createWindow(WindowId id)
{
    switch (id) {
    case WindowId::SingleRod:
        return new SingleRodWindow;
    case WindowId::TwoRods:
        return new TwoRodsWindow;
    case WindowId::RodHeight:
        return new RodHeightWindow;
    case WindowId::StrikeCount:
        return new StrikeCountWindow;
    case WindowId::About:
        return new AboutWindow;
    }
    return nullptr;
}

std::optional<WindowId> idOf(const QWidget *widget)
{
    for (int i = 0; i < kWindowCount; ++i) {
        if (widget && windowSet[i] == widget) return static_cast<WindowId>(i);
    }
    return std::nullopt;
}

bool anotherCalcWindowShown(const QWidget *window)
{
    for (const auto &other : windowSet) {
        if (other && other != window && other->isVisible() && qobject_cast<CalcWindow *>(other))
            return true;
    }
    return false;
}

void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void bringToFront(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

void placeCentred(QWidget *window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize outer = window->frameGeometry().size();
    window->move(area.left() + qRound((area.width() - outer.width()) / 2.0),
                 area.top() + qRound((area.height() - outer.height()) / 2.0));
}

// The window frame's size is known only once the window manager has framed
// the shown window, which on X11 comes after the show; the window is centred
// again by its outer size as soon as that is known. With no window manager
// there is no frame and the first centring stands.
class CentreWhenFramed : public QObject {
public:
    explicit CentreWhenFramed(QWidget *window) : QObject(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        auto *window = static_cast<QWidget *>(object);
        if ((event->type() == QEvent::Show || event->type() == QEvent::Move) &&
            window->isVisible() && window->frameGeometry().size() != window->size()) {
            window->removeEventFilter(this);
            deleteLater();
            placeCentred(window);
        }
        return false;
    }
};

} // namespace

// Remembers which of the program's top-level windows was active last, so that
// a calculation window becoming active can tell where the user came from: from
// another of the five windows, from one of its own message boxes, or from
// another application (the last active window was then the window itself).
class ActivationWatch : public QObject {
public:
    explicit ActivationWatch(QObject *parent) : QObject(parent) {}

    static ActivationWatch &instance()
    {
        static QPointer<ActivationWatch> watch;
        if (!watch) {
            watch = new ActivationWatch(qApp);
            qApp->installEventFilter(watch);
        }
        return *watch;
    }

    void forget() { lastActive_.reset(); }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() != QEvent::WindowActivate) return false;
        auto *widget = qobject_cast<QWidget *>(object);
        if (!widget || !widget->isWindow() || (widget->windowType() & Qt::Popup) == Qt::Popup)
            return false;
        const std::optional<WindowId> from = lastActive_;
        lastActive_ = idOf(widget);
        if (auto *calc = qobject_cast<CalcWindow *>(widget)) calc->becameActive(from);
        return false;
    }

private:
    // The window set's id of the last active top-level window; empty when
    // that was a message box or when nothing was active yet.
    std::optional<WindowId> lastActive_;
};

const char *formName(WindowId id)
{
    static constexpr std::array<const char *, kWindowCount> names{"Form1", "Form2", "Form3",
                                                                  "Form4", "Form5"};
    return names[slot(id)];
}

QString programTitle() { return QStringLiteral("防雷计算"); }

QString makerName() { return QStringLiteral("岚舟"); }

QString makerHost() { return QStringLiteral("lanzhou.example"); }

QUrl makerAddress() { return QUrl(QStringLiteral("https://lanzhou.example/")); }

QString linkToolTip() { return QStringLiteral("点击去") + makerName() + QStringLiteral("网站！"); }

QWidget *existingWindow(WindowId id) { return windowSet[slot(id)]; }

QWidget *window(WindowId id)
{
    ActivationWatch::instance();
    auto &entry = windowSet[slot(id)];
    if (!entry) entry = createWindow(id);
    return entry;
}

void switchToWindow(QWidget *from, WindowId target)
{
    QWidget *shown = window(target);
    if (!shown || shown == from) return;
    bringToFront(shown);
    if (from) from->hide();
}

void switchToWindowHidingFirst(QWidget *from, WindowId target)
{
    // Made before anything is hidden, so that a window this build lacks never
    // leaves the user without a window.
    QWidget *shown = window(target);
    if (!shown || shown == from) return;
    if (from) from->hide();
    bringToFront(shown);
}

void showBeside(WindowId target)
{
    if (QWidget *shown = window(target)) bringToFront(shown);
}

void centreOnScreen(QWidget *window)
{
    window->adjustSize();
    placeCentred(window);
    if (!window->isVisible()) new CentreWhenFramed(window);
}

void endProgram()
{
    programEnding = true;
    for (const auto &window : windowSet) {
        if (window) {
            window->close();
            window->deleteLater();
        }
    }
    QCoreApplication::quit();
}

void askExit(QWidget *parent, QLineEdit *firstField)
{
    QMessageBox box(QMessageBox::NoIcon, programTitle(), QStringLiteral("真的要退出系统？"),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    if (box.exec() == QMessageBox::Yes)
        endProgram();
    else if (firstField)
        focusAndSelect(firstField);
}

void openMakerSite() { QDesktopServices::openUrl(makerAddress()); }

void toggleLinkColour(QWidget *link)
{
    const QColor red = bgrColour(colour::kRed);
    setTextColour(link, textColour(link) == red ? bgrColour(colour::kYellow) : red);
}

void showStopBox(QWidget *parent, const QString &text, const QString &title)
{
    showMessage(parent, QMessageBox::Critical, title, text);
}

void showNotice(QWidget *parent, const QString &text)
{
    showMessage(parent, QMessageBox::NoIcon, programTitle(), text);
}

void mapFontFamilies()
{
    // Song and Kai faces first, then any CJK face, so that Chinese text never
    // shows as empty boxes.
    const QStringList anyCjk{QStringLiteral("Noto Sans CJK SC"),
                             QStringLiteral("WenQuanYi Zen Hei"),
                             QStringLiteral("Droid Sans Fallback")};
    QFont::insertSubstitutions(QString::fromUtf8(kSongTi),
                               QStringList{QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                                           QStringLiteral("AR PL UMing CN"),
                                           QStringLiteral("Noto Serif CJK SC")} +
                                   anyCjk);
    QFont::insertSubstitutions(QString::fromUtf8(kKaiTi),
                               QStringList{QStringLiteral("KaiTi_GB2312"), QStringLiteral("KaiTi"),
                                           QStringLiteral("AR PL UKai CN"),
                                           QStringLiteral("AR PL UMing CN"),
                                           QStringLiteral("Noto Serif CJK SC")} +
                                   anyCjk);
    QFont::insertSubstitutions(QString::fromUtf8(kYouYuan),
                               QStringList{QStringLiteral("YouYuan")} + anyCjk);
    // Menus and message boxes in the desktop face of a Chinese system. It is
    // the face the windows load anyway, so start-up opens no extra font file.
    QApplication::setFont(designFont(kSongTi, 9, false));
}

void loadQtChineseTexts()
{
    static bool loaded = false;
    if (loaded || !qApp) return;
    auto *translator = new QTranslator(qApp);
    if (translator->load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
        loaded = true;
    } else {
        delete translator;
    }
}

void discardAllWindows()
{
    for (auto &window : windowSet) delete window.data();
    windowSet = {};
    programEnding = false;
    ActivationWatch::instance().forget();
}

CalcWindow::CalcWindow(WindowId id, const QString &caption, int clientWidthTwips,
                       int clientHeightTwips)
    : id_(id)
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
}

QMenu *CalcWindow::addMenu(const char *name, const QString &caption)
{
    QMenu *menu = menuBar()->addMenu(caption);
    menu->setObjectName(QString::fromUtf8(name));
    menu->menuAction()->setObjectName(QString::fromUtf8(name));
    return menu;
}

QAction *CalcWindow::addMenuEntry(QMenu *menu, const char *name, const QString &caption,
                                  std::function<void()> action)
{
    QAction *entry = menu->addAction(caption);
    entry->setObjectName(QString::fromUtf8(name));
    if (action)
        connect(entry, &QAction::triggered, this, [action = std::move(action)] { action(); });
    return entry;
}

QAction *CalcWindow::addMenuCommand(const char *name, const QString &caption,
                                    std::function<void()> action)
{
    QAction *command = menuBar()->addAction(caption);
    command->setObjectName(QString::fromUtf8(name));
    if (action)
        connect(command, &QAction::triggered, this, [action = std::move(action)] { action(); });
    return command;
}

void CalcWindow::becameActive(std::optional<WindowId> from)
{
    if (!from || *from == id_) return;
    activationStep();
    // Coming from another window, the control that has the focus receives it
    // anew, so a field selects its whole text as on any other focus.
    if (auto *field = qobject_cast<InputField *>(focusWidget())) selectWholeText(field);
}

void CalcWindow::closeEvent(QCloseEvent *event)
{
    // With another calculation window still shown, the close box only hides
    // this one, which keeps its state; the last one asks the exit question.
    if (programEnding || anotherCalcWindowShown(this)) {
        event->accept();
        return;
    }
    askExit();
    if (programEnding)
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
