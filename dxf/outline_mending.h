#pragma once

#include "layouts/layout.h"

#include <QString>
#include <QStringList>

#include <vector>

// An outline made fit to be a building's footprint: the faults whose mend is plain (a corner
// repeated, an edge of no length, a spike that runs out and back along one line) mended, and
// what is left checked to be a simple polygon.
namespace dxf {

struct MendedOutline {
    std::vector<calc::layout::Corner> ring;
    QStringList mends; // what was mended, in the user's words; empty when nothing was
    QString fault;     // why it cannot be a footprint; empty when it can
};

// Corners within a thousandth of `tolerance` of the one before are one corner, a spike whose
// arms lie within `tolerance` of one line is taken out; a last corner on the first is the
// outline closing itself, no fault.
MendedOutline mendOutline(std::vector<calc::layout::Corner> ring, double tolerance);

// Whether every corner of `inner` lies inside `outer` or within `tolerance` of its edges.
bool liesWithin(const std::vector<calc::layout::Corner> &inner,
                const std::vector<calc::layout::Corner> &outer, double tolerance);

double ringArea(const std::vector<calc::layout::Corner> &ring);

} // namespace dxf
