#pragma once

#include "dxf/drawing.h"
#include "dxf/drawing_walk.h"
#include "dxf/site_import.h"
#include "dxf/site_labels.h"
#include "dxf/site_outlines.h"

#include <QString>

#include <cstdint>
#include <vector>

// The first stage of taking a site from a drawing: the walk's entities of the chosen layers
// collected (outlines for the buildings, points for rods and down conductors, segments for
// wires and roof conductors) and every text, each with where it came from.
namespace dxf {

// Why the site cannot be taken, in the user's words.
struct Problem {
    QString what;
};

// Where a rod or wire is, for messages: its entity, the insert it came in with, its layer.
struct Source {
    const Entity *entity = nullptr;
    const Entity *outer = nullptr;
    std::uint32_t layer = 0;
};

QString describe(const Drawing &d, const Source &s);
// The layer of that name (also in other case); throws a Problem naming the drawing's layers.
std::uint32_t layerNamed(const Drawing &d, const QString &name);

struct ConductorSeen {
    Source source;
    bool rod = false; // a point: a rod, or a down conductor
    Vec3 a, b;        // a rod's foot point and top in a.z; a wire's ends
    bool roof = false, down = false;
};

// The entities of the chosen layers, as the walk meets them, and every text.
class Collector {
public:
    Collector(const Drawing &d, const SiteChoice &choice, const calc::layout::Layout &current,
              double tolerance, double joinTolerance)
        : d_(d), building_(d.layers.size(), false), tolerance_(tolerance),
          outlines(d, tolerance, joinTolerance),
          conductorRoom_(std::size_t(lplayout::kMaxConductors) -
                         std::min(current.conductors.size(), std::size_t(lplayout::kMaxConductors)))
    {
        for (const QString &name : choice.buildings) building_[layerNamed(d, name)] = true;
        if (!choice.rods.isEmpty()) rods_ = layerNamed(d, choice.rods);
        if (!choice.wires.isEmpty()) wires_ = layerNamed(d, choice.wires);
        for (const QString &name : choice.roofConductors) roof_.push_back(layerNamed(d, name));
        if (!choice.downConductors.isEmpty()) downs_ = layerNamed(d, choice.downConductors);
        for (const std::uint32_t layer : roof_)
            if (building_[layer])
                throw Problem{QStringLiteral("图层「%1」不能既是建筑物图层又是接闪带、接闪网图层")
                                  .arg(d.layers[layer].name)};
        if (downs_ != kNone && building_[downs_])
            throw Problem{QStringLiteral("图层「%1」不能既是建筑物图层又是引下线图层")
                              .arg(d.layers[downs_].name)};
        for (const std::uint32_t *layer : {&rods_, &wires_})
            if (*layer != kNone && building_[*layer])
                throw Problem{QStringLiteral("图层「%1」不能既是建筑物图层又是%2图层")
                                  .arg(d.layers[*layer].name, layer == &rods_
                                                                  ? QStringLiteral("避雷针")
                                                                  : QStringLiteral("避雷线"))};
    }

    bool visit(const Placed &p);
    void requireEachLayer(const SiteOutlines &made) const;

private:
    const Drawing &d_;
    std::vector<bool> building_;
    double tolerance_;

public:
    OutlineMaker outlines;
    std::vector<ConductorSeen> conductors;
    std::vector<TextSeen> texts;
    DrawingBox box; // of everything taken

private:
    static constexpr std::uint32_t kNone = ~std::uint32_t(0);

    void addConductor(ConductorSeen c)
    {
        if (conductors.size() == conductorRoom_)
            throw Problem{QStringLiteral("避雷针和避雷线超过 %1 个，无法全部导入（图层「%2」）")
                              .arg(lplayout::kMaxConductors)
                              .arg(d_.layers[c.source.layer].name)};
        box.add(c.a.x, c.a.y);
        if (!c.rod) box.add(c.b.x, c.b.y);
        conductors.push_back(c);
    }

    std::uint32_t rods_ = kNone, wires_ = kNone, downs_ = kNone;
    std::vector<std::uint32_t> roof_;
    std::size_t conductorRoom_;
};

} // namespace dxf
