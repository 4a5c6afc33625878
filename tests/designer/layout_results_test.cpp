#include "designer/layout_results.h"

#include <QtTest/QtTest>

#include <cmath>

// The work behind the designer's picture and verdicts, as the window's worker runs it: objects
// checked on the pool's threads beside the protected area.
class LayoutResultsTest : public QObject {
    Q_OBJECT

private slots:
    // One rod of 20 m (hr 45) and three blocks. Inside its zone at 5 m from the rod, a 4 m block
    // is protected: the zone's radius at 4 m is sqrt(20 * 70) - sqrt(4 * 86) = 18.87 m, and the
    // block's farthest corner is sqrt(7^2 + 2^2) = 7.28 m out. Moved out to 30 m it is not, and
    // its reached parts are marked; a 30 m block beside the rod rises above its 20 m tip.
    void verdictsInFileOrderWithMarksForTheUnprotected()
    {
        calc::layout::Layout layout;
        layout.hr = 45;
        layout.conductors.push_back(calc::layout::Rod{0, 0, 20});
        layout.objects.push_back({"inside", {{5, -2}, {7, -2}, {7, 2}, {5, 2}}, 4});
        layout.objects.push_back({"outside", {{30, -2}, {32, -2}, {32, 2}, {30, 2}}, 4});
        layout.objects.push_back({"tall", {{3, -1}, {5, -1}, {5, 1}, {3, 1}}, 30});
        const designer::LayoutResults results = designer::computeResults(layout, 0);
        QVERIFY(results.error.isEmpty());
        QCOMPARE(results.verdicts.size(), std::size_t{3});
        QVERIFY(results.verdicts[0].isProtected);
        QVERIFY(!results.verdicts[1].isProtected);
        QVERIFY(!results.verdicts[2].isProtected);
        QVERIFY(results.exposed[0].roofCells.empty() && results.exposed[0].wallPieces.empty());
        QVERIFY(!results.exposed[1].roofCells.empty());
        QVERIFY(!results.exposed[2].wallPieces.empty());
        // The ground's zone is the rod's circle of sqrt(20 * 70) = 37.417 m.
        QCOMPARE(results.zone.outline.size(), std::size_t{1});
        for (const auto &p : results.zone.outline.front())
            QVERIFY(std::abs(std::hypot(p.x, p.y) - 37.417) < 0.05);
    }

    // The first stage gives the same verdicts and the same area, and nothing it has not yet
    // worked out: no marks and no section.
    void theVerdictsStageAgreesWithTheExactOne()
    {
        calc::layout::Layout layout;
        layout.hr = 45;
        layout.conductors.push_back(calc::layout::Rod{0, 0, 20});
        layout.objects.push_back({"inside", {{5, -2}, {7, -2}, {7, 2}, {5, 2}}, 4});
        layout.objects.push_back({"outside", {{30, -2}, {32, -2}, {32, 2}, {30, 2}}, 4});
        const designer::SectionLine line{{{-50, 0}, {50, 0}}};
        const auto first = designer::computeResults(layout, 0, line, 7, designer::Stage::Verdicts);
        const auto exact = designer::computeResults(layout, 0, line, 7, designer::Stage::Exact);
        QCOMPARE(first.stage, designer::Stage::Verdicts);
        QCOMPARE(first.generation, quint64{7});
        QCOMPARE(first.verdicts.size(), exact.verdicts.size());
        for (std::size_t i = 0; i < first.verdicts.size(); ++i)
            QCOMPARE(first.verdicts[i].isProtected, exact.verdicts[i].isProtected);
        QVERIFY(first.exposed[1].roofCells.empty() && first.exposed[1].wallPieces.empty());
        QVERIFY(!exact.exposed[1].roofCells.empty());
        QVERIFY(!first.section);
        QVERIFY(exact.section.has_value());
        QCOMPARE(first.zone.outline.size(), exact.zone.outline.size());
    }

    // A footprint that crosses itself cannot be checked: the work says so and gives nothing,
    // after every thread is done with it.
    void aLayoutThatCannotBeCheckedGivesAReasonAndNoResults()
    {
        calc::layout::Layout layout;
        layout.conductors.push_back(calc::layout::Rod{0, 0, 20});
        for (int i = 0; i < 6; ++i)
            layout.objects.push_back({"ok", {{5, 0}, {7, 0}, {7, 2}, {5, 2}}, 3});
        layout.objects.push_back({"bow", {{0, 0}, {4, 4}, {4, 0}, {0, 4}}, 3});
        const designer::LayoutResults results = designer::computeResults(layout, 0);
        QCOMPARE(results.error, QStringLiteral("布置数据不能计算"));
        QVERIFY(results.verdicts.empty());
        QVERIFY(results.exposed.empty());
        QVERIFY(results.zone.fill.empty());
        QVERIFY(results.closedForms.empty());
    }

    // Two 20 m rods 20 m apart (hr 45): the closed-form check comes with the exact stage, its
    // values from the formulas h0 = hr - sqrt((hr - h)^2 + (D/2)^2) = 18.074 m and
    // b0 = sqrt(h (2hr - h) - (D/2)^2) = 36.056 m, the engine's beside them; the fast stage
    // leaves it out.
    void theClosedFormCheckComesWithTheExactStage()
    {
        calc::layout::Layout layout;
        layout.hr = 45;
        layout.conductors.push_back(calc::layout::Rod{0, 0, 20});
        layout.conductors.push_back(calc::layout::Rod{20, 0, 20});
        layout.objects.push_back({"between", {{8, -1}, {12, -1}, {12, 1}, {8, 1}}, 10});
        const double h0 = 45 - std::sqrt(25.0 * 25 + 10 * 10), b0 = std::sqrt(20.0 * 70 - 10 * 10);
        const auto first = designer::computeResults(layout, 0, {}, 1, designer::Stage::Verdicts);
        QVERIFY(first.error.isEmpty());
        QVERIFY(first.closedForms.empty());
        const auto exact = designer::computeResults(layout, 0, {}, 1, designer::Stage::Exact);
        QVERIFY(exact.error.isEmpty());
        const calc::sheet::Table *table = nullptr;
        for (const auto &block : exact.closedForms)
            if (const auto *t = std::get_if<calc::sheet::Table>(&block)) table = t;
        QVERIFY(table);
        QCOMPARE(table->rows.size(), std::size_t{2});
        const double expected[] = {h0, b0};
        for (std::size_t i = 0; i < 2; ++i) {
            const auto &row = table->rows[i];
            QCOMPARE(QString::fromStdString(row[0]),
                     i == 0 ? QStringLiteral("h0") : QStringLiteral("b0"));
            QCOMPARE(QString::fromStdString(row[1]), QString::number(expected[i], 'f', 3));
            // The engine's measure agrees within a millimetre, its last digit perhaps off by one.
            QVERIFY(std::abs(std::stod(row[2]) - expected[i]) <= 0.0015);
            QCOMPARE(QString::fromStdString(row[3]), QStringLiteral("一致"));
        }
    }

    // After an edit, the objects it cannot reach keep the earlier run's verdicts (marked here so
    // that a check made again would show) and the one beside it is checked again.
    void anEditRechecksOnlyTheObjectsItCanReach()
    {
        calc::layout::Layout before;
        before.conductors = {calc::layout::Rod{0, 0, 20}, calc::layout::Rod{1000, 0, 20}};
        before.objects.push_back({"near", {{5, -2}, {7, -2}, {7, 2}, {5, 2}}, 4});
        before.objects.push_back({"far", {{1005, -2}, {1007, -2}, {1007, 2}, {1005, 2}}, 4});
        designer::Earlier earlier{before, {}, {{}, {}}};
        earlier.verdicts.push_back({false, -99, {}});
        earlier.verdicts.push_back({false, -77, {}});
        calc::layout::Layout after = before;
        after.conductors[0] = calc::layout::Rod{1, 0, 20};
        const auto results =
            designer::computeResults(after, 0, {}, 2, designer::Stage::Verdicts, false, earlier);
        QVERIFY(results.error.isEmpty());
        QCOMPARE(results.verdicts.size(), std::size_t{2});
        QVERIFY(results.verdicts[0].isProtected);
        QCOMPARE(results.verdicts[1].leastClearance, -77.0);
    }

    // A layout beyond the check's limits is no unusable layout: the message says it is too
    // large to check, and why.
    void aLayoutBeyondTheLimitsSaysSo()
    {
        calc::layout::Layout layout;
        for (int i = 0; i < 4000; ++i) {
            const double x = i % 64, y = (i / 64) % 64;
            layout.conductors.push_back(calc::layout::Wire{{x, y, 10}, {x + 3, y + 2, 12}});
        }
        layout.objects.push_back({"库房", {{5, -2}, {7, -2}, {7, 2}, {5, 2}}, 4});
        const auto results = designer::computeResults(layout, 0, {}, 1, designer::Stage::Verdicts);
        QVERIFY(results.error.startsWith(QStringLiteral("布置过大，不能校核：接闪器过于密集")));
        QVERIFY(results.verdicts.empty());
    }
};

QTEST_GUILESS_MAIN(LayoutResultsTest)
#include "layout_results_test.moc"
