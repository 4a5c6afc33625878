#include "dxf_test_support.h"

#include "dxf/site_import.h"

#include <gtest/gtest.h>

namespace {

using dxf::HeightSource;
using dxf::ImportNote;

dxf::SiteImport labelled(const dxf::HeightRules &rules)
{
    const dxf::Drawing d = dxf_test::load(dxf_test::written("labels_site.dxf"));
    dxf::SiteChoice choice;
    choice.buildings = {QStringLiteral("建筑")};
    choice.heights = rules;
    dxf::SiteResult r = dxf::importSite(d, choice);
    if (!r.site) ADD_FAILURE() << r.error.toStdString();
    return r.site ? std::move(*r.site) : dxf::SiteImport{};
}

// Each building's label in one of its forms: a vertical MTEXT is a name, not a height of 8 m;
// storeys become storeys × 3 m + 1.2 m; a bare number is storeys; labels that disagree are
// reported and the first is taken; a tower drawn inside its podium, with its own height, stays.
TEST(SiteLabels, HeightsAndStoreysInEveryForm)
{
    const dxf::SiteImport site = labelled({});
    struct Expected {
        const char *name;
        double height;
        const char *from;
    };
    const Expected expected[] = {
        {"85205采空区", 19.2, "6F"},        {"综合楼", 58.2, "18+1F"}, {"3#", 19.2, "6/-1"},
        {"建筑物4", 19.2, "6层"},           {"建筑物5", 37.2, "12"},   {"A栋", 18, "高18米"},
        {"建筑物7", 24.5, "建筑高度24.5m"}, {"建筑物8", 10.2, "3F"},   {"建筑物9", 55.2, "18F"},
    };
    ASSERT_EQ(site.objects.size(), std::size(expected));
    ASSERT_EQ(site.heights.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(site.objects[i].name, expected[i].name) << i;
        EXPECT_NEAR(site.objects[i].height, expected[i].height, 1e-9) << i;
        EXPECT_EQ(site.heights[i].from, HeightSource::From::Text) << i;
        EXPECT_EQ(site.heights[i].text, QString::fromUtf8(expected[i].from)) << i;
        EXPECT_EQ(site.heights[i].disagree, i == 3) << i;
    }
    const auto disagreeing = std::ranges::find_if(site.notes, [](const ImportNote &n) {
        return n.text.contains(QStringLiteral("高度注记不一致（「6层」、「H=20m」），取 19.2 m"));
    });
    EXPECT_NE(disagreeing, site.notes.end());
}

TEST(SiteLabels, StoreyHeightParapetAndBareMetres)
{
    const dxf::SiteImport site = labelled({3.3, 0.5, true});
    EXPECT_NEAR(site.objects[0].height, 6 * 3.3 + 0.5, 1e-9);
    EXPECT_NEAR(site.objects[1].height, 19 * 3.3 + 0.5, 1e-9);
    EXPECT_EQ(site.objects[4].height, 12); // a bare number, metres
    EXPECT_EQ(site.objects[5].height, 18);
}

} // namespace
