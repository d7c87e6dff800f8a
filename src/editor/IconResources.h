#pragma once

// Icons held by a file, read straight from its bytes: the icon groups of a
// portable executable (PE32 or PE32+) and the one icon of an .ico file.
// Standard C++ only, so the fuzzers and the launcher can build it, and it never
// asks the operating system to load the file: a hostile or broken file can at
// worst yield no icons.
//
// Only the headers, the resource directory and the images asked for are read,
// so a huge installer costs about as much as a small program.

#include "editor/Dib.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <utility>
#include <vector>

namespace kz::icons {

using Bytes = std::vector<std::uint8_t>;

// Random access to the bytes of a file or a buffer.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Copies exactly `count` bytes starting at `offset` into `dst`. False when
    // any of them lies outside the source or cannot be read.
    virtual bool read(std::uint64_t offset, std::size_t count, std::uint8_t* dst) = 0;
};

// Bytes the caller keeps alive for the lifetime of the source.
class MemorySource final : public ByteSource {
public:
    MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    explicit MemorySource(const Bytes& bytes) : MemorySource(bytes.data(), bytes.size()) {}
    std::uint64_t size() const override { return size_; }
    bool read(std::uint64_t offset, std::size_t count, std::uint8_t* dst) override;

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// A file opened for reading; a file that cannot be opened reads as empty.
class FileSource final : public ByteSource {
public:
    explicit FileSource(const std::filesystem::path& path);
    bool isOpen() const { return open_; }
    std::uint64_t size() const override { return size_; }
    bool read(std::uint64_t offset, std::size_t count, std::uint8_t* dst) override;

private:
    std::ifstream file_;
    std::uint64_t size_ = 0;
    bool open_ = false;
};

// Bounds on what a file may make us read or allocate. Real icons stay far
// below them (the largest common image is 256x256 at 32 bits, about 270 KB).
inline constexpr std::uint32_t kMaxImageBytes = 4u << 20;
inline constexpr int kMaxImageSide = kMaxDibSide;
inline constexpr int kMaxImagesPerIcon = 256;
inline constexpr int kMaxSections = 1024;

enum class FileKind { Unknown, Ico, Pe32, Pe64 };

// One image of an icon as the icon's directory describes it.
struct IconEntry {
    int width = 0; // pixels; a stored 0 means 256
    int height = 0;
    int bitCount = 0;           // as stored, 0 in some older files
    std::uint32_t bytes = 0;    // size of the image as stored
    std::uint32_t location = 0; // file offset in an .ico file, image id in an executable
};

// Decoded pixels, top row first, each 0xAARRGGBB (not premultiplied).
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
    bool isNull() const { return argb.empty(); }
};

class IconResources {
public:
    // Reads the headers (and, for an executable, the top of the resource tree)
    // right away; the images are read only when asked for. The source must
    // outlive this object.
    explicit IconResources(ByteSource& source);

    FileKind kind() const { return kind_; }

    // Icons in the file: the icon groups of an executable, in the order they
    // are stored (named groups first, then by id); 1 for an icon file; 0 for
    // anything else or anything broken.
    int count() const { return count_; }

    // The images of icon `icon` (0-based); empty when it cannot be read.
    std::vector<IconEntry> entries(int icon) const;

    // The stored bytes of one image (a DIB without file header, or a PNG file);
    // nothing when it is missing, out of the file or larger than kMaxImageBytes.
    std::optional<Bytes> imageData(const IconEntry& entry) const;

    // The image of icon `icon` that suits a `side` x `side` display best: the
    // size closest to it (an exact fit, else the nearest, the larger on a tie),
    // then the most colours.
    std::optional<IconEntry> bestEntry(int icon, int side = 32) const;

private:
    struct Section {
        std::uint32_t virtualAddress;
        std::uint32_t virtualSize;
        std::uint32_t rawSize;
        std::uint32_t rawPointer;
    };
    struct Directory {
        std::uint32_t rva = 0;
        std::uint32_t entries = 0; // named + id entries
        std::uint32_t named = 0;
    };
    struct DirEntry {
        std::uint32_t name = 0;
        std::uint32_t target = 0; // with the high bit: a subdirectory
    };

    void readIco();
    void readPe();
    std::optional<std::uint64_t> fileOffset(std::uint64_t rva, std::uint64_t length) const;
    bool readRva(std::uint64_t rva, std::size_t length, std::uint8_t* dst) const;
    std::optional<Directory> directory(std::uint64_t rva) const;
    std::optional<DirEntry> entry(const Directory& dir, std::uint32_t index) const;
    std::optional<Directory> subdirectory(const DirEntry& e) const;
    std::optional<DirEntry> findId(const Directory& dir, std::uint32_t id) const;
    struct Leaf {
        std::uint32_t rva;
        std::uint32_t size;
    };
    std::optional<Leaf> firstLanguage(const DirEntry& named) const;
    struct Span {
        std::uint64_t offset;
        std::uint32_t size;
    };
    std::optional<Span> imageSpan(const IconEntry& entry) const;
    int effectiveBits(const IconEntry& entry) const;

    ByteSource& source_;
    FileKind kind_ = FileKind::Unknown;
    int count_ = 0;
    std::vector<Section> sections_;
    std::uint32_t resourceRva_ = 0;
    std::optional<Directory> root_;
    std::optional<Directory> groups_; // RT_GROUP_ICON names
    std::optional<Directory> images_; // RT_ICON ids
};

// True when the bytes start with the PNG signature (the newer form of icon
// images, mostly the 256-pixel ones).
bool IsPng(const Bytes& image);

// Width and height from a PNG header; nothing for a malformed header or a side
// outside 1..kMaxImageSide.
std::optional<std::pair<int, int>> PngSize(const Bytes& image);

// Decodes an icon image in DIB form (BITMAPINFOHEADER, colour table, colour
// bits, AND mask). 1, 4, 8, 16, 24 and 32 bits per pixel. Transparency comes
// from the alpha channel of a 32-bit image that has one, else from the AND
// mask. Null for anything malformed or larger than kMaxImageSide.
Pixels DecodeDib(const Bytes& image);

} // namespace kz::icons
