// Icons as the entry editor gets them from a file: how many a file offers and
// the pictures, from executables and icon files made here, from damaged ones,
// and from real Windows files when the machine has some.
#include "editor/IconResources.h"
#include "editor/modPicture.h"
#include "tests/support/PeWriter.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <functional>

namespace kz::cli {
int RunIcons(const QStringList& args, QTextStream& out, QTextStream& err);
}

using namespace kz;
using modPicture::IconCount;
using modPicture::IconPicture;
using test::Encoding;
using test::IconImage;

using Damage = std::function<void(QByteArray&, const test::PeLayout&)>;
Q_DECLARE_METATYPE(Damage)

namespace {

// Distinct opaque colours: image k of a row is drawn in kColours[k].
const QRgb kColours[] = {0xFFD03020, 0xFF20A040, 0xFF3050D0, 0xFFE0C020, 0xFF9040B0, 0xFF40C0C0};

QImage Solid(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// Four coloured quarters in a transparent two-pixel frame; with `halfClear`,
// one row is half transparent.
QImage Pattern(const QList<QRgb>& quarters, bool halfClear) {
    QImage image = Solid(32, 32, 0);
    for (int y = 2; y < 30; ++y)
        for (int x = 2; x < 30; ++x)
            image.setPixel(x, y, quarters[(y >= 16) * 2 + (x >= 16)]);
    if (halfClear)
        for (int x = 2; x < 30; ++x)
            image.setPixel(x, 8, qRgba(10, 200, 90, 128));
    return image;
}

// What a decoder must produce: fully transparent pixels are all zero, and
// without an alpha channel every other pixel is opaque.
QImage Expected(const QImage& source, bool alpha) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = image.pixel(x, y);
            image.setPixel(x, y, qAlpha(px) == 0 ? 0 : alpha ? px : (px | 0xFF000000u));
        }
    return image;
}

// The first pixel where two pictures differ, empty when they are equal
// (premultiplied, so that colours under full transparency do not count).
QString Difference(const QImage& actual, const QImage& expected) {
    if (actual.size() != expected.size())
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height());
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage e = expected.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != e.pixel(x, y))
                return QStringLiteral("pixel (%1,%2) is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(a.pixel(x, y), 8, 16)
                    .arg(e.pixel(x, y), 8, 16);
    return {};
}

bool Near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2 &&
           std::abs(qBlue(a) - qBlue(b)) <= 2 && std::abs(qAlpha(a) - qAlpha(b)) <= 2;
}

QRgb Centre(const QImage& image) {
    return image.pixel(image.width() / 2, image.height() / 2);
}

// "16x16@32 32x32@4 48x48@png 32x32@8/0": size, then the depth or png, then
// optionally the bit count the directory claims. Image k is drawn in kColours[k].
std::vector<IconImage> Images(const QString& description) {
    std::vector<IconImage> images;
    for (const QString& item : description.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList sizeAndDepth = item.split(QLatin1Char('@'));
        const QStringList size = sizeAndDepth[0].split(QLatin1Char('x'));
        const QStringList depth = sizeAndDepth[1].split(QLatin1Char('/'));
        IconImage image;
        image.image = Solid(size[0].toInt(), size[1].toInt(), kColours[images.size()]);
        if (depth[0] == QLatin1String("png"))
            image.encoding = Encoding::Png;
        else
            image.bits = depth[0].toInt();
        if (depth.size() > 1)
            image.storedBits = depth[1].toInt();
        images.push_back(image);
    }
    return images;
}

test::IconGroup Group(QRgb colour) {
    return {{IconImage{Solid(32, 32, colour)}}, {}, 0};
}

void Put16(QByteArray& bytes, qint64 at, quint32 v) {
    bytes[at] = char(v & 0xFF);
    bytes[at + 1] = char((v >> 8) & 0xFF);
}

void Put32(QByteArray& bytes, qint64 at, quint32 v) {
    Put16(bytes, at, v & 0xFFFF);
    Put16(bytes, at + 2, v >> 16);
}

// Two groups: a 32-bit and an 8-bit DIB image, and a PNG image.
test::PeFile SamplePe(bool pe64 = false) {
    test::PeOptions options;
    options.pe64 = pe64;
    options.groups = {{Images(QStringLiteral("32x32@32 16x16@8")), {}, 0},
                      {Images(QStringLiteral("32x32@png")), {}, 0}};
    return test::BuildPe(options);
}

} // namespace

class TestIcons : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    QString path(const QString& name) const { return dir_->filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) const {
        const QString p = path(name);
        if (!test::WriteBytes(p, bytes))
            qFatal("cannot write %s", qPrintable(p));
        return p;
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }

    void executablesOfferTheirGroups_data() {
        QTest::addColumn<bool>("pe64");
        QTest::addColumn<int>("groups");
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("padding");
        QTest::newRow("PE32 without icons") << false << 0 << "app.exe" << qint64(0);
        QTest::newRow("PE32, one group") << false << 1 << "app.exe" << qint64(0);
        QTest::newRow("PE32, five groups") << false << 5 << "tool.dll" << qint64(0);
        QTest::newRow("PE32+, three groups") << true << 3 << "saver.scr" << qint64(0);
        QTest::newRow("PE32+ control panel") << true << 1 << "panel.cpl" << qint64(0);
        QTest::newRow("content, not name, counts") << false << 2 << "program.bin" << qint64(0);
        QTest::newRow("resources behind 8 MB") << true << 2 << "setup.exe" << qint64(8 << 20);
    }
    void executablesOfferTheirGroups() {
        QFETCH(bool, pe64);
        QFETCH(int, groups);
        QFETCH(QString, name);
        QFETCH(qint64, padding);
        test::PeOptions options;
        options.pe64 = pe64;
        options.padding = padding;
        for (int i = 0; i < groups; ++i)
            options.groups.push_back(Group(kColours[i]));
        const QString file = path(name);
        QVERIFY(test::BuildPe(options).write(file));

        QCOMPARE(IconCount(file), groups);
        for (int i = 0; i < groups; ++i) {
            const QImage picture = IconPicture(file, i);
            QCOMPARE(picture.size(), QSize(32, 32));
            QCOMPARE(picture.format(), QImage::Format_ARGB32);
            QCOMPARE(Centre(picture), kColours[i]);
        }
        QVERIFY(IconPicture(file, groups).isNull());
        QVERIFY(IconPicture(file, -1).isNull());
    }

    // Named groups come first as stored, then the numbered ones by id.
    void groupsComeInStoredOrder() {
        test::PeOptions options;
        options.groups = {Group(kColours[0]), Group(kColours[1]), Group(kColours[2]),
                          Group(kColours[3])};
        options.groups[0].id = 5;
        options.groups[1].name = QStringLiteral("ZETA");
        options.groups[2].name = QStringLiteral("ALPHA");
        options.groups[3].id = 2;
        const QString file = path(QStringLiteral("order.exe"));
        QVERIFY(test::BuildPe(options).write(file));

        QCOMPARE(IconCount(file), 4);
        const QList<QRgb> expected = {kColours[1], kColours[2], kColours[3], kColours[0]};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(Centre(IconPicture(file, i)), expected[i]);
    }

    void imagesDecodeWithTransparency_data() {
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("png");
        QTest::addColumn<bool>("maskOnly");
        QTest::addColumn<QString>("container");
        const struct {
            const char* name;
            int bits;
            bool png;
            bool maskOnly;
        } depths[] = {{"1-bit", 1, false, false},
                      {"4-bit", 4, false, false},
                      {"8-bit", 8, false, false},
                      {"24-bit", 24, false, false},
                      {"32-bit alpha", 32, false, false},
                      {"32-bit mask only", 32, false, true},
                      {"PNG", 32, true, false}};
        for (const char* container : {"ico", "pe32", "pe64"})
            for (const auto& d : depths)
                QTest::newRow(QByteArray(d.name).append(' ').append(container).constData())
                    << d.bits << d.png << d.maskOnly << QString::fromLatin1(container);
    }
    void imagesDecodeWithTransparency() {
        QFETCH(int, bits);
        QFETCH(bool, png);
        QFETCH(bool, maskOnly);
        QFETCH(QString, container);
        const bool alpha = bits == 32 && !maskOnly;
        const QList<QRgb> quarters =
            bits == 1 ? QList<QRgb>{0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000}
                      : QList<QRgb>{0xFFFF0000, 0xFF00C000, 0xFF0000FF, 0xFFFFFFFF};
        IconImage image{Pattern(quarters, alpha), bits, png ? Encoding::Png : Encoding::Dib,
                        maskOnly};

        QString file;
        if (container == QLatin1String("ico")) {
            file = write(QStringLiteral("pattern.ico"), test::IcoFile({image}));
        } else {
            test::PeOptions options;
            options.pe64 = container == QLatin1String("pe64");
            options.groups = {{{image}, {}, 0}};
            file = path(QStringLiteral("pattern.exe"));
            QVERIFY(test::BuildPe(options).write(file));
        }
        QCOMPARE(IconCount(file), 1);
        const QImage picture = IconPicture(file, 0);
        const QString difference = Difference(picture, Expected(image.image, alpha));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(qAlpha(picture.pixel(0, 0)), 0);
    }

    void bestImageIsChosen_data() {
        QTest::addColumn<QString>("images");
        QTest::addColumn<int>("chosen");
        QTest::newRow("exact size before depth") << "16x16@32 32x32@4 48x48@32" << 1;
        QTest::newRow("deepest of the exact size") << "32x32@4 32x32@32 32x32@8" << 1;
        QTest::newRow("24-bit before 8-bit") << "32x32@8 32x32@24" << 1;
        QTest::newRow("nearest size, scaled") << "16x16@32 24x24@8 64x64@32" << 1;
        QTest::newRow("equally near: the larger") << "16x16@32 48x48@32" << 1;
        QTest::newRow("only a large PNG") << "256x256@png" << 0;
        QTest::newRow("small DIB beside a large PNG") << "256x256@png 32x32@8" << 1;
        QTest::newRow("depth read from the image when stored as 0")
            << "32x32@4/0 32x32@8/0 32x32@1/0" << 1;
        QTest::newRow("one image") << "20x20@4" << 0;
    }
    void bestImageIsChosen() {
        QFETCH(QString, images);
        QFETCH(int, chosen);
        test::PeOptions options;
        options.groups = {{Images(images), {}, 0}};
        const QString exe = path(QStringLiteral("choice.exe"));
        QVERIFY(test::BuildPe(options).write(exe));
        const QString ico = write(QStringLiteral("choice.ico"), test::IcoFile(Images(images)));

        for (const QString& file : {exe, ico}) {
            const QImage picture = IconPicture(file, 0);
            QCOMPARE(picture.size(), QSize(32, 32));
            QVERIFY2(Near(Centre(picture), kColours[chosen]),
                     qPrintable(QString::number(Centre(picture), 16)));
        }
    }

    void iconFilesAreOneIcon_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("images");
        QTest::newRow("one image") << "a.ico"
                                   << "32x32@32";
        QTest::newRow("three sizes") << "b.ico"
                                     << "16x16@8 32x32@32 48x48@32";
        QTest::newRow("PNG image") << "c.ico"
                                   << "32x32@png";
        QTest::newRow("upper-case extension") << "D.ICO"
                                              << "32x32@8";
        QTest::newRow("named like a picture") << "e.png"
                                              << "32x32@4";
    }
    void iconFilesAreOneIcon() {
        QFETCH(QString, name);
        QFETCH(QString, images);
        const std::vector<IconImage> list = Images(images);
        const QString file = write(name, test::IcoFile(list));
        QCOMPARE(IconCount(file), 1);
        const auto it = std::find_if(list.begin(), list.end(),
                                     [](const IconImage& i) { return i.image.width() == 32; });
        QCOMPARE(Centre(IconPicture(file, 0)), it->image.pixel(0, 0));
        QVERIFY(IconPicture(file, 1).isNull());
    }

    // Each group also comes out as an .ico file that an independent decoder
    // (Qt's own icon reader) reads to the same pixels. (Not 24-bit images:
    // that reader ignores their AND mask.)
    void groupsAsIcoFilesReadElsewhere() {
        const std::vector<IconImage> images = {
            {Pattern({0xFFFF0000, 0xFF00C000, 0xFF0000FF, 0xFFFFFFFF}, false), 4},
            {Pattern({0xFF102030, 0xFF00C000, 0xFF0000FF, 0xFFFFFFFF}, false), 8},
            {Pattern({0xFF112233, 0xFF445566, 0xFF778899, 0xFFAABBCC}, true), 32},
            {Solid(48, 48, kColours[2]), 32, Encoding::Png}};
        test::PeOptions options;
        options.groups = {Group(kColours[0]), {images, {}, 0}};
        const QString file = path(QStringLiteral("lib.dll"));
        QVERIFY(test::BuildPe(options).write(file));

        icons::FileSource source(file.toStdString());
        const icons::IconResources resources(source);
        const auto ico = resources.icoFile(1);
        QVERIFY(ico);
        QByteArray bytes(reinterpret_cast<const char*>(ico->data()), qsizetype(ico->size()));
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, "ico");
        QCOMPARE(reader.imageCount(), int(images.size()));
        for (size_t i = 0; i < images.size(); ++i) {
            QVERIFY(reader.jumpToImage(int(i)));
            const QImage theirs = reader.read();
            const bool alpha = images[i].bits == 32;
            const QString difference = Difference(theirs, Expected(images[i].image, alpha));
            QVERIFY2(difference.isEmpty(),
                     qPrintable(QStringLiteral("image %1: ").arg(i) + difference));
        }
    }

    void pathsWithoutIcons_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // null: nothing is written
        QTest::newRow("empty path") << "" << QByteArray();
        QTest::newRow("missing file") << "missing.exe" << QByteArray();
        QTest::newRow("partial path") << "prog" << QByteArray();
        QTest::newRow("folder") << "folder.exe" << QByteArray();
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + "x.exe" << QByteArray();
        QTest::newRow("empty file") << "empty.exe" << QByteArray("");
        QTest::newRow("text document") << "notes.txt" << QByteArray("just some text\r\n");
        QTest::newRow("DOS program") << "old.exe" << QByteArray("MZ").append(200, '\x01');
        QTest::newRow("icon file of no images") << "none.ico" << QByteArray("\0\0\1\0\0\0", 6);
        QTest::newRow("cursor file")
            << "arrow.cur" << QByteArray("\0\0\2\0\1\0", 6).append(40, '\0');
    }
    void pathsWithoutIcons() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QVERIFY(SamplePe().write(path(QStringLiteral("program.exe"))));
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("folder.exe")));
        const QString file = name.isEmpty() ? QString() : path(name);
        if (!content.isNull())
            write(name, content);
        QCOMPARE(IconCount(file), 0);
        QVERIFY(IconPicture(file, 0).isNull());
    }

    void damagedExecutables_data() {
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("icon");
        QTest::addColumn<bool>("picture");
        using L = const test::PeLayout&;
        const auto row = [](const char* name, int count, int icon, bool picture, Damage d) {
            QTest::newRow(name) << d << count << icon << picture;
        };
        row("undamaged", 2, 1, true, [](QByteArray&, L) {});
        row("PE header beyond the end", 0, 0, false,
            [](QByteArray& b, L) { Put32(b, 0x3C, 0xFFFFFFF0); });
        row("no PE signature", 0, 0, false, [](QByteArray& b, L l) { Put32(b, l.peHeader, 0); });
        row("unknown optional header", 0, 0, false,
            [](QByteArray& b, L l) { Put16(b, l.optionalHeader, 0x999); });
        row("optional header too short", 0, 0, false,
            [](QByteArray& b, L l) { Put16(b, l.peHeader + 20, 64); });
        row("no resource table entry", 0, 0, false,
            [](QByteArray& b, L l) { Put32(b, l.directoryCount, 2); });
        row("65535 sections", 0, 0, false,
            [](QByteArray& b, L l) { Put16(b, l.peHeader + 6, 0xFFFF); });
        row("resource section beyond the end", 0, 0, false,
            [](QByteArray& b, L l) { Put32(b, l.sectionTable + 40 + 20, 0xFFFFFF00); });
        row("resources at an unmapped address", 0, 0, false,
            [](QByteArray& b, L l) { Put32(b, l.dataDirectories + 16, 0x7FFFFFF0); });
        row("65535 groups announced", 0, 0, false,
            [](QByteArray& b, L l) { Put16(b, l.groupDirectory + 14, 0xFFFF); });
        row("group type leads back to the root", 0, 0, false,
            [](QByteArray& b, L l) { Put32(b, l.root + 16 + 8 + 4, 0x80000000); });
        row("group leads back to the group type", 2, 0, false, [](QByteArray& b, L l) {
            Put32(b, l.groupDirectory + 16 + 4,
                  0x80000000u | quint32(l.groupDirectory - l.resourceSection));
        });
        row("language level holds a directory", 2, 0, false,
            [](QByteArray& b, L l) { Put32(b, l.groupLanguages[0] + 20, 0x80000000); });
        row("group data beyond the end", 2, 0, false,
            [](QByteArray& b, L l) { Put32(b, l.groupDataEntry[0], 0xFFFFFF00); });
        row("group of 65535 images", 2, 0, false,
            [](QByteArray& b, L l) { Put16(b, l.groupData[0] + 4, 0xFFFF); });
        row("group of no images", 2, 0, false,
            [](QByteArray& b, L l) { Put16(b, l.groupData[0] + 4, 0); });
        row("group names a missing image", 2, 0, false,
            [](QByteArray& b, L l) { Put16(b, l.groupData[0] + 6 + 12, 999); });
        row("image of 2 GB", 2, 0, false,
            [](QByteArray& b, L l) { Put32(b, l.imageDataEntry[0] + 4, 0x7FFFFFFF); });
        row("image beyond the end", 2, 0, false,
            [](QByteArray& b, L l) { Put32(b, l.imageDataEntry[0], 0xFFFFFF00); });
        row("image cut short", 2, 0, false,
            [](QByteArray& b, L l) { Put32(b, l.imageDataEntry[0] + 4, 140); });
        row("DIB of absurd width", 2, 0, false,
            [](QByteArray& b, L l) { Put32(b, l.imageData[0] + 4, 0x7FFFFFFF); });
        row("DIB of negative height", 2, 0, false,
            [](QByteArray& b, L l) { Put32(b, l.imageData[0] + 8, 0xFFFFFFC0); });
        row("DIB of 7 bits", 2, 0, false,
            [](QByteArray& b, L l) { Put16(b, l.imageData[0] + 14, 7); });
        row("DIB compressed", 2, 0, false,
            [](QByteArray& b, L l) { Put32(b, l.imageData[0] + 16, 4); });
        row("DIB header larger than the image", 2, 0, false,
            [](QByteArray& b, L l) { Put32(b, l.imageData[0], 0x10000); });
        row("PNG of 100000 pixels across", 2, 1, false, [](QByteArray& b, L l) {
            b[l.imageData[2] + 17] = char(0x01);
            b[l.imageData[2] + 18] = char(0x86);
            b[l.imageData[2] + 19] = char(0xA0);
        });
        row("PNG cut short", 2, 1, false,
            [](QByteArray& b, L l) { Put32(b, l.imageDataEntry[2] + 4, 40); });
    }
    void damagedExecutables() {
        QFETCH(Damage, damage);
        QFETCH(int, count);
        QFETCH(int, icon);
        QFETCH(bool, picture);
        for (const bool pe64 : {false, true}) {
            const test::PeFile pe = SamplePe(pe64);
            QByteArray bytes = pe.bytes();
            damage(bytes, pe.layout);
            const QString file = write(QStringLiteral("damaged.exe"), bytes);
            QCOMPARE(IconCount(file), count);
            QCOMPARE(!IconPicture(file, icon).isNull(), picture);
        }
    }

    // Cut anywhere, a file yields all its icons or none, never a crash; cut
    // before the resources, none.
    void truncatedFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("PE32") << "pe32";
        QTest::newRow("PE32+") << "pe64";
        QTest::newRow("icon file") << "ico";
    }
    void truncatedFiles() {
        QFETCH(QString, kind);
        QByteArray whole;
        qint64 resourceStart = 0;
        if (kind == QLatin1String("ico")) {
            whole = test::IcoFile(Images(QStringLiteral("16x16@4 32x32@32 48x48@png")));
        } else {
            const test::PeFile pe = SamplePe(kind == QLatin1String("pe64"));
            whole = pe.bytes();
            resourceStart = pe.layout.resourceSection;
        }
        const int fullCount = IconCount(write(QStringLiteral("whole"), whole));
        QVERIFY(fullCount > 0);
        // Every cut through the reader in memory, a few through the files.
        for (qint64 cut = 0; cut < whole.size(); ++cut) {
            icons::MemorySource source(reinterpret_cast<const std::uint8_t*>(whole.constData()),
                                       std::size_t(cut));
            const icons::IconResources resources(source);
            const int count = resources.count();
            QVERIFY2(count == 0 || count == fullCount, qPrintable(QString::number(cut)));
            if (cut < resourceStart)
                QVERIFY2(count == 0, qPrintable(QString::number(cut)));
            for (int i = 0; i < count; ++i) {
                const auto best = resources.bestEntry(i);
                const auto image = best ? resources.imageData(*best) : std::nullopt;
                if (image && !icons::IsPng(*image))
                    (void)icons::DecodeDib(*image);
                (void)resources.icoFile(i);
            }
            if (cut % (whole.size() / 16) != 0)
                continue;
            const QString file = write(QStringLiteral("cut"), whole.left(cut));
            QCOMPARE(IconCount(file), count);
            for (int i = 0; i <= count; ++i) {
                const QImage picture = IconPicture(file, i);
                QVERIFY(picture.isNull() || picture.size() == QSize(32, 32));
            }
        }
    }

    void largeExecutable() {
        test::PeOptions options;
        options.pe64 = true;
        options.padding = qint64(120) << 20;
        options.groups = {Group(kColours[0]), Group(kColours[1]), Group(kColours[2])};
        const QString file = path(QStringLiteral("installer.exe"));
        QVERIFY(test::BuildPe(options).write(file));
        QVERIFY(QFileInfo(file).size() > (qint64(100) << 20));
        QCOMPARE(IconCount(file), 3);
        QCOMPARE(Centre(IconPicture(file, 2)), kColours[2]);
    }

    // Programs and icon files made by Windows tools, where some happen to be
    // installed (Python ships a few, or name a folder in KZ_WINDOWS_FILES):
    // every icon decodes, and agrees with Qt's own icon reader.
    void realWindowsFiles() {
        QStringList roots = {QDir::homePath() + QStringLiteral("/.pyenv/versions"),
                             QStringLiteral("/usr/lib/python3/dist-packages")};
        if (qEnvironmentVariableIsSet("KZ_WINDOWS_FILES"))
            roots.prepend(qEnvironmentVariable("KZ_WINDOWS_FILES"));
        QStringList files;
        for (const QString& root : roots) {
            QDirIterator it(
                root, {QStringLiteral("*.exe"), QStringLiteral("*.dll"), QStringLiteral("*.ico")},
                QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext() && files.size() < 60)
                files.append(it.next());
        }
        int withIcons = 0;
        for (const QString& file : files) {
            const int count = IconCount(file);
            withIcons += count > 0;
            icons::FileSource source(file.toStdString());
            const icons::IconResources resources(source);
            for (int i = 0; i < std::min(count, 8); ++i) {
                const QImage ours = IconPicture(file, i);
                QVERIFY2(ours.size() == QSize(32, 32), qPrintable(file));
                const auto best = resources.bestEntry(i);
                const auto all = resources.entries(i);
                const auto ico = resources.icoFile(i);
                if (!best || best->width != 32 || best->height != 32 || !ico)
                    continue;
                QByteArray bytes(reinterpret_cast<const char*>(ico->data()),
                                 qsizetype(ico->size()));
                QBuffer buffer(&bytes);
                QImageReader reader(&buffer, "ico");
                const auto at =
                    std::find_if(all.begin(), all.end(), [&](const icons::IconEntry& e) {
                        return e.location == best->location;
                    });
                QVERIFY(reader.jumpToImage(int(at - all.begin())));
                const QString difference = Difference(ours, reader.read());
                QVERIFY2(difference.isEmpty(),
                         qPrintable(file + QStringLiteral(": ") + difference));
            }
        }
        if (withIcons == 0)
            QSKIP("no Windows programs or icon files with icons on this machine");
    }

    void documentsShowTheirTypesIcon_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("icon");
        QTest::newRow("text document") << "notes.txt" << QByteArray("hello\n") << true;
        QTest::newRow("unknown type")
            << "blob.zqx" << QByteArray("\x01\x02\xFE\xFF\x00\x13", 6) << false;
        QTest::newRow("missing file") << "gone.txt" << QByteArray() << false;
        QTest::newRow("folder") << "folder" << QByteArray() << false;
        QTest::newRow("empty path") << "" << QByteArray() << false;
    }
    void documentsShowTheirTypesIcon() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, icon);
        if (!QFileInfo::exists(QStringLiteral("/usr/share/icons/Adwaita/index.theme")))
            QSKIP("no icon theme installed");
        // The offscreen platform has no desktop theme; give it the installed one.
        QIcon::setThemeSearchPaths({QStringLiteral("/usr/share/icons")});
        QIcon::setThemeName(QStringLiteral("Adwaita"));
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("folder")));
        const QString file = name.isEmpty() ? QString() : path(name);
        if (!content.isNull())
            write(name, content);
        QCOMPARE(modPicture::HasAssociatedIcon(file), icon);
        const QImage picture = modPicture::AssociatedIcon(file);
        QCOMPARE(picture.isNull(), !icon);
        if (icon)
            QCOMPARE(picture.size(), QSize(32, 32));
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("args"); // %F an executable of three icons, %T a text file
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("extracted");
        const QString three = QStringLiteral("3\n0 32x32\n1 32x32\n2 32x32\n");
        QTest::newRow("lists") << QStringList{"%F"} << 0 << three << 0;
        QTest::newRow("extracts") << QStringList{"%F", "--extract", "out"} << 0 << three << 3;
        QTest::newRow("extracts, folder first")
            << QStringList{"--extract", "out", "%F"} << 0 << three << 3;
        QTest::newRow("no icons") << QStringList{"%T"} << 0 << QString("0\n") << 0;
        QTest::newRow("missing file") << QStringList{"missing.exe"} << 1 << QString() << 0;
        QTest::newRow("no file") << QStringList{} << 2 << QString() << 0;
        QTest::newRow("unknown option") << QStringList{"%F", "--all"} << 2 << QString() << 0;
        QTest::newRow("two files") << QStringList{"%F", "%T"} << 2 << QString() << 0;
        QTest::newRow("extract without folder")
            << QStringList{"%F", "--extract"} << 2 << QString() << 0;
    }
    void commandLine() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(int, extracted);
        test::PeOptions options;
        options.groups = {Group(kColours[0]), Group(kColours[1]), Group(kColours[2])};
        QVERIFY(test::BuildPe(options).write(path(QStringLiteral("three.exe"))));
        write(QStringLiteral("notes.txt"), "text");
        for (QString& arg : args)
            arg = arg == QLatin1String("%F")            ? path(QStringLiteral("three.exe"))
                  : arg == QLatin1String("%T")          ? path(QStringLiteral("notes.txt"))
                  : arg.startsWith(QLatin1String("--")) ? arg
                                                        : path(arg);

        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        QCOMPARE(cli::RunIcons(args, out, err), exitCode);
        QCOMPARE(outText, output);
        QCOMPARE(errText.isEmpty(), exitCode == 0);
        const QStringList pngs =
            QDir(path(QStringLiteral("out"))).entryList({"*.png"}, QDir::Files, QDir::Name);
        QCOMPARE(pngs.size(), extracted);
        for (int i = 0; i < extracted; ++i) {
            const QImage saved(path(QStringLiteral("out/icon-%1.png").arg(i)));
            const QString difference =
                Difference(saved, IconPicture(path(QStringLiteral("three.exe")), i));
            QVERIFY2(difference.isEmpty(), qPrintable(difference));
        }
    }
};

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
