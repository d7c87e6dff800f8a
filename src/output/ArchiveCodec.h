#pragma once

// The project archive: one project table written as a single serialised value
// of variants, with no header before it and nothing after it. Standard library
// only, because the launcher on the CD compiles this same file.
//
// Byte layout (all integers little-endian):
//
//   u16 0x200C                 array of variants
//   u16 2                      number of dimensions
//   dimension 0 (fields):  i32 element count, i32 lower bound (0)
//   dimension 1 (rows):    i32 element count, i32 lower bound (0)
//   the cells, field index changing fastest (row 0 fields 0..8, row 1 ...)
//
// Dimension entries follow the table's own dimension order, field dimension
// first; within an entry the element count comes before the lower bound. A
// byte array's single entry has the same order. Each cell is a u16 tag and:
//
//   0x0000 nothing             no data
//   0x0008 text                u16 length n, then n bytes of code page 932
//   0x0003 32-bit integer      i32
//   0x2011 array of bytes      u16 1, i32 count n, i32 lower bound, n bytes
//
// The reader returns the whole table or nothing: a truncated or damaged file,
// an unknown cell tag, anything but a two-dimensional array of variants with
// lower bounds 0, or a table of more than kMaxArchiveCells cells gives no table
// at all, so nothing of it is ever restored. Bytes after the one value are not
// part of it and are ignored. A byte array's lower bound is read and dropped:
// the bytes are all an icon file needs.

#include "store/VariantTable.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kz {

inline constexpr std::uint16_t kTagEmpty = 0x0000;
inline constexpr std::uint16_t kTagInt32 = 0x0003;
inline constexpr std::uint16_t kTagText = 0x0008;
inline constexpr std::uint16_t kTagByteArray = 0x2011;
inline constexpr std::uint16_t kTagVariantArray = 0x200C;

// 9 fields by rows 0 to 105: the table of a project whose last slot is 419.
inline constexpr std::int64_t kMaxArchiveCells = 9 * 106;

// The archive bytes of a two-dimensional table. Nothing when the table cannot
// be stored as one: not two dimensions, a lower bound other than 0, more than
// kMaxArchiveCells cells, a text longer than 65535 bytes or a byte array
// longer than a 32-bit count.
std::optional<std::vector<std::uint8_t>> EncodeArchive(const VariantTable& table);

// The table held by the archive bytes; nothing unless the bytes start with one
// complete, valid value (see above). Allocates no more than the input's size
// and kMaxArchiveCells cells.
std::optional<VariantTable> DecodeArchive(const std::uint8_t* data, std::size_t size);

inline std::optional<VariantTable> DecodeArchive(const std::vector<std::uint8_t>& bytes) {
    return DecodeArchive(bytes.data(), bytes.size());
}

} // namespace kz
