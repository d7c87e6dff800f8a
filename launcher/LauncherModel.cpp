#include "launcher/LauncherModel.h"

#include "editor/Dib.h"
#include "output/ArchiveCodec.h"
#include "store/ByteReader.h"

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
    kFirstLine,
    kSecondLine,
    kAppName,
    kUserName,
    kSerial,
    kUserNameTitle,
    kSerialTitle,
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
    slot.firstLine = TextOf(table, kFirstLine, row);
    slot.secondLine = TextOf(table, kSecondLine, row);
    slot.appName = TextOf(table, kAppName, row);
    slot.userName = TextOf(table, kUserName, row);
    slot.serial = TextOf(table, kSerial, row);
    slot.userNameTitle = TextOf(table, kUserNameTitle, row);
    slot.serialTitle = TextOf(table, kSerialTitle, row);
    return slot;
}

// What Windows is handed must be a DIB it draws: one plane, and a header of a
// size it defines (BITMAPINFOHEADER up to BITMAPV5HEADER).
std::optional<DibLayout> ReadDrawableDib(ByteReader& bytes, std::size_t at, DibKind kind) {
    constexpr std::uint32_t kLargestHeader = 124;
    const auto dib = ReadDibLayout(bytes, at, kind);
    if (!dib || dib->headerSize > kLargestHeader || dib->planes != 1)
        return std::nullopt;
    return dib;
}

PictureLocation LocateBitmap(ByteReader& b) {
    constexpr std::size_t kFileHeader = 14;
    const std::uint32_t declaredBits = b.u32At(10);
    const auto dib = ReadDrawableDib(b, kFileHeader, DibKind::Bitmap);
    if (!dib)
        return {};
    // Some writers leave the pixel offset at 0; the pixels then follow the
    // colour table.
    const std::uint64_t bitsOffset = std::max<std::uint64_t>(declaredBits, dib->headerEnd);
    if (!b.fits(bitsOffset, dib->pixelBytes()))
        return {};
    PictureLocation p;
    p.kind = PictureLocation::Kind::Bitmap;
    p.offset = kFileHeader;
    p.size = static_cast<std::size_t>(dib->headerEnd) - kFileHeader;
    p.bitsOffset = static_cast<std::size_t>(bitsOffset);
    p.width = dib->width;
    p.height = dib->height;
    return p;
}

// The bits per pixel of an icon image Windows can draw from its resource bytes:
// a PNG (taken as 32), or a DIB whose colour rows and mask lie within them.
std::optional<int> DrawableIconDepth(std::span<const std::uint8_t> resource) {
    static constexpr std::uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (resource.size() >= sizeof kPng &&
        std::equal(std::begin(kPng), std::end(kPng), resource.begin()))
        return 32;
    ByteReader image(resource);
    const auto dib = ReadDrawableDib(image, 0, DibKind::IconImage);
    if (!dib || !image.fits(dib->headerEnd, dib->pixelBytes() + dib->maskBytes()))
        return std::nullopt;
    return dib->bitsPerPixel;
}

PictureLocation LocateIcon(ByteReader& b) {
    const std::uint16_t count = b.u16At(4);
    if (count == 0)
        return {};
    constexpr std::size_t kDirectory = 6;
    constexpr std::size_t kEntry = 16;
    PictureLocation best;
    int bestDistance = std::numeric_limits<int>::max();
    int bestBits = 0;
    for (std::size_t entry = kDirectory; entry < kDirectory + kEntry * count; entry += kEntry) {
        const std::uint32_t size = b.u32At(entry + 8);
        const std::uint32_t offset = b.u32At(entry + 12);
        if (!b.ok())
            break; // the directory runs past the file
        // The image must lie within its own entry.
        if (!b.fits(offset, size))
            continue;
        const auto bits = DrawableIconDepth(b.bytesAt(offset, size));
        if (!bits)
            continue;
        const int width = b.u8At(entry) ? b.u8At(entry) : 256;
        const int height = b.u8At(entry + 1) ? b.u8At(entry + 1) : 256;
        const int distance = std::abs(width - 32) + std::abs(height - 32);
        if (distance < bestDistance || (distance == bestDistance && *bits > bestBits)) {
            bestDistance = distance;
            bestBits = *bits;
            best.kind = PictureLocation::Kind::Icon;
            best.offset = offset;
            best.size = size;
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
    return icon.empty() && path.empty() && firstLine.empty() && secondLine.empty() &&
           appName.empty() && userName.empty() && serial.empty() && userNameTitle.empty() &&
           serialTitle.empty();
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
    firstLine = DescriptionColour(slot.firstLine, firstLine, kRed);
    secondLine = DescriptionColour(slot.secondLine, secondLine, kBlack);
}

const std::string& ShownUserNameTitle(const SlotRecord& slot) {
    return slot.userNameTitle.empty() ? kDefaultNameTitle : slot.userNameTitle;
}

const std::string& ShownSerialTitle(const SlotRecord& slot) {
    return slot.serialTitle.empty() ? kDefaultSerialTitle : slot.serialTitle;
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
    ByteReader b(bytes.data(), bytes.size());
    if (b.u8At(0) == 'B' && b.u8At(1) == 'M')
        return LocateBitmap(b);
    if (b.u16At(0) == 0 && b.u16At(2) == 1)
        return LocateIcon(b);
    return {};
}

} // namespace kz::launcher
