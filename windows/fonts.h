#pragma once

#include <QtGlobal>

class QFont;

// The design's font families, and the installed faces that stand in for them.
namespace windows {

inline constexpr const char *kSongTi = "宋体";
inline constexpr const char *kKaiTi = "楷体_GB2312";
inline constexpr const char *kYouYuan = "幼圆";

QFont designFont(const char *family, qreal points, bool bold, bool underline = false);

// Maps the design's families to the closest installed faces and gives menus
// and message boxes the Song face. Call after the QApplication exists and
// before any window is made; calling it again changes nothing.
void mapFontFamilies();

} // namespace windows
