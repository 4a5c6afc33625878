// What the calculation sheet costs, through the real windows: its window's
// first opening against a calculation window's first opening, Enter to result
// in the single-rod window with its sheet hidden and shown (the difference is
// the sheet's refresh), and a PDF export. Prints one line per measurement:
// name, median in microseconds, runs. First openings happen once per process:
// bench/run.sh starts the probe several times.
//
// The openings are measured as a user meets them: the inputs typed, then the
// program left idle past the sheet window's readying (at least its delay
// after start-up, and half a second more). Its cost is printed too: CPU time
// and resident memory over that idle stretch, and (with `steps`, which runs
// the readying's steps one after the other before the idle stretch) its
// number of steps, the longest and their sum. `cold` throws the readying away
// at start, for the openings without it, after the same idle stretch; `late`
// types the inputs after the idle stretch instead of before, so the readying
// saw the empty fields of a program just started, and calculates them (Enter)
// and pauses, as a user reading the result would.
//
// `sheet_probe openings` stops after the two first openings. Run so under
// callgrind (--instr-atstart=no), it counts the instructions of each opening
// alone, in a dump of its own ("first_open_calculation_window", then
// "first_open_sheet_window"), and those of the idle stretch with the readying
// ("sheet_readying"), and in `late` runs the calculation with the readying
// that follows it ("calculation_and_readying_again"): figures that do not
// depend on what else the machine is doing.
#include "shown_program.h"
#include "rendering/sheet_rendering.h"
#include "windows/sheet_readying.h"
#include "windows/sheet_window.h"
#include "windows/window_set.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QFile>
#include <QTest>
#include <QWindow>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define LPCALC_HAS_CALLGRIND 1
#endif

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 500;
constexpr int kPdfRuns = 20;

double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

double cpuMillis()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

long residentKb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Handles events until `widget`'s window is exposed, without the pauses of
// QTest's waits (up to 10 ms each), which would hide the opening's own time.
bool spinUntilExposed(QWidget *widget)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 5000) {
        if (widget && widget->windowHandle() && widget->windowHandle()->isExposed()) return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return false;
}

// Prints the microseconds from `step` until `window` is exposed, and the page
// faults meanwhile (memory the system provides as it is first written), as
// `name` and `name`_page_faults. Under callgrind, the instructions of the same
// stretch go to a dump named `name`; elsewhere the requests cost a few
// instructions.
void untilExposed(const char *name, const std::function<void()> &step,
                  const std::function<QWidget *()> &window)
{
#ifdef LPCALC_HAS_CALLGRIND
    CALLGRIND_ZERO_STATS;
    CALLGRIND_START_INSTRUMENTATION;
#endif
    const long faultsBefore = minorFaults();
    QElapsedTimer timer;
    timer.start();
    step();
    const bool exposed = spinUntilExposed(window());
    const double micros = timer.nsecsElapsed() / 1000.0;
    const long faults = minorFaults() - faultsBefore;
#ifdef LPCALC_HAS_CALLGRIND
    CALLGRIND_STOP_INSTRUMENTATION;
    CALLGRIND_DUMP_STATS_AT(name);
#else
    (void)name;
#endif
    if (!exposed) std::fprintf(stderr, "never shown\n");
    std::printf("%s %.2f 1\n", name, micros);
    std::printf("%s_page_faults %ld 1\n", name, faults);
}

bool hasArgument(int argc, char *argv[], const char *word)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], word) == 0) return true;
    return false;
}

// Runs the readying's steps at once, timing each.
void timeSteps(windows::SheetReadying &readying)
{
    std::vector<double> micros;
    QElapsedTimer timer;
    for (bool more = true; more;) {
        timer.start();
        more = readying.step();
        micros.push_back(timer.nsecsElapsed() / 1000.0);
    }
    double sum = 0;
    for (double m : micros) sum += m;
    std::printf("readying_steps %zu 1\n", micros.size());
    std::printf("readying_longest_step %.2f 1\n", *std::max_element(micros.begin(), micros.end()));
    std::printf("readying_steps_sum %.2f 1\n", sum);
}

// Leaves the program idle until the readying has run, at least its delay
// after `started`, and half a second longer.
void idlePastReadying(windows::SheetReadying *readying, const QElapsedTimer &started)
{
    const double cpuBefore = cpuMillis();
    const long rssBefore = residentKb();
#ifdef LPCALC_HAS_CALLGRIND
    CALLGRIND_ZERO_STATS;
    CALLGRIND_START_INSTRUMENTATION;
#endif
    QElapsedTimer waited;
    waited.start();
    const auto delay = windows::SheetReadying::kDefaultDelay.count();
    while ((started.elapsed() < delay || (readying && !readying->isFinished())) &&
           waited.elapsed() < 60000)
        QTest::qWait(50);
    QTest::qWait(500);
#ifdef LPCALC_HAS_CALLGRIND
    CALLGRIND_STOP_INSTRUMENTATION;
    CALLGRIND_DUMP_STATS_AT("sheet_readying");
#endif
    if (readying && !readying->isFinished()) std::fprintf(stderr, "the readying never finished\n");
    std::printf("idle_cpu_ms %.2f 1\n", cpuMillis() - cpuBefore);
    std::printf("idle_rss_growth_kb %ld 1\n", residentKb() - rssBefore);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QElapsedTimer started;
    started.start();
    const auto set = startShownProgram();
    if (!set) return 1;
    using windows::WindowId;
    QWidget *form1 = set->window(WindowId::SingleRod);
    auto *hx = form1->findChild<QLineEdit *>(QStringLiteral("Text1"));
    auto *h = form1->findChild<QLineEdit *>(QStringLiteral("Text2"));
    auto *rx = form1->findChild<QLabel *>(QStringLiteral("Label8"));
    const auto typeInputs = [&] {
        hx->setText(QStringLiteral("10"));
        h->setText(QStringLiteral("30"));
    };
    const bool late = hasArgument(argc, argv, "late");
    if (!late) typeInputs();

    auto *readying = set->findChild<windows::SheetReadying *>();
    if (hasArgument(argc, argv, "cold")) {
        delete readying;
        readying = nullptr;
    } else if (readying && hasArgument(argc, argv, "steps")) {
        timeSteps(*readying);
    }
    idlePastReadying(readying, started);
    if (late) {
        // Typed and calculated (Enter), then a pause to read the result, in
        // which the readying follows the calculation.
        typeInputs();
        h->setFocus();
        const double cpuBefore = cpuMillis();
#ifdef LPCALC_HAS_CALLGRIND
        CALLGRIND_ZERO_STATS;
        CALLGRIND_START_INSTRUMENTATION;
#endif
        QTest::keyClick(h, Qt::Key_Return);
        QTest::qWait(windows::SheetReadying::kAfterPause.count() + 100);
        QElapsedTimer waited;
        waited.start();
        while (readying && !readying->isFinished() && waited.elapsed() < 10000) QTest::qWait(20);
        QTest::qWait(200);
#ifdef LPCALC_HAS_CALLGRIND
        CALLGRIND_STOP_INSTRUMENTATION;
        CALLGRIND_DUMP_STATS_AT("calculation_and_readying_again");
#endif
        std::printf("calculation_and_readying_again_cpu_ms %.2f 1\n", cpuMillis() - cpuBefore);
    }

    // A calculation window shown beside the start window for the first time,
    // then the sheet window.
    untilExposed(
        "first_open_calculation_window", [&] { set->showBeside(WindowId::RodHeight); },
        [&] { return set->existing(WindowId::RodHeight); });
    form1->activateWindow();
    untilExposed(
        "first_open_sheet_window",
        [&] { form1->findChild<QAction *>(QStringLiteral("sheetAction"))->trigger(); },
        [&] { return set->existing(WindowId::Sheet); });
    if (hasArgument(argc, argv, "openings")) {
        set->endProgram();
        return 0;
    }

    QWidget *sheetWindow = set->existing(WindowId::Sheet);
    const auto enterToResult = [&] {
        std::vector<double> micros;
        QElapsedTimer timer;
        for (int i = 0; i < kRuns; ++i) {
            hx->setText(i % 2 ? QStringLiteral("10") : QStringLiteral("12"));
            h->setFocus();
            const QString before = rx->text();
            timer.start();
            QTest::keyClick(h, Qt::Key_Return);
            micros.push_back(timer.nsecsElapsed() / 1000.0);
            if (rx->text() == before) std::fprintf(stderr, "the result did not change\n");
        }
        return median(micros);
    };
    const double withSheet = enterToResult();
    sheetWindow->hide();
    const double withoutSheet = enterToResult();
    std::printf("enter_to_result_sheet_hidden %.2f %d\n", withoutSheet, kRuns);
    std::printf("enter_to_result_sheet_shown %.2f %d\n", withSheet, kRuns);

    QTemporaryDir folder;
    const auto &sheet = static_cast<windows::SheetWindow *>(sheetWindow)->sheet();
    std::vector<double> micros;
    QElapsedTimer timer;
    for (int i = 0; i < kPdfRuns; ++i) {
        timer.start();
        const QString reason = rendering::writeSheetPdf(sheet, folder.filePath("sheet.pdf"));
        micros.push_back(timer.nsecsElapsed() / 1000.0);
        if (!reason.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(reason));
    }
    std::printf("pdf_export %.2f %d\n", median(micros), kPdfRuns);
    set->endProgram();
    return 0;
}
