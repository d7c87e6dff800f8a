#pragma once

// Where the parts of a device-independent bitmap lie: the header, the colour
// masks, the colour table, the rows of colour pixels and, in an icon image, the
// AND mask below them. Both the icon reader, which decodes icon images itself,
// and the launcher on the CD, which checks a picture before Windows draws it,
// read the header here. Standard C++ only.

#include "store/ByteReader.h"

#include <cstdint>
#include <optional>

namespace kz {

// Icons are small; a side beyond this is not an icon we read or draw.
inline constexpr int kMaxDibSide = 1024;

enum class DibKind {
    Bitmap,    // after a BMP file header: rows bottom-up, or top-down for a negative height
    IconImage, // inside an icon: the stored height counts the colour rows and the mask rows
};

struct DibLayout {
    std::uint32_t headerSize = 0;
    int width = 0;
    int height = 0; // rows of colour pixels
    int planes = 0;
    int bitsPerPixel = 0;
    // 16 and 32 bits: how each channel lies in a pixel. The stored masks with
    // BI_BITFIELDS, else the fixed layout of the depth.
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
    std::uint32_t alphaMask = 0;
    // The colour table: entries of 4 bytes (blue, green, red, unused).
    std::uint64_t paletteAt = 0;
    std::uint32_t paletteEntries = 0;
    std::uint64_t headerEnd = 0; // after header, masks and colour table
    std::uint64_t stride = 0;    // bytes in a row of colour pixels
    std::uint64_t maskStride = 0;

    std::uint64_t pixelBytes() const { return stride * static_cast<std::uint64_t>(height); }
    std::uint64_t maskBytes() const { return maskStride * static_cast<std::uint64_t>(height); }
};

// The layout of the DIB whose header starts at `at`. Whether the colour table,
// the pixel rows and the mask lie within the bytes is for the caller to check
// (from headerEnd on), since writers differ there. Nothing for a header shorter
// than 40 bytes, a side outside 1..kMaxDibSide, a depth other than 1, 4, 8,
// 16, 24 or 32 bits, a compression other than none (or bit fields at 16 and
// 32 bits), more than 256 table entries at a depth without a palette, or a
// header (with its masks) that runs past the bytes.
std::optional<DibLayout> ReadDibLayout(ByteReader& bytes, std::uint64_t at, DibKind kind);

} // namespace kz
