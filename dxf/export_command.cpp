#include "dxf/export_command.h"

#include "dxf/layout_drawing.h"
#include "project/check.h"
#include "project/project_file.h"

namespace dxf {

int runExportDxf(const QString &path, const QString &out, const std::string &date, QTextStream &err)
{
    const lplayout::LoadResult loaded = lplayout::loadProject(path);
    if (!loaded.file) {
        err << loaded.error << Qt::endl;
        return lplayout::FileUnusable;
    }
    const auto verdicts = lplayout::checkedObjects(path, loaded.file->layout, err);
    if (!verdicts) return lplayout::FileUnusable;
    QString error;
    if (!writeLayoutDrawing(out, loaded.file->layout, *verdicts, std::nullopt, loaded.file->drawing,
                            date, &error)) {
        err << error << Qt::endl;
        return lplayout::FileUnusable;
    }
    return 0;
}

} // namespace dxf
