// What the launcher on the CD makes of the archive the editor packs: which
// slots it shows with which texts and colours, its pages, where a click leads
// and where a slot's picture lies, also in damaged files.
#include "launcher/LauncherModel.h"
#include "output/ArchiveCodec.h"
#include "output/Project.h"
#include "store/Cp932.h"
#include "store/Slots.h"
#include "tests/support/PeWriter.h"

#include <QBuffer>

using namespace kz::launcher;

namespace {

constexpr Colour kBackground = 0x00E0E8F0;
constexpr Colour kNames = 0x00800000;

std::string Cp(const QString& text) {
    return kz::ToCp932(text).toStdString();
}

// 9 fields by `rows` rows holding the cells (field, row, value), with the
// marker row at `marker` unless it is negative, both its colours `colour`.
QByteArray Archive(int rows, const std::vector<std::tuple<int, int, kz::Cell>>& cells,
                   int marker = -1, kz::Cell colour = std::int32_t(kBackground)) {
    kz::VariantTable table = kz::VariantTable::Make(9, rows);
    for (const auto& [field, row, value] : cells)
        *table.at(field, row) = value;
    if (marker >= 0) {
        *table.at(0, marker) = kMarkerText;
        *table.at(1, marker) = *table.at(2, marker) = colour;
    }
    const auto bytes = kz::EncodeArchive(table).value();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

QByteArray Bmp(int side, QImage::Format format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    kz::test::Solid(Qt::red, side, side).convertToFormat(format).save(&buffer, "BMP");
    return bytes;
}

// An .ico file of square images given as side and depth (0: a PNG).
QByteArray Ico(const std::vector<std::pair<int, int>>& images) {
    std::vector<kz::test::IconImage> list;
    for (const auto& [side, bits] : images)
        list.push_back({kz::test::Solid(Qt::red, side, side), bits ? bits : 32,
                        bits ? kz::test::Encoding::Dib : kz::test::Encoding::Png});
    return kz::test::IcoFile(list);
}

QByteArray Put(QByteArray bytes, int at, quint32 value, int size = 4) {
    for (int k = 0; k < size; ++k)
        bytes[at + k] = char(value >> (8 * k));
    return bytes;
}

} // namespace

class tst_LauncherModel : public QObject {
    Q_OBJECT

private slots:
    // The slots shown are those the editor packed before the marker row, with
    // their texts and icons, whatever packing left in or after it.
    void showsWhatTheEditorPacked_data() {
        QTest::addColumn<QStringList>("inUse"); // slots with a path
        QTest::addColumn<QStringList>("named"); // slots with the other texts and an icon
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("31 under the marker row")
            << QStringList{"30"} << QStringList{"30", "40", "31"} << QStringList{"30", "40"};
        QTest::newRow("last 419") << QStringList{"419"} << QStringList{"00", "419"}
                                  << QStringList{"00", "419"};
        QTest::newRow("none in use") << QStringList{} << QStringList{"00"} << QStringList{};
    }
    void showsWhatTheEditorPacked() {
        QFETCH(QStringList, inUse);
        QFETCH(QStringList, named);
        QFETCH(QStringList, shown);
        kz::test::WorkFolder work;
        kz::ScriptedDesktop desktop;
        const auto value = [](int f, const QString& key) {
            return QString::fromUtf16(kz::kSlotFields[f].section) + key + "の値";
        };
        for (int f = 0; f < 8; ++f)
            for (const QString& key : f == 0 ? inUse : named)
                work.setSlot(key, QString::fromUtf16(kz::kSlotFields[f].section), value(f, key));
        for (const QString& key : named)
            QVERIFY(work.writeIcon(key, Qt::red));
        const Menu menu = ReadMenu(
            kz::EncodeArchive(kz::BuildProjectTable(desktop, work.path(), kBackground, kNames))
                .value());
        QCOMPARE(menu.state, MenuState::Loaded);
        QCOMPARE(menu.background, kBackground);
        QCOMPARE(menu.text, kNames);
        for (int index = 0; index < kSlots; ++index) {
            const QString key = kz::SlotKey(index % kButtons, index / kButtons);
            const SlotRecord& s = menu.records[std::size_t(index)];
            const bool full = shown.contains(key) && named.contains(key);
            QStringList got, expected;
            for (const std::string& text : {s.path, s.firstLine, s.secondLine, s.appName,
                                            s.userName, s.serial, s.userNameTitle, s.serialTitle})
                got << kz::FromCp932(QByteArray::fromStdString(text));
            for (int f = 0; f < 8; ++f)
                expected << ((f ? full : inUse.contains(key)) ? value(f, key) : QString());
            QCOMPARE(got, expected);
            const QByteArray icon = full ? kz::test::ReadBytes(work.icon(key)) : QByteArray();
            QVERIFY(s.icon == kz::ByteArray(icon.begin(), icon.end()));
            QVERIFY(ShownUserNameTitle(s) == (full ? Cp(value(6, key)) : kDefaultNameTitle));
            QVERIFY(ShownSerialTitle(s) == (full ? Cp(value(7, key)) : kDefaultSerialTitle));
        }
    }

    void readsOddTablesSafely_data() {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<QStringList>("names"); // "slot=name" of every slot holding anything
        QTest::addColumn<quint32>("colour");    // both colours; 0: damaged
        QTest::newRow("rows after an early marker hold no slot")
            << Archive(7, {{4, 1, Cp("一")}, {4, 4, Cp("後")}}, 3) << QStringList{"0=一"}
            << kBackground;
        QTest::newRow("cells of the wrong kind, no marker")
            << Archive(4, {{4, 1, 7}, {0, 2, kz::ByteArray{1}}, {0, 3, Cp("設")}, {4, 3, Cp("三")}})
            << QStringList{"1=", "2=三"} << kButtonFace;
        QTest::newRow("a colour that is no number")
            << Archive(2, {}, 1, Cp("色")) << QStringList{} << kButtonFace;
        QTest::newRow("marker row alone") << Archive(1, {}, 0) << QStringList{} << kBackground;
        QTest::newRow("rows past the hundred slots")
            << Archive(106, {{4, 100, Cp("最後")}, {4, 101, Cp("外")}}) << QStringList{"99=最後"}
            << kButtonFace;
        QTest::newRow("cut short") << Archive(2, {}, 1).chopped(1) << QStringList{} << 0u;
        QTest::newRow("not an archive") << QByteArray("[FilePath]") << QStringList{} << 0u;
    }
    void readsOddTablesSafely() {
        QFETCH(QByteArray, archive);
        QFETCH(QStringList, names);
        QFETCH(quint32, colour);
        const Menu menu = ReadMenu(kz::ByteArray(archive.begin(), archive.end()));
        QCOMPARE(menu.state, colour ? MenuState::Loaded : MenuState::Damaged);
        QCOMPARE(menu.background, colour ? colour : kButtonFace);
        QCOMPARE(menu.text, colour == kBackground ? kBackground : kButtonText);
        QStringList found;
        for (int k = 0; k < kSlots; ++k)
            if (const SlotRecord& s = menu.records[std::size_t(k)]; !s.empty())
                found << QString::number(k) + "=" + kz::FromCp932(s.appName.c_str());
        QCOMPARE(found, names);
    }

    void resolvesColours() {
        const quint32 rows[][2] = {{0x00336699, 0x336699},
                                   {0x8000000F, 0x10000F},
                                   {0x80000100, 0x100000},
                                   {0x8000001E, 0x10001E},
                                   {0x8000001F, 0x10000F}}; // stored, painted
        for (const auto& [stored, painted] : rows)
            QCOMPARE(ResolveColour(stored, [](int k) { return 0xFF100000u + Colour(k); }), painted);
    }

    // Slot after slot: a line of more than five characters is blue when it
    // starts with "http:", red (the second black) otherwise; a shorter one
    // keeps its colour. 81, 9F, E0 and FC lead double-byte characters.
    void coloursDescriptionLines() {
        const auto cp = [](const char* text) { return kz::ToCp932(QString::fromUtf8(text)); };
        const struct {
            QByteArray firstLine, secondLine;
            Colour first, second;
        } steps[] = {
            {"", "", kRed, kBlack},
            {"http:/", "http://a.example/", kBlue, kBlue},
            {"abcde", "http:", kBlue, kBlue},
            {"abcd\x81@", "abcd\x9F@", kBlue, kBlue},
            {"abcd\xE0@", "abcd\xFC@", kBlue, kBlue},
            {cp("説明文ab"), cp("abc説明"), kBlue, kBlue},
            {"https://b.example/", cp("日本語の説明"), kRed, kBlack},
            {"http://c.example/", "abcdef", kBlue, kBlack},
        };
        DescriptionColours colours;
        SlotRecord slot;
        for (const auto& step : steps) {
            slot.firstLine = step.firstLine.toStdString();
            slot.secondLine = step.secondLine.toStdString();
            colours.show(slot);
            QCOMPARE(colours.firstLine, step.first);
            QCOMPARE(colours.secondLine, step.second);
        }
    }

    void pages() {
        const struct {
            int page;
            const char* indicator;
            int step, stepped;
        } rows[] = {{0, "1/20", -1, 0}, {1, "2/20", 5, 6}, {19, "20/20", 1, 19}};
        for (const auto& [page, indicator, step, stepped] : rows) {
            QCOMPARE(QString::fromStdString(PageIndicator(page)), QString(indicator));
            QCOMPARE(ShowsPrevious(page), page != 0);
            QCOMPARE(ShowsNext(page), page != 19);
            QCOMPARE(StepPage(page, step), stepped);
            for (int b = 0; b < kButtons; ++b) {
                QCOMPARE(QString::fromStdString(SlotKey(page, b)), kz::SlotKey(b, page));
                QCOMPARE(SlotIndex(page, b), 5 * page + b);
            }
        }
    }

    void resolvesTargets_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind"); // 0 nothing, 1 address, 2 file
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("folder");
        QTest::newRow("in a folder") << "a\\b.exe" << 2 << "C:\\cd\\a\\b.exe"
                                     << "C:\\cd\\a";
        QTest::newRow("slashes, a leading backslash") << "\\d/x.pdf" << 2 << "C:\\cd\\d\\x.pdf"
                                                      << "C:\\cd\\d";
        QTest::newRow("names a drive") << "E:/w.exe" << 2 << "E:\\w.exe"
                                       << "E:\\";
        QTest::newRow("network path") << "\\\\s\\h\\x.exe" << 2 << "\\\\s\\h\\x.exe"
                                      << "\\\\s\\h";
        QTest::newRow("web address") << "http://e.jp/a b" << 1 << "http://e.jp/a b"
                                     << "";
        QTest::newRow("two letters are a scheme") << "ms:x" << 1 << "ms:x"
                                                  << "";
        QTest::newRow("scheme with digits") << "s3+x.y-z:k" << 1 << "s3+x.y-z:k"
                                            << "";
        QTest::newRow("a digit first is no scheme") << "2go:x" << 2 << "C:\\cd\\2go:x"
                                                    << "C:\\cd";
        QTest::newRow("no path") << "" << 0 << ""
                                 << "";
        QTest::newRow("a separator only") << "/" << 0 << ""
                                          << "";
    }
    void resolvesTargets() {
        QFETCH(QString, path);
        QFETCH(int, kind);
        QFETCH(QString, target);
        QFETCH(QString, folder);
        const LaunchTarget t = ResolveTarget(u"C:/cd/", path.toStdU16String());
        QCOMPARE(int(t.kind), kind);
        QCOMPARE(QString::fromStdU16String(t.target), target);
        QCOMPARE(QString::fromStdU16String(t.folder), folder);
    }

    // Windows is handed only what lies within the bytes: the located header
    // gives the side, and the pixels (or the icon image) fit.
    void locatesPictures_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind"); // 0 none, 1 bitmap, 2 icon
        QTest::addColumn<int>("side");
        const QByteArray bmp = Bmp(32, QImage::Format_RGB32);
        const QByteArray two = Ico({{32, 32}, {16, 8}});
        QTest::newRow("BMP as the editor writes") << bmp << 1 << 32;
        QTest::newRow("BMP with a palette") << Bmp(16, QImage::Format_Indexed8) << 1 << 16;
        QTest::newRow("BMP one byte short") << bmp.chopped(1) << 0 << 0;
        QTest::newRow("BMP without a pixel offset") << Put(bmp, 10, 0) << 1 << 32;
        QTest::newRow("BMP 1025 pixels across") << Put(bmp, 18, 1025) << 0 << 0;
        QTest::newRow("BMP of two planes") << Put(bmp, 26, 2, 2) << 0 << 0;
        QTest::newRow("BMP header of 125 bytes") << Put(bmp, 14, 125) << 0 << 0;
        QTest::newRow("run-length BMP") << Put(bmp, 30, 1) << 0 << 0;
        QTest::newRow("signature BA") << Put(bmp, 1, 'A', 1) << 0 << 0;
        QTest::newRow("icon: 32 of three") << Ico({{16, 32}, {32, 32}, {48, 32}}) << 2 << 32;
        QTest::newRow("icon: nearest, deepest on a tie")
            << Ico({{16, 4}, {48, 32}, {16, 32}, {48, 8}}) << 2 << 48;
        QTest::newRow("icon: 256 written as 0") << Ico({{256, 0}}) << 2 << 256;
        QTest::newRow("icon: image past the end") << Put(two, 18, quint32(two.size())) << 2 << 16;
        QTest::newRow("icon: skips a cut image") << Put(two, 14, 200) << 2 << 16;
        QTest::newRow("icon: without its mask") << Put(two, 14, 40 + 32 * 128) << 2 << 16;
        QTest::newRow("icon: entries past the count") << Put(two, 4, 1, 2) << 2 << 32;
        QTest::newRow("icon: directory cut short") << two.left(37) << 0 << 0;
        QTest::newRow("text") << QByteArray("BMW is not a bitmap") << 0 << 0;
    }
    void locatesPictures() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QFETCH(int, side);
        const PictureLocation p = LocatePicture(kz::ByteArray(bytes.begin(), bytes.end()));
        QCOMPARE(int(p.kind), kind);
        QCOMPARE(p.width, side);
        QCOMPARE(p.height, side);
        QVERIFY(p.offset + p.size <= std::size_t(bytes.size()));
        if (kind == 1) // the pixel rows end the file
            QCOMPARE(p.bitsOffset + std::size_t((side * bytes[28] + 31) / 32 * 4 * side),
                     std::size_t(bytes.size()));
        if (kind != 0 && !bytes.mid(qsizetype(p.offset)).startsWith("\x89PNG"))
            QCOMPARE(bytes.mid(qsizetype(p.offset) + 4, 4), Put("1234", 0, quint32(side)));
    }
};

QTEST_GUILESS_MAIN(tst_LauncherModel)
#include "tst_launcher_model.moc"
