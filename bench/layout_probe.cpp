#include "bench_site.h"
#include "meshed_site.h"

#include "designer/layout_results.h"
#include "layouts/edit_reach.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <variant>
#include <vector>

// The layout program's work after an edit, for the benchmark site of 10, 50 and 200 conductors
// with 20 buildings: first every object's verdict and the protected area at one height (the
// ground, the default, and 12 m, a roof's height on the site), then every least clearance with
// its point and the marks on the parts a sphere reaches. Prints "conductors verdicts-ms
// exact-ms runs roof-verdicts-ms" per line, each the median of the runs, each on a layout
// prepared afresh as after an edit. With "meshed RUNS", an edit on the site of 30 meshed
// buildings instead (meshedEdit).
namespace {

// An edit on the site of 30 meshed buildings: a down conductor of the middle building moved a
// metre along its wall, then the verdicts, the area at the ground, the roof networks and the
// strike counts worked out again as the window does, the objects the edit cannot reach keeping
// the run before's verdicts, and the strike counts kept since no object changed. Prints
// "edit-ms runs rechecked-objects", the median of the runs.
int meshedEdit(int runs)
{
    const calc::layout::Layout site = bench::meshedSite(30);
    const auto before = designer::computeResults(site, 0, {}, 0, designer::Stage::Verdicts, true);
    const designer::Earlier earlier{site, before.verdicts, before.exposed, before.strikes};
    calc::layout::Layout edited = site;
    auto &wire = std::get<calc::layout::Wire>(edited.conductors[15 * 24 + 13]);
    wire.a.x += 1;
    wire.b.x += 1;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const auto results =
            designer::computeResults(edited, 0, {}, 1, designer::Stage::Verdicts, true, earlier);
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        if (results.verdicts.size() != edited.objects.size()) return 1;
    }
    std::size_t rechecked = 0;
    for (const auto &c : calc::layout::carriedOver(site, edited)) rechecked += c ? 0 : 1;
    std::sort(times.begin(), times.end());
    std::printf("%.1f %d %zu\n", times[times.size() / 2], runs, rechecked);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 2 && std::string_view(argv[1]) == "meshed") return meshedEdit(std::atoi(argv[2]));
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    for (const int count : {10, 50, 200}) {
        const calc::layout::Layout layout = bench::siteLayout(count);
        const auto median = [&](designer::Stage stage, double height) {
            std::vector<double> times;
            for (int i = 0; i < runs; ++i) {
                QElapsedTimer timer;
                timer.start();
                const auto results = designer::computeResults(layout, height, {}, 0, stage);
                times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
                if (results.verdicts.size() != layout.objects.size()) std::exit(1);
            }
            std::sort(times.begin(), times.end());
            return times[times.size() / 2];
        };
        const double verdicts = median(designer::Stage::Verdicts, 0);
        const double exact = median(designer::Stage::Exact, 0);
        const double roof = median(designer::Stage::Verdicts, 12);
        std::printf("%d %.1f %.1f %d %.1f\n", count, verdicts, exact, runs, roof);
    }
    return 0;
}
