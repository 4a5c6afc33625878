#include "dxf/drawing_size.h"

#include "dxf/group_reader.h"

#include <algorithm>
#include <vector>

namespace dxf {

namespace {

// How many entities a block stands for with its inserts expanded, at most kMaxExpandedEntities
// and one; a block that inserts itself, or nests too deep, makes the drawing unreadable.
class SizeCheck {
public:
    explicit SizeCheck(const Drawing &d) : d_(d), size_(d.blocks.size(), kUnknown) {}

    std::uint64_t of(std::uint32_t first, std::uint32_t count, int depth)
    {
        constexpr int kMaxDepth = 64;
        if (depth > kMaxDepth)
            throw ReadError{QStringLiteral("块参照嵌套超过 %1 层，无法读入").arg(kMaxDepth)};
        std::uint64_t total = 0;
        for (std::uint32_t i = first; i < first + count; ++i) {
            const Entity &e = d_.entities[i];
            total = std::min(total + 1, kCap);
            if (e.kind != EntityKind::Insert) continue;
            const InsertPlacement &insert = d_.inserts[e.extra];
            if (insert.block < 0) continue;
            const std::uint64_t copies = std::uint64_t(insert.columns) * std::uint64_t(insert.rows);
            total = std::min(total + std::min(copies * ofBlock(insert.block, depth), kCap), kCap);
        }
        return total;
    }

private:
    static constexpr std::uint64_t kUnknown = ~std::uint64_t(0) - 1, kVisiting = ~std::uint64_t(0);
    static constexpr std::uint64_t kCap = kMaxExpandedEntities + 1;

    std::uint64_t ofBlock(std::int32_t index, int depth)
    {
        std::uint64_t &size = size_[std::size_t(index)];
        const Block &block = d_.blocks[std::size_t(index)];
        if (size == kVisiting)
            throw ReadError{QStringLiteral("块「%1」插入了它自身，图形有误").arg(block.name)};
        if (size != kUnknown) return size;
        if (block.external) return size = 0;
        size = kVisiting;
        return size = of(block.first, block.count, depth + 1);
    }

    const Drawing &d_;
    std::vector<std::uint64_t> size_;
};

} // namespace

std::uint64_t expandedSize(const Drawing &d)
{
    return SizeCheck(d).of(d.modelFirst, d.modelCount, 0);
}

} // namespace dxf
