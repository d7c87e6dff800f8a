#include "launcher/LauncherModel.h"

#include "output/ArchiveCodec.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <span>
#include <variant>

namespace kz::launcher {
namespace {

// Fields of a row: the icon, then the eight texts in the order packing writes
// them.
enum Field : int {
    kIcon = 0,
    kPath,
    kLine1,
    kLine2,
    kAppName,
    kValue1,
    kValue2,
    kTitle1,
    kTitle2,
    kColourBackground = 1,
    kColourText = 2,
};

const std::string& TextOf(const VariantTable& table, int field, std::int64_t row) {
    static const std::string kNone;
    const Cell* cell = table.at(field, row);
    const auto* text = cell ? std::get_if<std::string>(cell) : nullptr;
    return text ? *text : kNone;
}

bool IsMarkerRow(const VariantTable& table, std::int64_t row) {
    const Cell* cell = table.at(kIcon, row);
    const auto* text = cell ? std::get_if<std::string>(cell) : nullptr;
    return text && *text == kMarkerText;
}

std::optional<std::uint32_t> IntegerOf(const VariantTable& table, int field, std::int64_t row) {
    const Cell* cell = table.at(field, row);
    const auto* n = cell ? std::get_if<std::int32_t>(cell) : nullptr;
    if (!n)
        return std::nullopt;
    return static_cast<std::uint32_t>(*n);
}

SlotRecord SlotOfRow(const VariantTable& table, std::int64_t row) {
    SlotRecord slot;
    if (const Cell* cell = table.at(kIcon, row))
        if (const auto* bytes = std::get_if<ByteArray>(cell))
            slot.icon = *bytes;
    slot.path = TextOf(table, kPath, row);
    slot.line1 = TextOf(table, kLine1, row);
    slot.line2 = TextOf(table, kLine2, row);
    slot.appName = TextOf(table, kAppName, row);
    slot.value1 = TextOf(table, kValue1, row);
    slot.value2 = TextOf(table, kValue2, row);
    slot.title1 = TextOf(table, kTitle1, row);
    slot.title2 = TextOf(table, kTitle2, row);
    return slot;
}

// ---- Little-endian reads, each checked against the bytes there are.

using ByteView = std::span<const std::uint8_t>;

std::optional<std::uint32_t> U32(ByteView b, std::size_t at) {
    if (at > b.size() || b.size() - at < 4)
        return std::nullopt;
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::optional<std::uint16_t> U16(ByteView b, std::size_t at) {
    if (at > b.size() || b.size() - at < 2)
        return std::nullopt;
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::size_t Stride(std::int64_t width, int bitsPerPixel) {
    return static_cast<std::size_t>((width * bitsPerPixel + 31) / 32 * 4);
}

bool KnownDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Icons are small; anything far larger is not an icon we will hand to GDI.
constexpr std::int64_t kMaxSide = 1024;

// A device-independent bitmap's header at `at`, checked up to the end of its
// pixels (and of its AND mask, for an icon image, whose height counts both).
struct DibLayout {
    std::size_t headerEnd = 0; // after the header, bit masks and colour table
    std::size_t pixelBytes = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    int bitsPerPixel = 0;
};

std::optional<DibLayout> ReadDib(ByteView b, std::size_t at, bool iconImage) {
    const auto headerSize = U32(b, at);
    const auto width32 = U32(b, at + 4);
    const auto height32 = U32(b, at + 8);
    const auto planes = U16(b, at + 12);
    const auto bits = U16(b, at + 14);
    const auto compression = U32(b, at + 16);
    const auto coloursUsed = U32(b, at + 32);
    if (!headerSize || !coloursUsed || *headerSize < 40 || *headerSize > 124 || *planes != 1 ||
        !KnownDepth(*bits))
        return std::nullopt;
    DibLayout dib;
    dib.bitsPerPixel = *bits;
    dib.width = static_cast<std::int32_t>(*width32);
    dib.height = std::llabs(static_cast<std::int64_t>(static_cast<std::int32_t>(*height32)));
    if (iconImage)
        dib.height /= 2;
    if (dib.width < 1 || dib.width > kMaxSide || dib.height < 1 || dib.height > kMaxSide)
        return std::nullopt;

    constexpr std::uint32_t kRgb = 0;
    constexpr std::uint32_t kBitFields = 3;
    std::size_t extra = 0;
    if (*compression == kBitFields && (*bits == 16 || *bits == 32)) {
        if (*headerSize == 40)
            extra = 12; // the three masks follow the short header
    } else if (*compression != kRgb) {
        return std::nullopt; // run-length and embedded formats are not icon material
    }
    std::size_t colours = 0;
    if (*bits <= 8) {
        const std::uint32_t full = 1u << *bits;
        colours = (*coloursUsed == 0 || *coloursUsed > full) ? full : *coloursUsed;
    }
    dib.headerEnd = at + *headerSize + extra + colours * 4;
    dib.pixelBytes = Stride(dib.width, *bits) * static_cast<std::size_t>(dib.height);
    if (iconImage)
        dib.pixelBytes += Stride(dib.width, 1) * static_cast<std::size_t>(dib.height);
    if (dib.headerEnd > b.size())
        return std::nullopt;
    return dib;
}

PictureLocation LocateBitmap(ByteView b) {
    constexpr std::size_t kFileHeader = 14;
    const auto dib = ReadDib(b, kFileHeader, false);
    const auto declaredBits = U32(b, 10);
    if (!dib || !declaredBits)
        return {};
    // Some writers leave the pixel offset at 0; the pixels then follow the
    // colour table.
    const std::size_t bitsOffset = *declaredBits >= dib->headerEnd ? *declaredBits : dib->headerEnd;
    if (bitsOffset > b.size() || b.size() - bitsOffset < dib->pixelBytes)
        return {};
    PictureLocation p;
    p.kind = PictureLocation::Kind::Bitmap;
    p.offset = kFileHeader;
    p.size = dib->headerEnd - kFileHeader;
    p.bitsOffset = bitsOffset;
    p.width = static_cast<int>(dib->width);
    p.height = static_cast<int>(dib->height);
    return p;
}

PictureLocation LocateIcon(ByteView b) {
    const auto count = U16(b, 4);
    if (!count || *count == 0)
        return {};
    constexpr std::size_t kDirectory = 6;
    constexpr std::size_t kEntry = 16;
    PictureLocation best;
    int bestDistance = std::numeric_limits<int>::max();
    int bestBits = 0;
    for (std::size_t k = 0; k < *count; ++k) {
        const std::size_t entry = kDirectory + kEntry * k;
        const auto size = U32(b, entry + 8);
        const auto offset = U32(b, entry + 12);
        if (!size || !offset)
            break; // the directory runs past the file
        if (*offset > b.size() || b.size() - *offset < *size)
            continue;
        const int width = b[entry] ? b[entry] : 256;
        const int height = b[entry + 1] ? b[entry + 1] : 256;
        int bits = 32;
        static constexpr std::uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        // The image must lie within its own entry.
        const ByteView image = b.subspan(*offset, *size);
        const bool png = image.size() >= sizeof kPng &&
                         std::equal(std::begin(kPng), std::end(kPng), image.begin());
        if (!png) {
            const auto dib = ReadDib(image, 0, true);
            if (!dib || image.size() - dib->headerEnd < dib->pixelBytes)
                continue;
            bits = dib->bitsPerPixel;
        }
        const int distance = std::abs(width - 32) + std::abs(height - 32);
        if (distance < bestDistance || (distance == bestDistance && bits > bestBits)) {
            bestDistance = distance;
            bestBits = bits;
            best.kind = PictureLocation::Kind::Icon;
            best.offset = *offset;
            best.size = *size;
            best.width = width;
            best.height = height;
        }
    }
    return best;
}

bool IsAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// "http:", "https:", "mailto:": a scheme of at least two characters, so that a
// drive letter ("D:") is never taken for one.
bool StartsWithScheme(std::u16string_view path) {
    if (path.empty() || !IsAsciiLetter(path[0]))
        return false;
    std::size_t k = 1;
    while (k < path.size() && (IsAsciiLetter(path[k]) || (path[k] >= u'0' && path[k] <= u'9') ||
                               path[k] == u'+' || path[k] == u'-' || path[k] == u'.'))
        ++k;
    return k >= 2 && k < path.size() && path[k] == u':';
}

bool IsDrivePath(std::u16string_view path) {
    return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == u':';
}

} // namespace

bool SlotRecord::empty() const {
    return icon.empty() && path.empty() && line1.empty() && line2.empty() && appName.empty() &&
           value1.empty() && value2.empty() && title1.empty() && title2.empty();
}

Menu ReadMenu(const std::uint8_t* data, std::size_t size) {
    Menu menu;
    const auto table = DecodeArchive(data, size);
    if (!table) {
        menu.state = MenuState::Damaged;
        return menu;
    }
    menu.state = MenuState::Loaded;
    const std::int64_t lastRow = table->upper(1).value_or(-1);
    std::int64_t end = lastRow + 1; // first row that holds no slot
    for (std::int64_t row = 0; row <= lastRow; ++row) {
        if (IsMarkerRow(*table, row)) {
            end = row;
            if (const auto background = IntegerOf(*table, kColourBackground, row))
                menu.background = *background;
            if (const auto text = IntegerOf(*table, kColourText, row))
                menu.text = *text;
            break;
        }
    }
    end = std::min<std::int64_t>(end, kSlots + 1);
    for (std::int64_t row = 1; row < end; ++row)
        menu.records[static_cast<std::size_t>(row - 1)] = SlotOfRow(*table, row);
    return menu;
}

Menu ReadMenu(const ByteArray& bytes) {
    return ReadMenu(bytes.data(), bytes.size());
}

std::string SlotKey(int page, int button) {
    return std::to_string(button) + std::to_string(page);
}

std::string PageIndicator(int page) {
    return std::to_string(page + 1) + "/" + std::to_string(kPages);
}

int StepPage(int page, int delta) {
    return std::clamp(page + delta, 0, kPages - 1);
}

Colour ResolveColour(std::uint32_t stored, const std::function<Colour(int)>& systemColour) {
    if ((stored & 0x80000000u) == 0)
        return stored & 0x00FFFFFFu;
    constexpr int kLastSystemColour = 30; // COLOR_MENUBAR
    constexpr int kButtonFaceIndex = 15;
    int index = static_cast<int>(stored & 0xFF);
    if (index > kLastSystemColour)
        index = kButtonFaceIndex;
    return systemColour(index) & 0x00FFFFFFu;
}

std::size_t CharacterCount(std::string_view cp932) {
    std::size_t count = 0;
    for (std::size_t k = 0; k < cp932.size(); ++count) {
        const auto c = static_cast<unsigned char>(cp932[k]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        k += (lead && k + 1 < cp932.size()) ? 2 : 1;
    }
    return count;
}

Colour DescriptionColour(std::string_view cp932, Colour previous, Colour plain) {
    if (CharacterCount(cp932) <= 5)
        return previous;
    return cp932.substr(0, 5) == "http:" ? kBlue : plain;
}

void DescriptionColours::show(const SlotRecord& slot) {
    line1 = DescriptionColour(slot.line1, line1, kRed);
    line2 = DescriptionColour(slot.line2, line2, kBlack);
}

const std::string& ShownTitle1(const SlotRecord& slot) {
    return slot.title1.empty() ? kDefaultNameTitle : slot.title1;
}

const std::string& ShownTitle2(const SlotRecord& slot) {
    return slot.title2.empty() ? kDefaultSerialTitle : slot.title2;
}

std::u16string FolderOf(std::u16string_view path) {
    const std::size_t slash = path.rfind(u'\\');
    if (slash == std::u16string_view::npos)
        return {};
    std::u16string folder(path.substr(0, slash));
    if (folder.size() == 2 && IsDrivePath(folder))
        folder += u'\\';
    return folder;
}

LaunchTarget ResolveTarget(std::u16string_view cdRoot, std::u16string_view path) {
    LaunchTarget t;
    if (path.empty())
        return t;
    if (StartsWithScheme(path)) {
        t.kind = LaunchTarget::Kind::Address;
        t.target = path;
        return t;
    }
    std::u16string relative(path);
    std::replace(relative.begin(), relative.end(), u'/', u'\\');
    if (IsDrivePath(relative) || relative.starts_with(u"\\\\")) {
        t.target = relative;
    } else {
        std::u16string root(cdRoot);
        std::replace(root.begin(), root.end(), u'/', u'\\');
        if (!root.empty() && root.back() != u'\\')
            root += u'\\';
        const std::size_t first = relative.find_first_not_of(u'\\');
        if (first == std::u16string::npos)
            return t; // only separators: nothing to start
        t.target = root + relative.substr(first);
    }
    t.kind = LaunchTarget::Kind::File;
    t.folder = FolderOf(t.target);
    return t;
}

PictureLocation LocatePicture(const ByteArray& bytes) {
    const ByteView b(bytes);
    if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M')
        return LocateBitmap(b);
    if (U16(b, 0) == std::uint16_t{0} && U16(b, 2) == std::uint16_t{1})
        return LocateIcon(b);
    return {};
}

} // namespace kz::launcher
