#include "windows/decor_line.h"

#include <QPainter>

namespace windows {

DecorLine::DecorLine(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DecorLine::paintEvent(QPaintEvent *)
{
    // The widget is one pixel across the line: filling it draws the line. A
    // one-pixel pen would vanish on a screen scaled by a fraction (150%),
    // where the line falls between device pixels.
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::WindowText));
}

} // namespace windows
