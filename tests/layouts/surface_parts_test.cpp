// A large object's surface is searched in two parts at once: their least is the whole search's,
// and it is the same on every run, however the threads go.
#include "layouts/layout.h"
#include "layouts/surface_search.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using namespace calc::layout;

TEST(SurfaceParts, AgreeWithTheWholeSearchAndWithThemselves)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int n = 0; n < 12; ++n) {
        Layout layout;
        layout.hr = n % 2 ? 45 : 30;
        for (int k = 0; k < 4; ++k)
            layout.conductors.push_back(
                Wire{{60 * unit(random), 40 * unit(random), 10 + 20 * unit(random)},
                     {60 * unit(random), 40 * unit(random), 10 + 20 * unit(random)}});
        layout.conductors.push_back(Rod{30 * unit(random), 20 * unit(random), 25});
        const double x0 = 10 * unit(random), y0 = 10 * unit(random);
        const Object object{"楼",
                            {{x0, y0}, {x0 + 40, y0}, {x0 + 40, y0 + 24}, {x0, y0 + 24}},
                            5 + 15 * unit(random)};
        const auto engine = prepareEngine(layout);
        const ObjectVerdict whole = detail::SurfaceSearch(engine, object, CheckLimits{}).run();
        const ObjectVerdict parts = checkObject(engine, object);
        EXPECT_EQ(parts.isProtected, whole.isProtected) << "layout " << n;
        EXPECT_NEAR(parts.leastClearance, whole.leastClearance, 0.0005) << "layout " << n;
        const ObjectVerdict again = checkObject(engine, object);
        EXPECT_EQ(again.leastClearance, parts.leastClearance) << "layout " << n;
        EXPECT_EQ(again.where.x, parts.where.x);
        EXPECT_EQ(again.where.y, parts.where.y);
        EXPECT_EQ(again.where.z, parts.where.z);
        // The quick verdict in parts says the same as the whole one.
        const ObjectVerdict quick =
            detail::SurfaceSearch(engine, object, CheckLimits{}, kProtectedFrom).run();
        EXPECT_EQ(quickVerdict(engine, object).isProtected, quick.isProtected) << "layout " << n;
    }
}

} // namespace
