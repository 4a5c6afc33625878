#pragma once

#include "dxf/drawing.h"
#include "dxf/drawing_coordinates.h"
#include "dxf/height_text.h"
#include "layouts/layout.h"
#include "project/project_file.h"
#include "roof/roof_rules.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A site plan taken from a drawing's chosen layers: buildings from their outlines, rods and
// wires from a layer each, in metres, shifted so that what is taken starts near (0, 0). The
// drawing passes each stage once: walked into world coordinates (drawing_walk.h), its
// buildings' outlines made (site_outlines.h), its texts read (site_labels.h), and the site
// taken here with the report of what was mended and what was left out.
//
// - Objects: the outlines on the buildings' layers, blocks' ones included (arcs as chords
//   within 2 cm). Height: the outline's elevation plus its thickness when above 0; else the
//   first text inside it that gives a height or storeys (height_text.h, by the choice's rules);
//   else the default. Name: another text inside it, else 建筑物N. A text belongs to the
//   smallest outline taken that holds it; texts on the buildings' layers come before those on
//   others. Texts giving different heights are reported.
// - Rods: points, circles (their centres) and block inserts (their points) on the rods' layer.
//   Height: z plus thickness when above 0; else the nearest text within 2 m that gives metres
//   (a bare number included); else the default.
// - Wires: lines and polylines (open or closed) on the wires' layer, each segment one wire (an
//   arc in chords). End heights: their z when either end has one; else the default.
// - Roof and down conductors: see SiteChoice and site_roof_conductors.h; one standing over no
//   roof is left out with a notice.
//
// An outline that is no simple polygon is left out, one mended where the mend is plain, each
// listed in the report with its layer, handle and line; the rest comes in. A choice that
// cannot be used (a layer the drawing lacks or that holds nothing of its kind), a site beyond
// the limits, or nothing usable left gives a message naming the layer and the entity, and no
// site.
namespace dxf {

// The most the join tolerance can be, in metres: beyond it, walls would merge.
inline constexpr double kMaxJoinTolerance = 0.5;

struct SiteChoice {
    QStringList buildings; // layers whose closed outlines are objects
    QString rods;          // a layer of rods, none when empty
    QString wires;         // a layer of wires, none when empty
    // Layers of roof conductors: their lines and polylines, each segment a conductor at the
    // height of the roof it lies on (its z when it has one) plus tapeHeight.
    QStringList roofConductors;
    // A layer of down conductors: its points, circles and block inserts, each a vertical
    // conductor from the roof there (tapeHeight above it) down to the roof below or the ground.
    QString downConductors;
    double tapeHeight = calc::roof::kDefaultTapeHeight;
    std::optional<lplayout::DrawingPlace::Units> units; // instead of the drawing's own
    double objectHeight = calc::layout::kNewObjectHeight;
    double rodHeight = calc::layout::kNewRodHeight;
    double wireHeight = calc::layout::kNewWireHeight;
    // Ends of lines and arcs this close are joined, and corners this close are one, in metres.
    double joinTolerance = 0.001;
    HeightRules heights; // how storeys and bare numbers become metres
    // Where the layout taken into already lies in this drawing: its units and origin are kept,
    // so that what is taken lines up with what came from the drawing before.
    std::optional<lplayout::DrawingPlace> place;
};

// One line of the report on an import.
struct ImportNote {
    enum class Kind { LeftOut, Mended, Notice };
    Kind kind = Kind::Notice;
    QString text;                    // the whole line, in the user's words
    std::vector<DrawingPoint> where; // the outline as drawn (drawing units), if it is one
};

// Where an object's height came from, to be shown beside it.
struct HeightSource {
    enum class From { Elevation, Text, Default };
    From from = From::Default;
    QString text;          // the text it was read from
    bool disagree = false; // other texts inside it give other heights
};

struct SiteImport {
    std::vector<calc::layout::Object> objects;       // in the drawing's order
    std::vector<HeightSource> heights;               // each object's, in the same order
    std::vector<calc::layout::Conductor> conductors; // rods and wires, in the drawing's order
    lplayout::DrawingPlace place;
    std::vector<ImportNote> notes; // left out and mended outlines first, then notices
    std::size_t leftOut = 0, mended = 0;
    // When the buildings are implausible in the units taken (every footprint under 1 m², one
    // over 1 km², or the site over 20 km across): the units in which they are not. Empty when
    // they are plausible, or none would make them so.
    std::vector<lplayout::DrawingPlace::Units> unitsThatFit;
    bool unitsImplausible = false;
};

// "导入 N 个建筑物（其中 M 个经过修补），K 个轮廓未导入", for the dialog and the command line.
QString importSummary(const SiteImport &site);

struct SiteResult {
    std::optional<SiteImport> site;
    QString error; // with the report's lines when nothing usable was left
};

// The drawing's units by its header ($INSUNITS), none when it gives none of mm, cm and m.
std::optional<lplayout::DrawingPlace::Units> headerUnits(const Drawing &d);

// Takes the chosen layers' site plan, to be added to `current` (whose objects' names the new
// ones' 建筑物N keep clear of, and whose size counts against the site's limits).
SiteResult importSite(const Drawing &d, const SiteChoice &choice,
                      const calc::layout::Layout &current = {});

} // namespace dxf
