#pragma once

#include "dxf/drawing.h"

#include <cstdint>

// How many entities model space stands for with every block insert expanded, at most
// kMaxExpandedEntities and one; a block that inserts itself, or nests too deep, throws ReadError.
namespace dxf {

std::uint64_t expandedSize(const Drawing &d);

} // namespace dxf
