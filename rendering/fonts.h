#pragma once

#include <QtGlobal>

class QFont;

// The design's font families, as the windows and the sheets name them; the program maps them to
// the installed faces that stand in for them.
namespace rendering {

inline constexpr const char *kSongTi = "宋体";
inline constexpr const char *kKaiTi = "楷体_GB2312";
inline constexpr const char *kYouYuan = "幼圆";

QFont designFont(const char *family, qreal points, bool bold, bool underline = false);

// Maps the design's families to the closest installed faces, so that Chinese text never shows
// as empty boxes. False when they were mapped already (nothing is changed then).
bool mapDesignFamilies();

} // namespace rendering
