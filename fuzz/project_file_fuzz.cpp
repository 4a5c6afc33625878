// Feeds arbitrary bytes to the layout file loader. Checked: no crash; a refusal always says why;
// an accepted file holds only what the loader promises (radius of a class, rods above the
// ground, simple footprints, finite values) and reads back the same after saving.
#include "project/project_file.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <variant>

namespace {

using namespace calc::layout;

void require(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool finite(const calc::rolling_sphere::Point &p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && p.z >= 0;
}

void requireSound(const Layout &l)
{
    require(isSphereRadius(l.hr), "radius of a class");
    for (const Conductor &c : l.conductors) {
        if (const Rod *rod = std::get_if<Rod>(&c))
            require(std::isfinite(rod->x) && std::isfinite(rod->y) && rod->h > 0 &&
                        std::isfinite(rod->h),
                    "rod above the ground");
        else
            require(finite(std::get<Wire>(c).a) && finite(std::get<Wire>(c).b), "wire ends");
    }
    for (const Object &o : l.objects) {
        require(isSimplePolygon(o.footprint), "simple footprint");
        require(o.height > 0 && std::isfinite(o.height), "object height");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto first =
        lplayout::parseProject(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!first.file) {
        require(!first.error.isEmpty(), "a refusal says why");
        return 0;
    }
    requireSound(first.file->layout);
    const auto second = lplayout::parseProject(lplayout::serializeProject(*first.file));
    require(second.file.has_value(), "a saved file reads back");
    const Layout &a = first.file->layout, &b = second.file->layout;
    require(a.hr == b.hr && a.conductors.size() == b.conductors.size() &&
                a.objects.size() == b.objects.size(),
            "the same layout after saving");
    for (std::size_t i = 0; i < a.objects.size(); ++i)
        require(a.objects[i].footprint.size() == b.objects[i].footprint.size() &&
                    a.objects[i].height == b.objects[i].height,
                "the same objects after saving");
    return 0;
}
