#pragma once

#include <QColor>

class QWidget;

// Colours as the design writes them, &HBBGGRR, and a control's text colour.
namespace windows {

QColor bgrColour(unsigned value);
namespace colour {
inline constexpr unsigned kBlack = 0x000000;
inline constexpr unsigned kWhite = 0xFFFFFF;
inline constexpr unsigned kRed = 0x0000FF;
inline constexpr unsigned kYellow = 0x00FFFF;
inline constexpr unsigned kLightYellow = 0x80FFFF;
inline constexpr unsigned kDarkTeal = 0x404000;
} // namespace colour

// A control's text colour is its palette's foreground role (WindowText for a
// label, Text for a text box); this is the one place both are read and written.
QColor textColour(const QWidget *control);
void setTextColour(QWidget *control, QColor colour);

// Text and background of a control in every role a label, a text box or a
// button paints them with.
void setColours(QWidget *control, QColor text, QColor background);

// The hover step of a link: red becomes yellow, any other colour red.
void toggleLinkColour(QWidget *link);

} // namespace windows
