#include "designer/layout_results.h"

#include "layouts/drawn_zone.h"
#include "layouts/edit_reach.h"
#include "layouts/layout_sheet.h"
#include "sheets/sheet_format.h"

#include <QtConcurrent/QtConcurrentMap>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>
#include <optional>
#include <stdexcept>

namespace designer {

namespace {

bool insideFootprint(const std::vector<calc::layout::Corner> &polygon, double x, double y)
{
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const auto a = polygon[i], b = polygon[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

// Whether spheres reach points of an object's surface, each query settling every point nearer
// than its margin (clearance changes no faster than the point moves).
class Reach {
public:
    explicit Reach(const calc::rolling_sphere::Layout &engine) : engine_(engine) {}

    bool at(double x, double y, double z)
    {
        for (const Known &k : known_)
            if (std::hypot(x - k.x, y - k.y, z - k.z) < k.radius) return k.reached;
        // A margin beyond a few metres settles nothing more on one object.
        const double c = engine_.clearance({x, y, z}, kCap);
        const bool reached = c < calc::layout::kProtectedFrom;
        known_.push_back({x, y, z, std::abs(c - calc::layout::kProtectedFrom), reached});
        return reached;
    }

private:
    static constexpr double kCap = 4;
    struct Known {
        double x, y, z, radius;
        bool reached;
    };
    const calc::rolling_sphere::Layout &engine_;
    std::vector<Known> known_;
};

// The roof in 16 x 16 cells over the footprint's box, each tested at its middle; each wall in
// pieces of 1/64 of the perimeter, tested at the top, the middle and the foot. Only for the
// picture; the verdict is checkObject's.
Exposure exposure(const calc::rolling_sphere::Layout &engine, const calc::layout::Object &object)
{
    Exposure out;
    Reach reach(engine);
    const auto reached = [&](double x, double y, double z) { return reach.at(x, y, z); };
    double x0 = object.footprint[0].x, x1 = x0, y0 = object.footprint[0].y, y1 = y0;
    double perimeter = 0;
    for (std::size_t i = 0; i < object.footprint.size(); ++i) {
        const auto a = object.footprint[i], b = object.footprint[(i + 1) % object.footprint.size()];
        x0 = std::min(x0, a.x);
        x1 = std::max(x1, a.x);
        y0 = std::min(y0, a.y);
        y1 = std::max(y1, a.y);
        perimeter += std::hypot(b.x - a.x, b.y - a.y);
    }
    constexpr int kGrid = 16;
    const double dx = (x1 - x0) / kGrid, dy = (y1 - y0) / kGrid;
    for (int i = 0; i < kGrid; ++i)
        for (int j = 0; j < kGrid; ++j) {
            const double x = x0 + dx * (i + 0.5), y = y0 + dy * (j + 0.5);
            if (insideFootprint(object.footprint, x, y) && reached(x, y, object.height))
                out.roofCells.emplace_back(x0 + dx * i, y0 + dy * j, dx, dy);
        }
    const double step = perimeter / 64;
    for (std::size_t i = 0; i < object.footprint.size() && step > 0; ++i) {
        const auto a = object.footprint[i], b = object.footprint[(i + 1) % object.footprint.size()];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        const int pieces = std::max(1, static_cast<int>(std::ceil(length / step)));
        for (int k = 0; k < pieces; ++k) {
            const double s0 = static_cast<double>(k) / pieces,
                         s1 = static_cast<double>(k + 1) / pieces;
            const double xm = a.x + (b.x - a.x) * (s0 + s1) / 2,
                         ym = a.y + (b.y - a.y) * (s0 + s1) / 2;
            if (reached(xm, ym, object.height) || reached(xm, ym, object.height / 2) ||
                reached(xm, ym, 0))
                out.wallPieces.emplace_back(a.x + (b.x - a.x) * s0, a.y + (b.y - a.y) * s0,
                                            a.x + (b.x - a.x) * s1, a.y + (b.y - a.y) * s1);
        }
    }
    return out;
}

std::string sectionTitle(const std::pair<calc::drawing::Vec2, calc::drawing::Vec2> &line)
{
    const auto point = [](calc::drawing::Vec2 p) {
        return "(" + calc::sheet::inputText(p.x) + ", " + calc::sheet::inputText(p.y) + ")";
    };
    return "剖面：自 " + point(line.first) + " 至 " + point(line.second) + "，横向为沿剖面线的距离";
}

} // namespace

LayoutResults computeResults(const calc::layout::Layout &layout, double height,
                             const SectionLine &section, quint64 generation, Stage stage,
                             bool withStrikes, const std::optional<Earlier> &earlier)
{
    LayoutResults results;
    // Apart from the verdicts: a layout the engine cannot take may still have buildings to
    // measure, and the other way round. Measured on this thread while the pool checks the
    // objects, or alone when the engine cannot take the layout.
    // A failure to measure leaves the verdicts standing, and says so where the counts go.
    bool measured = !withStrikes;
    const auto measure = [&] {
        measured = true;
        try {
            // Kept whole while the site and objects stay the same; otherwise only the
            // buildings an edit changed are measured again.
            if (earlier && earlier->strikes &&
                calc::layout::sameStrikeInputs(earlier->layout, layout))
                results.strikes = earlier->strikes;
            else if (earlier && earlier->strikes)
                results.strikes =
                    calc::layout::layoutStrikes(layout, earlier->layout, *earlier->strikes);
            else
                results.strikes = calc::layout::layoutStrikes(layout);
        } catch (const std::exception &) {
            results.strikes.reset();
        }
        try {
            results.roofs = calc::roof::checkRoofs(layout);
        } catch (const std::exception &) {
            results.roofs.reset();
        }
    };
    results.generation = generation;
    results.stage = stage;
    results.height = height;
    QString limitReached;
    try {
        const calc::rolling_sphere::Layout engine = calc::layout::prepareEngine(layout);
        // The objects are checked on the pool's threads, sharing the prepared engine, while
        // this thread draws the zone and measures the closed-form check; nothing leaves this
        // scope before they are done.
        // A check that fails says so in its result: an exception thrown through the pool
        // would leave the other objects' results behind (Qt keeps them with the exception).
        struct Checked {
            calc::layout::ObjectVerdict verdict;
            Exposure exposed;
            bool failed = false;
            std::optional<QString> beyond; // why the check gave up, when it reached its limits
        };
        const bool exact = stage == Stage::Exact;
        // Only the objects the edit since the earlier run can reach are checked again.
        std::vector<std::optional<std::size_t>> carried(layout.objects.size());
        if (earlier && earlier->verdicts.size() == earlier->layout.objects.size() &&
            earlier->exposed.size() == earlier->verdicts.size())
            carried = calc::layout::carriedOver(earlier->layout, layout);
        std::vector<const calc::layout::Object *> todo;
        for (std::size_t i = 0; i < layout.objects.size(); ++i)
            if (!carried[i]) todo.push_back(&layout.objects[i]);
        QFuture<Checked> checks =
            QtConcurrent::mapped(todo, [&engine, exact](const calc::layout::Object *each) {
                const calc::layout::Object &object = *each;
                Checked checked;
                try {
                    if (!exact) {
                        checked.verdict = calc::layout::quickVerdict(engine, object);
                        return checked;
                    }
                    checked.verdict = calc::layout::checkObject(engine, object);
                    if (!checked.verdict.isProtected) checked.exposed = exposure(engine, object);
                } catch (const calc::rolling_sphere::LimitExceeded &e) {
                    checked.failed = true;
                    checked.beyond = QString::fromUtf8(e.what());
                } catch (const std::bad_alloc &) {
                    checked.failed = true;
                    checked.beyond = QStringLiteral("内存不足，无法完成校核");
                } catch (const std::exception &) {
                    checked.failed = true;
                }
                return checked;
            });
        std::exception_ptr zoneFailed;
        try {
            results.zone = calc::layout::drawnZone(layout, engine, height);
            if (exact) results.closedForms = calc::layoutCrossCheck(layout, engine);
        } catch (...) {
            zoneFailed = std::current_exception();
        }
        if (!measured) measure();
        checks.waitForFinished();
        if (zoneFailed) std::rethrow_exception(zoneFailed);
        const QList<Checked> checked = checks.results();
        auto next = checked.begin();
        for (std::size_t i = 0; i < layout.objects.size(); ++i) {
            if (carried[i]) {
                results.verdicts.push_back(earlier->verdicts[*carried[i]]);
                results.exposed.push_back(earlier->exposed[*carried[i]]);
                continue;
            }
            const Checked &one = *next++;
            if (one.beyond) {
                limitReached = *one.beyond;
                throw calc::rolling_sphere::LimitExceeded("beyond the check's limits");
            }
            if (one.failed) throw std::invalid_argument("an object cannot be checked");
            results.verdicts.push_back(one.verdict);
            results.exposed.push_back(one.exposed);
        }
        if (results.roofs)
            results.protections =
                calc::roof::objectProtections(layout, *results.roofs, results.verdicts);
        if (section && stage == Stage::Exact)
            results.section = calc::layoutSection(layout, results.verdicts, engine, section->first,
                                                  section->second, sectionTitle(*section));
    } catch (const std::exception &e) {
        results.verdicts.clear();
        results.exposed.clear();
        results.zone = {};
        results.section.reset();
        results.closedForms.clear();
        results.protections.clear();
        // A layout too large for the check's limits, or for the machine's memory, says so.
        if (!limitReached.isEmpty())
            results.error = QStringLiteral("布置过大，不能校核：") + limitReached;
        else if (dynamic_cast<const std::bad_alloc *>(&e))
            results.error = QStringLiteral("布置过大，不能校核：内存不足");
        else if (dynamic_cast<const calc::rolling_sphere::LimitExceeded *>(&e))
            results.error = QStringLiteral("布置过大，不能校核：") + QString::fromUtf8(e.what());
        else
            results.error = QStringLiteral("布置数据不能计算");
    }
    if (!measured) measure();
    return results;
}

Recomputer::Recomputer(QObject *parent) : QObject(parent)
{
    thread_.setMaxThreadCount(1);
    connect(&watcher_, &QFutureWatcher<LayoutResults>::finished, this, &Recomputer::finished);
}

Recomputer::~Recomputer() { watcher_.waitForFinished(); }

void Recomputer::request(const calc::layout::Layout &layout, double height,
                         const SectionLine &section)
{
    section_ = section;
    layout_ = layout;
    height_ = height;
    ++generation_;
    if (running_)
        pending_ = true; // started when the running one is done; its result is then stale
    else
        start(Stage::Verdicts);
}

void Recomputer::start(Stage stage)
{
    running_ = true;
    pending_ = false;
    runningLayout_ = layout_;
    watcher_.setFuture(QtConcurrent::run(&thread_, computeResults, layout_, height_, section_,
                                         generation_, stage, stage == Stage::Verdicts,
                                         earlier_[stage == Stage::Exact ? 1 : 0]));
}

void Recomputer::finished()
{
    running_ = false;
    LayoutResults results = watcher_.result();
    // Kept for the next edit, whatever it is: the objects it cannot reach keep these.
    if (results.error.isEmpty())
        earlier_[results.stage == Stage::Exact ? 1 : 0] =
            Earlier{runningLayout_, results.verdicts, results.exposed, results.strikes};
    if (pending_) {
        start(Stage::Verdicts);
        return;
    }
    if (results.generation != generation_) return;
    // Busy with the exact stage before the verdicts are shown, so that no one takes them for
    // the whole results.
    const bool more = results.stage == Stage::Verdicts && results.error.isEmpty();
    if (results.stage == Stage::Verdicts) {
        strikes_ = results.strikes;
        roofs_ = results.roofs;
    } else {
        results.strikes = strikes_;
        results.roofs = roofs_;
        if (roofs_ && !results.verdicts.empty())
            results.protections = calc::roof::objectProtections(layout_, *roofs_, results.verdicts);
    }
    if (more) start(Stage::Exact);
    emit ready(results);
}

} // namespace designer
