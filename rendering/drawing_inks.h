#pragma once

#include "sheets/drawing.h"

#include <QColor>

// The colours in which a drawing's inks are painted, on white.
namespace rendering {

QColor inkColour(calc::drawing::Ink ink);

// The light colour that shades the protected zone.
QColor zoneShade();

} // namespace rendering
