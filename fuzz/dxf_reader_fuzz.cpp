// Feeds arbitrary bytes to the drawing reader, and what it reads to the layer counts, the
// preview and the site import (lines joined into outlines, texts read as heights included);
// the same bytes also as loose segments to the joining, and as a text to the MTEXT and height
// readers. Checked: no crash and no endless work; a refusal always says why; a site taken from
// a drawing is one the layout file takes back as it is, every footprint a simple polygon, its
// report counting what it lists; joined outlines turn counter-clockwise round some area; a
// mended outline is a simple polygon or says why not; heights lie within the limits.
#include "dxf/drawing_text.h"
#include "dxf/height_text.h"
#include "dxf/outline_joining.h"
#include "dxf/outline_mending.h"
#include "dxf/site_import.h"
#include "dxf/site_layers.h"

#include <cmath>
#include <cstring>

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
        if ((l.counts.closedOutlines || l.counts.circles || l.counts.lines || l.counts.arcs ||
             l.counts.hatches || l.counts.splines) &&
            choice.buildings.size() < 3)
            choice.buildings.append(l.name);
        else if (l.counts.points && choice.rods.isEmpty())
            choice.rods = l.name;
        else if (l.counts.lines && choice.wires.isEmpty())
            choice.wires = l.name;
    }
    return choice;
}

// The bytes as segments (four small integers each) joined, each outline then mended.
void joinBytes(const std::uint8_t *data, std::size_t size)
{
    std::vector<dxf::JoinSegment> segments;
    for (std::size_t i = 0; i + 4 <= size && segments.size() < 64; i += 4)
        segments.push_back({{double(data[i] % 16), double(data[i + 1] % 16)},
                            {double(data[i + 2] % 16), double(data[i + 3] % 16)},
                            std::uint32_t(segments.size()),
                            0});
    for (const dxf::JoinedOutline &o : dxf::joinSegments(segments, 0.01)) {
        require(o.ring.size() >= 3 && !o.pieces.empty(), "a joined outline has corners and pieces");
        double twice = 0;
        for (std::size_t i = 0, j = o.ring.size() - 1; i < o.ring.size(); j = i++)
            twice += o.ring[j].x * o.ring[i].y - o.ring[i].x * o.ring[j].y;
        require(twice > 0, "a joined outline turns counter-clockwise round some area");
        const dxf::MendedOutline m = dxf::mendOutline(o.ring, 0.01);
        require(!m.fault.isEmpty() || calc::layout::isSimplePolygon(m.ring),
                "a mended outline is simple or says why not");
    }
}

// The bytes as a text: its MTEXT lines and any height it gives.
void readText(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data),
                                           qsizetype(std::min<std::size_t>(size, 256)));
    for (const QString &line : dxf::mtextLines(text)) {
        const auto h = dxf::readHeightText(line);
        if (!h) continue;
        for (const bool bare : {false, true})
            if (const auto m = dxf::HeightRules{3, 1.2, bare}.metres(*h))
                require(*m > 0 && *m <= lplayout::kMaxHeight, "a height within the limits");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    joinBytes(data, size);
    readText(data, size);
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
    const dxf::SiteImport &taken = *site.site;
    require(taken.heights.size() == taken.objects.size(), "every object's height said");
    std::size_t leftOut = 0, mended = 0;
    for (const auto &note : taken.notes) {
        leftOut += note.kind == dxf::ImportNote::Kind::LeftOut;
        mended += note.kind == dxf::ImportNote::Kind::Mended;
    }
    require(leftOut == taken.leftOut && mended == taken.mended, "the report counts what it lists");
    for (const auto &o : taken.objects)
        require(calc::layout::isSimplePolygon(o.footprint), "every footprint a simple polygon");
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
