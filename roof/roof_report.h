#pragma once

#include "layouts/layout.h"
#include "roof/protection.h"
#include "roof/roof_check.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A building's roof check worded once for every place that shows it (the designer's tab, the
// 计算书, the drawing's notes): a line per rule with its clause, what it asks, what was found
// and the conclusion, and each fault with where it lies on the plan.
namespace calc::roof {

// Something a rule found wrong, and where: a ring (a cell, an uncovered piece) or a line (a
// span along the perimeter, a missing piece of tape) on the plan, and the conductors and
// objects it concerns.
struct Fault {
    std::string text;
    std::vector<Corner> where = {};
    bool closed = false;
    std::vector<std::size_t> conductors = {}; // layout indices
    std::vector<std::size_t> objects = {};    // layout indices
};

struct RuleLine {
    std::string rule;   // "接闪网"
    std::string clause; // "4.3.1"
    std::string asked;  // what the rule asks, with the class's figures
    std::string found;  // the figures of this building
    std::string conclusion;
    Verdict verdict = Verdict::NotApplicable;
    std::vector<Fault> faults;
    std::vector<std::string> notes;
};

// "第二类防雷建筑物（hr = 45 m）".
std::string classText(const ClassRules &rules);
// "满足", "不满足" or "不适用".
std::string_view verdictText(Verdict verdict);
// "10.00" for a length or an area, two decimals; a value that is no finite number is said so.
std::string twoDecimals(double value);
// "10.00 m × 8.00 m".
std::string cellSizeText(const Cell &cell);
// Why a building could not be checked, or empty when it was.
std::string_view stateText(BuildingState state);

// The rules of one building, in the order a reviewer takes them: the mesh, the tape, the
// number and the spacing of the down conductors, what stands on the roof, side flash.
// `protections` are objectProtections(layout, site, …); the rooftop line judges by them.
std::vector<RuleLine> buildingRules(const SiteRoofs &site, const BuildingRoofs &building,
                                    std::span<const ObjectProtection> protections);

// "网格法", "金属物与接闪器连接" or "滚球法".
std::string_view methodText(Method method);
// Why the object is protected or not by its method, in a sentence.
std::string protectionReason(const SiteRoofs &site, const ObjectProtection &protection,
                             bool sphereProtects);

} // namespace calc::roof
