#include "tests/support/PeWriter.h"

#include <QBuffer>
#include <QRegularExpression>

#include <algorithm>
#include <tuple>

namespace kz::test {

namespace {

constexpr quint32 kSubdirectory = 0x80000000u;
constexpr quint32 kFileAlignment = 0x200;
constexpr quint32 kSectionAlignment = 0x1000;
constexpr quint32 kHeadersSize = 0x400;
constexpr quint32 kPeHeader = 0x80;

quint64 Align(quint64 value, quint64 to) {
    return (value + to - 1) / to * to;
}

// Little-endian `size` bytes at `at`, growing `out` as needed.
void Put(QByteArray& out, qint64 at, quint64 v, int size = 4) {
    if (out.size() < at + size)
        out.resize(at + size, '\0');
    for (int k = 0; k < size; ++k)
        out[at + k] = char(v >> (8 * k));
}

// The fields an icon directory keeps about one image, up to the bytes count.
void AppendDirectoryFields(QByteArray& out, const IconImage& image, qint64 bytes) {
    const bool dib = image.encoding != Encoding::Png;
    const int bits = image.storedBits >= 0 ? image.storedBits : dib ? image.bits : 32;
    for (const int side : {image.image.width(), image.image.height()})
        out.append(char(side >= 256 ? 0 : side));
    Put(out, out.size(), dib && image.bits < 8 ? 1 << image.bits : 0, 2); // colours, reserved
    Put(out, out.size(), 1 | quint64(bits) << 16);                        // planes, bits
    Put(out, out.size(), quint64(bytes));
}

// Header, masks or colour table, colour rows and AND mask, rows bottom-up.
QByteArray DibBytes(const IconImage& icon) {
    const QImage image = icon.image.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width(), h = image.height(), bits = icon.bits;
    const bool bitFields = icon.encoding == Encoding::BitFields;
    const qint64 stride = (qint64(w) * bits + 31) / 32 * 4, maskStride = (w + 31) / 32 * 4;
    // The palette holds the opaque colours in the order they first appear.
    QList<QRgb> palette;
    for (int i = 0; i < w * h && bits <= 8; ++i)
        if (const QRgb px = image.pixel(i % w, i / w) & 0xFFFFFFu;
            qAlpha(image.pixel(i % w, i / w)) && !palette.contains(px))
            palette.append(px);
    palette.resize(bits <= 8 ? 1 << bits : 0);
    QByteArray out(40, '\0'), mask;
    for (const auto& [at, value] : {std::pair<int, qint64>{0, 40},
                                    {4, w},
                                    {8, 2 * h},
                                    {12, 1 | bits << 16},
                                    {16, bitFields ? 3 : 0},
                                    {20, (stride + maskStride) * h}})
        Put(out, at, quint64(value));
    const QList<QRgb> masks =
        bits == 16 ? QList<QRgb>{0x1F, 0x7E0, 0xF800} : QList<QRgb>{0xFF, 0xFF00, 0xFF0000};
    for (const QRgb value : bitFields ? masks : palette)
        Put(out, out.size(), value); // red, green, blue masks; or B, G, R, 0 in file order
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(stride, '\0'), maskRow(maskStride, '\0');
        for (int x = 0; x < w; ++x) {
            const QRgb px = image.pixel(x, y);
            const int index = qAlpha(px) == 0 ? 0 : int(palette.indexOf(px & 0xFFFFFFu));
            maskRow[x / 8] = char(uchar(maskRow[x / 8]) | (qAlpha(px) ? 0 : 0x80 >> (x % 8)));
            if (bits <= 8)
                row[x * bits / 8] =
                    char(uchar(row[x * bits / 8]) | (index << (8 - bits * (x % (8 / bits) + 1))));
            else
                Put(row, x * bits / 8,
                    !bitFields   ? px
                    : bits == 16 ? qRed(px) >> 3 | qGreen(px) >> 2 << 5 | qBlue(px) >> 3 << 11
                                 : qRed(px) | qGreen(px) << 8 | qBlue(px) << 16,
                    bits / 8);
        }
        out.append(row);
        mask.append(maskRow);
    }
    return out + mask;
}

QByteArray ImageBytes(const IconImage& image) {
    if (image.encoding != Encoding::Png)
        return DibBytes(image);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.image.save(&buffer, "PNG");
    return png;
}

// The head of an icon directory: reserved, type 1 (icon), the image count.
QByteArray IconDirectory(const std::vector<IconImage>& images) {
    return Patched(QByteArray(6, '\0'), 2, 1 | quint64(images.size()) << 16);
}

// One resource under its type: a name, or an id when the name is empty.
struct Resource {
    QString name;
    quint32 id = 0;
    QByteArray data;
};

} // namespace

std::vector<IconImage> IconImages(const QString& description) {
    std::vector<IconImage> images;
    for (const QString& item : description.split(QLatin1Char(' '))) {
        const QStringList n = item.split(QRegularExpression(QStringLiteral("[x@/]")));
        const QImage image = Solid(kIconColours[images.size()], n[0].toInt(), n[1].toInt());
        images.push_back({image, n[2].toInt(),
                          n[2] == QLatin1String("png") ? Encoding::Png : Encoding::Dib,
                          n.value(3, QStringLiteral("-1")).toInt()});
    }
    return images;
}

QByteArray IcoFile(const std::vector<IconImage>& images) {
    QByteArray out = IconDirectory(images), data;
    for (const IconImage& image : images) {
        const QByteArray bytes = ImageBytes(image);
        AppendDirectoryFields(out, image, bytes.size());
        Put(out, out.size(), quint32(6 + 16 * images.size() + data.size()));
        data.append(bytes);
    }
    return out + data;
}

QByteArray Patched(QByteArray bytes, qint64 at, quint64 value, int size) {
    Put(bytes, at, value, size);
    return bytes;
}

QByteArray PeFile::bytes() const {
    QByteArray out(size, '\0');
    out.replace(0, head.size(), head);
    return out.replace(layout.resourceSection, resources.size(), resources);
}

PeFile BuildPe(const PeOptions& options) {
    PeFile pe;
    PeLayout& l = pe.layout;
    QList<Resource> images, groups;
    for (const IconGroup& group : options.groups) {
        QByteArray directory = IconDirectory(group.images);
        for (const IconImage& image : group.images) {
            images.append({QString(), quint32(images.size() + 1), ImageBytes(image)});
            AppendDirectoryFields(directory, image, images.last().data.size());
            Put(directory, directory.size(), images.last().id, 2);
        }
        const quint32 id = group.id != 0 ? quint32(group.id) : 0x7000u + quint32(groups.size());
        groups.append({group.name, id, directory});
    }
    const quint64 textRaw = Align(kFileAlignment + quint64(options.padding), kFileAlignment);
    const quint64 resourceRva = Align(kSectionAlignment + textRaw, kSectionAlignment);
    l.resourceSection = qint64(kHeadersSize + textRaw);

    // Directories are written as they are reached and pointed at afterwards.
    QByteArray& r = pe.resources;
    auto directory = [&r](qsizetype named, qsizetype ids) {
        const qint64 at = r.size();
        r.append(16 + 8 * (named + ids), '\0');
        Put(r, at + 12, quint64(named) | quint64(ids) << 16);
        return at;
    };
    const qint64 root = directory(0, 2);
    for (const auto& [t, type, list] : {std::tuple{0, 3, &images}, std::tuple{1, 14, &groups}}) {
        const qsizetype named = std::count_if(
            list->begin(), list->end(), [](const Resource& res) { return !res.name.isEmpty(); });
        const qint64 typeAt = directory(named, list->size() - named);
        Put(r, root + 16 + 8 * t, type);
        Put(r, root + 20 + 8 * t, quint32(typeAt) | kSubdirectory);
        for (int i = 0; i < list->size(); ++i) {
            const Resource& res = list->at(i);
            const qint64 languageAt = directory(0, 1), entryAt = r.size();
            r.append(16, '\0');
            Put(r, typeAt + 20 + 8 * i, quint32(languageAt) | kSubdirectory);
            Put(r, languageAt + 16, 0x411); // Japanese
            Put(r, languageAt + 20, quint64(entryAt));
            Put(r, typeAt + 16 + 8 * i, res.name.isEmpty() ? res.id : r.size() | kSubdirectory);
            if (!res.name.isEmpty()) // its length, then UTF-16
                r += Patched({}, 0, quint64(res.name.size()), 2) +
                     QByteArray(reinterpret_cast<const char*>(res.name.utf16()),
                                2 * res.name.size());
            r.resize(qsizetype(Align(quint64(r.size()), 8)), '\0');
            Put(r, entryAt, resourceRva + quint64(r.size()));
            Put(r, entryAt + 4, quint64(res.data.size()));
            const qint64 file = l.resourceSection;
            if (i == 0 && type == 3)
                std::tie(l.imageDataEntry, l.imageData) =
                    std::pair(file + entryAt, file + r.size());
            if (i == 0 && type == 14)
                std::tie(l.groupDirectory, l.groupLanguage, l.groupData) =
                    std::tuple(file + typeAt, file + languageAt, file + r.size());
            r.append(res.data);
        }
    }
    r.resize(qsizetype(Align(quint64(r.size()), kFileAlignment)), '\0');

    // Headers: DOS header, PE signature, COFF header, optional header, two
    // sections (code, resources).
    QByteArray& h = pe.head;
    h = QByteArray(kHeadersSize + kFileAlignment, '\0');
    h.replace(0, 2, "MZ");
    Put(h, 0x3C, kPeHeader);
    h.replace(kPeHeader, 4, QByteArray("PE\0\0", 4));
    l.peHeader = kPeHeader;
    const qint64 optionalHeader = kPeHeader + 24;
    const quint32 optionalSize = options.pe64 ? 240 : 224;
    Put(h, kPeHeader + 4, options.pe64 ? 0x8664 : 0x14C, 2);
    Put(h, kPeHeader + 6, 2, 2); // sections
    Put(h, kPeHeader + 20, optionalSize, 2);
    Put(h, optionalHeader, options.pe64 ? 0x20B : 0x10B, 2);
    l.directoryCount = optionalHeader + (options.pe64 ? 108 : 92);
    Put(h, l.directoryCount, 16);
    Put(h, l.directoryCount + 4 + 2 * 8, resourceRva); // the third directory: resources
    Put(h, l.directoryCount + 4 + 2 * 8 + 4, quint64(r.size()));
    const qint64 sectionTable = optionalHeader + optionalSize;
    const quint64 size = r.size();
    const quint64 sections[2][4] = {// virtual size and address, raw size and pointer
                                    {textRaw, kSectionAlignment, textRaw, kHeadersSize},
                                    {size, resourceRva, size, quint64(l.resourceSection)}};
    for (int k = 0; k < 2; ++k) {
        h.replace(sectionTable + 40 * k, 5, k == 0 ? ".text" : ".rsrc");
        for (int f = 0; f < 4; ++f)
            Put(h, sectionTable + 40 * k + 8 + 4 * f, sections[k][f]);
    }
    h[kHeadersSize] = char(0xC3); // a lone return instruction
    pe.size = l.resourceSection + r.size();
    l.root = l.resourceSection + root;
    return pe;
}

} // namespace kz::test
