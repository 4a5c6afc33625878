#include "roof/protection.h"

namespace calc::roof {

std::vector<ObjectProtection> objectProtections(const layout::Layout &layout, const SiteRoofs &,
                                                std::span<const layout::ObjectVerdict> sphere)
{
    std::vector<ObjectProtection> result(layout.objects.size());
    for (std::size_t i = 0; i < result.size() && i < sphere.size(); ++i)
        result[i].isProtected = sphere[i].isProtected;
    return result;
}

} // namespace calc::roof
