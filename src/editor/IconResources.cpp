#include "editor/IconResources.h"

#include "editor/Dib.h"
#include "store/ByteReader.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <tuple>

namespace kz::icons {

namespace {

constexpr std::uint32_t kSubdirectoryFlag = 0x80000000u;
constexpr std::uint32_t kIconType = 3;       // RT_ICON
constexpr std::uint32_t kGroupIconType = 14; // RT_GROUP_ICON
constexpr std::size_t kIcoHeader = 6;
constexpr std::size_t kIcoEntry = 16;
constexpr std::size_t kGroupEntry = 14;
constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// A stored byte of 0 stands for 256 in icon directories.
int Side(std::uint8_t stored) {
    return stored == 0 ? 256 : stored;
}

// The fields an .ico directory entry and an icon group entry share, at `at`.
IconEntry EntryFrom(ByteReader& table, std::size_t at) {
    IconEntry e;
    e.width = Side(table.u8At(at));
    e.height = Side(table.u8At(at + 1));
    e.bitCount = table.u16At(at + 6);
    e.bytes = table.u32At(at + 8);
    return e;
}

// One channel through a BI_BITFIELDS mask, widened to 8 bits.
std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0)
        ++shift;
    const std::uint32_t field = mask >> shift;
    const std::uint32_t value = (pixel & mask) >> shift;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(value) * 255u) / field);
}

} // namespace

bool MemorySource::read(std::uint64_t offset, std::size_t count, std::uint8_t* dst) {
    if (offset > size_ || count > size_ - offset)
        return false;
    if (count != 0)
        std::memcpy(dst, data_ + offset, count);
    return true;
}

FileSource::FileSource(const std::filesystem::path& path) {
    // One stat for a path that names no file: typed paths arrive keystroke by
    // keystroke and nearly all of them are partial.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return;
    file_.open(path, std::ios::binary);
    if (!file_)
        return;
    file_.seekg(0, std::ios::end);
    const std::streamoff end = file_.tellg();
    if (!file_ || end < 0)
        return;
    size_ = static_cast<std::uint64_t>(end);
    open_ = true;
}

bool FileSource::read(std::uint64_t offset, std::size_t count, std::uint8_t* dst) {
    if (!open_ || offset > size_ || count > size_ - offset)
        return false;
    if (count == 0)
        return true;
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(offset));
    file_.read(reinterpret_cast<char*>(dst), static_cast<std::streamsize>(count));
    return file_.gcount() == static_cast<std::streamsize>(count);
}

IconResources::IconResources(ByteSource& source) : source_(source) {
    std::uint8_t magic[2];
    if (!source_.read(0, 2, magic))
        return;
    if (magic[0] == 'M' && magic[1] == 'Z')
        readPe();
    else
        readIco();
}

void IconResources::readIco() {
    std::uint8_t header[kIcoHeader];
    if (!source_.read(0, sizeof header, header))
        return;
    ByteReader h(header, sizeof header);
    const int images = h.u16At(4);
    if (h.u16At(0) != 0 || h.u16At(2) != 1 || images == 0 || images > kMaxImagesPerIcon)
        return;
    if (kIcoHeader + kIcoEntry * static_cast<std::uint64_t>(images) > source_.size())
        return;
    kind_ = FileKind::Ico;
    count_ = 1;
}

void IconResources::readPe() {
    std::uint8_t dosHeader[64];
    if (!source_.read(0, sizeof dosHeader, dosHeader))
        return;
    const std::uint64_t nt = ByteReader(dosHeader, sizeof dosHeader).u32At(0x3C);
    std::uint8_t coffHeader[24];
    if (!source_.read(nt, sizeof coffHeader, coffHeader) ||
        std::memcmp(coffHeader, "PE\0\0", 4) != 0)
        return;
    ByteReader coff(coffHeader, sizeof coffHeader);
    const std::uint32_t sectionCount = coff.u16At(6);
    const std::uint32_t optionalSize = coff.u16At(20);
    const std::uint64_t optional = nt + sizeof coffHeader;

    std::uint8_t magic[2];
    if (!source_.read(optional, 2, magic))
        return;
    const std::uint16_t format = ByteReader(magic, sizeof magic).u16At(0);
    if (format != 0x10B && format != 0x20B)
        return;
    // PE32+ widens four fields of the optional header before the count of data
    // directories; the directories follow the count, the resource table third.
    const FileKind kind = format == 0x20B ? FileKind::Pe64 : FileKind::Pe32;
    const std::size_t countAt = kind == FileKind::Pe64 ? 108 : 92;
    const std::size_t directoriesAt = countAt + 4;
    const std::size_t needed = directoriesAt + 3 * 8;
    if (optionalSize < needed)
        return;
    std::uint8_t optionalHeader[112 + 3 * 8];
    if (!source_.read(optional, needed, optionalHeader))
        return;
    ByteReader header(optionalHeader, needed);
    kind_ = kind;
    if (header.u32At(countAt) < 3)
        return;
    const std::uint32_t resourceRva = header.u32At(directoriesAt + 16);
    if (resourceRva == 0 || sectionCount == 0 || sectionCount > kMaxSections)
        return;

    std::vector<std::uint8_t> sectionTable(sectionCount * 40u);
    if (!source_.read(optional + optionalSize, sectionTable.size(), sectionTable.data()))
        return;
    ByteReader table(sectionTable);
    sections_.reserve(sectionCount);
    for (std::uint32_t at = 0; at < sectionCount * 40u; at += 40) {
        sections_.push_back({table.u32At(at + 12), table.u32At(at + 8), table.u32At(at + 16),
                             table.u32At(at + 20)});
    }

    resourceRva_ = resourceRva;
    root_ = directory(resourceRva);
    if (!root_)
        return;
    if (const auto groupType = findId(*root_, kGroupIconType)) {
        groups_ = subdirectory(*groupType);
        // A tree that leads back to its root would make every type a group.
        if (groups_ && groups_->rva == root_->rva)
            groups_.reset();
    }
    if (const auto iconType = findId(*root_, kIconType)) {
        images_ = subdirectory(*iconType);
        if (images_ && images_->rva == root_->rva)
            images_.reset();
    }
    if (groups_)
        count_ = static_cast<int>(groups_->entries);
}

std::optional<std::uint64_t> IconResources::fileOffset(std::uint64_t rva,
                                                       std::uint64_t length) const {
    for (const Section& s : sections_) {
        if (rva < s.virtualAddress)
            continue;
        const std::uint64_t into = rva - s.virtualAddress;
        if (into + length > s.rawSize)
            continue;
        const std::uint64_t offset = s.rawPointer + into;
        if (offset + length <= source_.size())
            return offset;
    }
    return std::nullopt;
}

bool IconResources::readRva(std::uint64_t rva, std::size_t length, std::uint8_t* dst) const {
    const auto offset = fileOffset(rva, length);
    return offset && source_.read(*offset, length, dst);
}

std::optional<IconResources::Directory> IconResources::directory(std::uint64_t rva) const {
    std::uint8_t header[16];
    if (!readRva(rva, sizeof header, header))
        return std::nullopt;
    ByteReader h(header, sizeof header);
    Directory dir;
    dir.rva = static_cast<std::uint32_t>(rva);
    dir.named = h.u16At(12);
    dir.entries = dir.named + h.u16At(14);
    // Counts are believed only when all the entries they announce are there.
    if (!fileOffset(rva + 16, dir.entries * 8ull))
        return std::nullopt;
    return dir;
}

std::optional<IconResources::DirEntry> IconResources::entry(const Directory& dir,
                                                            std::uint32_t index) const {
    std::uint8_t bytes[8];
    if (index >= dir.entries || !readRva(dir.rva + 16ull + index * 8ull, sizeof bytes, bytes))
        return std::nullopt;
    ByteReader e(bytes, sizeof bytes);
    return DirEntry{e.u32At(0), e.u32At(4)};
}

std::optional<IconResources::Directory> IconResources::subdirectory(const DirEntry& e) const {
    if ((e.target & kSubdirectoryFlag) == 0)
        return std::nullopt;
    return directory(static_cast<std::uint64_t>(resourceRva_) + (e.target & ~kSubdirectoryFlag));
}

// Id entries are kept in ascending order, and looked up by halving as the
// system's own resource lookup does.
std::optional<IconResources::DirEntry> IconResources::findId(const Directory& dir,
                                                             std::uint32_t id) const {
    std::uint32_t low = dir.named;
    std::uint32_t high = dir.entries;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        const auto e = entry(dir, middle);
        if (!e)
            return std::nullopt;
        if (e->name == id)
            return e;
        if (e->name < id)
            low = middle + 1;
        else
            high = middle;
    }
    return std::nullopt;
}

std::optional<IconResources::Leaf> IconResources::firstLanguage(const DirEntry& named) const {
    const auto languages = subdirectory(named);
    if (!languages || languages->entries == 0)
        return std::nullopt;
    // The tree has three levels; a language level that points back up is a loop.
    for (const auto& upper : {root_, groups_, images_})
        if (upper && upper->rva == languages->rva)
            return std::nullopt;
    const auto first = entry(*languages, 0);
    if (!first || (first->target & kSubdirectoryFlag) != 0)
        return std::nullopt;
    std::uint8_t bytes[8];
    if (!readRva(static_cast<std::uint64_t>(resourceRva_) + first->target, sizeof bytes, bytes))
        return std::nullopt;
    ByteReader data(bytes, sizeof bytes);
    return Leaf{data.u32At(0), data.u32At(4)};
}

std::vector<IconEntry> IconResources::entries(int icon) const {
    std::vector<IconEntry> result;
    if (icon < 0)
        return result;

    if (kind_ == FileKind::Ico) {
        if (icon != 0)
            return result;
        std::uint8_t header[kIcoHeader];
        if (!source_.read(0, sizeof header, header))
            return result;
        const std::size_t n = ByteReader(header, sizeof header).u16At(4);
        std::vector<std::uint8_t> directory(n * kIcoEntry);
        if (!source_.read(kIcoHeader, directory.size(), directory.data()))
            return result;
        ByteReader table(directory);
        for (std::size_t at = 0; at < directory.size(); at += kIcoEntry) {
            IconEntry e = EntryFrom(table, at);
            e.location = table.u32At(at + 12);
            result.push_back(e);
        }
        return result;
    }

    // The group directory's own count bounds the index.
    if (!groups_)
        return result;
    const auto named = entry(*groups_, static_cast<std::uint32_t>(icon));
    const auto leaf = named ? firstLanguage(*named) : std::nullopt;
    if (!leaf || leaf->size < kIcoHeader)
        return result;
    std::uint8_t header[kIcoHeader];
    if (!readRva(leaf->rva, sizeof header, header))
        return result;
    ByteReader h(header, sizeof header);
    const std::size_t n = h.u16At(4);
    if (h.u16At(2) != 1 || n == 0 || n > static_cast<std::size_t>(kMaxImagesPerIcon) ||
        kIcoHeader + n * kGroupEntry > leaf->size)
        return result;
    std::vector<std::uint8_t> group(n * kGroupEntry);
    if (!readRva(leaf->rva + static_cast<std::uint64_t>(kIcoHeader), group.size(), group.data()))
        return result;
    ByteReader table(group);
    for (std::size_t at = 0; at < group.size(); at += kGroupEntry) {
        IconEntry e = EntryFrom(table, at);
        e.location = table.u16At(at + 12);
        result.push_back(e);
    }
    return result;
}

std::optional<IconResources::Span> IconResources::imageSpan(const IconEntry& entry) const {
    if (kind_ == FileKind::Ico) {
        if (entry.bytes == 0 || entry.bytes > kMaxImageBytes ||
            static_cast<std::uint64_t>(entry.location) + entry.bytes > source_.size())
            return std::nullopt;
        return Span{entry.location, entry.bytes};
    }
    if (!images_)
        return std::nullopt;
    const auto id = findId(*images_, entry.location);
    const auto leaf = id ? firstLanguage(*id) : std::nullopt;
    if (!leaf || leaf->size == 0 || leaf->size > kMaxImageBytes)
        return std::nullopt;
    const auto offset = fileOffset(leaf->rva, leaf->size);
    if (!offset)
        return std::nullopt;
    return Span{*offset, leaf->size};
}

std::optional<Bytes> IconResources::imageData(const IconEntry& entry) const {
    const auto span = imageSpan(entry);
    if (!span)
        return std::nullopt;
    Bytes bytes(span->size);
    if (!source_.read(span->offset, bytes.size(), bytes.data()))
        return std::nullopt;
    return bytes;
}

// Older files leave the bit count at 0; then the image's own header tells. An
// image whose header cannot be read cannot be shown either: it ranks lowest.
int IconResources::effectiveBits(const IconEntry& entry) const {
    if (entry.bitCount != 0)
        return std::min(entry.bitCount, 32);
    if (const auto span = imageSpan(entry); span && span->size >= 16) {
        Bytes head(16);
        if (source_.read(span->offset, head.size(), head.data())) {
            if (IsPng(head))
                return 32;
            return std::min<int>(ByteReader(head).u16At(14), 32);
        }
    }
    return 0;
}

std::optional<IconEntry> IconResources::bestEntry(int icon, int side) const {
    const std::vector<IconEntry> all = entries(icon);
    std::optional<IconEntry> best;
    // Higher is better, compared left to right; the first of equals wins.
    std::tuple<bool, int, bool, int> bestRank{};
    for (const IconEntry& e : all) {
        const bool exact = e.width == side && e.height == side;
        const int distance = std::abs(e.width - side) + std::abs(e.height - side);
        // Shrinking a larger image looks better than blowing up a smaller one.
        const bool larger = e.width >= side && e.height >= side;
        const std::tuple<bool, int, bool, int> rank{exact, -distance, larger, effectiveBits(e)};
        if (!best || rank > bestRank) {
            best = e;
            bestRank = rank;
        }
    }
    return best;
}

bool IsPng(const Bytes& image) {
    return image.size() >= kPngSignature.size() &&
           std::equal(kPngSignature.begin(), kPngSignature.end(), image.begin());
}

std::optional<std::pair<int, int>> PngSize(const Bytes& image) {
    if (image.size() < 24 || !IsPng(image) || std::memcmp(image.data() + 12, "IHDR", 4) != 0)
        return std::nullopt;
    ByteReader header(image);
    const std::uint32_t width = header.u32BeAt(16);
    const std::uint32_t height = header.u32BeAt(20);
    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide)
        return std::nullopt;
    return std::pair{static_cast<int>(width), static_cast<int>(height)};
}

namespace {

// Colour `index` of the table; black past its end.
std::uint32_t PaletteColour(ByteReader& image, const DibLayout& dib, std::uint32_t index) {
    if (index >= dib.paletteEntries)
        return 0;
    return image.u32At(dib.paletteAt + index * 4ull) & 0x00FFFFFFu;
}

// Pixel `x` of the row at `rowAt` as 0xAARRGGBB, with the alpha the pixel
// stores (0 at depths that store none).
std::uint32_t ReadPixel(ByteReader& image, const DibLayout& dib, std::uint64_t rowAt, int x) {
    const auto column = static_cast<std::uint64_t>(x);
    switch (dib.bitsPerPixel) {
    case 1:
        return PaletteColour(image, dib, (image.u8At(rowAt + column / 8) >> (7 - x % 8)) & 1u);
    case 4:
        return PaletteColour(image, dib,
                             (image.u8At(rowAt + column / 2) >> (x % 2 == 0 ? 4 : 0)) & 0x0Fu);
    case 8:
        return PaletteColour(image, dib, image.u8At(rowAt + column));
    case 24: {
        const std::uint64_t at = rowAt + column * 3;
        return (std::uint32_t{image.u8At(at + 2)} << 16) |
               (std::uint32_t{image.u8At(at + 1)} << 8) | image.u8At(at);
    }
    default: {
        const std::uint32_t v = dib.bitsPerPixel == 16 ? image.u16At(rowAt + column * 2)
                                                       : image.u32At(rowAt + column * 4);
        return (Channel(v, dib.alphaMask) << 24) | (Channel(v, dib.redMask) << 16) |
               (Channel(v, dib.greenMask) << 8) | Channel(v, dib.blueMask);
    }
    }
}

// The colour rows into `out`, top row first (they are stored bottom-up). True
// when any pixel has alpha.
bool ReadColourRows(ByteReader& image, const DibLayout& dib, Pixels& out) {
    bool anyAlpha = false;
    for (int y = 0; y < dib.height; ++y) {
        const std::uint64_t rowAt =
            dib.headerEnd + static_cast<std::uint64_t>(dib.height - 1 - y) * dib.stride;
        std::uint32_t* dst = out.argb.data() + static_cast<std::size_t>(y) * dib.width;
        for (int x = 0; x < dib.width; ++x) {
            dst[x] = ReadPixel(image, dib, rowAt, x);
            anyAlpha = anyAlpha || (dst[x] >> 24) != 0;
        }
    }
    return anyAlpha;
}

// An image with alpha keeps it (fully transparent pixels become 0); one whose
// alpha is all zero was drawn for its AND mask, and is opaque where the mask
// bit is clear. A few writers leave the mask out; such an image is opaque.
void ApplyTransparency(ByteReader& image, const DibLayout& dib, bool useAlpha, Pixels& out) {
    const std::uint64_t maskAt = dib.headerEnd + dib.pixelBytes();
    const bool hasMask = image.fits(maskAt, dib.maskBytes());
    for (int y = 0; y < dib.height; ++y) {
        const std::uint64_t maskRowAt =
            maskAt + static_cast<std::uint64_t>(dib.height - 1 - y) * dib.maskStride;
        std::uint32_t* dst = out.argb.data() + static_cast<std::size_t>(y) * dib.width;
        for (int x = 0; x < dib.width; ++x) {
            std::uint32_t& px = dst[x];
            if (!useAlpha) {
                const bool masked =
                    hasMask &&
                    ((image.u8At(maskRowAt + static_cast<std::uint64_t>(x) / 8) >> (7 - x % 8)) &
                     1u) != 0;
                px = masked ? 0 : (px | 0xFF000000u);
            } else if ((px >> 24) == 0) {
                px = 0;
            }
        }
    }
}

} // namespace

Pixels DecodeDib(const Bytes& bytes) {
    ByteReader image(bytes);
    const auto dib = ReadDibLayout(image, 0, DibKind::IconImage);
    if (!dib || !image.fits(dib->headerEnd, dib->pixelBytes()))
        return {};
    Pixels out;
    out.width = dib->width;
    out.height = dib->height;
    out.argb.resize(static_cast<std::size_t>(dib->width) * static_cast<std::size_t>(dib->height));
    const bool anyAlpha = ReadColourRows(image, *dib, out);
    ApplyTransparency(image, *dib, anyAlpha, out);
    return out;
}

} // namespace kz::icons
