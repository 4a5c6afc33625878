#include "roof/roof_rules.h"

#include <gtest/gtest.h>

namespace calc::roof {
namespace {

TEST(RoofRules, EachSphereRadiusGivesItsClassAndTable)
{
    const ClassRules first = classRules(30);
    EXPECT_EQ(first.protectionClass, 1);
    EXPECT_EQ(first.mesh[0].longSide, 5);
    EXPECT_EQ(first.mesh[1].longSide, 6);
    EXPECT_EQ(first.mesh[1].shortSide, 4);
    EXPECT_EQ(first.spacingLimit, 12);
    EXPECT_EQ(first.tapeAbove, 30);

    const ClassRules second = classRules(45);
    EXPECT_EQ(second.protectionClass, 2);
    EXPECT_EQ(second.mesh[1].longSide, 12);
    EXPECT_EQ(second.spacingLimit, 18);
    EXPECT_EQ(second.downClause, "4.3.3");

    const ClassRules third = classRules(60);
    EXPECT_EQ(third.protectionClass, 3);
    EXPECT_EQ(third.mesh[1].longSide, 24);
    EXPECT_EQ(third.mesh[1].shortSide, 16);
    EXPECT_EQ(third.spacingLimit, 25);
    EXPECT_EQ(third.tapeAbove, 60);
}

} // namespace
} // namespace calc::roof
