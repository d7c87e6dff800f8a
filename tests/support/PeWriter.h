#pragma once

// Builds the files the icon reader is tested and measured on: Windows
// executables (PE32 and PE32+) holding chosen icon groups, and .ico files,
// both from QImage. The executables carry no real code; they only have to be
// laid out as the system lays them out.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

#include <vector>

namespace kz::test {

enum class Encoding { Dib, Png };

// One image of an icon.
struct IconImage {
    QImage image;
    int bits = 32; // DIB colour depth: 1, 4, 8, 24 or 32 (colours must fit the palette)
    Encoding encoding = Encoding::Dib;
    // A 32-bit DIB with an all-zero alpha channel, transparent through its AND
    // mask alone, as older writers made them.
    bool maskOnly = false;
    // The bit count the icon's directory claims; -1 for the true one. Some
    // older files store 0.
    int storedBits = -1;
};

// One icon group of an executable: named when `name` is set, else by `id`
// (0: the next free id).
struct IconGroup {
    std::vector<IconImage> images;
    QString name;
    int id = 0;
};

struct PeOptions {
    bool pe64 = false;
    std::vector<IconGroup> groups;
    // Zero bytes in the code section ahead of the resources, which come last.
    qint64 padding = 0;
};

// File offsets of the parts tests like to damage.
struct PeLayout {
    qint64 peHeader = 0; // "PE\0\0"
    qint64 optionalHeader = 0;
    qint64 directoryCount = 0;  // NumberOfRvaAndSizes
    qint64 dataDirectories = 0; // the first of them; resources are the third
    qint64 sectionTable = 0;    // the resource section is the second entry
    qint64 resourceSection = 0;
    quint32 resourceRva = 0;
    qint64 root = 0; // resource directories
    qint64 groupDirectory = 0;
    qint64 iconDirectory = 0;
    QList<qint64> groupLanguages; // per group, in stored order: its language directory
    QList<qint64> groupDataEntry; // per group: IMAGE_RESOURCE_DATA_ENTRY
    QList<qint64> groupData;      // per group: GRPICONDIR
    QList<qint64> imageDataEntry; // per image id 1, 2, ...
    QList<qint64> imageData;
};

struct PeFile {
    QByteArray head;      // headers and the start of the code section
    QByteArray resources; // the resource section
    PeLayout layout;
    qint64 size = 0; // the whole file; zeros between head and resources

    // The whole file in memory (for small files).
    QByteArray bytes() const;
    // Writes the file; the zero gap is left to the file system (sparse).
    bool write(const QString& path) const;
};

// Groups are stored named first, in the order given, then by id ascending, as
// the system's resource compiler stores them. Images get ids 1, 2, ... in the
// order of the groups as given.
PeFile BuildPe(const PeOptions& options);

// One image as an icon stores it: a DIB (header, colour table, colour bits and
// AND mask, rows bottom-up) or a PNG file.
QByteArray IconImageBytes(const IconImage& image);

// An .ico file holding the images.
QByteArray IcoFile(const std::vector<IconImage>& images);

// Defined with the other file helpers (TestFiles.h).
bool WriteBytes(const QString& path, const QByteArray& bytes);

} // namespace kz::test
