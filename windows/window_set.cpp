#include "windows/window_set.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <utility>

namespace windows {

namespace {

void bringToFront(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

WindowSet::WindowSet()
{
    // Remembers which top-level window was active last, so that a window
    // becoming active can tell where the user came from.
    qApp->installEventFilter(this);
}

WindowSet::~WindowSet()
{
    qApp->removeEventFilter(this);
    for (auto &[id, window] : windows_) delete window.data();
}

void WindowSet::registerWindow(WindowId id, Factory factory)
{
    factories_[id] = std::move(factory);
}

QWidget *WindowSet::window(WindowId id)
{
    QPointer<QWidget> &entry = windows_[id];
    if (!entry) {
        const auto factory = factories_.find(id);
        if (factory == factories_.end()) return nullptr;
        entry = factory->second(*this);
    }
    return entry;
}

QWidget *WindowSet::existing(WindowId id) const
{
    const auto entry = windows_.find(id);
    return entry == windows_.end() ? nullptr : entry->second.data();
}

std::optional<WindowId> WindowSet::idOf(const QWidget *window) const
{
    for (const auto &[id, member] : windows_) {
        if (window && member == window) return id;
    }
    return std::nullopt;
}

void WindowSet::switchTo(QWidget *from, WindowId target)
{
    QWidget *shown = window(target);
    if (!shown || shown == from) return;
    bringToFront(shown);
    if (from) from->hide();
}

void WindowSet::switchToHidingFirst(QWidget *from, WindowId target)
{
    // Made before anything is hidden, so that a window this build lacks never
    // leaves the user without a window.
    QWidget *shown = window(target);
    if (!shown || shown == from) return;
    if (from) from->hide();
    bringToFront(shown);
}

void WindowSet::showBeside(WindowId target)
{
    if (QWidget *shown = window(target)) bringToFront(shown);
}

bool WindowSet::anotherShown(const QWidget *window,
                             const std::function<bool(QWidget *)> &test) const
{
    for (const auto &[id, other] : windows_) {
        if (other && other != window && other->isVisible() && test(other)) return true;
    }
    return false;
}

void WindowSet::endProgram()
{
    ending_ = true;
    emit programEnding();
    for (const auto &[id, window] : windows_) {
        if (window) {
            window->close();
            window->deleteLater();
        }
    }
    QCoreApplication::quit();
}

bool WindowSet::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() != QEvent::WindowActivate) return false;
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget || !widget->isWindow() || (widget->windowType() & Qt::Popup) == Qt::Popup)
        return false;
    const std::optional<WindowId> from = std::exchange(lastActive_, idOf(widget));
    emit activated(widget, from);
    return false;
}

} // namespace windows
