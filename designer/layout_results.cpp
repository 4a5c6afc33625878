#include "designer/layout_results.h"

#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <exception>

namespace designer {

LayoutResults computeResults(const calc::layout::Layout &layout, double height, quint64 generation)
{
    LayoutResults results;
    results.generation = generation;
    results.height = height;
    try {
        const auto conductors = calc::layout::engineConductors(layout.conductors);
        const calc::rolling_sphere::Layout engine(conductors, layout.hr);
        for (const auto &object : layout.objects)
            results.verdicts.push_back(calc::layout::checkObject(engine, object));
        if (!layout.conductors.empty()) {
            const calc::layout::PlanBox box = calc::layout::planBox(layout);
            const double size = std::max(box.maxX - box.minX, box.maxY - box.minY);
            // About 60 cells across; the outline is refined to 2 cm between the crossings.
            results.zone = calc::layout::planZone(engine, box, height, size / 60, 0.02);
        }
    } catch (const std::exception &) {
        results.verdicts.clear();
        results.zone = {};
        results.error = QStringLiteral("布置数据不能计算");
    }
    return results;
}

Recomputer::Recomputer(QObject *parent) : QObject(parent)
{
    connect(&watcher_, &QFutureWatcher<LayoutResults>::finished, this, &Recomputer::finished);
}

Recomputer::~Recomputer() { watcher_.waitForFinished(); }

void Recomputer::request(const calc::layout::Layout &layout, double height)
{
    layout_ = layout;
    height_ = height;
    ++generation_;
    if (running_)
        pending_ = true; // started when the running one is done; its result is then stale
    else
        start();
}

void Recomputer::start()
{
    running_ = true;
    pending_ = false;
    watcher_.setFuture(QtConcurrent::run(computeResults, layout_, height_, generation_));
}

void Recomputer::finished()
{
    running_ = false;
    const LayoutResults results = watcher_.result();
    if (pending_) {
        start();
        return;
    }
    if (results.generation == generation_) emit ready(results);
}

} // namespace designer
