// What the launcher on the CD makes of the archive the editor packs: which
// slots it shows with which texts, the colours, the pages, where a click leads
// and which icons it can draw, including from damaged files.
#include "launcher/LauncherModel.h"
#include "output/ArchiveCodec.h"
#include "output/Project.h"
#include "store/Cp932.h"
#include "store/FileName.h"
#include "store/Ini.h"
#include "store/Parts.h"
#include "store/Slots.h"
#include "tests/support/PeWriter.h"
#include "tests/support/ScriptedDesktop.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace kz::launcher;

namespace {

constexpr std::uint32_t kBackground = 0x00E0E8F0;
constexpr std::uint32_t kNames = 0x00800000;

std::string Cp(const QString& text) {
    return kz::ToCp932(text).toStdString();
}

kz::ByteArray Bytes(const QByteArray& b) {
    return kz::ByteArray(b.begin(), b.end());
}

QString KeyOfIndex(int index) {
    return kz::SlotKey(index % kButtons, index / kButtons);
}

// A working folder filled as the entry editor fills it, packed as Save packs it.
class Project {
public:
    Project() { QVERIFY(dir_.isValid()); }
    void set(const QString& section, const QString& prefix, const QString& key,
             const QString& value) {
        kz::WriteIni(desktop_, kz::LocalPath(dir_.path(), kz::kSettingsLiteral), section,
                     prefix + key, value);
    }
    void icon(const QString& key, const QByteArray& bytes) {
        QDir(dir_.path()).mkpath(QStringLiteral("AutoRun_Icon"));
        QVERIFY(
            kz::WriteFileBytes(desktop_, kz::LocalPath(dir_.path(), kz::IconLiteral(key)), bytes));
    }
    kz::ByteArray archive() {
        QDir(dir_.path()).mkpath(QStringLiteral("AutoRun_Icon"));
        const kz::VariantTable table =
            kz::BuildProjectTable(desktop_, dir_.path(), kBackground, kNames);
        const auto bytes = kz::EncodeArchive(table);
        if (!bytes)
            qFatal("the editor could not encode its table");
        return *bytes;
    }

private:
    QTemporaryDir dir_;
    kz::ScriptedDesktop desktop_;
};

Colour FakeSystemColour(int index) {
    return 0x00100000u + static_cast<Colour>(index);
}

QByteArray BmpFile(int width, int height, QImage::Format format) {
    QImage image(width, height, format);
    if (format == QImage::Format_Indexed8) {
        image.setColorCount(2);
        image.setColor(0, qRgb(255, 0, 0));
        image.fill(0);
    } else {
        image.fill(Qt::red);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

void PutU32(QByteArray& b, int at, quint32 v) {
    for (int k = 0; k < 4; ++k)
        b[at + k] = char((v >> (8 * k)) & 0xFF);
}

// An .ico file of images of the sides and depths given ("16@32 48@png").
QByteArray Ico(const QString& description) {
    std::vector<kz::test::IconImage> images;
    for (const QString& item : description.split(QLatin1Char(' '))) {
        const int side = item.section('@', 0, 0).toInt();
        const bool png = item.section('@', 1) == QLatin1String("png");
        images.push_back({kz::test::Solid(Qt::red, side, side),
                          png ? 32 : item.section('@', 1).toInt(),
                          png ? kz::test::Encoding::Png : kz::test::Encoding::Dib});
    }
    return kz::test::IcoFile(images);
}

} // namespace

class tst_LauncherModel : public QObject {
    Q_OBJECT

private slots:
    // The slots shown are exactly those the editor packed before the marker
    // row, whatever packing left inside or after it.
    void showsTheSlotsThatWerePacked_data() {
        QTest::addColumn<QStringList>("inUse"); // slots with a path
        QTest::addColumn<QStringList>("named"); // slots with a name
        QTest::addColumn<QStringList>("shown"); // slots whose name the launcher shows
        QTest::newRow("only slot 00")
            << QStringList{"00"} << QStringList{"00", "10"} << QStringList{"00", "10"};
        QTest::newRow("slot 31's texts under the marker row")
            << QStringList{"30"} << QStringList{"30", "40", "31", "41", "02"}
            << QStringList{"30", "40"};
        QTest::newRow("last slot 20: rows 6 and 7 empty")
            << QStringList{"20"} << QStringList{"20", "01"} << QStringList{"20"};
        QTest::newRow("last slot 41: slot 42 is the marker row")
            << QStringList{"00", "41"} << QStringList{"00", "41", "42"} << QStringList{"00", "41"};
        QTest::newRow("last slot 419: the final page")
            << QStringList{"419"} << QStringList{"00", "318", "419"}
            << QStringList{"00", "318", "419"};
        QTest::newRow("nothing in use") << QStringList{} << QStringList{"00"} << QStringList{};
    }
    void showsTheSlotsThatWerePacked() {
        QFETCH(QStringList, inUse);
        QFETCH(QStringList, named);
        QFETCH(QStringList, shown);
        Project project;
        for (const QString& key : inUse)
            project.set("FilePath", "Path_", key, "app\\" + key + ".exe");
        for (const QString& key : named)
            project.set("AppName", "App_", key, "名前" + key);

        const Menu menu = ReadMenu(project.archive());
        QCOMPARE(menu.state, MenuState::Loaded);
        QCOMPARE(menu.background, kBackground);
        QCOMPARE(menu.text, kNames);
        for (int index = 0; index < kSlots; ++index) {
            const QString key = KeyOfIndex(index);
            const std::string expected = shown.contains(key) ? Cp("名前" + key) : std::string();
            QVERIFY2(menu.records[std::size_t(index)].appName == expected, qPrintable(key));
            const std::string path = inUse.contains(key) ? Cp("app\\" + key + ".exe") : "";
            QVERIFY2(menu.records[std::size_t(index)].path == path, qPrintable(key));
        }
    }

    void keepsEveryTextAndTheIcon() {
        Project project;
        const QStringList values{"ﾂｰﾙ\\セットアップ.exe",
                                 "http://example.jp/",
                                 "二行目",
                                 "アプリ名",
                                 "山田太郎",
                                 "ABCD-1234",
                                 "会員番号",
                                 "製品キー"};
        for (std::size_t f = 0; f < kz::kSlotFields.size(); ++f)
            project.set(QString::fromUtf16(kz::kSlotFields[f].section),
                        QString::fromUtf16(kz::kSlotFields[f].prefix), "13", values[int(f)]);
        const QByteArray icon = BmpFile(32, 32, QImage::Format_RGB32);
        project.icon("13", icon);

        const Menu menu = ReadMenu(project.archive());
        const SlotRecord& slot = menu.records[std::size_t(SlotIndex(3, 1))];
        QCOMPARE(slot.icon, Bytes(icon));
        const std::string texts[] = {slot.path,          slot.firstLine,  slot.secondLine,
                                     slot.appName,       slot.userName,   slot.serial,
                                     slot.userNameTitle, slot.serialTitle};
        for (int f = 0; f < 8; ++f)
            QCOMPARE(QString::fromStdString(texts[f]), QString::fromStdString(Cp(values[f])));
        QVERIFY(ShownUserNameTitle(slot) == Cp("会員番号"));
        QVERIFY(ShownSerialTitle(slot) == Cp("製品キー"));
    }

    void readsOddTablesSafely_data() {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<int>("state");
        QTest::addColumn<QStringList>("names"); // slot index=name of every named slot
        QTest::addColumn<quint32>("background");

        auto table = [](int fields, int rows) { return kz::VariantTable::Make(fields, rows); };
        auto encode = [](const kz::VariantTable& t) {
            const auto bytes = kz::EncodeArchive(t);
            return QByteArray(reinterpret_cast<const char*>(bytes->data()),
                              qsizetype(bytes->size()));
        };
        auto marker = [](kz::VariantTable& t, int row, kz::Cell background) {
            *t.at(0, row) = kz::launcher::kMarkerText;
            *t.at(1, row) = background;
            *t.at(2, row) = std::int32_t(kNames);
        };
        const std::uint32_t face = kButtonFace;
        const int loaded = int(MenuState::Loaded);
        const int damaged = int(MenuState::Damaged);

        {
            kz::VariantTable t = table(9, 7);
            *t.at(4, 1) = Cp("一");
            *t.at(4, 4) = Cp("後");
            marker(t, 3, std::int32_t(kBackground));
            QTest::newRow("rows after an early marker hold no slot")
                << encode(t) << loaded << QStringList{"0=一"} << quint32(kBackground);
        }
        {
            kz::VariantTable t = table(9, 4);
            *t.at(4, 1) = std::int32_t(7);
            *t.at(4, 2) = kz::ByteArray{0x41};
            *t.at(0, 2) = Cp("設定ではない");
            *t.at(4, 3) = Cp("三");
            QTest::newRow("cells of the wrong kind, no marker")
                << encode(t) << loaded << QStringList{"2=三"} << quint32(face);
        }
        {
            kz::VariantTable t = table(9, 2);
            marker(t, 1, Cp("色"));
            QTest::newRow("a colour that is no number keeps the default")
                << encode(t) << loaded << QStringList{} << quint32(face);
        }
        {
            kz::VariantTable t = table(9, 1);
            marker(t, 0, std::int32_t(kBackground));
            QTest::newRow("marker row alone")
                << encode(t) << loaded << QStringList{} << quint32(kBackground);
        }
        {
            kz::VariantTable t = table(9, 106);
            *t.at(4, 100) = Cp("最後");
            *t.at(4, 101) = Cp("外");
            QTest::newRow("rows past the hundred slots")
                << encode(t) << loaded << QStringList{"99=最後"} << quint32(face);
        }

        kz::VariantTable good = table(9, 7);
        *good.at(4, 1) = Cp("一");
        marker(good, 6, std::int32_t(kBackground));
        const QByteArray whole = encode(good);
        QTest::newRow("cut short")
            << whole.left(whole.size() - 3) << damaged << QStringList{} << quint32(face);
        QTest::newRow("empty file") << QByteArray() << damaged << QStringList{} << quint32(face);
        QTest::newRow("not an archive") << QByteArray("[FilePath]\r\nPath_00=a.exe\r\n") << damaged
                                        << QStringList{} << quint32(face);
        QByteArray oneDimension("\x0C\x20\x01\x00\x09\x00\x00\x00\x00\x00\x00\x00", 12);
        oneDimension.append(QByteArray(18, '\0')); // nine empty cells
        QTest::newRow("one-dimensional table")
            << oneDimension << damaged << QStringList{} << quint32(face);
    }
    void readsOddTablesSafely() {
        QFETCH(QByteArray, archive);
        QFETCH(int, state);
        QFETCH(QStringList, names);
        QFETCH(quint32, background);
        const Menu menu = ReadMenu(Bytes(archive));
        QCOMPARE(int(menu.state), state);
        QCOMPARE(menu.background, background);
        for (int index = 0; index < kSlots; ++index) {
            QString expected;
            for (const QString& n : names)
                if (n.section('=', 0, 0).toInt() == index)
                    expected = n.section('=', 1);
            QCOMPARE(
                kz::FromCp932(QByteArray::fromStdString(menu.records[std::size_t(index)].appName)),
                expected);
        }
    }

    void resolvesColours_data() {
        QTest::addColumn<quint32>("stored");
        QTest::addColumn<quint32>("painted");
        QTest::newRow("explicit colour") << quint32(0x00336699) << quint32(0x336699);
        QTest::newRow("button face") << quint32(0x8000000F) << quint32(0x10000F);
        QTest::newRow("desktop, index 0 of the low byte")
            << quint32(0x80000100) << quint32(0x100000);
        QTest::newRow("menu bar, the last index") << quint32(0x8000001E) << quint32(0x10001E);
        QTest::newRow("unknown index gives the button face")
            << quint32(0x8000001F) << quint32(0x10000F);
    }
    void resolvesColours() {
        QFETCH(quint32, stored);
        QFETCH(quint32, painted);
        QCOMPARE(ResolveColour(stored, FakeSystemColour), painted);
    }

    void coloursDescriptionLines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("previous");
        QTest::addColumn<quint32>("plain");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("web address") << "http://example.com" << kRed << kRed << kBlue;
        QTest::newRow("https is not http:") << "https://example.com" << kBlue << kBlack << kBlack;
        QTest::newRow("six characters") << "http:/" << kRed << kRed << kBlue;
        QTest::newRow("bare prefix keeps the colour") << "http:" << kBlack << kBlack << kBlack;
        QTest::newRow("short line keeps blue") << "abc" << kBlue << kRed << kBlue;
        QTest::newRow("empty line keeps blue") << "" << kBlue << kBlack << kBlue;
        QTest::newRow("three kanji are three characters") << "説明文" << kBlue << kRed << kBlue;
        QTest::newRow("six kanji") << "日本語の説明" << kBlue << kRed << kRed;
    }
    void coloursDescriptionLines() {
        QFETCH(QString, text);
        QFETCH(quint32, previous);
        QFETCH(quint32, plain);
        QFETCH(quint32, expected);
        QCOMPARE(DescriptionColour(Cp(text), previous, plain), expected);
    }

    // Pointing at one slot after another: a short line keeps the colour the
    // last long one gave it.
    void lineColoursCarryOverFromSlotToSlot() {
        struct Step {
            const char* firstLine;
            const char* secondLine;
            Colour colour1;
            Colour colour2;
        };
        const Step steps[] = {
            {"", "", kRed, kBlack},
            {"http://a.example/", "http://b.example/", kBlue, kBlue},
            {"短い", "http:", kBlue, kBlue},
            {"普通の説明文です", "二行目の説明です", kRed, kBlack},
            {"http://c.example/", "abc", kBlue, kBlack},
        };
        DescriptionColours colours;
        for (const Step& step : steps) {
            SlotRecord slot;
            slot.firstLine = Cp(QString::fromUtf8(step.firstLine));
            slot.secondLine = Cp(QString::fromUtf8(step.secondLine));
            colours.show(slot);
            QCOMPARE(colours.firstLine, step.colour1);
            QCOMPARE(colours.secondLine, step.colour2);
        }
    }

    void pages_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("indicator");
        QTest::addColumn<bool>("previous");
        QTest::addColumn<bool>("next");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("first") << 0 << "1/20" << false << true
                               << QStringList{"00", "10", "20", "30", "40"};
        QTest::newRow("last") << 19 << "20/20" << true << false
                              << QStringList{"019", "119", "219", "319", "419"};
    }
    void pages() {
        QFETCH(int, page);
        QFETCH(QString, indicator);
        QFETCH(bool, previous);
        QFETCH(bool, next);
        QFETCH(QStringList, keys);
        QCOMPARE(QString::fromStdString(PageIndicator(page)), indicator);
        QCOMPARE(ShowsPrevious(page), previous);
        QCOMPARE(ShowsNext(page), next);
        for (int b = 0; b < kButtons; ++b) {
            QCOMPARE(QString::fromStdString(kz::launcher::SlotKey(page, b)), keys[b]);
            QCOMPARE(KeyOfIndex(SlotIndex(page, b)), keys[b]);
        }
    }

    void resolvesTargets_data() {
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("folder");
        const int none = int(LaunchTarget::Kind::Nothing);
        const int address = int(LaunchTarget::Kind::Address);
        const int file = int(LaunchTarget::Kind::File);
        QTest::newRow("program in a folder") << "D:\\"
                                             << "tools\\setup.exe" << file << "D:\\tools\\setup.exe"
                                             << "D:\\tools";
        QTest::newRow("copied CD folder") << "C:\\cd"
                                          << "a\\b\\c.exe" << file << "C:\\cd\\a\\b\\c.exe"
                                          << "C:\\cd\\a\\b";
        QTest::newRow("slashes and a leading backslash")
            << "C:\\cd\\"
            << "\\docs/manual.pdf" << file << "C:\\cd\\docs\\manual.pdf"
            << "C:\\cd\\docs";
        QTest::newRow("a path that names a drive")
            << "D:\\"
            << "C:\\Windows\\notepad.exe" << file << "C:\\Windows\\notepad.exe"
            << "C:\\Windows";
        QTest::newRow("network path")
            << "D:\\"
            << "\\\\server\\share\\x.exe" << file << "\\\\server\\share\\x.exe"
            << "\\\\server\\share";
        QTest::newRow("web address as it is")
            << "D:\\"
            << "http://example.com/a b" << address << "http://example.com/a b"
            << "";
        QTest::newRow("a digit first is no scheme") << "D:\\"
                                                    << "2go:x.exe" << file << "D:\\2go:x.exe"
                                                    << "D:\\";
        QTest::newRow("no path") << "D:\\"
                                 << "" << none << ""
                                 << "";
        QTest::newRow("separators only") << "D:\\"
                                         << "\\" << none << ""
                                         << "";
    }
    void resolvesTargets() {
        QFETCH(QString, root);
        QFETCH(QString, path);
        QFETCH(int, kind);
        QFETCH(QString, target);
        QFETCH(QString, folder);
        const LaunchTarget t = ResolveTarget(root.toStdU16String(), path.toStdU16String());
        QCOMPARE(int(t.kind), kind);
        QCOMPARE(QString::fromStdU16String(t.target), target);
        QCOMPARE(QString::fromStdU16String(t.folder), folder);
    }

    void locatesPictures_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("side");
        const int none = int(PictureLocation::Kind::None);
        const int bitmap = int(PictureLocation::Kind::Bitmap);
        const int icon = int(PictureLocation::Kind::Icon);

        const QByteArray bmp = BmpFile(32, 32, QImage::Format_RGB32);
        QTest::newRow("BMP as the editor writes") << bmp << bitmap << 32;
        QTest::newRow("BMP with a palette")
            << BmpFile(16, 16, QImage::Format_Indexed8) << bitmap << 16;
        QTest::newRow("BMP one byte short") << bmp.left(bmp.size() - 1) << none << 0;
        QByteArray noOffset = bmp;
        PutU32(noOffset, 10, 0);
        QTest::newRow("BMP without a pixel offset") << noOffset << bitmap << 32;
        QByteArray huge = bmp;
        PutU32(huge, 18, 40000);
        QTest::newRow("BMP claiming a huge width") << huge << none << 0;
        QByteArray rle = bmp;
        PutU32(rle, 30, 1);
        QTest::newRow("run-length BMP") << rle << none << 0;

        QTest::newRow("icon: the 32 pixel image of three")
            << Ico("16@32 32@32 48@32") << icon << 32;
        QTest::newRow("icon: nearest size, deepest colours on a tie")
            << Ico("16@4 48@32 16@32 48@8") << icon << 48;
        QTest::newRow("icon: 256 pixels written as 0") << Ico("256@png") << icon << 256;
        QByteArray pastEnd = Ico("32@32");
        PutU32(pastEnd, 6 + 12, quint32(pastEnd.size()));
        QTest::newRow("icon: image past the end") << pastEnd << none << 0;
        QByteArray cut = Ico("32@32 16@8");
        PutU32(cut, 6 + 8, 200);
        QTest::newRow("icon: skips a cut image") << cut << icon << 16;
        QByteArray noMask = Ico("32@24 16@4");
        PutU32(noMask, 6 + 8, 40 + 32 * 96);
        QTest::newRow("icon: skips an image without its mask") << noMask << icon << 16;
        QByteArray fewer = Ico("16@32 32@32");
        fewer[4] = 1; // the second entry is not part of the directory
        QTest::newRow("icon: entries past the count are not read") << fewer << icon << 16;
        QByteArray notBm = bmp;
        notBm[1] = 'A';
        QTest::newRow("BMP whose signature is not BM") << notBm << none << 0;
        QTest::newRow("icon: directory cut short") << Ico("32@32").left(21) << none << 0;
        QTest::newRow("empty") << QByteArray() << none << 0;
        QTest::newRow("text") << QByteArray("BMW is not a bitmap") << none << 0;
    }
    void locatesPictures() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QFETCH(int, side);
        const PictureLocation p = LocatePicture(Bytes(bytes));
        QCOMPARE(int(p.kind), kind);
        QCOMPARE(p.width, side);
        QCOMPARE(p.height, side);
        // Everything Windows is handed lies within the bytes.
        if (p.kind == PictureLocation::Kind::Bitmap) {
            QVERIFY(p.offset + p.size <= p.bitsOffset);
            const int depth = quint8(bytes[28]) | quint8(bytes[29]) << 8;
            const auto stride = std::size_t((side * depth + 31) / 32 * 4);
            QVERIFY(p.bitsOffset + stride * std::size_t(side) <= std::size_t(bytes.size()));
        } else if (p.kind == PictureLocation::Kind::Icon) {
            QVERIFY(p.offset + p.size <= std::size_t(bytes.size()));
        }
    }
};

QTEST_GUILESS_MAIN(tst_LauncherModel)
#include "tst_launcher_model.moc"
