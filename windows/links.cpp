#include "windows/links.h"

#include <QMouseEvent>

#include <utility>

namespace windows {

LinkClicks::LinkClicks(QWidget *link, bool widgetSeesMoves)
    : QObject(link), link_(link), widgetSeesMoves_(widgetSeesMoves)
{
    link->setMouseTracking(true);
    link->installEventFilter(this);
}

bool LinkClicks::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != link_) return false;
    switch (event->type()) {
    case QEvent::MouseMove:
        emit mouseMoved();
        if (widgetSeesMoves_) return false;
        event->accept();
        return true;
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        pressed_ = mouse->button() == Qt::LeftButton;
        event->accept();
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (std::exchange(pressed_, false) && mouse->button() == Qt::LeftButton &&
            link_->rect().contains(mouse->position().toPoint()))
            emit clicked();
        event->accept();
        return true;
    }
    default:
        return false;
    }
}

LinkLabel::LinkLabel(QWidget *parent) : QLabel(parent), clicks_(new LinkClicks(this, true)) {}

TextBoxLink::TextBoxLink(QWidget *parent) : QLineEdit(parent), clicks_(new LinkClicks(this, false))
{
    setReadOnly(true);
    setFrame(false);
    setCursor(Qt::ArrowCursor);
    setContextMenuPolicy(Qt::NoContextMenu);
    setFocusPolicy(Qt::TabFocus);
}

} // namespace windows
