#include "roof/detail/arrangement.h"
#include "roof/detail/cell_fit.h"
#include "roof/detail/site_plan.h"

#include <boost/geometry/algorithms/area.hpp>
#include <boost/geometry/algorithms/perimeter.hpp>
#include <boost/geometry/strategies/strategies.hpp>

namespace calc::roof::detail {

namespace {

// A piece of roof left uncovered counts when it is at least a millimetre wide (twice its area
// over its perimeter, the width of a long strip): anything thinner is a conductor laid on the
// strip's inner edge to within the millimetre the lengths are judged to, or rounding.
constexpr double kLeastWidth = 0.001;

Cell cellOf(const Shape &pieces, const ClassRules &rules)
{
    Cell cell;
    cell.shape = areasOf(pieces);
    cell.area = areaOf(cell.shape);
    std::vector<Corner> corners;
    for (const Area &a : cell.shape) corners.insert(corners.end(), a.outer.begin(), a.outer.end());
    const std::vector<Corner> hull = convexHull(std::move(corners));
    const Rectangle box = smallestRectangle(hull);
    cell.longSide = box.longSide;
    cell.shortSide = box.shortSide;
    cell.rectangle = box.corners;
    cell.fits = fitsIn(hull, rules.mesh[0]) || fitsIn(hull, rules.mesh[1]);
    return cell;
}

} // namespace

void checkMesh(Roof &roof, const Shape &shape, std::span<const Segment> conductors,
               const ClassRules &rules)
{
    const Faces faces = boundedFaces(conductors);
    // Each closed face, clipped to the roof.
    for (const Area &face : faces.faces) {
        const Shape pieces = withoutSlivers(intersect({polygonOf(face)}, shape));
        if (!pieces.empty()) roof.cells.push_back(cellOf(pieces, rules));
    }
    // The roof less the strip along its edge, less what the faces cover.
    Shape covered;
    for (const Ring &r : faces.covered) covered = unite(covered, {polygonOf(r)});
    const Shape inner = grownSquare(shape, -kEdgeStrip);
    for (const Polygon &piece : subtract(inner, covered)) {
        const double a = std::abs(bg::area(piece));
        if (2 * a < kLeastWidth * bg::perimeter(piece)) continue;
        Shape one{piece};
        roof.uncovered.push_back({areasOf(one).front(), a, pointInside(piece)});
        roof.uncoveredArea += a;
    }
    // The failing cell of largest area when any fails, else the largest.
    bool anyFails = false;
    for (const Cell &c : roof.cells) anyFails = anyFails || !c.fits;
    for (std::size_t i = 0; i < roof.cells.size(); ++i) {
        const Cell &c = roof.cells[i];
        if (anyFails && c.fits) continue;
        if (!roof.largestCell || c.area > roof.cells[*roof.largestCell].area) roof.largestCell = i;
    }
    roof.meshPasses = !roof.cells.empty() && !anyFails && roof.uncovered.empty();
}

} // namespace calc::roof::detail
