#pragma once

// Builds the files the icon reader is tested and measured on: Windows
// executables (PE32 and PE32+) holding chosen icon groups, and .ico files,
// both from QImage. The executables carry no code; only their layout counts.

#include "tests/support/TestFiles.h"

#include <vector>

namespace kz::test {

// A DIB; or one of 16 or 32 bits whose BI_BITFIELDS masks put red lowest (5, 6
// and 5 bits at 16: channels of 0 or 255 come back exactly), without alpha
// (transparent through the AND mask); or a PNG file.
enum class Encoding { Dib, BitFields, Png };

// One image of an icon.
struct IconImage {
    QImage image;
    int bits = 32; // DIB colour depth: 1, 4, 8, 16 (bit fields only), 24 or 32
    Encoding encoding = Encoding::Dib;
    int storedBits = -1; // the bit count the directory claims; -1: the true one
};

// An icon group of an executable: named when `name` is set, else by `id`
// (0: a free one).
struct IconGroup {
    std::vector<IconImage> images;
    QString name;
    int id = 0;
};

struct PeOptions {
    bool pe64 = false;
    std::vector<IconGroup> groups;
    qint64 padding = 0; // zero bytes ahead of the resources, which come last
};

// File offsets of the parts tests like to damage. The group parts are those
// of the first group in stored order, the image parts those of image 1.
struct PeLayout {
    qint64 peHeader = 0;       // "PE\0\0", then the COFF header
    qint64 directoryCount = 0; // NumberOfRvaAndSizes; the data directories follow
    qint64 resourceSection = 0, root = 0, groupDirectory = 0, groupLanguage = 0;
    qint64 groupData = 0, imageDataEntry = 0, imageData = 0;
};

struct PeFile {
    QByteArray head;      // headers and the start of the code section
    QByteArray resources; // the resource section
    PeLayout layout;
    qint64 size = 0; // the whole file; zeros between head and resources

    QByteArray bytes() const;
};

// Solid images from "16x16@32 48x48@png 32x32@8/0": side by side, depth or png,
// optionally the bit count the directory claims. Image k is in kIconColours[k].
inline constexpr QRgb kIconColours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFFFF00FF};
std::vector<IconImage> IconImages(const QString& description);

// Groups are stored in the order given: give named ones first, then ids
// ascending, as resource compilers store them. Images get ids 1, 2, ... in the
// order given.
PeFile BuildPe(const PeOptions& options);

// The bytes with `size` bytes of `value` written at `at`, little-endian.
QByteArray Patched(QByteArray bytes, qint64 at, quint64 value, int size = 4);

// An .ico file of the images: each a DIB (header, colour table, colour rows
// and AND mask, bottom-up) or a PNG file.
QByteArray IcoFile(const std::vector<IconImage>& images);

} // namespace kz::test
