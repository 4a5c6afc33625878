#pragma once

#include "rendering/fonts.h"

// The installed faces that stand in for the design's families.
namespace windows {

using rendering::designFont;
using rendering::kKaiTi;
using rendering::kSongTi;
using rendering::kYouYuan;

// Maps the design's families to the closest installed faces and gives menus
// and message boxes the Song face. Call after the QApplication exists and
// before any window is made; calling it again changes nothing.
void mapFontFamilies();

} // namespace windows
