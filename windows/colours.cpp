#include "windows/colours.h"

#include <QPalette>
#include <QWidget>

namespace windows {

QColor bgrColour(unsigned value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QColor textColour(const QWidget *control)
{
    return control->palette().color(control->foregroundRole());
}

void setTextColour(QWidget *control, QColor colour)
{
    QPalette palette = control->palette();
    palette.setColor(control->foregroundRole(), colour);
    control->setPalette(palette);
}

void setColours(QWidget *control, QColor text, QColor background)
{
    QPalette palette = control->palette();
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, text);
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, background);
    control->setPalette(palette);
}

void toggleLinkColour(QWidget *link)
{
    const QColor red = bgrColour(colour::kRed);
    setTextColour(link, textColour(link) == red ? bgrColour(colour::kYellow) : red);
}

} // namespace windows
