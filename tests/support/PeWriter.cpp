#include "tests/support/PeWriter.h"

#include <QBuffer>
#include <QFile>
#include <QHash>

#include <algorithm>

namespace kz::test {

namespace {

constexpr quint32 kSubdirectory = 0x80000000u;
constexpr quint32 kFileAlignment = 0x200;
constexpr quint32 kSectionAlignment = 0x1000;
constexpr quint32 kHeadersSize = 0x400;
constexpr quint32 kPeHeader = 0x80;
constexpr quint32 kLanguage = 0x411; // Japanese

quint64 Align(quint64 value, quint64 to) {
    return (value + to - 1) / to * to;
}

void Put16(QByteArray& out, qint64 at, quint32 v) {
    if (out.size() < at + 2)
        out.resize(at + 2, '\0');
    out[at] = char(v & 0xFF);
    out[at + 1] = char((v >> 8) & 0xFF);
}

void Put32(QByteArray& out, qint64 at, quint32 v) {
    Put16(out, at, v & 0xFFFF);
    Put16(out, at + 2, v >> 16);
}

void Put64(QByteArray& out, qint64 at, quint64 v) {
    Put32(out, at, quint32(v));
    Put32(out, at + 4, quint32(v >> 32));
}

void Append16(QByteArray& out, quint32 v) {
    Put16(out, out.size(), v);
}
void Append32(QByteArray& out, quint32 v) {
    Put32(out, out.size(), v);
}

int StoredBits(const IconImage& image) {
    if (image.storedBits >= 0)
        return image.storedBits;
    return image.encoding == Encoding::Png ? 32 : image.bits;
}

// The fields an icon directory keeps about one image, up to the bytes count.
void AppendDirectoryFields(QByteArray& out, const IconImage& image, qint64 bytes) {
    const int w = image.image.width();
    const int h = image.image.height();
    out.append(char(w >= 256 ? 0 : w));
    out.append(char(h >= 256 ? 0 : h));
    out.append(char(image.encoding == Encoding::Dib && image.bits < 8 ? 1 << image.bits : 0));
    out.append('\0');
    Append16(out, 1);
    Append16(out, quint32(StoredBits(image)));
    Append32(out, quint32(bytes));
}

QByteArray DibBytes(const IconImage& icon) {
    const QImage image = icon.image.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width();
    const int h = image.height();
    const int bits = icon.bits;

    QList<QRgb> palette;
    QHash<QRgb, int> index;
    if (bits <= 8) {
        palette.resize(1 << bits, 0);
        int used = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const QRgb rgb = image.pixel(x, y) & 0xFFFFFFu;
                if (qAlpha(image.pixel(x, y)) == 0 || index.contains(rgb))
                    continue;
                Q_ASSERT(used < palette.size());
                index.insert(rgb, used);
                palette[used++] = rgb;
            }
    }

    QByteArray out;
    Append32(out, 40);
    Append32(out, quint32(w));
    Append32(out, quint32(2 * h));
    Append16(out, 1);
    Append16(out, quint32(bits));
    Append32(out, 0); // BI_RGB
    const qint64 stride = (qint64(w) * bits + 31) / 32 * 4;
    const qint64 maskStride = (qint64(w) + 31) / 32 * 4;
    Append32(out, quint32((stride + maskStride) * h));
    Append32(out, 0);
    Append32(out, 0);
    Append32(out, 0); // every palette entry is written
    Append32(out, 0);
    for (const QRgb rgb : palette)
        Append32(out, rgb); // B, G, R, 0 in file order

    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < w; ++x) {
            const QRgb px = image.pixel(x, y);
            const bool clear = qAlpha(px) == 0;
            switch (bits) {
            case 1:
            case 4:
            case 8: {
                const int i = clear ? 0 : index.value(px & 0xFFFFFFu);
                const int perByte = 8 / bits;
                const int shift = 8 - bits * (x % perByte + 1);
                row[x / perByte] = char(uchar(row[x / perByte]) | (i << shift));
                break;
            }
            case 24:
                row[x * 3] = char(qBlue(px));
                row[x * 3 + 1] = char(qGreen(px));
                row[x * 3 + 2] = char(qRed(px));
                break;
            default:
                row[x * 4] = char(qBlue(px));
                row[x * 4 + 1] = char(qGreen(px));
                row[x * 4 + 2] = char(qRed(px));
                row[x * 4 + 3] = char(icon.maskOnly ? 0 : qAlpha(px));
                break;
            }
        }
        out.append(row);
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(image.pixel(x, y)) == 0)
                row[x / 8] = char(uchar(row[x / 8]) | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

// Resources of one type, as the compiler lays them out under one type entry.
struct Resource {
    QString name; // empty: by id
    quint32 id = 0;
    QByteArray data;
};

} // namespace

QByteArray IconImageBytes(const IconImage& image) {
    if (image.encoding == Encoding::Dib)
        return DibBytes(image);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.image.save(&buffer, "PNG");
    return png;
}

QByteArray IcoFile(const std::vector<IconImage>& images) {
    QByteArray out;
    Append16(out, 0);
    Append16(out, 1);
    Append16(out, quint32(images.size()));
    QList<QByteArray> data;
    for (const IconImage& image : images)
        data.append(IconImageBytes(image));
    qint64 offset = 6 + 16 * qint64(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        AppendDirectoryFields(out, images[i], data[i].size());
        Append32(out, quint32(offset));
        offset += data[i].size();
    }
    for (const QByteArray& d : data)
        out.append(d);
    return out;
}

QByteArray PeFile::bytes() const {
    QByteArray out(size, '\0');
    out.replace(0, head.size(), head);
    out.replace(layout.resourceSection, resources.size(), resources);
    return out;
}

bool PeFile::write(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(head) == head.size() && file.resize(size) &&
           file.seek(layout.resourceSection) && file.write(resources) == resources.size();
}

PeFile BuildPe(const PeOptions& options) {
    PeFile pe;

    // Icon images get ids in the order given; groups are stored named first.
    QList<Resource> icons;
    QList<Resource> groups;
    quint32 nextImageId = 1;
    quint32 nextGroupId = 1;
    QList<QByteArray> groupBlobs;
    for (const IconGroup& group : options.groups) {
        QByteArray dir;
        Append16(dir, 0);
        Append16(dir, 1);
        Append16(dir, quint32(group.images.size()));
        for (const IconImage& image : group.images) {
            const QByteArray bytes = IconImageBytes(image);
            AppendDirectoryFields(dir, image, bytes.size());
            Append16(dir, nextImageId);
            icons.append({QString(), nextImageId++, bytes});
        }
        groupBlobs.append(dir);
    }
    QList<int> ids;
    for (int i = 0; i < int(options.groups.size()); ++i) {
        const IconGroup& group = options.groups[size_t(i)];
        if (!group.name.isEmpty()) {
            groups.append({group.name, 0, groupBlobs[i]});
        } else {
            ids.append(i);
        }
    }
    QList<std::pair<quint32, int>> byId;
    for (const int i : ids) {
        const int wanted = options.groups[size_t(i)].id;
        byId.append({wanted != 0 ? quint32(wanted) : 0x7000u + nextGroupId++, i});
    }
    std::stable_sort(byId.begin(), byId.end());
    for (const auto& [id, i] : byId) {
        groups.append({QString(), id, groupBlobs[i]});
    }
    // Something that is not an icon, as every real program has.
    const QList<Resource> manifests = {{QString(), 1, QByteArray("<assembly/>")}};

    struct Type {
        quint32 id;
        const QList<Resource>* resources;
    };
    QList<Type> types;
    if (!icons.isEmpty())
        types.append({3, &icons});
    if (!groups.isEmpty())
        types.append({14, &groups});
    types.append({24, &manifests});

    // Offsets inside the section: directories, then data entries, names, data.
    QByteArray& r = pe.resources;
    const qint64 rootAt = 0;
    qint64 at = 16 + 8 * types.size();
    QList<qint64> typeAt, languageAt, dataEntryAt, nameAt, dataAt;
    for (const Type& t : types) {
        typeAt.append(at);
        at += 16 + 8 * t.resources->size();
    }
    for (const Type& t : types)
        for (int i = 0; i < t.resources->size(); ++i) {
            languageAt.append(at);
            at += 16 + 8;
        }
    for (const Type& t : types)
        for (int i = 0; i < t.resources->size(); ++i) {
            dataEntryAt.append(at);
            at += 16;
        }
    for (const Type& t : types)
        for (const Resource& res : *t.resources) {
            nameAt.append(at);
            if (!res.name.isEmpty())
                at += Align(2 + 2 * res.name.size(), 4);
        }
    for (const Type& t : types)
        for (const Resource& res : *t.resources) {
            at = qint64(Align(quint64(at), 8));
            dataAt.append(at);
            at += res.data.size();
        }
    r = QByteArray(at, '\0');

    const quint64 textRaw = Align(kFileAlignment + quint64(options.padding), kFileAlignment);
    const quint64 resourceRaw = Align(quint64(r.size()), kFileAlignment);
    const quint32 textRva = kSectionAlignment;
    const quint32 resourceRva = quint32(Align(textRva + textRaw, kSectionAlignment));
    const qint64 resourceOffset = qint64(kHeadersSize + textRaw);

    auto directory = [&](qint64 where, int named, int byIds) {
        Put16(r, where + 12, quint32(named));
        Put16(r, where + 14, quint32(byIds));
    };
    directory(rootAt, 0, int(types.size()));
    int n = 0;
    for (int t = 0; t < types.size(); ++t) {
        Put32(r, rootAt + 16 + 8 * t, types[t].id);
        Put32(r, rootAt + 16 + 8 * t + 4, quint32(typeAt[t]) | kSubdirectory);
        const QList<Resource>& list = *types[t].resources;
        const int named = int(std::count_if(
            list.begin(), list.end(), [](const Resource& res) { return !res.name.isEmpty(); }));
        directory(typeAt[t], named, int(list.size()) - named);
        for (int i = 0; i < list.size(); ++i, ++n) {
            const Resource& res = list[i];
            const qint64 entry = typeAt[t] + 16 + 8 * i;
            if (res.name.isEmpty()) {
                Put32(r, entry, res.id);
            } else {
                Put32(r, entry, quint32(nameAt[n]) | kSubdirectory);
                Put16(r, nameAt[n], quint32(res.name.size()));
                for (int c = 0; c < res.name.size(); ++c)
                    Put16(r, nameAt[n] + 2 + 2 * c, res.name.at(c).unicode());
            }
            Put32(r, entry + 4, quint32(languageAt[n]) | kSubdirectory);
            directory(languageAt[n], 0, 1);
            Put32(r, languageAt[n] + 16, kLanguage);
            Put32(r, languageAt[n] + 20, quint32(dataEntryAt[n]));
            Put32(r, dataEntryAt[n], resourceRva + quint32(dataAt[n]));
            Put32(r, dataEntryAt[n] + 4, quint32(res.data.size()));
            r.replace(dataAt[n], res.data.size(), res.data);

            PeLayout& l = pe.layout;
            if (types[t].id == 3) {
                l.imageDataEntry.append(resourceOffset + dataEntryAt[n]);
                l.imageData.append(resourceOffset + dataAt[n]);
            } else if (types[t].id == 14) {
                l.groupLanguages.append(resourceOffset + languageAt[n]);
                l.groupDataEntry.append(resourceOffset + dataEntryAt[n]);
                l.groupData.append(resourceOffset + dataAt[n]);
            }
            if (i == 0 && types[t].id == 3)
                l.iconDirectory = resourceOffset + typeAt[t];
            if (i == 0 && types[t].id == 14)
                l.groupDirectory = resourceOffset + typeAt[t];
        }
    }
    r.resize(qint64(resourceRaw), '\0');

    // Headers: DOS stub header, PE signature, COFF header, optional header,
    // two sections (code, resources).
    QByteArray& h = pe.head;
    h = QByteArray(kHeadersSize + kFileAlignment, '\0');
    h[0] = 'M';
    h[1] = 'Z';
    Put32(h, 0x3C, kPeHeader);
    h.replace(kPeHeader, 4, QByteArray("PE\0\0", 4));
    const qint64 coff = kPeHeader + 4;
    const quint32 optionalSize = options.pe64 ? 240 : 224;
    Put16(h, coff, options.pe64 ? 0x8664 : 0x14C);
    Put16(h, coff + 2, 2);
    Put16(h, coff + 16, optionalSize);
    Put16(h, coff + 18, options.pe64 ? 0x0022 : 0x0102);
    const qint64 opt = coff + 20;
    const quint32 sizeOfImage = quint32(Align(resourceRva + quint64(r.size()), kSectionAlignment));
    Put16(h, opt, options.pe64 ? 0x20B : 0x10B);
    Put32(h, opt + 4, quint32(textRaw)); // SizeOfCode
    Put32(h, opt + 16, textRva);         // AddressOfEntryPoint
    Put32(h, opt + 20, textRva);         // BaseOfCode
    if (options.pe64)
        Put64(h, opt + 24, 0x140000000ull); // ImageBase
    else
        Put32(h, opt + 28, 0x400000);
    Put32(h, opt + 32, kSectionAlignment);
    Put32(h, opt + 36, kFileAlignment);
    Put16(h, opt + 40, 4); // operating system 4.0
    Put16(h, opt + 48, 4); // subsystem 4.0
    Put32(h, opt + 56, sizeOfImage);
    Put32(h, opt + 60, kHeadersSize);
    Put16(h, opt + 68, 2); // Windows GUI
    const qint64 counts = opt + (options.pe64 ? 108 : 92);
    Put32(h, counts, 16);
    Put32(h, counts + 4 + 2 * 8, resourceRva);
    Put32(h, counts + 4 + 2 * 8 + 4, quint32(r.size()));
    const qint64 sections = opt + optionalSize;
    auto section = [&](qint64 where, const char* name, quint32 rva, quint64 raw, quint64 offset,
                       quint32 flags) {
        h.replace(where, 8, QByteArray(name).leftJustified(8, '\0'));
        Put32(h, where + 8, quint32(raw));
        Put32(h, where + 12, rva);
        Put32(h, where + 16, quint32(raw));
        Put32(h, where + 20, quint32(offset));
        Put32(h, where + 36, flags);
    };
    section(sections, ".text", textRva, textRaw, kHeadersSize, 0x60000020);
    section(sections + 40, ".rsrc", resourceRva, resourceRaw, quint64(resourceOffset), 0x40000040);
    h[kHeadersSize] = char(0xC3); // a lone return instruction

    pe.size = resourceOffset + r.size();
    PeLayout& l = pe.layout;
    l.peHeader = kPeHeader;
    l.optionalHeader = opt;
    l.directoryCount = counts;
    l.dataDirectories = counts + 4;
    l.sectionTable = sections;
    l.resourceSection = resourceOffset;
    l.resourceRva = resourceRva;
    l.root = resourceOffset + rootAt;
    return pe;
}

} // namespace kz::test
