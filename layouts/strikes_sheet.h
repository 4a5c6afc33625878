#pragma once

#include "layouts/building_strikes.h"
#include "sheets/sheet.h"

// The layout sheet's part on each building's expected yearly strikes (GB 50057-2010 附录A): a
// section per building with its parts' heights and expansion widths, its equivalent area (the
// closed form for a lone rectangle, the enclosed area otherwise), its count and its class by
// that count, and a drawing of its outline and the line its area is measured inside.
namespace calc {

inline constexpr std::string_view kNoThunderstormDaysText = "未给出年雷暴日";

// The sentence on the neighbours the area is not reduced for.
inline constexpr std::string_view kNeighboursNotReduced =
    "附录A中与周边建筑物相距在 2D 以内时等效面积的扣减未计入，按全部等效面积计算，N "
    "只会偏大（偏于安全）。";

// Appends the sections and drawings of every building to the sheet; nothing for a layout
// without objects.
void addStrikeSections(sheet::Sheet &sheet, const layout::Layout &layout,
                       const layout::LayoutStrikes &strikes);

} // namespace calc
