#include "windows/links.h"

#include <QMouseEvent>

#include <utility>

namespace windows {

LinkLabel::LinkLabel(QWidget *parent) : QLabel(parent) { setMouseTracking(true); }

void LinkLabel::mouseMoveEvent(QMouseEvent *event)
{
    QLabel::mouseMoveEvent(event);
    emit mouseMoved();
}

void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    pressed_ = event->button() == Qt::LeftButton;
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (std::exchange(pressed_, false) && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        emit clicked();
}

TextBoxLink::TextBoxLink(QWidget *parent) : QLineEdit(parent)
{
    setReadOnly(true);
    setFrame(false);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    setContextMenuPolicy(Qt::NoContextMenu);
    setFocusPolicy(Qt::TabFocus);
}

void TextBoxLink::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved();
    event->accept();
}

void TextBoxLink::mousePressEvent(QMouseEvent *event)
{
    // No caret and no selection: the box only stands for the link.
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void TextBoxLink::mouseReleaseEvent(QMouseEvent *event)
{
    if (std::exchange(pressed_, false) && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        emit clicked();
    event->accept();
}

} // namespace windows
