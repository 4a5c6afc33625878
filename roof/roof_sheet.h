#pragma once

#include "layouts/layout.h"
#include "roof/protection.h"
#include "roof/roof_check.h"
#include "sheets/sheet.h"

#include <span>
#include <string>

// The layout sheet's part on the roof network: a section per checked building with each rule,
// its clause, the figures put in and the conclusion, and a plan of its roof network (tape, mesh,
// numbered down conductors, the largest cell and the spacings along the perimeter marked); then
// the method that protects each object.
namespace calc::roof {

// Appends the sections and plans; nothing for a layout without buildings.
void addRoofSections(sheet::Sheet &sheet, const layout::Layout &layout, const SiteRoofs &site,
                     std::span<const ObjectProtection> protections,
                     std::span<const layout::ObjectVerdict> sphere);

// The layout's whole sheet (layoutSheet) with the roof network's sections, every figure worked
// out here.
sheet::Sheet layoutSheetWithRoofs(const layout::Layout &layout, double planHeight,
                                  std::string date);

// The plan of one building's roof network, as the sheet draws it.
drawing::View roofPlan(const layout::Layout &layout, const SiteRoofs &site,
                       const BuildingRoofs &building);

} // namespace calc::roof
