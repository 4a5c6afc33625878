#include "bench_site.h"

#include "designer/layout_results.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

// The layout program's work after an edit, for the benchmark site of 10, 50 and 200 conductors
// with 20 buildings: first every object's verdict and the protected area at one height (the
// ground, the default, and 12 m, a roof's height on the site), then every least clearance with
// its point and the marks on the parts a sphere reaches. Prints "conductors verdicts-ms
// exact-ms runs roof-verdicts-ms" per line, each the median of the runs, each on a layout
// prepared afresh as after an edit.
int main(int argc, char **argv)
{
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
