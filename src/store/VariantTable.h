#pragma once

// The project table: a one- or two-dimensional table of variant values, the
// shape the project archive stores. Plain C++ so that the launcher on the CD
// compiles the same code. Texts hold code page 932 bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace kz {

using ByteArray = std::vector<std::uint8_t>;
// Nothing, a text, a 32-bit integer or an array of bytes.
using Cell = std::variant<std::monostate, std::string, std::int32_t, ByteArray>;

struct Bound {
    std::int32_t lower = 0;
    std::int32_t count = 0;
    std::int64_t upper() const { return static_cast<std::int64_t>(lower) + count - 1; }
    bool operator==(const Bound&) const = default;
};

class VariantTable {
public:
    VariantTable() = default;
    // A table of count0 x count1 empty cells, lower bounds 0.
    static VariantTable Make(std::int32_t count0, std::int32_t count1);
    static VariantTable Make(std::int32_t count0);
    static VariantTable Make(std::vector<Bound> bounds);

    int dimensions() const { return static_cast<int>(bounds_.size()); }
    const std::vector<Bound>& bounds() const { return bounds_; }
    // Upper bound of a dimension; nothing when the table has no such dimension.
    std::optional<std::int64_t> upper(int dimension) const;

    // Cells by index; nullptr outside the table. Dimension 0 changes fastest.
    const Cell* at(std::int64_t i) const;
    const Cell* at(std::int64_t i, std::int64_t j) const;
    Cell* at(std::int64_t i) { return const_cast<Cell*>(std::as_const(*this).at(i)); }
    Cell* at(std::int64_t i, std::int64_t j) {
        return const_cast<Cell*>(std::as_const(*this).at(i, j));
    }

    const std::vector<Cell>& cells() const { return cells_; }
    std::vector<Cell>& cells() { return cells_; }

    bool operator==(const VariantTable&) const = default;

private:
    std::vector<Bound> bounds_;
    std::vector<Cell> cells_;
};

// Re-creates the destination with the source's upper bounds and lower bounds 0
// and copies every element to the same position.
void CopyTable(const VariantTable& source, VariantTable& destination);

} // namespace kz
