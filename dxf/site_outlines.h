#pragma once

#include "dxf/drawing.h"
#include "dxf/drawing_walk.h"

#include <QString>

#include <optional>
#include <vector>

// The buildings' outlines on the chosen layers, as the walk meets their entities: closed ones
// (polylines lying flat, circles, hatches' boundaries, closed splines) as they are; lines,
// arcs, open polylines and splines joined into closed faces (outline_joining.h); each mended
// where the mend is plain, and left out with the reason where it is no simple polygon. An
// outline inside another on its layer is marked so (a room, unless its height is its own); one
// drawn twice (drawn and hatched) comes once.
namespace dxf {

// What an outline came from: its entity (the first piece of a joined one), the model-space
// insert that entity lies in, its layer, and how many pieces were joined.
struct OutlineSource {
    const Entity *entity = nullptr;
    const Entity *outer = nullptr;
    std::uint32_t layer = 0;
    std::size_t pieces = 1;
};

struct SiteOutline {
    OutlineSource source;
    std::vector<Vec3> corners; // world, drawing units; z each corner's height
    double top = 0;            // the highest corner plus the thickness, drawing units
    // The smallest outline taken on its layer that holds it: it may be a room of that one.
    std::optional<std::size_t> within;
};

struct OutlineNote {
    OutlineSource source;
    QString why;
    bool mended = false;       // mended and taken; else left out
    std::vector<Vec3> corners; // as drawn, world drawing units
};

struct SiteOutlines {
    std::vector<SiteOutline> taken; // in the drawing's order
    std::vector<OutlineNote> notes;
    std::size_t duplicates = 0; // dropped as drawn twice
};

class OutlineMaker {
public:
    // Tolerances in drawing units: arcs' chords from the arcs, and ends taken as one.
    OutlineMaker(const Drawing &d, double chordTolerance, double joinTolerance);

    // An entity on a building layer; those that can give no outline are passed over.
    void add(const Placed &p);
    SiteOutlines finish();

private:
    struct Candidate {
        OutlineSource source;
        std::vector<Vec3> corners; // local
        double top = 0;
        std::size_t order = 0;
    };
    struct Piece {
        OutlineSource source;
        std::size_t order = 0;
    };
    Vec3 local(const Vec3 &world);

    const Drawing &d_;
    double chordTolerance_, joinTolerance_;
    bool haveOrigin_ = false;
    Vec3 origin_;
    std::size_t order_ = 0;
    std::vector<Candidate> closed_;
    std::vector<OutlineNote> notes_; // left out as they were met
    std::vector<Piece> pieces_;
    struct Segment {
        double ax, ay, bx, by, top;
        std::uint32_t piece;
        std::uint32_t layer;
    };
    std::vector<Segment> segments_;
};

// "图层「L」上的多段线（句柄 H，第 N 行）", or for a joined one "图层「L」上由 K
// 段线连成的轮廓（首段为 直线（句柄 H，第 N 行））", with the insert it lies in.
QString describeOutline(const Drawing &d, const OutlineSource &s);
// The same for a single entity.
QString describeEntity(const Drawing &d, const Entity &e, const Entity *outer, std::uint32_t layer);

} // namespace dxf
