#include "windows/placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace windows {

namespace {

void placeCentred(QWidget *window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize outer = window->frameGeometry().size();
    window->move(area.left() + qRound((area.width() - outer.width()) / 2.0),
                 area.top() + qRound((area.height() - outer.height()) / 2.0));
}

// On X11 the frame comes after the show. With no window manager there is no
// frame and the first centring stands.
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

void centreOnScreen(QWidget *window)
{
    window->adjustSize();
    placeCentred(window);
    if (!window->isVisible()) new CentreWhenFramed(window);
}

} // namespace windows
