#include "bench_site.h"

#include "designer/layout_results.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

// The layout program's work after an edit: every object's verdict, the marks on the parts a
// sphere reaches, and the protected area at one height, for the benchmark site of 10, 50 and
// 200 conductors with 20 buildings. Prints "conductors milliseconds runs" per line, the
// milliseconds the median of the runs, each on a layout prepared afresh as after an edit.
int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    for (const int count : {10, 50, 200}) {
        const calc::layout::Layout layout = bench::siteLayout(count);
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer timer;
            timer.start();
            const designer::LayoutResults results = designer::computeResults(layout, 0);
            times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            if (results.verdicts.size() != layout.objects.size()) return 1;
        }
        std::sort(times.begin(), times.end());
        std::printf("%d %.1f %d\n", count, times[times.size() / 2], runs);
    }
    return 0;
}
