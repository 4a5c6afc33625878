#include "windows/key_hooks.h"

#include <QKeyEvent>
#include <QWidget>

#include <utility>

namespace windows {

namespace {

class KeyDownHook : public QObject {
public:
    KeyDownHook(QWidget *control, KeyDownHandler handler)
        : QObject(control), handler_(std::move(handler))
    {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return false;
        return handler_(keyCode(*key));
    }

private:
    KeyDownHandler handler_;
};

} // namespace

int keyCode(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kKeyEnter;
    case Qt::Key_F2:
        return kKeyF2;
    case Qt::Key_F10:
        return kKeyF10;
    default:
        return 0;
    }
}

void onKeyDown(QWidget *control, KeyDownHandler handler)
{
    new KeyDownHook(control, std::move(handler));
}

} // namespace windows
