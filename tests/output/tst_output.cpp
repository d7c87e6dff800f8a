// The project archive: the rows PackProject fills, what each table restores.
#include "output/Project.h"
#include "store/Cp932.h"
#include "store/Ini.h"
#include "store/Slots.h"
#include "tests/support/TestFiles.h"

using namespace kz;
using namespace kz::test;
using namespace Qt::StringLiterals;

class TestOutput : public QObject {
    Q_OBJECT

    static Cell Text(const QString& text) { return ToCp932(text).toStdString(); }
    static QString KeyOfRow(int row) { return SlotKey((row - 1) % kButtons, (row - 1) / kButtons); }

private slots:
    // Rows 0 to R, R the last row in use plus 5, the marker row last; the
    // slot loop runs to the end of the last page rounded to the nearest.
    void pack_data() {                   // tagged with the last slot in use, or none
        QTest::addColumn<int>("marker"); // R
        QTest::addColumn<int>("filled"); // the last row the slot loop reached
        for (const QString row :
             {"00 6 5", "20 8 5", "30 9 10", "41 15 15", "none 0 0", "419 105 105"})
            QTest::newRow(qPrintable(row.section(' ', 0, 0)))
                << row.section(' ', 1, 1).toInt() << row.section(' ', 2).toInt();
    }
    void pack() {
        QFETCH(int, marker);
        QFETCH(int, filled);
        const QString last = QString::fromLatin1(QTest::currentDataTag()).remove(u"none"_s);
        WorkFolder work;
        ScriptedDesktop desktop;
        IniBatch settings(desktop, work.settings());
        for (int row = 1; row <= 105; ++row)
            settings.write(u"AppName"_s, "App_" + KeyOfRow(row), KeyOfRow(row));
        settings.write(u"FilePath"_s, "Path_" + last, u"a.exe"_s);
        settings.commit();
        QVERIFY(work.writeIcon(u"00"_s, Qt::red));
        VariantTable table;
        QVERIFY(PackProject(desktop, work.path(), 0x00112233, 0x80000012, table));
        QCOMPARE(ReadArchiveFile(work.archive()), std::optional<VariantTable>(table));
        QCOMPARE(table.upper(1), std::optional<std::int64_t>(marker));
        for (int row = 1; row <= marker; ++row) // the marker row keeps a slot's texts
            QCOMPARE(*table.at(4, row), row <= filled ? Text(KeyOfRow(row)) : Cell());
        const QByteArray icon = ReadBytes(work.icon(u"00"_s));
        QVERIFY(!marker || *table.at(0, 1) == Cell(ByteArray(icon.begin(), icon.end())));
        QCOMPARE(*table.at(0, marker), Text(kMarkerText));
        QCOMPARE(*table.at(1, marker), Cell(std::int32_t(0x00112233)));
    }

    // Only a project's shape (9 fields, rows 0 to 0 or 0 to 6..105) restores
    // anything; the colours only when the scan from row 1 reaches the marker.
    void unpack_data() {
        // fields, rows, the marker's row (-1 none), the slots restored from row 1 on (-1: a
        // table not read)
        QTest::addColumn<QList<int>>("c");
        QTest::newRow("9 x 7") << QList{9, 7, 6, 5};
        QTest::newRow("marker early") << QList{9, 12, 3, 2};
        QTest::newRow("no marker") << QList{9, 8, -1, 7};
        QTest::newRow("9 x 1") << QList{9, 1, 0, 0};
        QTest::newRow("9 x 106") << QList{9, 106, 105, 104};
        QTest::newRow("9 x 6") << QList{9, 6, 5, -1};
        QTest::newRow("10 x 7") << QList{10, 7, 6, -1};
        QTest::newRow("954 x 1") << QList{954, 1, 0, -1};
    }
    void unpack() {
        QFETCH(QList<int>, c);
        const int rows = c[1], marker = c[2], restored = c[3];
        VariantTable table = VariantTable::Make(c[0], rows);
        for (int row = 1; row < rows; ++row) {
            *table.at(0, row) = ByteArray{std::uint8_t(row)};
            *table.at(1, row) = Text(u"p%1"_s.arg(row));
            *table.at(4, row) = Text(u"n%1"_s.arg(row));
        }
        if (marker >= 0) {
            *table.at(0, marker) = Text(kMarkerText);
            *table.at(1, marker) = std::int32_t(0x00445566);
        }
        WorkFolder work;
        ScriptedDesktop desktop;
        QVERIFY(WriteArchiveFile(desktop, work.archive(), table));
        UnpackReport report;
        const auto colours = UnpackProject(desktop, work.path(), work.archive(), table, &report);
        QCOMPARE(report.slotKeys.size(), std::max(restored, 0));
        QCOMPARE(report.archiveRead, restored >= 0);
        QVERIFY(report.notWritten.isEmpty());
        QCOMPARE(colours ? colours->background : std::nullopt, // the scan reached the marker
                 restored >= 0 && marker > 0 ? std::optional<std::uint32_t>(0x00445566)
                                             : std::nullopt);
        for (int row = 1; row <= restored; ++row)
            QCOMPARE(work.get(u"AppName"_s, "App_" + KeyOfRow(row)) +
                         work.get(u"FilePath"_s, "Path_" + KeyOfRow(row)) +
                         ReadBytes(work.icon(KeyOfRow(row))),
                     u"n%1p%1"_s.arg(row) + QChar(row));
        QCOMPARE(work.get(u"AppName"_s, "App_" + KeyOfRow(restored + 1)), QString());
    }
};

QTEST_GUILESS_MAIN(TestOutput)
#include "tst_output.moc"
