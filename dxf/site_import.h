#pragma once

#include "dxf/drawing.h"
#include "layouts/layout.h"
#include "project/project_file.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A site plan taken from a drawing's chosen layers: buildings from their closed outlines, rods
// and wires from a layer each, in metres, shifted so that what is taken starts near (0, 0).
//
// - Objects: closed polylines (arcs as chords within 2 cm) and circles, on the buildings'
//   layers, blocks' ones included. Height: the outline's elevation plus its thickness when
//   above 0; else a text inside it that reads as a height ("18", "H=18m"); else the default.
//   Name: another text inside it, else 建筑物N. A text belongs to the smallest outline taken
//   that holds it; texts on the buildings' layers come before those on others.
// - Rods: points, circles (their centres) and block inserts (their points) on the rods' layer.
//   Height: z plus thickness when above 0; else the nearest text within 2 m that reads as a
//   height; else the default.
// - Wires: lines and polylines (open or closed) on the wires' layer, each segment one wire (an
//   arc in chords). End heights: their z when either end has one; else the default.
//
// All or nothing: any problem gives a message naming the layer and the entity (its handle and
// line in the file), and no site.
namespace dxf {

struct SiteChoice {
    QStringList buildings;                              // layers whose closed outlines are objects
    QString rods;                                       // a layer of rods, none when empty
    QString wires;                                      // a layer of wires, none when empty
    std::optional<lplayout::DrawingPlace::Units> units; // instead of the drawing's own
    double objectHeight = calc::layout::kNewObjectHeight;
    double rodHeight = calc::layout::kNewRodHeight;
    double wireHeight = calc::layout::kNewWireHeight;
    // Where the layout taken into already lies in this drawing: its units and origin are kept,
    // so that what is taken lines up with what came from the drawing before.
    std::optional<lplayout::DrawingPlace> place;
};

struct SiteImport {
    std::vector<calc::layout::Object> objects;       // in the drawing's order
    std::vector<calc::layout::Conductor> conductors; // rods and wires, in the drawing's order
    lplayout::DrawingPlace place;
};

struct SiteResult {
    std::optional<SiteImport> site;
    QString error;
};

// The drawing's units by its header ($INSUNITS), none when it gives none of mm, cm and m.
std::optional<lplayout::DrawingPlace::Units> headerUnits(const Drawing &d);

// Takes the chosen layers' site plan, to be added to `current` (whose objects' names the new
// ones' 建筑物N keep clear of, and whose size counts against the site's limits).
SiteResult importSite(const Drawing &d, const SiteChoice &choice,
                      const calc::layout::Layout &current = {});

} // namespace dxf
