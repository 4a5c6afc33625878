#pragma once

#include <QStringList>
#include <QTextStream>

// `lplayout --list-layers DRAWING.dxf [--codepage NAME]`: every layer of the drawing, one a
// line, its name and then the counts of the import's table, tab-separated; then a line with the
// drawing's units and the code page its texts are read with. Exits 0, or 2 with the reason on
// standard error.
namespace dxf {

inline constexpr char kListLayersOption[] = "--list-layers";

bool wantsListLayers(int argc, char *argv[]);

// `arguments` as the program got them, its name first.
int runListLayers(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace dxf
