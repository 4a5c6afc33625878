#pragma once

#include "layouts/layout.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

// The layout project file (.lplayout): UTF-8 JSON, metres.
//
//   { "format": "lplayout", "version": 1, "hr": 45,
//     "conductors": [ { "kind": "rod", "x": 0, "y": 0, "h": 30 },
//                     { "kind": "wire", "a": [0, 0, 30], "b": [40, 0, 30], "laidOut": true } ],
//     "objects": [ { "name": "1#楼", "footprint": [[5, 5], [25, 5], [25, 15]], "height": 18,
//                    "building": "1#楼", "group": "ordinary", "metal": false } ],
//     "td": 36.7, "city": "北京", "k": 1,
//     "drawing": { "units": "mm", "origin": [512000000, 3010000] } }
//
// For the yearly strike counts: an object's "building" joins it with the parts of that name,
// its "group" ("important" or "ordinary") is its building's; the site's thunderstorm days are
// "td" or those of "city" (td stands first), and "k" its correction factor. Each may be left
// out.
//
// A wire's "laidOut" marks it as laid out by the roof network's lay-out (which replaces such
// wires when it lays out again); an object's "metal" marks a metal stack, duct or tank bonded to
// the roof's network. Both are false when left out, and written only when true.
//
// "drawing" is there only for a layout taken from a CAD drawing: the drawing's units and the
// point of the drawing, in those units, that is the layout's (0, 0).
//
// Top-level keys the program does not read (view settings, say) are kept and written back.
namespace lplayout {

inline constexpr int kFormatVersion = 1;

// Beyond these a layout is no site plan but a mistake (or an attack on the checker's time).
// Whatever makes a layout (the file, the tables, a drawing's import) keeps within them.
inline constexpr double kMaxCoordinate = 10000; // metres either way from the origin
inline constexpr double kMaxHeight = 1000;
inline constexpr qsizetype kMaxConductors = 20000;
inline constexpr qsizetype kMaxObjects = 5000;
inline constexpr qsizetype kMaxCorners = 1000;
inline constexpr qsizetype kMaxNameLength = 200;
// A drawing's coordinates can be large (hundreds of kilometres in millimetres), but not beyond
// what a double holds to well under a millimetre.
inline constexpr double kMaxDrawingCoordinate = 1e12;

// Where a layout taken from a CAD drawing lies in that drawing, so that what is written back
// goes to the drawing's own place and units.
struct DrawingPlace {
    enum class Units { Millimetres, Centimetres, Metres };
    Units units = Units::Millimetres;
    double originX = 0; // in the drawing's units
    double originY = 0;
    friend bool operator==(const DrawingPlace &, const DrawingPlace &) = default;
};

// Metres in one of the drawing's units: 0.001, 0.01 or 1.
double metresPerUnit(DrawingPlace::Units units);
// "mm", "cm" or "m", as the file and the command line write them; parseUnits takes the same.
QString unitsName(DrawingPlace::Units units);
std::optional<DrawingPlace::Units> parseUnits(const QString &name);

// "important" or "ordinary", as the file and the command line write them; parseGroup takes the
// same.
QString groupName(calc::BuildingGroup group);
std::optional<calc::BuildingGroup> parseGroup(const QString &name);

struct ProjectFile {
    calc::layout::Layout layout;
    std::optional<DrawingPlace> drawing;
    QJsonObject otherKeys;
};

// Either the file, or a message naming the problem and its place ("conductors[2].h: ...").
struct LoadResult {
    std::optional<ProjectFile> file;
    QString error;
};

LoadResult parseProject(const QByteArray &bytes);
LoadResult loadProject(const QString &path);

QByteArray serializeProject(const ProjectFile &file);
// Writes through a temporary file that replaces the old one only when complete; on failure
// the old file stays and error says why.
bool saveProject(const QString &path, const ProjectFile &file, QString *error);
// The same for any file the program writes whole.
bool saveWhole(const QString &path, const QByteArray &bytes, QString *error);

} // namespace lplayout
