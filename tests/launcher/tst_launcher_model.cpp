// What the launcher on the CD makes of an archive: which slots it shows with
// which texts and colours, its pages, where a click leads and where a slot's
// picture lies, also in damaged files.
#include "launcher/LauncherModel.h"
#include "output/ArchiveCodec.h"
#include "tests/support/PeWriter.h"

using namespace kz::launcher;
using kz::test::Patched;

namespace {

constexpr Colour kBackground = 0x00E0E8F0;
constexpr Colour kNames = 0x00800000;

// 9 fields by `rows` rows holding the cells (field, row, value), with the
// marker row at `marker` unless it is negative.
QByteArray Archive(int rows, const std::vector<std::tuple<int, int, kz::Cell>>& cells,
                   int marker = -1, kz::Cell background = std::int32_t(kBackground)) {
    kz::VariantTable table = kz::VariantTable::Make(9, rows);
    for (const auto& [field, row, value] : cells)
        *table.at(field, row) = value;
    if (marker >= 0) {
        *table.at(0, marker) = kMarkerText;
        *table.at(1, marker) = background;
        *table.at(2, marker) = std::int32_t(kNames);
    }
    const auto bytes = kz::EncodeArchive(table).value();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// An .ico file of the images described as for IconImages.
QByteArray Ico(const char* images) {
    return kz::test::IcoFile(kz::test::IconImages(images));
}

} // namespace

class tst_LauncherModel : public QObject {
    Q_OBJECT

private slots:
    // Slots come from rows 1 to 100 before the marker row, whatever else the
    // file holds: "slot=texts icon size" of each.
    void readsTheMenu_data() {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<quint32>("background"); // 0: damaged
        std::vector<std::tuple<int, int, kz::Cell>> full{{0, 2, kz::ByteArray{7, 7}}, {4, 4, "x"}};
        for (int field = 1; field < 9; ++field)
            full.push_back({field, 2, std::string(1, char('a' + field))});
        QTest::newRow("every field, an early marker")
            << Archive(7, full, 3) << QStringList{"1=bcdefghi2"} << kBackground;
        QTest::newRow("cells of the wrong kind, no marker")
            << Archive(4, {{4, 1, 7}, {0, 2, kz::ByteArray{1}}, {0, 3, "x"}, {4, 3, "three"}})
            << QStringList{"1=1", "2=three0"} << kButtonFace;
        QTest::newRow("marker row alone, its colour no number")
            << Archive(1, {}, 0, "blue") << QStringList{} << kButtonFace;
        QTest::newRow("rows past the hundred slots")
            << Archive(106, {{4, 100, "last"}, {4, 101, "out"}}) << QStringList{"99=last0"}
            << kButtonFace;
        QTest::newRow("cut short") << Archive(2, {}, 1).chopped(1) << QStringList{} << 0u;
        QTest::newRow("not an archive") << QByteArray("[FilePath]") << QStringList{} << 0u;
    }
    void readsTheMenu() {
        QFETCH(QByteArray, archive);
        QFETCH(QStringList, shown);
        QFETCH(quint32, background);
        const Menu menu = ReadMenu(kz::ByteArray(archive.begin(), archive.end()));
        QCOMPARE(menu.state, background ? MenuState::Loaded : MenuState::Damaged);
        QCOMPARE(menu.background, background ? background : kButtonFace);
        QCOMPARE(menu.text, background && archive.contains("\x90\xDD") ? kNames : kButtonText);
        QStringList found;
        for (int k = 0; k < kSlots; ++k)
            if (const SlotRecord& s = menu.records[std::size_t(k)]; !s.empty())
                found << QString::number(k) + "=" +
                             QString::fromStdString(s.path + s.firstLine + s.secondLine +
                                                    s.appName + s.userName + s.serial +
                                                    s.userNameTitle + s.serialTitle) +
                             QString::number(s.icon.size());
        QCOMPARE(found, shown);
    }

    // A system colour is looked up by its low byte, here giving 0x100000 + it.
    void resolvesColours() {
        const quint32 rows[] = {0x00336699, 0x336699,   0x8000000F, 0x10000F,   0x80000100,
                                0x100000,   0x8000001E, 0x10001E,   0x8000001F, 0x10000F};
        for (int k = 0; k < 10; k += 2)
            QCOMPARE(ResolveColour(rows[k], [](int i) { return 0xFF100000u + Colour(i); }),
                     rows[k + 1]);
    }

    // Slot after slot: a line of more than five characters is blue (b) when it
    // starts with "http:", red (r; the second black, k) otherwise; a shorter
    // one keeps its colour. 81, 9F, E0 and FC lead double-byte characters.
    void coloursDescriptionLines() {
        const char* steps[][3] = {
            {"", "", "rk"},
            {"http:/", "http://a.example/", "bb"},
            {"abcde", "http:", "bb"},
            {"abcd\x81@", "abcd\x9F@", "bb"},
            {"abcd\xE0@", "abcd\xFC@", "bb"},
            {"\x90\xE0\x96\xBE\x95\xB6\x61\x62", "abc\x90\xE0\x96\xBE", "bb"}, // 説明文ab, abc説明
            {"https://b.example/", "\x90\xE0\x96\xBE\x95\xB6\x93\xFA\x96\x7B\x8C\xEA", "rk"}};
        DescriptionColours colours;
        SlotRecord slot;
        for (const auto& [first, second, expected] : steps) {
            slot.firstLine = first;
            slot.secondLine = second;
            colours.show(slot);
            const auto code = [](Colour c) { return c == kRed ? 'r' : c == kBlue ? 'b' : 'k'; };
            QCOMPARE(QString{code(colours.firstLine)} + code(colours.secondLine), expected);
        }
    }

    // Each page's indicator, its button 1's slot key, and the pages one step
    // back and forth lead to.
    void pages() {
        QString shown;
        for (const int page : {0, 1, 19})
            shown += QString::fromStdString(PageIndicator(page) + " " + SlotKey(page, 1)) +
                     QString(" %1-%2 ").arg(StepPage(page, -1)).arg(StepPage(page, 1));
        QCOMPARE(shown, "1/20 10 0-1 2/20 11 0-2 20/20 119 18-19 ");
        QVERIFY(!ShowsPrevious(0) && ShowsPrevious(1) && ShowsNext(18) && !ShowsNext(19));
    }

    // Where a click leads from a CD at C:/cd/: "kind|what the shell is handed|
    // the working folder", the kind 0 for nothing, 1 an address, 2 a file.
    void resolvesTargets() {
        const char* rows[][2] = {{"\\d/x.pdf", "2|C:\\cd\\d\\x.pdf|C:\\cd\\d"},
                                 {"Z:/w.exe", "2|Z:\\w.exe|Z:\\"},
                                 {"\\\\s\\h\\x.exe", "2|\\\\s\\h\\x.exe|\\\\s\\h"},
                                 {"http://e.jp/a b", "1|http://e.jp/a b|"},
                                 {"ms:x", "1|ms:x|"},
                                 {"s3+x.y-z:k", "1|s3+x.y-z:k|"},
                                 {"2go:x", "2|C:\\cd\\2go:x|C:\\cd"},
                                 {"", "0||"},
                                 {"/", "0||"}};
        for (const auto& [path, expected] : rows) {
            const LaunchTarget t = ResolveTarget(u"C:/cd/", QString(path).toStdU16String());
            const auto text = [](const std::u16string& s) { return QString::fromStdU16String(s); };
            QCOMPARE(QString("%1|%2|%3").arg(int(t.kind)).arg(text(t.target), text(t.folder)),
                     expected);
        }
    }

    // Windows is handed only what lies within the bytes: the located header
    // gives the side, and a bitmap's pixel rows end the file.
    void locatesPictures_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("found"); // none, bitmap or icon, and the size
        kz::test::WorkFolder work;
        QVERIFY(work.writeIcon("00", Qt::red));
        const QByteArray bmp = kz::test::ReadBytes(work.icon("00"));
        const QByteArray two = Ico("32x32@32 16x16@8");
        QTest::newRow("BMP as the editor writes") << bmp << "bitmap 32x32";
        QTest::newRow("BMP one byte short") << bmp.chopped(1) << "none 0x0";
        QTest::newRow("BMP without a pixel offset") << Patched(bmp, 10, 0) << "bitmap 32x32";
        QTest::newRow("BMP of two planes") << Patched(bmp, 26, 2, 2) << "none 0x0";
        QTest::newRow("BMP header of 125 bytes") << Patched(bmp, 14, 125) << "none 0x0";
        QTest::newRow("run-length BMP") << Patched(bmp, 30, 1) << "none 0x0";
        QTest::newRow("signature BA") << Patched(bmp, 1, 'A', 1) << "none 0x0";
        QTest::newRow("icon: 32 of three") << Ico("16x16@32 32x32@8 48x48@32") << "icon 32x32";
        QTest::newRow("icon: equally near, the deepest, the first")
            << Ico("24x24@32 40x40@8 40x40@32") << "icon 24x24";
        QTest::newRow("icon: 256 written as 0") << Ico("256x256@png") << "icon 256x256";
        QTest::newRow("icon: image past the end")
            << Patched(two, 18, quint32(two.size())) << "icon 16x16";
        QTest::newRow("icon: colour table pushes the pixels out")
            << Patched(two, 38 + 32, 211) << "icon 16x16";
        QTest::newRow("icon: without its mask") << Patched(two, 14, 40 + 32 * 128) << "icon 16x16";
        QTest::newRow("icon: entries past the count")
            << Patched(Ico("16x16@8 32x32@32"), 4, 1, 2) << "icon 16x16";
        QTest::newRow("cursor file") << Patched(two, 2, 2, 2) << "none 0x0";
    }
    void locatesPictures() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, found);
        const PictureLocation p = LocatePicture(kz::ByteArray(bytes.begin(), bytes.end()));
        const QString kind = QStringList{"none", "bitmap", "icon"}[int(p.kind)];
        QCOMPARE(kind + QString(" %1x%2").arg(p.width).arg(p.height), found);
        if (kind == "bitmap") // the pixel rows end the file
            QCOMPARE(p.bitsOffset + std::size_t((p.width * bytes[28] + 31) / 32 * 4 * p.height),
                     std::size_t(bytes.size()));
        if (kind != "none" && bytes[qsizetype(p.offset)] == 40) // a DIB header
            QCOMPARE(bytes.mid(qsizetype(p.offset) + 4, 4), Patched("1234", 0, quint32(p.width)));
    }
};

QTEST_GUILESS_MAIN(tst_LauncherModel)
#include "tst_launcher_model.moc"
