#include "roof/roof_check.h"

namespace calc::roof {

bool BuildingRoofs::passes() const { return meshPasses && tape != Verdict::Fail && down.passes; }

SiteRoofs checkRoofs(const layout::Layout &layout)
{
    SiteRoofs site;
    site.rules = classRules(layout.hr);
    site.roles.resize(layout.conductors.size());
    return site;
}

} // namespace calc::roof
