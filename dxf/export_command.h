#pragma once

#include <QString>
#include <QTextStream>

#include <string>

// `lplayout --export-dxf FILE -o OUT.dxf`: the layout file as a CAD drawing, with each
// object's verdict and the date in its title block.
namespace dxf {

// 0 when the drawing is written; 2 with the reason on `err` when the layout file cannot be
// used or the drawing cannot be written (the old file at `out`, if any, then stays).
int runExportDxf(const QString &path, const QString &out, const std::string &date,
                 QTextStream &err);

} // namespace dxf
