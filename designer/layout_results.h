#pragma once

#include "layouts/building_strikes.h"
#include "layouts/layout.h"
#include "layouts/layout_zone.h"
#include "roof/protection.h"
#include "roof/roof_check.h"
#include "sheets/sheet.h"

#include <QFutureWatcher>
#include <QThreadPool>
#include <QObject>
#include <QLineF>
#include <QRectF>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

// What the window shows of a layout that takes time to work out: every object's verdict and
// the protected area at one height. Worked out off the interface thread; a result for a layout
// that has changed since is dropped.
namespace designer {

// Roof cells (plan rectangles, to be clipped to the footprint) and wall pieces (plan segments)
// whose middle the sphere reaches.
struct Exposure {
    std::vector<QRectF> roofCells;
    std::vector<QLineF> wallPieces;
};

// The results come in two stages: first each object's verdict and the protected area, soon
// after an edit; then each object's least clearance to the millimetre with its point, the marks
// on the parts a sphere reaches, the section and the closed-form check.
enum class Stage { Verdicts, Exact };

struct LayoutResults {
    quint64 generation = 0;
    Stage stage = Stage::Exact;
    double height = 0;
    // One per object, in order. At the Verdicts stage only isProtected is final: the least
    // clearance and its point are the search's witness, not yet the least.
    std::vector<calc::layout::ObjectVerdict> verdicts;
    calc::layout::PlanZone zone;
    // Per object, the parts of its surface that the sphere reaches, for the plan to mark; empty
    // for a protected object, and at the Verdicts stage.
    std::vector<Exposure> exposed;
    // The vertical section along the plan line, when one is drawn (at the Exact stage).
    std::optional<calc::drawing::View> section;
    // The closed form of two rods or of a rectangle of four beside the engine's values, as the
    // sheet words it, or why none applies (at the Exact stage; empty before).
    std::vector<calc::sheet::Block> closedForms;
    QString error; // why there are no results, when there are none
    // Each building's equivalent area and yearly strikes, from the first stage on; none when
    // they could not be worked out.
    std::optional<calc::layout::LayoutStrikes> strikes;
    // Each building's roof network checked, worked out with the strike counts; none when it
    // could not be. How each object is protected follows its verdict (empty with no verdicts).
    std::optional<calc::roof::SiteRoofs> roofs;
    std::vector<calc::roof::ObjectProtection> protections;
};

// A line drawn on the plan, in plan metres.
using SectionLine = std::optional<std::pair<calc::drawing::Vec2, calc::drawing::Vec2>>;

// What a run of one stage found for a layout: after an edit, the objects the edit cannot reach
// keep their verdicts (calc::layout::carriedOver) and only the others are checked again.
struct Earlier {
    calc::layout::Layout layout;
    std::vector<calc::layout::ObjectVerdict> verdicts;
    std::vector<Exposure> exposed;
    // The strike counts worked out for that layout, when they were: kept while the site and
    // the objects stay the same (an edit of the conductors leaves them as they are).
    std::optional<calc::layout::LayoutStrikes> strikes = {};
};

// The results for one layout, on the calling thread; the strike counts only when asked for
// (they do not change from one stage to the next).
LayoutResults computeResults(const calc::layout::Layout &layout, double height,
                             const SectionLine &section = {}, quint64 generation = 0,
                             Stage stage = Stage::Exact, bool withStrikes = true,
                             const std::optional<Earlier> &earlier = {});

class Recomputer : public QObject {
    Q_OBJECT
public:
    explicit Recomputer(QObject *parent = nullptr);
    ~Recomputer() override;

    // Starts working out the results of this layout, both stages one after the other, each
    // reported when ready; supersedes every earlier request.
    void request(const calc::layout::Layout &layout, double height, const SectionLine &section);
    bool isBusy() const { return running_; }
    quint64 generation() const { return generation_; }

signals:
    void ready(const designer::LayoutResults &results);

private:
    void start(Stage stage);
    void finished();

    // The work's own thread, which mostly waits: the objects are checked on the global pool,
    // whose threads it would otherwise take one of.
    QThreadPool thread_;
    QFutureWatcher<LayoutResults> watcher_;
    calc::layout::Layout layout_;
    calc::layout::Layout runningLayout_; // the one being worked out
    // Each stage's last results, by stage.
    std::optional<Earlier> earlier_[2];
    double height_ = 0;
    SectionLine section_;
    std::optional<calc::layout::LayoutStrikes> strikes_; // the first stage's, for the second
    std::optional<calc::roof::SiteRoofs> roofs_;         // likewise
    quint64 generation_ = 0;
    bool running_ = false;
    bool pending_ = false;
};

} // namespace designer
