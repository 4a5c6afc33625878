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
//                     { "kind": "wire", "a": [0, 0, 30], "b": [40, 0, 30] } ],
//     "objects": [ { "name": "1#楼", "footprint": [[5, 5], [25, 5], [25, 15]], "height": 18 } ] }
//
// Top-level keys the program does not read (view settings, say) are kept and written back.
namespace lplayout {

inline constexpr int kFormatVersion = 1;

struct ProjectFile {
    calc::layout::Layout layout;
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

} // namespace lplayout
