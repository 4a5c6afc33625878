#include "project/check.h"

#include "layouts/layout.h"
#include "project/one_field.h"
#include "project/project_file.h"

#include <cmath>
#include <exception>
#include <new>

namespace lplayout {

namespace {

// Three decimals, never "-0.000".
QString metres(double v)
{
    const QString text = QString::number(v, 'f', 3);
    return text == QLatin1String("-0.000") ? QStringLiteral("0.000") : text;
}

} // namespace

std::optional<std::vector<calc::layout::ObjectVerdict>>
checkedObjects(const QString &path, const calc::layout::Layout &layout, QTextStream &err,
               const calc::layout::CheckLimits &limits)
{
    try {
        return calc::layout::checkObjects(layout, limits);
    } catch (const std::bad_alloc &) {
        err << path << QStringLiteral(": 内存不足，无法完成校核") << Qt::endl;
    } catch (const std::exception &e) {
        // A layout beyond the check's limits says which and why.
        err << path << QStringLiteral(": ") << QString::fromUtf8(e.what()) << Qt::endl;
    }
    return std::nullopt;
}

CheckStatus runCheck(const QString &path, QTextStream &out, QTextStream &err,
                     const calc::layout::CheckLimits &limits)
{
    const LoadResult loaded = loadProject(path);
    if (!loaded.file) {
        err << loaded.error << Qt::endl;
        return FileUnusable;
    }
    const calc::layout::Layout &layout = loaded.file->layout;
    const auto checked = checkedObjects(path, layout, err, limits);
    if (!checked) return FileUnusable;
    const std::vector<calc::layout::ObjectVerdict> &verdicts = *checked;
    // Every line is decided before any is written, so a value that could not be computed
    // leaves no partial report.
    for (std::size_t i = 0; i < verdicts.size(); ++i) {
        const auto &v = verdicts[i];
        if (!std::isfinite(v.leastClearance) || !std::isfinite(v.where.x) ||
            !std::isfinite(v.where.y) || !std::isfinite(v.where.z)) {
            err << QStringLiteral("objects[%1]: 无法求得最小裕度").arg(i) << Qt::endl;
            return FileUnusable;
        }
    }
    bool all = true;
    for (std::size_t i = 0; i < verdicts.size(); ++i) {
        const auto &v = verdicts[i];
        all = all && v.isProtected;
        out << oneField(QString::fromStdString(layout.objects[i].name)) << '\t'
            << (v.isProtected ? "protected" : "unprotected") << '\t' << metres(v.leastClearance)
            << '\t' << metres(v.where.x) << ',' << metres(v.where.y) << ',' << metres(v.where.z)
            << '\n';
    }
    out.flush();
    return all ? AllProtected : SomeUnprotected;
}

} // namespace lplayout
