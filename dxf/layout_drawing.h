#pragma once

#include "layouts/layout.h"
#include "project/project_file.h"
#include "sheets/drawing.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A layout as a CAD drawing (the roof lightning-protection plan): the conductors (roof
// conductors and down conductors on layers of their own, with a legend and notes), the objects
// coloured by their verdicts, the protected area at the ground and at each roof height, the
// verdicts, the section line and a title block, each on a layer of its own. Heights travel
// with the geometry: an object's outline lies at its roof height, a rod's circle at its tip,
// a wire is a 3D line between its ends.
namespace dxf {

// The layers, by the names a CAD user picks them by.
inline constexpr std::string_view kRodsLayer = "避雷针";
inline constexpr std::string_view kWiresLayer = "避雷线";
inline constexpr std::string_view kObjectsLayer = "被保护物";
inline constexpr std::string_view kZoneLayer = "保护范围";
inline constexpr std::string_view kSectionLayer = "剖面线";
inline constexpr std::string_view kVerdictsLayer = "校核结论";
inline constexpr std::string_view kTitleLayer = "图签";
// The roof network: tape, mesh and down conductors (each a block insert with its number), the
// legend of their marks and the notes a roof plan carries.
inline constexpr std::string_view kTapeLayer = "接闪带";
inline constexpr std::string_view kMeshLayer = "接闪网";
inline constexpr std::string_view kDownLayer = "引下线";
inline constexpr std::string_view kLegendLayer = "图例";
inline constexpr std::string_view kNotesLayer = "说明";
inline constexpr std::string_view kDownConductorBlock = "引下线符号";
// The drawing's title when it shows a roof network.
inline constexpr std::string_view kRoofPlanTitle = "天面防雷平面图";

// The TrueType font the texts' style names: the Song face that Chinese Windows, and so the
// CAD programs on it, have.
inline constexpr std::string_view kTextFont = "simsun.ttc";

// A line drawn on the plan, in layout metres.
using PlanLine = std::optional<std::pair<calc::drawing::Vec2, calc::drawing::Vec2>>;

// The drawing, in the drawing's own units and coordinates when `place` is given, else in
// metres at the layout's origin. `verdicts` are checkObjects(layout); `date` goes into the
// title block. Throws std::invalid_argument for a layout the engine cannot take.
QByteArray layoutDrawing(const calc::layout::Layout &layout,
                         const std::vector<calc::layout::ObjectVerdict> &verdicts,
                         const PlanLine &section,
                         const std::optional<lplayout::DrawingPlace> &place,
                         const std::string &date);

// The same written to `path`, which is replaced only when the whole drawing is written; false
// with the reason in *error when it cannot be.
bool writeLayoutDrawing(const QString &path, const calc::layout::Layout &layout,
                        const std::vector<calc::layout::ObjectVerdict> &verdicts,
                        const PlanLine &section, const std::optional<lplayout::DrawingPlace> &place,
                        const std::string &date, QString *error);

} // namespace dxf
