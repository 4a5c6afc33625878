// What the calculation sheet costs, through the real windows: its window's
// first opening against a calculation window's first opening, Enter to result
// in the single-rod window with its sheet hidden and shown (the difference is
// the sheet's refresh), and a PDF export. Prints one line per measurement:
// name, median in microseconds, runs. First openings happen once per process:
// bench/run.sh starts the probe several times.
//
// `sheet_probe openings` stops after the two first openings. Run so under
// callgrind (--instr-atstart=no), it counts the instructions of each opening
// alone, in a dump of its own ("first_open_calculation_window", then
// "first_open_sheet_window"): figures that do not depend on what else the
// machine is doing.
#include "windows/program.h"
#include "windows/sheet_rendering.h"
#include "windows/sheet_window.h"
#include "windows/window_set.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define LPCALC_HAS_CALLGRIND 1
#endif

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

// Microseconds from `step` until `window` is exposed. Under callgrind, the
// instructions of the same stretch go to a dump named `name`; elsewhere the
// requests cost a few instructions.
double untilExposed(const char *name, const std::function<void()> &step,
                    const std::function<QWidget *()> &window)
{
#ifdef LPCALC_HAS_CALLGRIND
    CALLGRIND_ZERO_STATS;
    CALLGRIND_START_INSTRUMENTATION;
#endif
    QElapsedTimer timer;
    timer.start();
    step();
    const bool exposed = QTest::qWaitForWindowExposed(window());
    const double micros = timer.nsecsElapsed() / 1000.0;
#ifdef LPCALC_HAS_CALLGRIND
    CALLGRIND_STOP_INSTRUMENTATION;
    CALLGRIND_DUMP_STATS_AT(name);
#else
    (void)name;
#endif
    if (!exposed) std::fprintf(stderr, "never shown\n");
    return micros;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const auto set = windows::startProgram();
    using windows::WindowId;
    QWidget *form1 = set->window(WindowId::SingleRod);
    if (!QTest::qWaitForWindowExposed(form1)) {
        std::fprintf(stderr, "the single-rod window was never shown\n");
        return 1;
    }
    auto *hx = form1->findChild<QLineEdit *>(QStringLiteral("Text1"));
    auto *h = form1->findChild<QLineEdit *>(QStringLiteral("Text2"));
    auto *rx = form1->findChild<QLabel *>(QStringLiteral("Label8"));
    hx->setText(QStringLiteral("10"));
    h->setText(QStringLiteral("30"));

    // A calculation window shown beside the start window for the first time,
    // then the sheet window.
    const double calcFirst = untilExposed(
        "first_open_calculation_window", [&] { set->showBeside(WindowId::RodHeight); },
        [&] { return set->existing(WindowId::RodHeight); });
    form1->activateWindow();
    const double sheetFirst = untilExposed(
        "first_open_sheet_window",
        [&] { form1->findChild<QAction *>(QStringLiteral("sheetAction"))->trigger(); },
        [&] { return set->existing(WindowId::Sheet); });
    std::printf("first_open_calculation_window %.2f 1\n", calcFirst);
    std::printf("first_open_sheet_window %.2f 1\n", sheetFirst);
    if (argc > 1 && std::strcmp(argv[1], "openings") == 0) {
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
        const QString reason = windows::writeSheetPdf(sheet, folder.filePath("sheet.pdf"));
        micros.push_back(timer.nsecsElapsed() / 1000.0);
        if (!reason.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(reason));
    }
    std::printf("pdf_export %.2f %d\n", median(micros), kPdfRuns);
    set->endProgram();
    return 0;
}
