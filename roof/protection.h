#pragma once

#include "layouts/layout.h"
#include "roof/roof_check.h"

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

// How each object is protected: a roof that passes its mesh check is protected by the mesh (网格
// 法) whatever the sphere does between its conductors; a metal object on a roof by its bond;
// anything else by the sphere alone.
namespace calc::roof {

enum class Method {
    Mesh,   // 网格法: every exposed roof of the part passes its mesh check
    Bonded, // a metal object standing on a roof, bonded to the network
    Sphere, // 滚球法: the rolling sphere's verdict
};

struct ObjectProtection {
    Method method = Method::Sphere;
    bool isProtected = false;
    std::optional<std::size_t> building; // index into the site's buildings
};

// One per object; sphere holds the rolling sphere's verdict of each object (checkObjects), which
// stays beside the method for information.
std::vector<ObjectProtection> objectProtections(const layout::Layout &layout,
                                                const SiteRoofs &roofs,
                                                std::span<const layout::ObjectVerdict> sphere);

} // namespace calc::roof
