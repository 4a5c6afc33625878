// Feeds arbitrary bytes to the drawing reader, and what it reads to the layer counts, the
// preview and the site import. Checked: no crash and no endless work; a refusal always says
// why; a site taken from a drawing is one the layout file takes back as it is.
#include "dxf/site_import.h"
#include "dxf/site_layers.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Up to three layers with outlines as buildings, one with points as rods, one with lines as
// wires: what a user choosing from the layer list might tick.
dxf::SiteChoice choiceFor(const std::vector<dxf::LayerSummary> &layers)
{
    dxf::SiteChoice choice;
    for (const auto &l : layers) {
        if ((l.counts.closedOutlines || l.counts.circles) && choice.buildings.size() < 3)
            choice.buildings.append(l.name);
        else if (l.counts.points && choice.rods.isEmpty())
            choice.rods = l.name;
        else if (l.counts.lines && choice.wires.isEmpty())
            choice.wires = l.name;
    }
    return choice;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const dxf::ReadResult read =
        dxf::readDrawing(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!read.drawing) {
        require(!read.error.isEmpty(), "a refusal says why");
        return 0;
    }
    const dxf::Drawing &d = *read.drawing;
    const auto layers = dxf::layerSummaries(d);
    require(layers.size() == d.layers.size(), "every layer counted");
    const dxf::Preview preview = dxf::preview(d);
    for (const auto &path : preview.paths)
        require(path.first + path.count <= preview.points.size(),
                "preview paths within its points");

    const dxf::SiteResult site = dxf::importSite(d, choiceFor(layers));
    if (!site.site) {
        require(!site.error.isEmpty(), "a refused import says why");
        return 0;
    }
    lplayout::ProjectFile file;
    file.layout.objects = site.site->objects;
    file.layout.conductors = site.site->conductors;
    file.drawing = site.site->place;
    const auto back = lplayout::parseProject(lplayout::serializeProject(file));
    require(back.file.has_value(), "an imported site is a layout file's");
    require(back.file->layout.objects.size() == file.layout.objects.size() &&
                back.file->layout.conductors.size() == file.layout.conductors.size() &&
                back.file->drawing == file.drawing,
            "the same site after saving");
    return 0;
}
