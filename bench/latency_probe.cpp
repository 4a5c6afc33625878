// In-process latencies of the real windows: from a key or click to the result
// label's new text, and a switch between two windows. Prints one line per
// measurement: name, median in microseconds, runs.
#include "shown_program.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 2000;

template <typename T>
T *control(windows::WindowSet &set, windows::WindowId id, const char *name)
{
    return set.window(id)->findChild<T *>(QString::fromUtf8(name));
}

// Times `step` kRuns times; `prepare` runs untimed before each step.
void report(const char *name, const std::function<void(int)> &prepare,
            const std::function<void(int)> &step)
{
    std::vector<double> micros;
    micros.reserve(kRuns);
    QElapsedTimer timer;
    for (int i = 0; i < kRuns; ++i) {
        prepare(i);
        timer.start();
        step(i);
        micros.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::nth_element(micros.begin(), micros.begin() + kRuns / 2, micros.end());
    std::printf("%s %.2f %d\n", name, micros[kRuns / 2], kRuns);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const auto set = startShownProgram();
    if (!set) return 1;
    using windows::WindowId;
    QWidget *form1 = set->window(WindowId::SingleRod);

    auto *hx = control<QLineEdit>(*set, WindowId::SingleRod, "Text1");
    auto *h = control<QLineEdit>(*set, WindowId::SingleRod, "Text2");
    auto *rx = control<QLabel>(*set, WindowId::SingleRod, "Label8");
    report(
        "enter_to_result_single_rod",
        [&](int i) {
            hx->setText(i % 2 ? QStringLiteral("10") : QStringLiteral("12"));
            h->setText(QStringLiteral("30"));
            h->setFocus();
        },
        [&](int) {
            const QString before = rx->text();
            QTest::keyClick(h, Qt::Key_Return);
            if (rx->text() == before) std::fprintf(stderr, "the result did not change\n");
        });

    auto *switchTo2 = form1->findChild<QAction *>(QStringLiteral("shuanggen"));
    QWidget *form2 = set->window(WindowId::TwoRods);
    auto *back = form2 ? form2->findChild<QAction *>(QStringLiteral("dangen")) : nullptr;
    if (switchTo2 && back) {
        report(
            "window_switch", [](int) {},
            [&](int i) {
                (i % 2 ? back : switchTo2)->trigger();
                QCoreApplication::processEvents();
            });
    }

    if (QWidget *form4 = set->window(WindowId::StrikeCount)) {
        form4->show();
        auto *length = control<QLineEdit>(*set, WindowId::StrikeCount, "Text1_0");
        auto *width = control<QLineEdit>(*set, WindowId::StrikeCount, "Text1_1");
        auto *height = control<QLineEdit>(*set, WindowId::StrikeCount, "Text1_2");
        auto *compute = control<QPushButton>(*set, WindowId::StrikeCount, "Command1");
        auto *count = control<QLabel>(*set, WindowId::StrikeCount, "Label2_1");
        report(
            "click_to_result_strike_count",
            [&](int i) {
                length->setText(i % 2 ? QStringLiteral("50") : QStringLiteral("60"));
                width->setText(QStringLiteral("20"));
                height->setText(QStringLiteral("30"));
            },
            [&](int) {
                compute->click();
                if (count->text().trimmed().isEmpty()) std::fprintf(stderr, "no result shown\n");
            });
    }
    set->endProgram();
    return 0;
}
