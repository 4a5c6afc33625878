#include "layouts/building_strikes.h"

#include "layouts/equivalent_area.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

namespace calc::layout {

namespace {

// Metres: beyond any site, and where areas and counts stay far from the range of numbers.
constexpr double kFarthest = 1e6;

bool footprintUsable(const Object &o)
{
    return isSimplePolygon(o.footprint) && std::ranges::all_of(o.footprint, [](Corner c) {
               return std::abs(c.x) <= kFarthest && std::abs(c.y) <= kFarthest;
           });
}

bool heightUsable(const Object &o) { return o.height > 0 && o.height <= kFarthest; }

struct Box {
    double x0, y0, x1, y1;
};

Box boxOf(const std::vector<Corner> &fp)
{
    Box box{fp[0].x, fp[0].y, fp[0].x, fp[0].y};
    for (const Corner &c : fp)
        box = {std::min(box.x0, c.x), std::min(box.y0, c.y), std::max(box.x1, c.x),
               std::max(box.y1, c.y)};
    return box;
}

bool boxesMeet(const Box &a, const Box &b)
{
    return a.x0 <= b.x1 && b.x0 <= a.x1 && a.y0 <= b.y1 && b.y0 <= a.y1;
}

// Objects joined into buildings, each building holding at most one `building` name.
class Grouping {
public:
    explicit Grouping(const std::vector<Object> &objects)
        : parent_(objects.size()), name_(objects.size())
    {
        std::iota(parent_.begin(), parent_.end(), std::size_t{0});
        for (std::size_t i = 0; i < objects.size(); ++i) name_[i] = objects[i].building;
    }

    std::size_t root(std::size_t i)
    {
        while (parent_[i] != i) i = parent_[i] = parent_[parent_[i]];
        return i;
    }

    void join(std::size_t a, std::size_t b)
    {
        a = root(a);
        b = root(b);
        if (a == b) return;
        if (!name_[a].empty() && !name_[b].empty() && name_[a] != name_[b]) return;
        if (b < a) std::swap(a, b);
        parent_[b] = a;
        if (name_[a].empty()) name_[a] = name_[b];
    }

    const std::string &name(std::size_t i) { return name_[root(i)]; }

private:
    std::vector<std::size_t> parent_;
    std::vector<std::string> name_;
};

// Parts of one name first, so that a name's building exists before unnamed parts choose where
// to go; then every touching pair, in file order.
void joinParts(const std::vector<Object> &objects, Grouping &grouping)
{
    std::map<std::string, std::size_t> firstOfName;
    for (std::size_t i = 0; i < objects.size(); ++i)
        if (!objects[i].building.empty()) {
            const auto [first, added] = firstOfName.emplace(objects[i].building, i);
            if (!added) grouping.join(first->second, i);
        }
    std::vector<std::size_t> usable;
    std::vector<Box> boxes;
    for (std::size_t i = 0; i < objects.size(); ++i)
        if (footprintUsable(objects[i])) {
            usable.push_back(i);
            boxes.push_back(boxOf(objects[i].footprint));
        }
    for (std::size_t a = 0; a < usable.size(); ++a)
        for (std::size_t b = a + 1; b < usable.size(); ++b)
            if (boxesMeet(boxes[a], boxes[b]) &&
                footprintsMeet(objects[usable[a]].footprint, objects[usable[b]].footprint))
                grouping.join(usable[a], usable[b]);
}

void settleSite(const StrikeSite &site, LayoutStrikes &result)
{
    if (site.thunderstormDays) {
        result.td = *site.thunderstormDays;
        if (!isThunderstormDays(result.td)) result.site = SiteState::BadThunderstormDays;
    } else if (!site.city.empty()) {
        const auto city = cityByName(site.city);
        if (city)
            result.td = thunderstormDays(*city);
        else
            result.site = SiteState::BadThunderstormDays;
    } else {
        result.site = SiteState::NoThunderstormDays;
    }
    if (result.site == SiteState::Ready && site.k) {
        result.k = *site.k;
        if (!isCorrectionFactor(result.k)) result.site = SiteState::BadCorrectionFactor;
    }
    if (result.site == SiteState::Ready)
        result.ng = groundFlashDensity(result.td);
    else
        result = {result.site, 0, 0, 1, {}};
}

void measure(const std::vector<Object> &objects, BuildingStrikes &building)
{
    std::vector<GrownPart> parts;
    for (std::size_t i = 0; i < building.parts.size(); ++i) {
        const Object &o = objects[building.parts[i]];
        if (!footprintUsable(o)) building.state = BuildingState::BadFootprint;
        if (!heightUsable(o) && building.state == BuildingState::Measured)
            building.state = BuildingState::BadHeight;
        const double h = heightUsable(o) ? o.height : 0;
        // D² straight from the height below 100 m, so that a rectangle's area is its closed
        // form's to the last digit.
        parts.push_back({o.footprint, building.widths[i], h < 100 ? h * (200 - h) : h * h});
    }
    if (building.state != BuildingState::Measured) return;
    EquivalentArea area = equivalentArea(parts);
    if (!area.measured) {
        building.state = BuildingState::Unmeasured;
        return;
    }
    building.ae = area.area / 1e6;
    building.aeError = area.error / 1e6;
    building.outline = std::move(area.outline);
}

} // namespace

std::vector<BuildingParts> layoutBuildings(const Layout &layout)
{
    const std::vector<Object> &objects = layout.objects;
    Grouping grouping(objects);
    joinParts(objects, grouping);
    std::vector<BuildingParts> buildings;
    std::vector<std::size_t> slot(objects.size(), objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        std::size_t &s = slot[grouping.root(i)];
        if (s == objects.size()) {
            s = buildings.size();
            buildings.emplace_back();
        }
        buildings[s].parts.push_back(i);
    }
    for (BuildingParts &building : buildings) {
        std::size_t tallest = building.parts.front();
        for (const std::size_t i : building.parts)
            if (objects[i].height > objects[tallest].height) tallest = i;
        const std::string &name = grouping.name(building.parts.front());
        building.name = name.empty() ? objects[tallest].name : name;
    }
    return buildings;
}

namespace {

// Whether two buildings are made of parts of the same footprints and heights, in order.
bool sameShape(const std::vector<Object> &objects, const BuildingStrikes &building,
               const std::vector<Object> &others, const BuildingStrikes &other)
{
    if (building.parts.size() != other.parts.size()) return false;
    for (std::size_t i = 0; i < building.parts.size(); ++i) {
        const Object &a = objects[building.parts[i]], &b = others[other.parts[i]];
        if (a.height != b.height || a.footprint != b.footprint) return false;
    }
    return true;
}

LayoutStrikes strikes(const Layout &layout, const Layout *earlier,
                      const LayoutStrikes *earlierStrikes)
{
    LayoutStrikes result;
    settleSite(layout.site, result);

    const std::vector<Object> &objects = layout.objects;
    for (BuildingParts &parts : layoutBuildings(layout)) {
        BuildingStrikes &building = result.buildings.emplace_back();
        building.name = std::move(parts.name);
        building.parts = std::move(parts.parts);
    }

    for (BuildingStrikes &building : result.buildings) {
        for (const std::size_t i : building.parts) {
            const Object &o = objects[i];
            building.widths.push_back(heightUsable(o) ? expansionWidth(o.height) : 0);
            building.groupGiven = building.groupGiven || o.group.has_value();
            if (o.group == BuildingGroup::Important) building.group = BuildingGroup::Important;
        }
        // A building of the same shape before keeps its area; any other is measured.
        const BuildingStrikes *same = nullptr;
        if (earlier && earlierStrikes)
            for (const BuildingStrikes &other : earlierStrikes->buildings)
                if (other.state != BuildingState::Unmeasured &&
                    sameShape(objects, building, earlier->objects, other)) {
                    same = &other;
                    break;
                }
        if (same) {
            building.state = same->state;
            building.ae = same->ae;
            building.aeError = same->aeError;
            building.outline = same->outline;
        } else {
            measure(objects, building);
        }
        if (building.state != BuildingState::Measured || result.site != SiteState::Ready) continue;
        const double n = result.k * result.ng * building.ae;
        if (!std::isfinite(n)) {
            building.state = BuildingState::Unmeasured;
            continue;
        }
        building.n = n;
        building.strikeClass = classByStrikeCount(n, building.group);
    }
    return result;
}

} // namespace

LayoutStrikes layoutStrikes(const Layout &layout) { return strikes(layout, nullptr, nullptr); }

LayoutStrikes layoutStrikes(const Layout &layout, const Layout &earlier,
                            const LayoutStrikes &earlierStrikes)
{
    return strikes(layout, &earlier, &earlierStrikes);
}

bool sameStrikeInputs(const Layout &a, const Layout &b)
{
    return a.site == b.site && a.objects == b.objects;
}

} // namespace calc::layout
