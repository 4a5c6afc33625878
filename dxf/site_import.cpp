#include "dxf/site_import.h"

#include "dxf/site_collector.h"
#include "dxf/drawing_coordinates.h"
#include "dxf/drawing_text.h"
#include "dxf/drawing_walk.h"
#include "dxf/site_labels.h"
#include "dxf/site_layers.h"
#include "dxf/outline_mending.h"
#include "dxf/site_outlines.h"
#include "dxf/site_roof_conductors.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <variant>

namespace dxf {

using calc::layout::Corner;
using calc::layout::Object;
using lplayout::DrawingPlace;

namespace {

// Arcs become chords no further than this from them, in metres.
constexpr double kChordTolerance = 0.02;
// A rod's height text stands within this many metres of it.
constexpr double kRodLabelReach = 2;
// Heights closer than this (metres) agree.
constexpr double kSameHeight = 0.01;

DrawingPlace::Units unitsOf(const Drawing &d, const SiteChoice &choice)
{
    if (choice.place) return choice.place->units;
    if (choice.units) return *choice.units;
    if (const auto units = headerUnits(d)) return *units;
    if (d.insUnits == 0) return DrawingPlace::Units::Millimetres; // unitless: as most are drawn
    throw Problem{QStringLiteral("图形的单位（$INSUNITS = %1）不是毫米、厘米或米：请指定单位")
                      .arg(d.insUnits)};
}

DrawingPlace placeOf(const SiteChoice &choice, DrawingPlace::Units units, const DrawingBox &box)
{
    if (choice.place) return *choice.place;
    // The origin is the whole metre at or below the least corner, so what is taken starts
    // within a metre of (0, 0) and the origin keeps round numbers.
    const double unitsPerMetre = std::round(1 / lplayout::metresPerUnit(units));
    DrawingPlace place{units, std::floor(box.minX / unitsPerMetre) * unitsPerMetre,
                       std::floor(box.minY / unitsPerMetre) * unitsPerMetre};
    if (!(std::abs(place.originX) <= lplayout::kMaxDrawingCoordinate &&
          std::abs(place.originY) <= lplayout::kMaxDrawingCoordinate))
        throw Problem{
            QStringLiteral("图形坐标超出 ±%1，无法导入").arg(lplayout::kMaxDrawingCoordinate)};
    return place;
}

bool withinSite(double x, double y)
{
    return std::abs(x) <= lplayout::kMaxCoordinate && std::abs(y) <= lplayout::kMaxCoordinate;
}

void requireWithin(const Drawing &d, const Source &s, double x, double y)
{
    if (!withinSite(x, y))
        throw Problem{
            describe(d, s) +
            QStringLiteral("超出场地范围（离原点 ±%1 m 之内）").arg(lplayout::kMaxCoordinate)};
}

double heightWithin(const Drawing &d, const Source &s, double metres)
{
    if (!(metres <= lplayout::kMaxHeight))
        throw Problem{describe(d, s) + QStringLiteral("高度超过 %1 m").arg(lplayout::kMaxHeight)};
    return metres;
}

double heightWithin(const Drawing &d, const OutlineSource &s, double metres)
{
    if (!(metres <= lplayout::kMaxHeight))
        throw Problem{describeOutline(d, s) +
                      QStringLiteral("高度超过 %1 m").arg(lplayout::kMaxHeight)};
    return metres;
}

// The outline in the layout's metres; none when, so taken, it is no longer a simple polygon.
std::optional<std::vector<Corner>> footprint(const Drawing &d, const SiteOutline &o,
                                             const DrawingPlace &place)
{
    std::vector<Corner> corners;
    for (const Vec3 &c : o.corners) {
        const DrawingPoint p = toLayout(place, c.x, c.y);
        if (!withinSite(p.x, p.y))
            throw Problem{
                describeOutline(d, o.source) +
                QStringLiteral("超出场地范围（离原点 ±%1 m 之内）").arg(lplayout::kMaxCoordinate)};
        corners.push_back({p.x, p.y});
    }
    if (!calc::layout::isSimplePolygon(corners)) return std::nullopt;
    return corners;
}

std::vector<DrawingPoint> drawn(const std::vector<Vec3> &corners)
{
    std::vector<DrawingPoint> out;
    for (const Vec3 &c : corners) out.push_back({c.x, c.y});
    return out;
}

bool inside(const std::vector<Corner> &polygon, double x, double y)
{
    bool in = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Corner &a = polygon[i], &b = polygon[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

double area(const std::vector<Corner> &polygon)
{
    double twice = 0;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++)
        twice += (polygon[j].x - polygon[i].x) * (polygon[j].y + polygon[i].y);
    return std::abs(twice) / 2;
}

// Each object's texts: those it is the smallest outline to hold, the buildings' layers' first,
// none of the rods' or the wires' layers.
std::vector<std::vector<const Label *>> labelsOf(const std::vector<Object> &objects,
                                                 const std::vector<Label> &labels,
                                                 const SiteChoice &choice, const Drawing &d)
{
    std::vector<double> areas;
    for (const Object &o : objects) areas.push_back(area(o.footprint));
    std::vector<std::vector<const Label *>> of(objects.size());
    for (const Label &label : labels) {
        // The rods' and the wires' texts are theirs (their heights), never a building's.
        const QString &layer = d.layers[label.layer].name;
        if ((!choice.rods.isEmpty() && layer.compare(choice.rods, Qt::CaseInsensitive) == 0) ||
            (!choice.wires.isEmpty() && layer.compare(choice.wires, Qt::CaseInsensitive) == 0))
            continue;
        std::size_t best = objects.size();
        for (std::size_t i = 0; i < objects.size(); ++i)
            if ((best == objects.size() || areas[i] < areas[best]) &&
                inside(objects[i].footprint, label.x, label.y))
                best = i;
        if (best < objects.size()) of[best].push_back(&label);
    }
    const auto onBuildings = [&](const Label *l) {
        return choice.buildings.contains(d.layers[l->layer].name, Qt::CaseInsensitive);
    };
    for (auto &list : of)
        std::ranges::stable_sort(list, [&](const Label *a, const Label *b) {
            return onBuildings(a) && !onBuildings(b);
        });
    return of;
}

void requireHeight(double h, const char *what)
{
    if (!(h > 0 && h <= lplayout::kMaxHeight))
        throw Problem{QStringLiteral("%1应大于 0 且不超过 %2 m")
                          .arg(QString::fromUtf8(what))
                          .arg(lplayout::kMaxHeight)};
}

// Whether the buildings, measured in drawing units, are buildings when a unit is `metres` long.
bool plausible(const std::vector<double> &areas, double extent, double metres)
{
    constexpr double kLeastFootprint = 1, kMostFootprint = 1e6, kMostSite = 20000;
    const double largest = *std::ranges::max_element(areas) * metres * metres;
    return largest >= kLeastFootprint && largest <= kMostFootprint && extent * metres <= kMostSite;
}

// Says so when the buildings are implausible in the units taken, naming those that fit.
void checkUnits(const SiteOutlines &made, DrawingPlace::Units units, SiteImport &site)
{
    if (made.taken.empty()) return;
    std::vector<double> areas;
    DrawingBox box;
    for (const SiteOutline &o : made.taken) {
        std::vector<Corner> ring;
        for (const Vec3 &c : o.corners) {
            ring.push_back({c.x - made.taken.front().corners.front().x,
                            c.y - made.taken.front().corners.front().y});
            box.add(c.x, c.y);
        }
        areas.push_back(ringArea(ring));
    }
    const double extent = std::max(box.maxX - box.minX, box.maxY - box.minY);
    if (plausible(areas, extent, lplayout::metresPerUnit(units))) return;
    site.unitsImplausible = true;
    QStringList fit;
    for (const auto u : {DrawingPlace::Units::Millimetres, DrawingPlace::Units::Centimetres,
                         DrawingPlace::Units::Metres})
        if (u != units && plausible(areas, extent, lplayout::metresPerUnit(u))) {
            site.unitsThatFit.push_back(u);
            fit << lplayout::unitsName(u);
        }
    const double metres = lplayout::metresPerUnit(units);
    const double largest = *std::ranges::max_element(areas) * metres * metres;
    QString text = QStringLiteral("按图形单位 %1 计，最大的建筑物面积为 %2 m²，场地宽 %3 m，"
                                  "不像是建筑物")
                       .arg(lplayout::unitsName(units))
                       .arg(largest, 0, 'g', 3)
                       .arg(extent * metres, 0, 'g', 3);
    text += fit.isEmpty() ? QStringLiteral("：请核对图形单位")
                          : QStringLiteral("；按 %1 计则合理：请核对图形单位")
                                .arg(fit.join(QStringLiteral(" 或 ")));
    site.notes.push_back({ImportNote::Kind::Notice, text, {}});
}

// Each object's height (unless its outline gave one) and name from the texts inside it, by the
// choice's rules; where its texts disagree, what is said of it.
std::vector<HeightSource> applyLabels(const Drawing &d, const SiteChoice &choice,
                                      const std::vector<Label> &labels,
                                      std::vector<Object> &objects,
                                      std::vector<QString> *disagreeing)
{
    const auto of = labelsOf(objects, labels, choice, d);
    std::vector<HeightSource> sources;
    if (disagreeing) disagreeing->assign(objects.size(), {});
    for (std::size_t i = 0; i < objects.size(); ++i) {
        Object &o = objects[i];
        HeightSource source{
            o.height > 0 ? HeightSource::From::Elevation : HeightSource::From::Default, {}, false};
        QStringList differing;
        std::optional<double> first;
        for (const Label *l : of[i]) {
            const std::optional<double> m =
                l->height ? choice.heights.metres(*l->height) : std::nullopt;
            if (!m) {
                if (o.name.empty() && !l->height && l->text.size() <= lplayout::kMaxNameLength)
                    o.name = l->text.toStdString();
                continue;
            }
            if (!first) {
                first = m;
                if (o.height == 0) {
                    o.height = *m;
                    source = {HeightSource::From::Text, l->text, false};
                }
            }
            if (std::abs(*m - *first) > kSameHeight) source.disagree = true;
            differing << QStringLiteral("「%1」").arg(l->text);
        }
        if (o.height == 0) o.height = choice.objectHeight;
        if (source.disagree && disagreeing)
            (*disagreeing)[i] = QStringLiteral("：高度注记不一致（%1），取 %2 m")
                                    .arg(differing.join(QStringLiteral("、")))
                                    .arg(o.height);
        sources.push_back(source);
    }
    return sources;
}

SiteImport take(const Drawing &d, const SiteChoice &choice, const calc::layout::Layout &current)
{
    requireHeight(choice.objectHeight, "默认建筑物高度");
    requireHeight(choice.rodHeight, "默认避雷针高度");
    requireHeight(choice.wireHeight, "默认避雷线高度");
    if (!(choice.heights.storeyHeight > 0 && choice.heights.storeyHeight <= kMaxStoreyHeight))
        throw Problem{QStringLiteral("层高应大于 0 且不超过 %1 m").arg(kMaxStoreyHeight)};
    if (!(choice.heights.parapet >= 0 && choice.heights.parapet <= kMaxParapet))
        throw Problem{QStringLiteral("女儿墙高度应不小于 0 且不超过 %1 m").arg(kMaxParapet)};
    if (!(choice.joinTolerance > 0 && choice.joinTolerance <= kMaxJoinTolerance))
        throw Problem{QStringLiteral("连接容差应大于 0 且不超过 %1 m").arg(kMaxJoinTolerance)};
    if (choice.buildings.isEmpty() && choice.rods.isEmpty() && choice.wires.isEmpty() &&
        choice.roofConductors.isEmpty() && choice.downConductors.isEmpty())
        throw Problem{QStringLiteral("没有选择要导入的图层")};
    if (!(choice.tapeHeight >= 0 && choice.tapeHeight <= calc::roof::kRoofConductorRise))
        throw Problem{QStringLiteral("接闪带高出屋面应不小于 0 且不超过 %1 m")
                          .arg(calc::roof::kRoofConductorRise)};
    const DrawingPlace::Units units = unitsOf(d, choice);
    const double metresPerUnit = lplayout::metresPerUnit(units);
    Collector seen(d, choice, current, kChordTolerance / metresPerUnit,
                   choice.joinTolerance / metresPerUnit);
    walkModel(d, [&](const Placed &p) { return seen.visit(p); });
    SiteOutlines made = seen.outlines.finish();
    seen.requireEachLayer(made);
    const std::size_t objectRoom =
        std::size_t(lplayout::kMaxObjects) -
        std::min(current.objects.size(), std::size_t(lplayout::kMaxObjects));
    if (made.taken.size() > objectRoom)
        throw Problem{QStringLiteral("被保护物超过 %1 个，无法全部导入（图层「%2」）")
                          .arg(lplayout::kMaxObjects)
                          .arg(d.layers[made.taken[objectRoom].source.layer].name)};
    for (const SiteOutline &o : made.taken)
        for (const Vec3 &c : o.corners) seen.box.add(c.x, c.y);

    SiteImport site;
    for (const OutlineNote &n : made.notes) {
        const auto kind = n.mended ? ImportNote::Kind::Mended : ImportNote::Kind::LeftOut;
        const QString what = n.mended ? QStringLiteral("已修补：") : QStringLiteral("未导入：");
        site.notes.push_back({kind,
                              describeOutline(d, n.source) + QStringLiteral("：") + what + n.why,
                              drawn(n.corners)});
        ++(n.mended ? site.mended : site.leftOut);
    }
    if (made.duplicates > 0)
        site.notes.push_back(
            {ImportNote::Kind::Notice,
             QStringLiteral("%1 个轮廓与另一轮廓重合（如既画出又填充），只导入一次")
                 .arg(made.duplicates),
             {}});
    if (made.taken.empty() && seen.conductors.empty()) {
        QStringList lines{QStringLiteral("没有可导入的建筑物、避雷针或避雷线")};
        for (const ImportNote &n : site.notes) lines << n.text;
        throw Problem{lines.join(QLatin1Char('\n'))};
    }
    checkUnits(made, units, site);
    site.place = placeOf(choice, units, seen.box);
    const DrawingPlace &place = site.place;
    std::vector<std::size_t> takenOf; // each object's outline
    for (const SiteOutline &o : made.taken) {
        const auto corners = footprint(d, o, place);
        if (!corners) {
            site.notes.push_back(
                {ImportNote::Kind::LeftOut,
                 describeOutline(d, o.source) + QStringLiteral("：未导入：换算为米后自相交"),
                 drawn(o.corners)});
            ++site.leftOut;
            continue;
        }
        const double top = lengthToLayout(place, o.top);
        takenOf.push_back(std::size_t(&o - made.taken.data()));
        site.objects.push_back({{}, *corners, top > 0 ? heightWithin(d, o.source, top) : 0});
    }

    DrawingBox reach = seen.box;
    for (const ConductorSeen &c : seen.conductors)
        if (c.rod) reach.add(c.a.x, c.a.y, kRodLabelReach / metresPerUnit);
    const std::vector<Label> labels = readLabels(d, seen.texts, reach, place);

    // A room (an outline inside another on its layer) at its building's height is part of it and
    // is dropped; one with a height of its own (a tower on its podium) stays. Its texts then go
    // to the building.
    std::vector<Object> unlabelled = site.objects;
    std::vector<HeightSource> sources = applyLabels(d, choice, labels, site.objects, nullptr);
    std::vector<std::size_t> objectOf(made.taken.size(), ~std::size_t(0));
    for (std::size_t i = 0; i < takenOf.size(); ++i) objectOf[takenOf[i]] = i;
    std::vector<bool> room(site.objects.size(), false);
    std::size_t rooms = 0;
    for (std::size_t i = 0; i < site.objects.size(); ++i) {
        const auto &within = made.taken[takenOf[i]].within;
        if (!within || objectOf[*within] == ~std::size_t(0)) continue;
        const double container = site.objects[objectOf[*within]].height;
        if (sources[i].from == HeightSource::From::Default ||
            std::abs(site.objects[i].height - container) <= kSameHeight) {
            room[i] = true;
            ++rooms;
        }
    }
    site.objects.clear();
    std::vector<std::size_t> kept;
    for (std::size_t i = 0; i < room.size(); ++i)
        if (!room[i]) {
            site.objects.push_back(unlabelled[i]);
            kept.push_back(takenOf[i]);
        }
    takenOf = std::move(kept);
    if (rooms > 0) {
        site.notes.push_back({ImportNote::Kind::Notice,
                              QStringLiteral("%1 个轮廓位于同一图层的另一轮廓之内、高度与之相同，"
                                             "作为其中的房间略去")
                                  .arg(rooms),
                              {}});
    }
    std::vector<QString> disagreeing;
    site.heights = applyLabels(d, choice, labels, site.objects, &disagreeing);
    for (std::size_t i = 0; i < site.objects.size(); ++i)
        if (!disagreeing[i].isEmpty())
            site.notes.push_back(
                {ImportNote::Kind::Notice,
                 describeOutline(d, made.taken[takenOf[i]].source) + disagreeing[i],
                 drawn(made.taken[takenOf[i]].corners)});
    calc::layout::Layout named = current;
    for (Object &o : site.objects) {
        if (o.name.empty()) o.name = calc::layout::newObjectName(named);
        named.objects.push_back(o);
    }

    // Roof and down conductors take their heights from the roofs, the new ones and those of
    // the layout taken into.
    std::vector<Object> roofs = current.objects;
    roofs.insert(roofs.end(), site.objects.begin(), site.objects.end());
    for (const ConductorSeen &c : seen.conductors) {
        const DrawingPoint a = toLayout(place, c.a.x, c.a.y);
        requireWithin(d, c.source, a.x, a.y);
        if (c.roof || c.down) {
            const DrawingPoint b = c.down ? a : toLayout(place, c.b.x, c.b.y);
            requireWithin(d, c.source, b.x, b.y);
            auto wire = c.down ? downConductor(roofs, a.x, a.y, choice.tapeHeight)
                               : roofConductor(roofs, a.x, a.y, b.x, b.y, choice.tapeHeight);
            if (!wire) {
                site.notes.push_back(
                    {ImportNote::Kind::Notice,
                     describe(d, c.source) + QStringLiteral("不在建筑物屋面上，未导入"),
                     {}});
                continue;
            }
            // A roof conductor drawn at its height keeps it.
            if (c.roof && (c.a.z != 0 || c.b.z != 0)) {
                wire->a.z = heightWithin(d, c.source, lengthToLayout(place, c.a.z));
                wire->b.z = heightWithin(d, c.source, lengthToLayout(place, c.b.z));
                if (!(wire->a.z >= 0 && wire->b.z >= 0))
                    throw Problem{describe(d, c.source) + QStringLiteral("的端点低于地面")};
            }
            site.conductors.push_back(*wire);
            continue;
        }
        if (c.rod) {
            double h = lengthToLayout(place, c.a.z);
            if (!(h > 0)) {
                h = choice.rodHeight;
                double nearest = kRodLabelReach;
                for (const Label &l : labels)
                    if (const double far = std::hypot(l.x - a.x, l.y - a.y);
                        far <= nearest && l.height && l.height->kind != HeightText::Kind::Storeys) {
                        if (const auto m = HeightRules{0, 0, true}.metres(*l.height)) {
                            nearest = far;
                            h = *m;
                        }
                    }
            }
            site.conductors.push_back(calc::layout::Rod{a.x, a.y, heightWithin(d, c.source, h)});
            continue;
        }
        const DrawingPoint b = toLayout(place, c.b.x, c.b.y);
        requireWithin(d, c.source, b.x, b.y);
        double za = lengthToLayout(place, c.a.z), zb = lengthToLayout(place, c.b.z);
        if (za == 0 && zb == 0) za = zb = choice.wireHeight;
        if (!(za >= 0 && zb >= 0))
            throw Problem{describe(d, c.source) + QStringLiteral("的端点低于地面")};
        const calc::layout::Wire wire{{a.x, a.y, heightWithin(d, c.source, za)},
                                      {b.x, b.y, heightWithin(d, c.source, zb)}};
        if (wire.a.x != wire.b.x || wire.a.y != wire.b.y || wire.a.z != wire.b.z)
            site.conductors.push_back(wire);
    }
    return site;
}

} // namespace

std::optional<DrawingPlace::Units> headerUnits(const Drawing &d)
{
    switch (d.insUnits) {
    case 4:
        return DrawingPlace::Units::Millimetres;
    case 5:
        return DrawingPlace::Units::Centimetres;
    case 6:
        return DrawingPlace::Units::Metres;
    default:
        return std::nullopt;
    }
}

QString importSummary(const SiteImport &site)
{
    QString text = QStringLiteral("导入 %1 个建筑物").arg(site.objects.size());
    if (site.mended > 0) text += QStringLiteral("（其中 %1 个经过修补）").arg(site.mended);
    std::size_t rods = 0;
    for (const auto &c : site.conductors) rods += std::holds_alternative<calc::layout::Rod>(c);
    text +=
        QStringLiteral("，%1 根避雷针，%2 段避雷线").arg(rods).arg(site.conductors.size() - rods);
    if (site.leftOut > 0) text += QStringLiteral("；%1 个轮廓未导入").arg(site.leftOut);
    return text;
}

SiteResult importSite(const Drawing &d, const SiteChoice &choice,
                      const calc::layout::Layout &current)
{
    try {
        return {take(d, choice, current), {}};
    } catch (const Problem &p) {
        return {std::nullopt, p.what};
    }
}

} // namespace dxf
