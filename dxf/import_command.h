#pragma once

#include <QCommandLineOption>
#include <QStringList>
#include <QTextStream>

// `lplayout --import-dxf SITE.dxf --buildings LAYER[,LAYER...] [--rods LAYER] [--wires LAYER]
// [--units mm|cm|m] [--height M] [--rod-height M] [--wire-height M] [--storey-height M]
// [--parapet M] [--bare-numbers storeys|metres] [--join-tolerance M] [--hr 30|45|60]
// -o OUT.lplayout`: the site plan on the chosen layers written as a layout file, what was
// mended or left out listed on standard error. Exits 0, or 2 with the reason on standard error
// and no file written when nothing usable is left or the choice cannot be used.
namespace dxf {

inline constexpr char kImportOption[] = "--import-dxf";

// The option as the program's own help lists it.
QCommandLineOption importHelpOption();

bool wantsImport(int argc, char *argv[]);

// `arguments` as the program got them, its name first.
int runImport(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace dxf
