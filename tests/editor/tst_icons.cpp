// Icons as the entry editor gets them from a file: how many a file offers and
// the pictures, from executables and icon files made here and damaged ones.
#include "editor/IconResources.h"
#include "editor/modPicture.h"
#include "tests/support/PeWriter.h"

using namespace kz;
using modPicture::IconCount;
using modPicture::IconPicture;
using test::IconImage;

namespace {

const auto& kColours = test::kIconColours;
const auto Images = test::IconImages;

// Quarters of colours (two at 1 bit) in a transparent frame; with alpha, one
// row half transparent and one all but transparent.
QImage Pattern(int bits, bool alpha) {
    QImage image = test::Solid(Qt::transparent);
    for (int y = 2; y < 30; ++y)
        for (int x = 2; x < 30; ++x)
            image.setPixel(x, y,
                           y == 8 && alpha   ? qRgba(10, 200, 90, 128)
                           : y == 9 && alpha ? qRgba(250, 200, 90, 1)
                           : bits == 1       ? kColours[(x < 16) == (y < 16)]
                                             : kColours[(y >= 16) * 2 + (x >= 16)]);
    return image;
}

QRgb Centre(const QImage& image) {
    return image.isNull() ? 0 : image.pixel(16, 16);
}

// One damage to a sample executable: `size` bytes of `value` at `add` past a
// part of it (the file's start without one), and what is offered then.
using P = test::PeLayout;
const struct DamageRow {
    const char* name;
    qint64 P::*part;
    int add, size, count; // count: the icons offered then
    quint32 value;
    bool picture; // of the first icon
} kDamage[] = {
    {"undamaged", nullptr, 0, 0, 2, 0, true},
    {"no PE signature", &P::peHeader, 0, 4, 0, 0, false},
    {"optional header too short", &P::peHeader, 20, 2, 0, 64, false},
    {"two data directories", &P::directoryCount, 0, 4, 0, 2, false},
    {"three data directories", &P::directoryCount, 0, 4, 2, 3, true},
    {"resources at an unmapped address", &P::directoryCount, 20, 4, 0, 0x7FFFFFF0, false},
    {"group type leads back to the root", &P::root, 28, 4, 0, 0x80000000, false},
    {"one group fewer announced", &P::groupDirectory, 14, 2, 1, 1, true},
    {"language level holds a directory", &P::groupLanguage, 20, 4, 2, 0x80000000, false},
    {"group of no images", &P::groupData, 4, 2, 2, 0, false},
    {"group names a missing image", &P::groupData, 18, 2, 2, 99, false},
    {"image cut short", &P::imageDataEntry, 4, 4, 2, 140, false},
    {"DIB of 1025 pixels across", &P::imageData, 4, 4, 2, 1025, false},
    {"DIB of negative height", &P::imageData, 8, 4, 2, 0xFFFFFFC0, false},
    {"DIB of 7 bits", &P::imageData, 14, 2, 2, 7, false},
    {"DIB header of 39 bytes", &P::imageData, 0, 4, 2, 39, false},
};

test::PeFile SamplePe(bool pe64) {
    return test::BuildPe({pe64,
                          {{Images(QStringLiteral("32x32@32 16x16@8")), {}, 0},
                           {Images(QStringLiteral("32x32@png")), {}, 0}}});
}

} // namespace

class TestIcons : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString write(const QString& name, const QByteArray& bytes) {
        [&] { QVERIFY(test::WriteBytes(dir_.filePath(name), bytes)); }();
        return dir_.filePath(name);
    }
    QString writePe(const test::PeOptions& options) {
        return write("program.exe", test::BuildPe(options).bytes());
    }

private slots:
    // Every group in stored order, named or numbered (0: any free id), as the
    // colour index of each; PE32+ with 8 MB of code before the resources.
    void executablesOfferTheirGroups() {
        for (const auto& [pe64, groups, order] :
             {std::tuple{false, QStringList{}, QString()},
              std::tuple{false, QStringList{"ZETA", "ALPHA", "2", "5"}, QString("0123")},
              std::tuple{true, QStringList{"0", "0", "0"}, QString("012")}}) {
            test::PeOptions options{pe64, {}, pe64 ? 8ll << 20 : 0};
            for (const QString& g : groups) {
                const IconImage image{test::Solid(kColours[options.groups.size()])};
                options.groups.push_back({{image}, g[0].isDigit() ? QString() : g, g.toInt()});
            }
            const QString file = writePe(options);
            QCOMPARE(IconCount(file), order.size());
            for (int i = 0; i < order.size(); ++i)
                QCOMPARE(Centre(IconPicture(file, i)), kColours[order[i].digitValue()]);
            QVERIFY(IconPicture(file, int(order.size())).isNull() &&
                    IconPicture(file, -1).isNull());
        }
    }

    // Every depth in every container, with the transparency a user sees: the
    // alpha of a 32-bit image that has it, else the AND mask.
    void imagesDecodeWithTransparency_data() {
        QTest::addColumn<int>("code"); // bits, plus 100 with bit fields, 200 as a PNG
        QTest::addColumn<QString>("container");
        for (const char* container : {"ico", "pe32", "pe64"})
            for (const int code : {1, 4, 8, 24, 32, 116, 132, 232})
                QTest::addRow("%d in %s", code, container) << code << container;
    }
    void imagesDecodeWithTransparency() {
        QFETCH(int, code);
        QFETCH(QString, container);
        const IconImage image{Pattern(code % 100, code == 32 || code == 232), code % 100,
                              test::Encoding(code / 100)};
        const QString file = container == "ico"
                                 ? write("pattern.ico", test::IcoFile({image}))
                                 : writePe({container == "pe64", {{{image}, {}, 0}}});
        QCOMPARE(IconCount(file), 1);
        QCOMPARE(IconPicture(file, 0).convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 image.image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }

    void bestImageIsChosen_data() {
        QTest::addColumn<QString>("images");
        QTest::addColumn<int>("chosen");
        QTest::newRow("exact size before depth") << "16x16@32 32x32@4 48x48@32" << 1;
        QTest::newRow("deepest of the exact size") << "32x32@4 32x32@32 32x32@8" << 1;
        QTest::newRow("equally near: the larger") << "16x16@32 48x48@32" << 1;
        QTest::newRow("nearer before larger") << "24x24@8 48x48@32" << 0;
        QTest::newRow("small DIB beside a large PNG") << "256x256@png 32x32@8" << 1;
        QTest::newRow("a lone 256-pixel PNG") << "256x256@png" << 0;
        QTest::newRow("depth read from the image when stored as 0")
            << "32x32@4/0 32x32@8/0 32x32@1/0" << 1;
        QTest::newRow("an image past the end: last") << "32x32@8/0 32x32@1/0" << 1;
    }
    void bestImageIsChosen() {
        QFETCH(QString, images);
        QFETCH(int, chosen);
        const test::PeFile pe = test::BuildPe({false, {{Images(images), {}, 0}}});
        QByteArray exe = pe.bytes(), ico = test::IcoFile(Images(images));
        if (QByteArray(QTest::currentDataTag()).contains("past the end")) { // image 0
            exe = test::Patched(exe, pe.layout.imageDataEntry, 0x7FFFFFF0);
            ico = test::Patched(ico, 18, 0x7FFFFFF0);
        }
        for (const QString& file : {write("choice.exe", exe), write("choice.ico", ico)}) {
            const QImage picture = IconPicture(file, 0);
            QCOMPARE(picture.size(), QSize(32, 32));
            QCOMPARE(Centre(picture), kColours[chosen]);
        }
    }

    // An empty path, a missing file, a folder, a text, a DOS program, an icon
    // file of no images, one whose directory runs past its end, a cursor.
    void filesWithoutIcons() {
        QVERIFY(QDir(dir_.path()).mkpath("folder.exe"));
        for (const QString& file :
             {QString(), dir_.filePath("missing.exe"), dir_.filePath("folder.exe"),
              write("notes.txt", "just some text\r\n"),
              write("old.exe", QByteArray("MZ").append(200, '\x01')),
              write("none.ico", QByteArray("\0\0\1\0\0\0", 6)),
              write("b.ico", QByteArray("\0\0\1\0\2\0", 6).append(31, '\0')),
              write("c.cur", test::Patched(test::IcoFile(Images("32x32@8")), 2, 2, 2))}) {
            QCOMPARE(IconCount(file), 0);
            QVERIFY(IconPicture(file, 0).isNull());
        }
    }

    void damagedExecutables_data() {
        QTest::addColumn<int>("row");
        for (int k = 0; k < int(std::size(kDamage)); ++k)
            QTest::newRow(kDamage[k].name) << k;
    }
    void damagedExecutables() {
        QFETCH(int, row);
        const DamageRow& d = kDamage[row];
        for (const bool pe64 : {false, true}) {
            const test::PeFile pe = SamplePe(pe64);
            const QString file = write(
                "damaged.exe", test::Patched(pe.bytes(), (d.part ? pe.layout.*d.part : 0) + d.add,
                                             d.value, d.size));
            QCOMPARE(IconCount(file), d.count);
            QCOMPARE(Centre(IconPicture(file, 0)), d.picture ? kColours[0] : 0);
            icons::FileSource source(file.toStdString()); // the index is bounded by the count
            QVERIFY(icons::IconResources(source).entries(d.count).empty());
        }
    }

    // Cut anywhere, a file yields all its icons or none, never a crash.
    void truncatedFiles() {
        for (const QByteArray& whole :
             {SamplePe(true).bytes(), test::IcoFile(Images("16x16@4 32x32@png"))}) {
            const int all = whole.startsWith("MZ") ? 2 : 1;
            for (qint64 cut = whole.size(); cut >= 0; --cut) {
                icons::MemorySource source(reinterpret_cast<const std::uint8_t*>(whole.constData()),
                                           std::size_t(cut));
                const int count = icons::IconResources(source).count();
                QVERIFY2(count == (cut == whole.size() ? all : 0) || count == all,
                         qPrintable(QString::number(cut)));
            }
        }
    }
};

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
