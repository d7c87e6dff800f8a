// The project archive as files see it: the bytes PackProject writes, and what
// UnpackProject puts back into a working folder from good, truncated and
// hostile archives.
#include "output/ArchiveCodec.h"
#include "output/Project.h"
#include "store/Cp932.h"
#include "store/FileName.h"
#include "store/Ini.h"
#include "store/Slots.h"
#include "tests/support/ScriptedDesktop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace kz;

namespace {

constexpr std::uint32_t kBackground = 0x00336699;
constexpr std::uint32_t kTextColour = 0x80000012;

// Archive bytes spelled out by hand, little-endian, the way the file holds them.
struct Bytes {
    QByteArray b;
    Bytes& u16(quint16 v) {
        b.append(char(v & 0xFF)).append(char(v >> 8));
        return *this;
    }
    Bytes& i32(qint32 v) {
        const auto u = quint32(v);
        for (int s = 0; s < 32; s += 8)
            b.append(char((u >> s) & 0xFF));
        return *this;
    }
    Bytes& raw(const QByteArray& bytes) {
        b.append(bytes);
        return *this;
    }
    Bytes& header(qint32 fields, qint32 rows) {
        return u16(0x200C).u16(2).i32(fields).i32(0).i32(rows).i32(0);
    }
    Bytes& empty() { return u16(0); }
    Bytes& empties(int n) {
        for (int k = 0; k < n; ++k)
            empty();
        return *this;
    }
    Bytes& integer(qint32 v) { return u16(3).i32(v); }
    Bytes& text(const QString& t) {
        const QByteArray c = ToCp932(t);
        return u16(8).u16(quint16(c.size())).raw(c);
    }
    Bytes& icon(const QByteArray& bytes) {
        return u16(0x2011).u16(1).i32(qint32(bytes.size())).i32(0).raw(bytes);
    }
    // Fields 1 to 8 of a row, all texts.
    Bytes& texts(const QStringList& t) {
        for (int f = 0; f < 8; ++f)
            text(t.value(f));
        return *this;
    }
    Bytes& textRow(const QStringList& t) { return empty().texts(t); }
    Bytes& marker(std::uint32_t background, std::uint32_t text) {
        return this->text(kMarkerText).integer(qint32(background)).integer(qint32(text)).empties(6);
    }
};

QByteArray IconBytes(int size, int seed) {
    QByteArray b(size, Qt::Uninitialized);
    for (int k = 0; k < size; ++k)
        b[k] = char((k * 7 + seed) % 256);
    return b;
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString Hex(const char* data, std::size_t size) {
    return QString::fromLatin1(QByteArray(data, qsizetype(size)).toHex());
}

QString Describe(const Cell* cell) {
    if (!cell)
        return QStringLiteral("outside");
    if (const auto* s = std::get_if<std::string>(cell))
        return QStringLiteral("text:") + Hex(s->data(), s->size());
    if (const auto* n = std::get_if<std::int32_t>(cell))
        return QStringLiteral("int:%1").arg(*n);
    if (const auto* a = std::get_if<ByteArray>(cell))
        return QStringLiteral("bytes:") + Hex(reinterpret_cast<const char*>(a->data()), a->size());
    return QStringLiteral("empty");
}
QString Describe(const Cell& cell) {
    return Describe(&cell);
}

Cell TextCell(const QString& t) {
    const QByteArray c = ToCp932(t);
    return std::string(c.constData(), std::size_t(c.size()));
}

QString KeyOfRow(int row) {
    return SlotKey((row - 1) % 5, (row - 1) / 5);
}

// A distinct value for every text field of every slot, with double-byte text
// in it so that code page 932 is exercised.
QString ValueOf(int field, const QString& key) {
    if (field == 1)
        return QStringLiteral("tools\\app%1.exe").arg(key);
    return QStringLiteral("値%1-%2").arg(field).arg(key);
}

QString IconItem(const QString& key, const QByteArray& bytes) {
    return QStringLiteral("icon %1 %2").arg(key, QString::fromLatin1(bytes.toHex()));
}

// A working folder of its own in a fresh temporary directory.
class WorkFolder {
public:
    explicit WorkFolder(bool iconFolder = true) {
        if (iconFolder)
            QDir(dir_.path()).mkdir(QStringLiteral("AutoRun_Icon"));
    }
    QString path() const { return dir_.path(); }
    QString settings() const { return LocalPath(path(), kSettingsLiteral); }
    QString icon(const QString& key) const { return LocalPath(path(), IconLiteral(key)); }
    QString archive() const { return ArchivePath(path()); }

    // Writes the settings file directly, as the editor leaves it: every text
    // field of the given slots, FilePath only for those in use.
    void fill(const QStringList& slotKeys, const QStringList& used) const {
        QString ini;
        for (int f = 0; f < 8; ++f) {
            const SlotField& field = kSlotFields[std::size_t(f)];
            ini += QLatin1Char('[') + QString::fromUtf16(field.section) + QStringLiteral("]\r\n");
            for (const QString& key : slotKeys)
                if (f > 0 || used.contains(key))
                    ini += QString::fromUtf16(field.prefix) + key + QLatin1Char('=') +
                           ValueOf(f + 1, key) + QStringLiteral("\r\n");
        }
        QVERIFY(WriteAll(settings(), ToCp932(ini)));
    }

    void set(int field, const QString& key, const QString& value) const {
        const SlotField& f = kSlotFields[std::size_t(field - 1)];
        ScriptedDesktop desktop;
        WriteIni(desktop, settings(), QString::fromUtf16(f.section),
                 QString::fromUtf16(f.prefix) + key, value);
    }

    QString value(int field, const QString& key) const {
        const SlotField& f = kSlotFields[std::size_t(field - 1)];
        return ReadIni(settings(), QString::fromUtf16(f.section),
                       QString::fromUtf16(f.prefix) + key);
    }

    // Everything an unpack writes, as comparable items: "icon KEY HEX" for
    // each icon file, "FIELD KEY VALUE" for each non-empty settings value.
    QSet<QString> restored() const {
        QSet<QString> items;
        for (int page = 0; page <= kPages; ++page) {
            for (int button = 0; button < kButtons; ++button) {
                const QString key = SlotKey(button, page);
                if (QFileInfo::exists(icon(key)))
                    items.insert(IconItem(key, ReadAll(icon(key))));
                if (!QFileInfo::exists(settings()))
                    continue;
                for (int f = 1; f <= 8; ++f)
                    if (const QString v = value(f, key); !v.isEmpty())
                        items.insert(QStringLiteral("%1 %2 %3").arg(f).arg(key, v));
            }
        }
        return items;
    }

private:
    QTemporaryDir dir_;
};

// Every slot key of pages 0 to 20; page 20 is never shown but can be packed.
QStringList AllKeys() {
    QStringList keys;
    for (int page = 0; page <= kPages; ++page)
        for (int button = 0; button < kButtons; ++button)
            keys << SlotKey(button, page);
    return keys;
}

QString DescribeColours(const std::optional<LauncherColours>& c) {
    if (!c)
        return QStringLiteral("unchanged");
    auto one = [](const std::optional<std::uint32_t>& v) {
        return v ? QStringLiteral("0x%1").arg(*v, 8, 16, QLatin1Char('0')) : QStringLiteral("-");
    };
    return one(c->background) + QLatin1Char(' ') + one(c->text);
}

QSet<QString> SetOf(const QStringList& list) {
    return QSet<QString>(list.begin(), list.end());
}

} // namespace

class TestOutput : public QObject {
    Q_OBJECT

private slots:
    void encode_writesTheDocumentedBytes();
    void pack_lastSlotInUse_data();
    void pack_lastSlotInUse();
    void pack_missingIconFolder_packsEmptyIcons();
    void pack_archiveNotWritable_returnsFalseWithoutMessage();
    void unpack_restoresRowsUpToMarker_data();
    void unpack_restoresRowsUpToMarker();
    void unpack_missingArchive_changesNothing();
    void packThenUnpack_mergesIntoEarlierProject();
    void unpack_truncatedArchive_restoresNothing();
    void decode_checksEveryCountAndLength_data();
    void decode_checksEveryCountAndLength();
    void unpack_onlyAProjectsShape_data();
    void unpack_onlyAProjectsShape();
};

void TestOutput::encode_writesTheDocumentedBytes() {
    auto make = [](int fields, int rows, std::vector<Cell> cells) {
        VariantTable t = VariantTable::Make(fields, rows);
        t.cells() = std::move(cells);
        return t;
    };
    const struct {
        const char* name;
        VariantTable table;
        QByteArray expected;
    } cases[] = {
        {"one empty cell", make(1, 1, {Cell{}}),
         QByteArray::fromHex("0c200200 01000000 00000000 01000000 00000000 0000")},
        {"marker text", make(1, 1, {TextCell(kMarkerText)}),
         QByteArray::fromHex("0c200200 0100000000000000 0100000000000000 0800 0400 90dd92e8")},
        {"system colour", make(1, 1, {Cell{std::int32_t(0x8000000F)}}),
         QByteArray::fromHex("0c200200 0100000000000000 0100000000000000 0300 0f000080")},
        {"byte array", make(1, 1, {Cell{ByteArray{1, 2, 0xFF}}}),
         QByteArray::fromHex(
             "0c200200 0100000000000000 0100000000000000 1120 0100 03000000 00000000 0102ff")},
        // Field dimension first; the field index changes fastest.
        {"2 fields x 3 rows",
         make(2, 3,
              {Cell{std::int32_t(1)}, Cell{std::int32_t(2)}, Cell{}, Cell{},
               TextCell(QStringLiteral("a")), Cell{std::int32_t(-1)}}),
         QByteArray::fromHex("0c200200 0200000000000000 0300000000000000"
                             "030001000000 030002000000 0000 0000 0800010061 0300ffffffff")},
    };
    for (const auto& c : cases) {
        const auto bytes = EncodeArchive(c.table);
        QVERIFY2(bytes, c.name);
        const QByteArray got(reinterpret_cast<const char*>(bytes->data()),
                             qsizetype(bytes->size()));
        QVERIFY2(got == c.expected, qPrintable(QStringLiteral("%1: %2").arg(
                                        QLatin1String(c.name), QLatin1String(got.toHex(' ')))));
        const auto back = DecodeArchive(*bytes);
        QVERIFY2(back && *back == c.table, c.name);
    }
}

void TestOutput::pack_lastSlotInUse_data() {
    QTest::addColumn<QStringList>("used");   // slots whose FilePath is set
    QTest::addColumn<int>("lastRow");        // the marker row
    QTest::addColumn<int>("lastFilled");     // last row the slot loop filled
    QTest::addColumn<QString>("markerSlot"); // whose texts fields 3 to 8 of the marker row keep

    QTest::newRow("only slot 00") << QStringList{"00"} << 6 << 5 << QString();
    QTest::newRow("last slot 30") << QStringList{"00", "30"} << 9 << 9 << QStringLiteral("31");
    QTest::newRow("last slot 20") << QStringList{"20"} << 8 << 5 << QString();
    QTest::newRow("last slot 41") << QStringList{"10", "41"} << 15 << 15 << QStringLiteral("42");
    QTest::newRow("no slot in use") << QStringList{} << 0 << 0 << QString();
    QTest::newRow("last slot 419")
        << QStringList{"00", "419"} << 105 << 105 << QStringLiteral("420");
}

void TestOutput::pack_lastSlotInUse() {
    QFETCH(QStringList, used);
    QFETCH(int, lastRow);
    QFETCH(int, lastFilled);
    QFETCH(QString, markerSlot);

    WorkFolder work;
    // Texts in every slot, page 20 included, so that anything packed from the
    // wrong slot, into the wrong field or past the last row shows.
    work.fill(AllKeys(), used);
    const QByteArray icon = IconBytes(766, 3);
    QVERIFY(WriteAll(work.icon(QStringLiteral("00")), icon));

    ScriptedDesktop desktop;
    VariantTable table;
    QVERIFY(PackProject(desktop, work.path(), kBackground, kTextColour, table));
    QCOMPARE(desktop.messages().size(), 0);
    QCOMPARE(desktop.answersOf("busy"), (QStringList{"on", "off"}));

    const QByteArray file = ReadAll(work.archive());
    QCOMPARE(file.left(20).toHex(' '), Bytes().header(9, lastRow + 1).b.toHex(' '));
    const auto stored = ReadArchiveFile(work.archive());
    QVERIFY(stored);
    QVERIFY(*stored == table);
    QCOMPARE(stored->upper(0), std::optional<std::int64_t>(8));
    QCOMPARE(stored->upper(1), std::optional<std::int64_t>(lastRow));

    for (int row = 0; row <= lastRow; ++row) {
        const QString key = KeyOfRow(row);
        const bool filled = row >= 1 && row <= lastFilled;
        for (int f = 0; f < 9; ++f) {
            Cell expected;
            if (row == lastRow && f == 0)
                expected = TextCell(kMarkerText);
            else if (row == lastRow && f == 1)
                expected = std::int32_t(kBackground);
            else if (row == lastRow && f == 2)
                expected = std::int32_t(kTextColour);
            else if (filled && f == 0)
                expected =
                    key == QLatin1String("00") ? ByteArray(icon.begin(), icon.end()) : ByteArray{};
            else if (filled)
                expected = TextCell(f == 1 && !used.contains(key) ? QString() : ValueOf(f, key));
            const QString got = Describe(stored->at(f, row));
            QVERIFY2(got == Describe(expected),
                     qPrintable(QStringLiteral("row %1 field %2: %3").arg(row).arg(f).arg(got)));
        }
    }
    if (!markerSlot.isEmpty())
        QCOMPARE(KeyOfRow(lastRow), markerSlot);
    // The marker as the launcher finds it in the file.
    QVERIFY(file.contains(QByteArray::fromHex("0800 0400 90dd92e8")));
}

void TestOutput::pack_missingIconFolder_packsEmptyIcons() {
    WorkFolder work(false);
    work.fill({QStringLiteral("00")}, {QStringLiteral("00")});

    ScriptedDesktop desktop;
    VariantTable table;
    QVERIFY(PackProject(desktop, work.path(), kBackground, kTextColour, table));
    // One error box per slot read, and each slot still packed with its texts.
    QCOMPARE(desktop.messages().size(), 5);
    const auto stored = ReadArchiveFile(work.archive());
    QVERIFY(stored);
    for (int row = 1; row <= 5; ++row)
        QCOMPARE(Describe(stored->at(0, row)), Describe(Cell{ByteArray{}}));
    QCOMPARE(Describe(stored->at(4, 1)), Describe(TextCell(ValueOf(4, QStringLiteral("00")))));
}

void TestOutput::pack_archiveNotWritable_returnsFalseWithoutMessage() {
    WorkFolder work;
    work.fill({QStringLiteral("00")}, {QStringLiteral("00")});
    QVERIFY(QDir().mkdir(work.archive())); // a folder where the archive belongs

    ScriptedDesktop desktop;
    VariantTable table;
    QVERIFY(!PackProject(desktop, work.path(), kBackground, kTextColour, table));
    QCOMPARE(desktop.messages().size(), 0);
    QCOMPARE(desktop.answersOf("busy"), (QStringList{"on", "off"}));
    QVERIFY(QFileInfo(work.archive()).isDir());
}

// Tables of a project's shape (rows 0 to 6 here), with empty rows after
// whatever each case holds.
void TestOutput::unpack_restoresRowsUpToMarker_data() {
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<QStringList>("restored"); // as WorkFolder::restored lists them
    QTest::addColumn<QStringList>("slotKeys");
    QTest::addColumn<QString>("colours");

    const QStringList a{"pa", "t1a", "", "アプリA"};
    const QStringList b{"pb", "", "t2b", "", "", "", "題名", "ｼﾘｱﾙ題"};
    const QStringList c{"pc", "t1c"};
    const QByteArray icon = IconBytes(40, 1);

    QTest::newRow("marker in row 3 ends the scan; row 0 is no slot")
        << Bytes()
               .header(9, 7)
               .textRow(c)
               .textRow(a)
               .textRow(b)
               .marker(0x00FF0000, 0x8000000F)
               .textRow(c)
               .empties(9 * 2)
               .b
        << QStringList{"1 00 pa",  "2 00 t1a",  "4 00 アプリA", "1 10 pb",
                       "3 10 t2b", "7 10 題名", "8 10 ｼﾘｱﾙ題"}
        << QStringList{"00", "10"} << QStringLiteral("0x00ff0000 0x8000000f");
    QTest::newRow("no marker: every row, colours unchanged")
        << Bytes().header(9, 7).empties(9).textRow(a).empties(9).textRow(c).empties(9 * 3).b
        << QStringList{"1 00 pa", "2 00 t1a", "4 00 アプリA", "1 20 pc", "2 20 t1c"}
        << QStringList{"00", "20"} << QStringLiteral("unchanged");
    QTest::newRow("texts over the marker stay out")
        << Bytes()
               .header(9, 7)
               .empties(9)
               .textRow(a)
               .text(kMarkerText)
               .integer(1)
               .integer(2)
               .text("t2x")
               .text("appx")
               .empties(4)
               .empties(9 * 4)
               .b
        << QStringList{"1 00 pa", "2 00 t1a", "4 00 アプリA"} << QStringList{"00"}
        << QStringLiteral("0x00000001 0x00000002");
    QTest::newRow("a colour that is no number stays")
        << Bytes()
               .header(9, 7)
               .empties(9)
               .text(kMarkerText)
               .text("red")
               .integer(5)
               .empties(6)
               .empties(9 * 5)
               .b
        << QStringList{} << QStringList{} << QStringLiteral("- 0x00000005");
    QTest::newRow("icons, an empty one too; empty texts write nothing; a number is text")
        << Bytes()
               .header(9, 7)
               .empties(9)
               .icon(icon)
               .texts({})
               .icon({})
               .text("p")
               .integer(12345)
               .empties(6)
               .empties(9 * 4)
               .b
        << QStringList{IconItem("00", icon), IconItem("10", {}), "1 10 p", "2 10 12345"}
        << QStringList{"00", "10"} << QStringLiteral("unchanged");
    // Rows 1 to 5 are scanned and do not exist, so the marker in row 0 is
    // never reached.
    QTest::newRow("no slot in use")
        << Bytes().header(9, 1).marker(kBackground, kTextColour).b << QStringList{} << QStringList{}
        << QStringLiteral("unchanged");
}

void TestOutput::unpack_restoresRowsUpToMarker() {
    QFETCH(QByteArray, archive);
    QFETCH(QStringList, restored);
    QFETCH(QStringList, slotKeys);
    QFETCH(QString, colours);

    WorkFolder work(false);
    QTemporaryDir saved;
    const QString path = saved.filePath(kArchiveName);
    QVERIFY(WriteAll(path, archive));

    ScriptedDesktop desktop;
    VariantTable table;
    UnpackReport report;
    const auto got = UnpackProject(desktop, work.path(), path, table, &report);
    QVERIFY(report.archiveRead);
    QCOMPARE(DescribeColours(got), colours);
    QCOMPARE(report.slotKeys, slotKeys);
    QCOMPARE(work.restored(), SetOf(restored));
    QCOMPARE(desktop.messages().size(), 0);
    QCOMPARE(desktop.answersOf("busy"), (QStringList{"on", "off"}));
    QVERIFY(QFileInfo(LocalPath(work.path(), kIconFolderLiteral)).isDir());
}

void TestOutput::unpack_missingArchive_changesNothing() {
    WorkFolder work(false);
    work.set(4, QStringLiteral("00"), QStringLiteral("前のアプリ"));
    const QByteArray before = ReadAll(work.settings());

    ScriptedDesktop desktop;
    VariantTable table = VariantTable::Make(9, 7);
    *table.at(0, 6) = TextCell(kMarkerText);
    const auto got = UnpackProject(desktop, work.path(), work.archive(), table);
    QVERIFY(!got);
    QVERIFY(table == VariantTable::Make(9, 1));
    QCOMPARE(ReadAll(work.settings()), before);
    QVERIFY(!QFileInfo::exists(LocalPath(work.path(), kIconFolderLiteral)));
    QVERIFY(desktop.answersOf("busy").isEmpty());
    QVERIFY(desktop.messages().isEmpty());
}

void TestOutput::packThenUnpack_mergesIntoEarlierProject() {
    const QByteArray newIcon = IconBytes(766, 5);
    const QByteArray oldIcon = IconBytes(100, 9);
    const QByteArray keptIcon = IconBytes(50, 11);

    WorkFolder source;
    source.set(1, "00", "a.exe");
    source.set(2, "00", "新しい説明");
    source.set(1, "10", "http://example.com/");
    source.set(4, "10", "B");
    QVERIFY(WriteAll(source.icon("00"), newIcon));
    ScriptedDesktop packing;
    VariantTable packed;
    QVERIFY(PackProject(packing, source.path(), kBackground, kTextColour, packed));

    WorkFolder earlier;
    earlier.set(2, "00", "古い説明");
    earlier.set(7, "00", "古い題名");
    earlier.set(6, "10", "old serial");
    earlier.set(4, "02", "残る");
    QVERIFY(WriteAll(earlier.icon("00"), oldIcon));
    QVERIFY(WriteAll(earlier.icon("02"), keptIcon));

    ScriptedDesktop desktop;
    VariantTable table;
    UnpackReport report;
    const auto colours = UnpackProject(desktop, earlier.path(), source.archive(), table, &report);
    QCOMPARE(DescribeColours(colours), QStringLiteral("0x00336699 0x80000012"));
    QVERIFY(table == packed);
    QCOMPARE(report.slotKeys, (QStringList{"00", "10", "20", "30", "40"}));

    // Archive values win, empty archive values and slots past the archive
    // keep what the folder held; icons packed empty come back as empty files.
    const QStringList expected{"1 00 a.exe",
                               "2 00 新しい説明",
                               "7 00 古い題名",
                               "1 10 http://example.com/",
                               "4 10 B",
                               "6 10 old serial",
                               "4 02 残る",
                               IconItem("00", newIcon),
                               IconItem("02", keptIcon),
                               IconItem("10", {}),
                               IconItem("20", {}),
                               IconItem("30", {}),
                               IconItem("40", {})};
    QCOMPARE(earlier.restored(), SetOf(expected));
    QCOMPARE(QFileInfo(earlier.icon("00")).size(), 766);
    // Empty values leave no key line behind.
    QVERIFY(!ReadAll(earlier.settings()).contains("Path_20"));
    QVERIFY(!ReadAll(earlier.settings()).contains("Text_10"));
}

void TestOutput::unpack_truncatedArchive_restoresNothing() {
    WorkFolder source;
    source.fill({"00", "10"}, {"00"});
    QVERIFY(WriteAll(source.icon("00"), IconBytes(30, 2)));
    ScriptedDesktop packing;
    VariantTable packed;
    QVERIFY(PackProject(packing, source.path(), kBackground, kTextColour, packed));
    const QByteArray full = ReadAll(source.archive());
    QVERIFY(full.size() > 200);

    // A cut archive holds no readable value: nothing of it is restored, which
    // is the empty prefix of what the whole archive restores.
    QTemporaryDir scratch;
    for (qsizetype cut = 0; cut <= full.size(); ++cut) {
        const QString folder = scratch.filePath(QString::number(cut));
        QVERIFY(QDir().mkdir(folder));
        const QString path = folder + QStringLiteral("/cut.dat");
        QVERIFY(WriteAll(path, full.left(cut)));
        ScriptedDesktop desktop;
        VariantTable table;
        UnpackReport report;
        const auto colours = UnpackProject(desktop, folder, path, table, &report);
        const bool whole = cut == full.size();
        QVERIFY2(report.archiveRead == whole, qPrintable(QString::number(cut)));
        QVERIFY2(colours.has_value() == whole, qPrintable(QString::number(cut)));
        QVERIFY2(QFileInfo::exists(LocalPath(folder, kSettingsLiteral)) == whole,
                 qPrintable(QString::number(cut)));
        const QStringList icons =
            QDir(LocalPath(folder, kIconFolderLiteral)).entryList(QDir::Files);
        QVERIFY2(icons.size() == (whole ? 5 : 0), qPrintable(QString::number(cut)));
    }
}

void TestOutput::decode_checksEveryCountAndLength_data() {
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<QString>("table"); // "FIELDSxROWS LASTCELL", or "none" when refused

    const QString none = QStringLiteral("none");
    QTest::newRow("empty file") << QByteArray() << none;
    QTest::newRow("one byte") << QByteArray("\x0c", 1) << none;
    QTest::newRow("byte array at the top") << Bytes().icon("abc").b << none;
    QTest::newRow("text at the top") << Bytes().text(kMarkerText).b << none;
    QTest::newRow("no dimension") << Bytes().u16(0x200C).u16(0).empties(9).b << none;
    QTest::newRow("one dimension") << Bytes().u16(0x200C).u16(1).i32(9).i32(0).empties(9).b << none;
    QTest::newRow("three dimensions")
        << Bytes().u16(0x200C).u16(3).i32(9).i32(0).i32(1).i32(0).i32(1).i32(0).empties(9).b
        << none;
    QTest::newRow("2^31-1 x 2^31-1 cells")
        << Bytes().header(0x7FFFFFFF, 0x7FFFFFFF).empties(4).b << none;
    QTest::newRow("65536 x 65536 cells") << Bytes().header(65536, 65536).empties(4).b << none;
    QTest::newRow("no fields, 2^31-1 rows") << Bytes().header(0, 0x7FFFFFFF).b << none;
    QTest::newRow("9 x 107 cells") << Bytes().header(9, 107).empties(9 * 107).b << none;
    QTest::newRow("negative count") << Bytes().header(-9, 1).empties(9).b << none;
    QTest::newRow("lower bound 1")
        << Bytes().u16(0x200C).u16(2).i32(9).i32(1).i32(1).i32(0).empties(9).b << none;
    QTest::newRow("more cells than bytes") << Bytes().header(9, 106).empties(10).b << none;
    QTest::newRow("text longer than the file")
        << Bytes().header(1, 1).u16(8).u16(0xFFFF).raw("abc").b << none;
    QTest::newRow("2^31-1 icon bytes")
        << Bytes().header(1, 1).u16(0x2011).u16(1).i32(0x7FFFFFFF).i32(0).raw("abc").b << none;
    QTest::newRow("negative icon count")
        << Bytes().header(1, 1).u16(0x2011).u16(1).i32(-1).i32(0).b << none;
    QTest::newRow("icon with two dimensions")
        << Bytes().header(1, 1).u16(0x2011).u16(2).i32(1).i32(0).i32(1).i32(0).raw("ab").b << none;
    QTest::newRow("table inside a cell") << Bytes().header(1, 1).header(1, 1).empty().b << none;
    QTest::newRow("unknown tag after good rows")
        << Bytes().header(9, 3).empties(9).textRow({"pa"}).u16(0x0002).u16(7).empties(8).b << none;
    QTest::newRow("unknown tag after the marker")
        << Bytes().header(9, 2).empties(9).marker(1, 2).b.chopped(2) + Bytes().u16(0x4008).b
        << none;
    QTest::newRow("marker cut short")
        << Bytes().header(9, 2).empties(9).text(kMarkerText).integer(1).b << none;

    QTest::newRow("9 x 106 cells")
        << Bytes().header(9, 106).empties(953).integer(4).b << QStringLiteral("9x106 int:4");
    QTest::newRow("954 x 1 cells")
        << Bytes().header(954, 1).empties(954).b << QStringLiteral("954x1 empty");
    QTest::newRow("no rows") << Bytes().header(9, 0).b << QStringLiteral("9x0 outside");
    QTest::newRow("bytes after the value are not read")
        << Bytes().header(1, 1).integer(7).raw("garbage").b << QStringLiteral("1x1 int:7");
    QTest::newRow("icon lower bound dropped")
        << Bytes().header(1, 1).u16(0x2011).u16(1).i32(2).i32(5).raw("\x01\x02").b
        << QStringLiteral("1x1 bytes:0102");
}

void TestOutput::decode_checksEveryCountAndLength() {
    QFETCH(QByteArray, archive);
    QFETCH(QString, table);
    const auto got = DecodeArchive(reinterpret_cast<const std::uint8_t*>(archive.constData()),
                                   std::size_t(archive.size()));
    QString described = QStringLiteral("none");
    if (got) {
        const int fields = got->bounds()[0].count;
        const int rows = got->bounds()[1].count;
        described = QStringLiteral("%1x%2 %3")
                        .arg(fields)
                        .arg(rows)
                        .arg(Describe(got->at(fields - 1, rows - 1)));
    }
    QCOMPARE(described, table);
    if (got)
        return;

    // What a refused archive does to a working folder: nothing.
    WorkFolder work(false);
    QTemporaryDir saved;
    const QString path = saved.filePath(kArchiveName);
    QVERIFY(WriteAll(path, archive));
    ScriptedDesktop desktop;
    VariantTable unpacked;
    UnpackReport report;
    QVERIFY(!UnpackProject(desktop, work.path(), path, unpacked, &report));
    QVERIFY(!report.archiveRead);
    QVERIFY(work.restored().isEmpty());
    QVERIFY(!QFileInfo::exists(work.settings()));
    QVERIFY(desktop.messages().isEmpty());
}

// Only a table of a project's shape is restored: 9 fields by rows 0 to R, R
// being 0 or the last row in use plus 5 (6 to 105).
void TestOutput::unpack_onlyAProjectsShape_data() {
    QTest::addColumn<int>("fields");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("read");
    QTest::newRow("9 x 1") << 9 << 1 << true;
    QTest::newRow("9 x 2") << 9 << 2 << false;
    QTest::newRow("9 x 6") << 9 << 6 << false;
    QTest::newRow("9 x 7") << 9 << 7 << true;
    QTest::newRow("9 x 106") << 9 << 106 << true;
    QTest::newRow("10 x 7") << 10 << 7 << false;
    QTest::newRow("8 x 7") << 8 << 7 << false;
    QTest::newRow("954 x 1") << 954 << 1 << false;
}

void TestOutput::unpack_onlyAProjectsShape() {
    QFETCH(int, fields);
    QFETCH(int, rows);
    QFETCH(bool, read);
    VariantTable table = VariantTable::Make(fields, rows);
    if (rows > 1)
        *table.at(4, 1) = TextCell(QStringLiteral("名前"));
    WorkFolder work(false);
    ScriptedDesktop desktop;
    QVERIFY(WriteArchiveFile(desktop, work.archive(), table));
    UnpackReport report;
    UnpackProject(desktop, work.path(), work.archive(), table, &report);
    QCOMPARE(report.archiveRead, read);
    QCOMPARE(work.value(4, QStringLiteral("00")),
             read && rows > 1 ? QStringLiteral("名前") : QString());
}

QTEST_GUILESS_MAIN(TestOutput)
#include "tst_output.moc"
