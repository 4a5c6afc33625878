#include "project/strikes.h"

#include "layouts/building_strikes.h"
#include "project/check.h"
#include "project/one_field.h"
#include "project/project_file.h"

namespace lplayout {

namespace {

using namespace calc::layout;

// Why the site gives no count, or empty when it does.
QString siteProblem(const LayoutStrikes &strikes, const StrikeSite &site)
{
    switch (strikes.site) {
    case SiteState::Ready:
        return {};
    case SiteState::NoThunderstormDays:
        return QStringLiteral("未给出年雷暴日（文件中的 td 或 city，或 --td）");
    case SiteState::BadThunderstormDays:
        return site.thunderstormDays ? QStringLiteral("年雷暴日应大于 0 且不超过 365")
                                     : QStringLiteral("city: 不在城市列表中");
    case SiteState::BadCorrectionFactor:
        break;
    }
    return QStringLiteral("校正系数应为 1、1.5、1.7 或 2");
}

QString buildingProblem(BuildingState state)
{
    switch (state) {
    case BuildingState::Measured:
        return {};
    case BuildingState::BadFootprint:
        return QStringLiteral("轮廓不能使用");
    case BuildingState::BadHeight:
        return QStringLiteral("高度不能使用");
    case BuildingState::Unmeasured:
        break;
    }
    return QStringLiteral("无法求得等效面积");
}

const char *classField(calc::StrikeClass c)
{
    switch (c) {
    case calc::StrikeClass::Second:
        return "2";
    case calc::StrikeClass::Third:
        return "3";
    case calc::StrikeClass::NotByCount:
        break;
    }
    return "none";
}

} // namespace

int runStrikes(const QString &path, const StrikeOptions &options, QTextStream &out,
               QTextStream &err)
{
    const LoadResult loaded = loadProject(path);
    if (!loaded.file) {
        err << loaded.error << Qt::endl;
        return FileUnusable;
    }
    Layout layout = loaded.file->layout;
    // A typed number of days stands before the file's city, as the file's own "td" does.
    if (options.thunderstormDays) layout.site.thunderstormDays = options.thunderstormDays;
    if (options.k) layout.site.k = options.k;
    if (options.group)
        for (Object &o : layout.objects) o.group = options.group;

    const LayoutStrikes strikes = layoutStrikes(layout);
    if (const QString problem = siteProblem(strikes, layout.site); !problem.isEmpty()) {
        err << path << QStringLiteral(": ") << problem << Qt::endl;
        return FileUnusable;
    }
    // Every line is decided before any is written, so a building that cannot be measured
    // leaves no partial report.
    for (const BuildingStrikes &b : strikes.buildings)
        if (b.state != BuildingState::Measured || !b.n) {
            err << QStringLiteral("objects[%1]: 建筑物「%2」%3")
                       .arg(b.parts.front())
                       .arg(oneField(QString::fromStdString(b.name)), buildingProblem(b.state))
                << Qt::endl;
            return FileUnusable;
        }
    for (const BuildingStrikes &b : strikes.buildings)
        out << oneField(QString::fromStdString(b.name)) << '\t' << QString::number(b.ae, 'f', 6)
            << '\t' << QString::number(*b.n, 'f', 4) << '\t' << classField(b.strikeClass) << '\t'
            << groupName(b.group) << '\n';
    out.flush();
    return 0;
}

} // namespace lplayout
