#pragma once

#include "layouts/layout.h"

#include <cstddef>
#include <optional>
#include <vector>

// Which objects' checks an edit leaves standing, so that only the others are checked again.
namespace calc::layout {

// How far from an object's footprint a conductor can matter to its check: no query on its
// surface looks beyond the centre straight above everything, hr over the highest conductor,
// nor at a conductor more than hr beyond that centre.
double checkReach(const Layout &layout);

// For each object of `after`, the object of `before` whose check holds for it as it was: the
// same footprint and height under the same sphere and the same highest conductor, with no
// conductor added, moved or taken away within checkReach of it. Nothing where it must be
// checked again.
std::vector<std::optional<std::size_t>> carriedOver(const Layout &before, const Layout &after);

} // namespace calc::layout
