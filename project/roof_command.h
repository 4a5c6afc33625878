#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// `lplayout --roof FILE`: one line per building, named and ordered as --strikes names and orders
// them, ten tab-separated fields: the name; the class (1, 2 or 3, from hr); the mesh (pass or
// fail); the largest cell as the sides of the smallest rectangle that holds it, longer first
// ("10.00x10.00", "-" when no cell is closed); the uncovered roof area in m²; the tape (pass,
// fail or n/a); the number of down conductors that reach the ground; the largest and the
// average spacing in metres ("-" with fewer than two); the down conductors (pass or fail).
//
// `lplayout --lay-roof FILE -o OUT [--building NAME]…`: the layout with the roof network laid out
// for the named buildings (all when none is named), written to OUT.
namespace lplayout {

// 0 when every building passes, 1 when any fails, 2 with the reason on err (and nothing on
// out) when the file cannot be used.
int runRoof(const QString &path, QTextStream &out, QTextStream &err);

// 0 when written; 2 with the reason on err, and nothing written, when the file cannot be used,
// a name is no building of it, the network would take the layout past the file's limits or
// OUT cannot be written.
int runLayRoof(const QString &path, const QString &output, const QStringList &buildings,
               QTextStream &err);

} // namespace lplayout
