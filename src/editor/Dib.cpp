#include "editor/Dib.h"

#include <algorithm>
#include <cstdlib>

namespace kz {
namespace {

constexpr std::uint32_t kPlainHeader = 40; // BITMAPINFOHEADER
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitFields = 3;

bool KnownDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::uint64_t Stride(int width, int bits) {
    return (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bits) + 31) / 32 * 4;
}

// The masks of a BI_BITFIELDS image follow a plain header; the later headers
// (52 bytes and up) hold them, and from 56 bytes an alpha mask as well. Returns
// the bytes they add after the header. False when they lie past the bytes.
bool ReadMasks(ByteReader& bytes, std::uint64_t at, DibLayout& dib, std::uint64_t& extra) {
    const std::uint64_t masksAt = dib.headerSize >= 52 ? kPlainHeader : dib.headerSize;
    dib.redMask = bytes.u32At(at + masksAt);
    dib.greenMask = bytes.u32At(at + masksAt + 4);
    dib.blueMask = bytes.u32At(at + masksAt + 8);
    dib.alphaMask = dib.headerSize >= 56 ? bytes.u32At(at + 52) : 0;
    extra = dib.headerSize < 52 ? 12 : 0;
    return bytes.ok();
}

} // namespace

std::optional<DibLayout> ReadDibLayout(ByteReader& bytes, std::uint64_t at, DibKind kind) {
    DibLayout dib;
    dib.headerSize = bytes.u32At(at);
    const std::int32_t width = bytes.i32At(at + 4);
    const std::int32_t storedHeight = bytes.i32At(at + 8);
    dib.planes = bytes.u16At(at + 12);
    dib.bitsPerPixel = bytes.u16At(at + 14);
    const std::uint32_t compression = bytes.u32At(at + 16);
    const std::uint32_t coloursUsed = bytes.u32At(at + 32);
    if (!bytes.ok() || dib.headerSize < kPlainHeader || !KnownDepth(dib.bitsPerPixel))
        return std::nullopt;

    // An icon image stacks its mask on its colour rows, always bottom-up.
    const std::int64_t rows = kind == DibKind::IconImage ? std::int64_t{storedHeight} / 2
                                                         : std::llabs(std::int64_t{storedHeight});
    if (width < 1 || width > kMaxDibSide || rows < 1 || rows > kMaxDibSide)
        return std::nullopt;
    dib.width = width;
    dib.height = static_cast<int>(rows);

    std::uint64_t extra = 0;
    if (compression == kBitFields && (dib.bitsPerPixel == 16 || dib.bitsPerPixel == 32)) {
        if (!ReadMasks(bytes, at, dib, extra))
            return std::nullopt;
    } else if (compression != kRgb) {
        return std::nullopt; // run-length and embedded formats are not icon material
    } else if (dib.bitsPerPixel == 16) {
        dib.redMask = 0x7C00u;
        dib.greenMask = 0x03E0u;
        dib.blueMask = 0x001Fu;
    } else {
        dib.redMask = 0x00FF0000u;
        dib.greenMask = 0x0000FF00u;
        dib.blueMask = 0x000000FFu;
        dib.alphaMask = 0xFF000000u;
    }

    // A palette depth has a full table unless the header says fewer; a deeper
    // image may still carry a table of the colours it prefers.
    if (dib.bitsPerPixel <= 8) {
        const std::uint32_t full = 1u << dib.bitsPerPixel;
        dib.paletteEntries = coloursUsed == 0 ? full : std::min(coloursUsed, full);
    } else if (coloursUsed > 256) {
        return std::nullopt;
    } else {
        dib.paletteEntries = coloursUsed;
    }
    dib.paletteAt = at + dib.headerSize + extra;
    dib.headerEnd = dib.paletteAt + dib.paletteEntries * 4ull;
    dib.stride = Stride(dib.width, dib.bitsPerPixel);
    dib.maskStride = Stride(dib.width, 1);
    return dib;
}

} // namespace kz
