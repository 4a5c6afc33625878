#include "project/roof_command.h"

#include "project/check.h"
#include "project/one_field.h"
#include "project/project_file.h"
#include "roof/lay_out.h"
#include "roof/roof_check.h"

#include <cmath>

namespace lplayout {

namespace {

using namespace calc::roof;

// Two decimals, never "-0.00".
QString twoDecimals(double v)
{
    const QString text = QString::number(v, 'f', 2);
    return text == QLatin1String("-0.00") ? QStringLiteral("0.00") : text;
}

QString orDash(const std::optional<double> &v) { return v ? twoDecimals(*v) : QStringLiteral("-"); }

const char *passFail(bool pass) { return pass ? "pass" : "fail"; }

QString largestCell(const BuildingRoofs &b)
{
    if (!b.largestCell) return QStringLiteral("-");
    const Cell &c = b.roofs[b.largestCell->roof].cells[b.largestCell->cell];
    return twoDecimals(c.longSide) + QLatin1Char('x') + twoDecimals(c.shortSide);
}

const char *tapeField(Verdict v)
{
    switch (v) {
    case Verdict::Pass:
        return "pass";
    case Verdict::Fail:
        return "fail";
    case Verdict::NotApplicable:
        break;
    }
    return "n/a";
}

QString buildingProblem(BuildingState state)
{
    switch (state) {
    case BuildingState::Checked:
        return {};
    case BuildingState::BadFootprint:
        return QStringLiteral("轮廓不能使用");
    case BuildingState::BadHeight:
        return QStringLiteral("高度不能使用");
    case BuildingState::Unchecked:
        break;
    }
    return QStringLiteral("无法求得屋面");
}

// The reason a building's roofs cannot be reported, with its place in the file; empty when
// every building can.
QString unusableBuilding(const SiteRoofs &site)
{
    for (const BuildingRoofs &b : site.buildings)
        if (b.state != BuildingState::Checked)
            return QStringLiteral("objects[%1]: 建筑物「%2」%3")
                .arg(b.parts.front())
                .arg(oneField(QString::fromStdString(b.name)), buildingProblem(b.state));
    return {};
}

} // namespace

int runRoof(const QString &path, QTextStream &out, QTextStream &err)
{
    const LoadResult loaded = loadProject(path);
    if (!loaded.file) {
        err << loaded.error << Qt::endl;
        return FileUnusable;
    }
    const SiteRoofs site = checkRoofs(loaded.file->layout);
    // Every line is decided before any is written, so a building that cannot be checked leaves
    // no partial report.
    if (const QString problem = unusableBuilding(site); !problem.isEmpty()) {
        err << path << QStringLiteral(": ") << problem << Qt::endl;
        return FileUnusable;
    }
    bool all = true;
    for (const BuildingRoofs &b : site.buildings) {
        all = all && b.passes();
        const DownConductorCheck &d = b.down;
        out << oneField(QString::fromStdString(b.name)) << '\t' << site.rules.protectionClass
            << '\t' << passFail(b.meshPasses) << '\t' << largestCell(b) << '\t'
            << twoDecimals(b.uncoveredArea) << '\t' << tapeField(b.tape) << '\t' << d.reachingGround
            << '\t' << orDash(d.largestSpacing) << '\t' << orDash(d.averageSpacing) << '\t'
            << passFail(d.passes) << '\n';
    }
    out.flush();
    return all ? 0 : 1;
}

int runLayRoof(const QString &path, const QString &output, const QStringList &buildings,
               QTextStream &err)
{
    LoadResult loaded = loadProject(path);
    if (!loaded.file) {
        err << loaded.error << Qt::endl;
        return FileUnusable;
    }
    ProjectFile file = std::move(*loaded.file);
    LayOutOptions options;
    for (const QString &name : buildings) options.buildings.push_back(name.trimmed().toStdString());
    for (const std::string &name : unknownBuildings(file.layout, options.buildings)) {
        err << QStringLiteral("--building: %1 中没有名为「%2」的建筑物")
                   .arg(path, oneField(QString::fromStdString(name)))
            << Qt::endl;
        return FileUnusable;
    }
    if (const QString problem = unusableBuilding(checkRoofs(file.layout)); !problem.isEmpty()) {
        err << path << QStringLiteral(": ") << problem << Qt::endl;
        return FileUnusable;
    }
    file.layout = layOutRoofs(file.layout, options);
    // The file must open again: a network past its limit of conductors is refused here.
    if (static_cast<qsizetype>(file.layout.conductors.size()) > kMaxConductors) {
        err << path
            << QStringLiteral(": 布置后导体共 %1 根，超过布置文件的上限 %2 根")
                   .arg(file.layout.conductors.size())
                   .arg(kMaxConductors)
            << Qt::endl;
        return FileUnusable;
    }
    QString error;
    if (!saveProject(output, file, &error)) {
        err << error << Qt::endl;
        return FileUnusable;
    }
    return 0;
}

} // namespace lplayout
