#include "store/VariantTable.h"

#include <utility>

namespace kz {

VariantTable VariantTable::Make(std::vector<Bound> bounds) {
    VariantTable t;
    std::size_t total = bounds.empty() ? 0 : 1;
    for (Bound& b : bounds) {
        if (b.count < 0)
            b.count = 0;
        total *= static_cast<std::size_t>(b.count);
    }
    t.bounds_ = std::move(bounds);
    t.cells_.assign(total, Cell{});
    return t;
}

VariantTable VariantTable::Make(std::int32_t count0, std::int32_t count1) {
    return Make(std::vector<Bound>{{0, count0}, {0, count1}});
}

VariantTable VariantTable::Make(std::int32_t count0) {
    return Make(std::vector<Bound>{{0, count0}});
}

std::optional<std::int64_t> VariantTable::upper(int dimension) const {
    if (dimension < 0 || dimension >= dimensions())
        return std::nullopt;
    return bounds_[static_cast<std::size_t>(dimension)].upper();
}

const Cell* VariantTable::at(std::int64_t i) const {
    if (dimensions() != 1)
        return nullptr;
    const std::int64_t k = i - bounds_[0].lower;
    if (k < 0 || k >= bounds_[0].count)
        return nullptr;
    return &cells_[static_cast<std::size_t>(k)];
}

const Cell* VariantTable::at(std::int64_t i, std::int64_t j) const {
    if (dimensions() != 2)
        return nullptr;
    const std::int64_t a = i - bounds_[0].lower;
    const std::int64_t b = j - bounds_[1].lower;
    if (a < 0 || a >= bounds_[0].count || b < 0 || b >= bounds_[1].count)
        return nullptr;
    return &cells_[static_cast<std::size_t>(b * bounds_[0].count + a)];
}

void CopyTable(const VariantTable& source, VariantTable& destination) {
    // One dimension unless asking for the second one's upper bound succeeds.
    const bool twoDimensions = source.upper(1).has_value();
    auto countFor = [](std::int64_t upper) -> std::int64_t { return upper < 0 ? 0 : upper + 1; };
    // Lower bounds far from 0 would make the copy far larger than the source;
    // such a table is refused rather than allocated.
    constexpr std::int64_t kMaxCells = std::int64_t{1} << 16;
    if (twoDimensions) {
        const std::int64_t n0 = countFor(*source.upper(0));
        const std::int64_t n1 = countFor(*source.upper(1));
        if (n0 > kMaxCells || n1 > kMaxCells || n0 * n1 > kMaxCells) {
            destination = VariantTable{};
            return;
        }
        destination =
            VariantTable::Make(static_cast<std::int32_t>(n0), static_cast<std::int32_t>(n1));
        for (std::int64_t j = 0; j < n1; ++j)
            for (std::int64_t i = 0; i < n0; ++i)
                if (const Cell* c = source.at(i, j))
                    *destination.at(i, j) = *c;
    } else if (source.upper(0)) {
        const std::int64_t n0 = countFor(*source.upper(0));
        if (n0 > kMaxCells) {
            destination = VariantTable{};
            return;
        }
        destination = VariantTable::Make(static_cast<std::int32_t>(n0));
        for (std::int64_t i = 0; i < n0; ++i)
            if (const Cell* c = source.at(i))
                *destination.at(i) = *c;
    } else {
        destination = VariantTable{};
    }
}

} // namespace kz
