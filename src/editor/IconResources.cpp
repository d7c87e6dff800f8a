#include "editor/IconResources.h"

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

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t I32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(U32(p));
}

std::uint32_t U32Be(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

void Put16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Bytes& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A stored byte of 0 stands for 256 in icon directories.
int Side(std::uint8_t stored) {
    return stored == 0 ? 256 : stored;
}

IconEntry EntryFrom(const std::uint8_t* p) {
    IconEntry e;
    e.width = Side(p[0]);
    e.height = Side(p[1]);
    e.colorCount = p[2];
    e.planes = U16(p + 4);
    e.bitCount = U16(p + 6);
    e.bytes = U32(p + 8);
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
    std::uint8_t h[kIcoHeader];
    if (!source_.read(0, sizeof h, h))
        return;
    const int images = U16(h + 4);
    if (U16(h) != 0 || U16(h + 2) != 1 || images == 0 || images > kMaxImagesPerIcon)
        return;
    if (kIcoHeader + kIcoEntry * static_cast<std::uint64_t>(images) > source_.size())
        return;
    kind_ = FileKind::Ico;
    count_ = 1;
}

void IconResources::readPe() {
    std::uint8_t dos[64];
    if (!source_.read(0, sizeof dos, dos))
        return;
    const std::uint64_t nt = U32(dos + 0x3C);
    std::uint8_t coff[24];
    if (!source_.read(nt, sizeof coff, coff) || std::memcmp(coff, "PE\0\0", 4) != 0)
        return;
    const std::uint32_t sectionCount = U16(coff + 6);
    const std::uint32_t optionalSize = U16(coff + 20);
    const std::uint64_t optional = nt + sizeof coff;

    std::uint8_t magic[2];
    if (!source_.read(optional, 2, magic))
        return;
    std::size_t countAt = 0;
    std::size_t directoriesAt = 0;
    FileKind kind = FileKind::Unknown;
    switch (U16(magic)) {
    case 0x10B:
        kind = FileKind::Pe32;
        countAt = 92;
        directoriesAt = 96;
        break;
    case 0x20B:
        kind = FileKind::Pe64;
        countAt = 108;
        directoriesAt = 112;
        break;
    default:
        return;
    }
    // The resource table is the third data directory.
    const std::size_t needed = directoriesAt + 3 * 8;
    if (optionalSize < needed)
        return;
    std::uint8_t header[112 + 3 * 8];
    if (!source_.read(optional, needed, header))
        return;
    kind_ = kind;
    if (U32(header + countAt) < 3)
        return;
    const std::uint32_t resourceRva = U32(header + directoriesAt + 16);
    if (resourceRva == 0 || sectionCount == 0 || sectionCount > kMaxSections)
        return;

    std::vector<std::uint8_t> table(sectionCount * 40u);
    if (!source_.read(optional + optionalSize, table.size(), table.data()))
        return;
    sections_.reserve(sectionCount);
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
        const std::uint8_t* s = table.data() + i * 40u;
        sections_.push_back({U32(s + 12), U32(s + 8), U32(s + 16), U32(s + 20)});
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
    std::uint8_t h[16];
    if (!readRva(rva, sizeof h, h))
        return std::nullopt;
    Directory dir;
    dir.rva = static_cast<std::uint32_t>(rva);
    dir.named = U16(h + 12);
    dir.entries = dir.named + U16(h + 14);
    // Counts are believed only when all the entries they announce are there.
    if (!fileOffset(rva + 16, dir.entries * 8ull))
        return std::nullopt;
    return dir;
}

std::optional<IconResources::DirEntry> IconResources::entry(const Directory& dir,
                                                            std::uint32_t index) const {
    std::uint8_t e[8];
    if (index >= dir.entries || !readRva(dir.rva + 16ull + index * 8ull, sizeof e, e))
        return std::nullopt;
    return DirEntry{U32(e), U32(e + 4)};
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
    std::uint8_t data[8];
    if (!readRva(static_cast<std::uint64_t>(resourceRva_) + first->target, sizeof data, data))
        return std::nullopt;
    return Leaf{U32(data), U32(data + 4)};
}

std::vector<IconEntry> IconResources::entries(int icon) const {
    std::vector<IconEntry> result;
    if (icon < 0 || icon >= count_)
        return result;

    if (kind_ == FileKind::Ico) {
        std::uint8_t h[kIcoHeader];
        if (!source_.read(0, sizeof h, h))
            return result;
        const std::size_t n = U16(h + 4);
        std::vector<std::uint8_t> table(n * kIcoEntry);
        if (!source_.read(kIcoHeader, table.size(), table.data()))
            return result;
        for (std::size_t i = 0; i < n; ++i) {
            IconEntry e = EntryFrom(table.data() + i * kIcoEntry);
            e.location = U32(table.data() + i * kIcoEntry + 12);
            result.push_back(e);
        }
        return result;
    }

    const auto named = entry(*groups_, static_cast<std::uint32_t>(icon));
    const auto leaf = named ? firstLanguage(*named) : std::nullopt;
    if (!leaf || leaf->size < kIcoHeader)
        return result;
    std::uint8_t h[kIcoHeader];
    if (!readRva(leaf->rva, sizeof h, h))
        return result;
    const std::size_t n = U16(h + 4);
    if (U16(h + 2) != 1 || n == 0 || n > static_cast<std::size_t>(kMaxImagesPerIcon) ||
        kIcoHeader + n * kGroupEntry > leaf->size)
        return result;
    std::vector<std::uint8_t> table(n * kGroupEntry);
    if (!readRva(leaf->rva + static_cast<std::uint64_t>(kIcoHeader), table.size(), table.data()))
        return result;
    for (std::size_t i = 0; i < n; ++i) {
        IconEntry e = EntryFrom(table.data() + i * kGroupEntry);
        e.location = U16(table.data() + i * kGroupEntry + 12);
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

// Older files leave the bit count at 0; then the image's own header tells.
int IconResources::effectiveBits(const IconEntry& entry) const {
    if (entry.bitCount != 0)
        return std::min(entry.bitCount, 32);
    if (const auto span = imageSpan(entry); span && span->size >= 16) {
        Bytes head(16);
        if (source_.read(span->offset, head.size(), head.data())) {
            if (IsPng(head))
                return 32;
            return std::min<int>(U16(head.data() + 14), 32);
        }
    }
    switch (entry.colorCount) {
    case 2:
        return 1;
    case 16:
        return 4;
    default:
        return 8;
    }
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

std::optional<Bytes> IconResources::icoFile(int icon) const {
    std::vector<std::pair<IconEntry, Bytes>> images;
    std::size_t total = kIcoHeader;
    for (const IconEntry& e : entries(icon)) {
        const auto span = imageSpan(e);
        if (!span || total + kIcoEntry + span->size > kMaxIconFileBytes)
            continue;
        if (auto data = imageData(e)) {
            total += kIcoEntry + data->size();
            images.emplace_back(e, std::move(*data));
        }
    }
    if (images.empty())
        return std::nullopt;

    Bytes out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(kIcoHeader + kIcoEntry * images.size());
    for (const auto& [e, data] : images) {
        out.push_back(static_cast<std::uint8_t>(e.width >= 256 ? 0 : e.width));
        out.push_back(static_cast<std::uint8_t>(e.height >= 256 ? 0 : e.height));
        out.push_back(static_cast<std::uint8_t>(e.colorCount));
        out.push_back(0);
        Put16(out, static_cast<std::uint32_t>(e.planes));
        Put16(out, static_cast<std::uint32_t>(e.bitCount));
        Put32(out, static_cast<std::uint32_t>(data.size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(data.size());
    }
    for (const auto& image : images)
        out.insert(out.end(), image.second.begin(), image.second.end());
    return out;
}

bool IsPng(const Bytes& image) {
    return image.size() >= kPngSignature.size() &&
           std::equal(kPngSignature.begin(), kPngSignature.end(), image.begin());
}

std::optional<std::pair<int, int>> PngSize(const Bytes& image) {
    if (image.size() < 24 || !IsPng(image) || std::memcmp(image.data() + 12, "IHDR", 4) != 0)
        return std::nullopt;
    const std::uint32_t width = U32Be(image.data() + 16);
    const std::uint32_t height = U32Be(image.data() + 20);
    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide)
        return std::nullopt;
    return std::pair{static_cast<int>(width), static_cast<int>(height)};
}

Pixels DecodeDib(const Bytes& image) {
    const std::size_t size = image.size();
    const std::uint8_t* p = image.data();
    if (size < 40)
        return {};
    const std::uint32_t headerSize = U32(p);
    const std::int32_t width = I32(p + 4);
    const std::int32_t doubleHeight = I32(p + 8); // colour bits and mask, one above the other
    const int bits = U16(p + 14);
    const std::uint32_t compression = U32(p + 16);
    const std::uint32_t colorsUsed = U32(p + 32);
    if (headerSize < 40 || headerSize > size || width < 1 || width > kMaxImageSide ||
        doubleHeight < 2 || doubleHeight > 2 * kMaxImageSide)
        return {};
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return {};
    const int height = doubleHeight / 2;

    std::uint64_t pos = headerSize;
    std::uint32_t red = 0x00FF0000u, green = 0x0000FF00u, blue = 0x000000FFu, alpha = 0xFF000000u;
    if (bits == 16) {
        red = 0x7C00u;
        green = 0x03E0u;
        blue = 0x001Fu;
        alpha = 0;
    }
    bool bitfields = false;
    if (compression == 3 && (bits == 16 || bits == 32)) {
        // The masks follow a plain header and are part of the larger ones.
        const std::uint64_t at = headerSize >= 52 ? 40 : headerSize;
        if (at + 12 > size)
            return {};
        red = U32(p + at);
        green = U32(p + at + 4);
        blue = U32(p + at + 8);
        alpha = headerSize >= 56 ? U32(p + 52) : 0;
        if (headerSize < 52)
            pos += 12;
        bitfields = true;
    } else if (compression != 0) {
        return {};
    }

    std::uint32_t paletteSize = 0;
    if (bits <= 8) {
        const std::uint32_t full = 1u << bits;
        paletteSize = colorsUsed == 0 ? full : std::min(colorsUsed, full);
    } else if (colorsUsed > 256) {
        return {};
    }
    const std::uint64_t paletteAt = pos;
    pos += (bits <= 8 ? paletteSize : colorsUsed) * 4ull;

    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    const std::uint64_t maskStride = (static_cast<std::uint64_t>(width) + 31) / 32 * 4;
    const std::uint64_t colourAt = pos;
    const std::uint64_t maskAt = colourAt + stride * static_cast<std::uint64_t>(height);
    if (maskAt > size)
        return {};
    // A few writers leave the mask out; such an image is shown opaque.
    const bool hasMask = maskAt + maskStride * static_cast<std::uint64_t>(height) <= size;

    Pixels out;
    out.width = width;
    out.height = height;
    out.argb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));

    auto paletteColour = [&](std::uint32_t index) -> std::uint32_t {
        if (index >= paletteSize)
            return 0;
        const std::uint8_t* q = p + paletteAt + index * 4ull;
        return (std::uint32_t{q[2]} << 16) | (std::uint32_t{q[1]} << 8) | q[0];
    };

    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        // Rows are stored bottom-up.
        const std::uint8_t* row =
            p + colourAt + static_cast<std::uint64_t>(height - 1 - y) * stride;
        std::uint32_t* dst = out.argb.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            std::uint32_t rgb = 0;
            std::uint32_t a = 0;
            switch (bits) {
            case 1:
                rgb = paletteColour((row[x / 8] >> (7 - x % 8)) & 1u);
                break;
            case 4:
                rgb = paletteColour((row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0Fu);
                break;
            case 8:
                rgb = paletteColour(row[x]);
                break;
            case 16: {
                const std::uint32_t v = U16(row + x * 2);
                rgb = (Channel(v, red) << 16) | (Channel(v, green) << 8) | Channel(v, blue);
                a = Channel(v, alpha);
                break;
            }
            case 24: {
                const std::uint8_t* q = row + x * 3;
                rgb = (std::uint32_t{q[2]} << 16) | (std::uint32_t{q[1]} << 8) | q[0];
                break;
            }
            default: {
                const std::uint32_t v = U32(row + x * 4);
                if (bitfields) {
                    rgb = (Channel(v, red) << 16) | (Channel(v, green) << 8) | Channel(v, blue);
                    a = Channel(v, alpha);
                } else {
                    rgb = v & 0x00FFFFFFu;
                    a = v >> 24;
                }
                break;
            }
            }
            anyAlpha = anyAlpha || a != 0;
            dst[x] = (a << 24) | rgb;
        }
    }

    // An image whose alpha is all zero was drawn for the mask alone.
    const bool useAlpha = anyAlpha && (bits == 32 || (bits == 16 && alpha != 0));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* maskRow =
            hasMask ? p + maskAt + static_cast<std::uint64_t>(height - 1 - y) * maskStride
                    : nullptr;
        std::uint32_t* dst = out.argb.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            std::uint32_t& px = dst[x];
            if (!useAlpha) {
                const bool masked = maskRow && ((maskRow[x / 8] >> (7 - x % 8)) & 1u) != 0;
                px = masked ? 0 : (px | 0xFF000000u);
            } else if ((px >> 24) == 0) {
                px = 0;
            }
        }
    }
    return out;
}

} // namespace kz::icons
