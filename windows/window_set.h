#pragma once

#include "windows/window_id.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <optional>

class QWidget;

namespace windows {

// The program's windows: each exists at most once, is made by the factory
// registered for its id the first time it is asked for, and lives until the
// program ends (the About window until it is closed). The set also moves the
// user between its windows and ends the program. Deleting the set deletes its
// windows at once, with no close events.
class WindowSet : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<QWidget *(WindowSet &)>;

    WindowSet();
    ~WindowSet() override;

    void registerWindow(WindowId id, Factory factory);

    // Creates the window on first use; nullptr for an id nobody registered.
    QWidget *window(WindowId id);
    QWidget *existing(WindowId id) const; // nullptr when not created (or discarded)
    std::optional<WindowId> idOf(const QWidget *window) const;

    // Shows `target` (creating it on first use) and then hides `from`.
    // Does nothing when the target is unavailable.
    void switchTo(QWidget *from, WindowId target);
    // As switchTo, but hides `from` before showing the target.
    void switchToHidingFirst(QWidget *from, WindowId target);
    // Shows `target` beside the windows already shown and brings it to the
    // front; an existing window is raised, never made twice.
    void showBeside(WindowId target);

    // Another window of the set than `window` is shown and passes `test`.
    bool anotherShown(const QWidget *window, const std::function<bool(QWidget *)> &test) const;

    // Closes every window and quits the event loop: no question, nothing saved.
    void endProgram();
    bool ending() const { return ending_; }

signals:
    // A top-level window became active; `from` is the window of the set that
    // was active before it, empty when that was a message box, another
    // application's window or nothing.
    void activated(QWidget *window, std::optional<WindowId> from);
    // The program is ending: companions of the set's windows close with it.
    void programEnding();

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    std::map<WindowId, Factory> factories_;
    std::map<WindowId, QPointer<QWidget>> windows_;
    std::optional<WindowId> lastActive_;
    bool ending_ = false;
};

} // namespace windows
