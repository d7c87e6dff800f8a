// The project store as files and users see it: the exact bytes of the settings
// file, the values read back, the path strings, the byte files, and which
// questions the copy helpers ask and what each answer does.
#include "store/Cp932.h"
#include "store/FileName.h"
#include "store/Ini.h"
#include "store/Parts.h"
#include "store/Shell.h"
#include "store/Slots.h"
#include "store/VariantTable.h"
#include "tests/support/ScriptedDesktop.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

using namespace kz;

Q_DECLARE_METATYPE(kz::Answer)

namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

bool setModified(const QString& path, const QDateTime& when) {
    QFile f(path);
    return f.open(QIODevice::ReadWrite | QIODevice::ExistingOnly) &&
           f.setFileTime(when, QFileDevice::FileModificationTime);
}

// A value the way WriteIni stores it: left-aligned in a field of 100 characters.
// `characters` is the value's length when it holds double-byte characters.
QByteArray field(const QByteArray& value, int characters = -1) {
    return value + QByteArray(100 - (characters < 0 ? value.size() : characters), ' ');
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

bool runningAsRoot() {
    return ::geteuid() == 0;
}

constexpr char kA[] = "\x82\xa0"; // あ in code page 932

// No file grows past `bytes` while this lives: a disk that is full. Reads go on.
struct DiskLimit {
    rlimit old{};
    explicit DiskLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit limit{bytes, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~DiskLimit() { setrlimit(RLIMIT_FSIZE, &old); }
};

} // namespace

class TestStore : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    QString at(const QString& name) const { return dir_->filePath(name); }
    QString settings() const { return at(QStringLiteral("設定.txt")); }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }

    // ---- code page 932 ------------------------------------------------------

    void cp932_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("back");
        QTest::newRow("ascii") << "Setup.exe" << QByteArray("Setup.exe") << "Setup.exe";
        QTest::newRow("kanji and kana")
            << "設定あ" << QByteArray("\x90\xdd\x92\xe8\x82\xa0") << "設定あ";
        QTest::newRow("half-width katakana") << "ﾊﾞｲﾄ" << QByteArray("\xca\xde\xb2\xc4") << "ﾊﾞｲﾄ";
        QTest::newRow("backslash trail bytes")
            << "ソ表\\" << QByteArray("\x83\x5c\x95\x5c\x5c") << "ソ表\\";
        QTest::newRow("full-width letters") << "ＡＢ" << QByteArray("\x82\x60\x82\x61") << "ＡＢ";
        QTest::newRow("cannot be held") << "a한b" << QByteArray("a?b") << "a?b";
        QTest::newRow("empty") << "" << QByteArray() << "";
    }
    void cp932() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, back);
        QCOMPARE(ToCp932(text), bytes);
        QCOMPARE(FromCp932(bytes), back);
    }

    void ansiLen_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("size");
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("ascii") << "abc" << 3;
        QTest::newRow("half-width katakana") << "ｼﾘｱﾙｷｰ" << 6;
        QTest::newRow("double-byte") << "登録ソ表" << 8;
        QTest::newRow("mixed") << "a設ｱ\\" << 5;
        QTest::newRow("not in the code page") << "한" << 1;
    }
    void ansiLen() {
        QFETCH(QString, text);
        QFETCH(int, size);
        QCOMPARE(AnsiLen(text), size);
    }

    // ---- reading the settings file ------------------------------------------

    void readIni_data() {
        QTest::addColumn<QByteArray>("file"); // null: no file at all
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const auto row = [](const char* name, const QByteArray& file, const QString& section,
                            const QString& key, const QString& value) {
            QTest::newRow(name) << file << section << key << value;
        };
        const QByteArray s = "[S]\r\n";
        row("missing file", QByteArray(), "AppName", "App_00", "");
        row("empty file", "", "AppName", "App_00", "");
        row("missing key", s + "k=1\r\n", "S", "j", "");
        row("ascii case", "[appname]\r\napp_00=Foo\r\n", "AppName", "APP_00", "Foo");
        row("full-width case", "[\x82\x81\x82\x82]\r\n\x82\x81=1\r\n", "ＡＢ", "Ａ", "1");
        // ヂ is 83 61 and ア is 83 41: folding the trail byte would merge them.
        const QByteArray kana = "[\x83\x61]\r\n\x83\x61=1\r\n\x83\x41=2\r\n[\x83\x41]\r\nk=3\r\n";
        row("trail byte section", kana, "ア", "k", "3");
        row("trail byte key", kana, "ヂ", "ア", "2");
        row("trimmed", "  [S]  \r\n \t k \t=  x y \t\r\n", " S ", " k ", "x y");
        row("double quotes", s + "k=\" a \"\r\n", "S", "k", " a ");
        row("single quotes", s + "k='b'\r\n", "S", "k", "b");
        row("empty quotes", s + "k=\"\"\r\n", "S", "k", "");
        row("unmatched quote", s + "k=\"abc'\r\n", "S", "k", "\"abc'");
        row("lone quote", s + "k=\"\r\n", "S", "k", "\"");
        row("first section wins", s + "k=1\r\n[s]\r\nk=2\r\nj=3\r\n", "S", "k", "1");
        row("later same-named section unseen", s + "k=1\r\n[s]\r\nj=3\r\n", "S", "j", "");
        row("first key wins", s + "k=1\r\nK=2\r\n", "S", "k", "1");
        row("key before any section", "k=0\r\n" + s + "j=1\r\n", "S", "k", "");
        row("LF lines", "[S]\nk=1\nj=2\n", "S", "j", "2");
        row("CR lines", "[S]\rk=1\rj=2\r", "S", "j", "2");
        row("no final newline", s + "k=last", "S", "k", "last");
        row("spaces inside the brackets", "\t[ FilePath\t]\r\n\tPath_00 = x\r\n", "FilePath",
            "Path_00", "x");
        row("UTF-8 mark", "\xEF\xBB\xBF[S]\r\nk=\xE8\xA1\xA8\r\n", "S", "k", "表");
        row("UTF-16 mark", QByteArray("\xFF\xFE[\0S\0]\0\n\0k\0=\0\x68\x88", 16), "S", "k", "表");
        row("empty key name", "[VolumeLabel]\r\n=MYCD   \r\n", "VolumeLabel", "", "MYCD");
        row("line without equals", s + "flag\r\n", "S", "flag", "");
        row("value holds equals", s + "k=a=b\r\n", "S", "k", "a=b");
        row("99 of 120 bytes", s + "k=" + QByteArray(120, 'x'), "S", "k", QString(99, u'x'));
        row("99 half-width kana", s + "k=" + QByteArray(120, '\xb1'), "S", "k", QString(99, u'ｱ'));
        row("cut after a whole double-byte", s + "k=a" + QByteArray(kA).repeated(60), "S", "k",
            "a" + QString(49, u'あ'));
        row("cut never halves a double-byte", s + "k=aa" + QByteArray(kA).repeated(60), "S", "k",
            "aa" + QString(48, u'あ'));
    }
    void readIni() {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        if (!file.isNull())
            QVERIFY(put(settings(), file));
        QCOMPARE(ReadIni(settings(), section, key), value);
    }

    // ---- writing the settings file ------------------------------------------

    void writeIni_data() {
        QTest::addColumn<QByteArray>("before"); // null: no file yet
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const auto row = [](const char* name, const QByteArray& before, const QString& section,
                            const QString& key, const QString& value, const QByteArray& after) {
            QTest::newRow(name) << before << section << key << value << after;
        };
        row("new file", QByteArray(), "AppName", "App_00", "abc",
            "[AppName]\r\nApp_00=" + field("abc") + "\r\n");
        row("volume label, empty key", QByteArray(), "VolumeLabel", "", "MYCD",
            "[VolumeLabel]\r\n=" + field("MYCD") + "\r\n");
        const QByteArray head = "; kept as it is\r\n\r\n  [AppName]\t\r\nApp_00=";
        const QByteArray tail = "\r\nApp_01 =  keep \r\n\r\n\r\n[Other]\r\nx  =  y\r\n\r\n";
        row("rewritten in place", head + "old" + tail, "AppName", "App_00", "new",
            head + field("new") + tail);
        row("new key after the section's last line",
            "[AppName]\r\nApp_00=a\r\n\r\n\r\n[FilePath]\r\nPath_00=p\r\n", "AppName", "App_10",
            "b",
            "[AppName]\r\nApp_00=a\r\nApp_10=" + field("b") +
                "\r\n\r\n\r\n[FilePath]\r\nPath_00=p\r\n");
        row("new section at the end", "[AppName]\r\nApp_00=a\r\n\r\n", "Text1", "Text_00", "t",
            "[AppName]\r\nApp_00=a\r\n\r\n[Text1]\r\nText_00=" + field("t") + "\r\n");
        row("new key, no final newline", "[S]\r\nk=1", "S", "j", "2",
            "[S]\r\nk=1\r\nj=" + field("2") + "\r\n");
        row("new section, no final newline", "[S]\r\nk=1", "T", "j", "2",
            "[S]\r\nk=1\r\n[T]\r\nj=" + field("2") + "\r\n");
        row("LF file keeps its line ends", "[S]\nk=1\n\n[T]\nx=1\n", "S", "k", "2",
            "[S]\nk=" + field("2") + "\n\n[T]\nx=1\n");
        row("CR file keeps its line ends", "[S]\rk=1\r[T]\r", "S", "k", "2",
            "[S]\rk=" + field("2") + "\r[T]\r");
        row("LF file, new key and section", "[S]\nk=1", "T", "j", "2",
            "[S]\nk=1\n[T]\nj=" + field("2") + "\n");
        row("spaces inside the brackets", "[ autorun ]\r\n", "autorun", "OPEN", "A",
            "[ autorun ]\r\nOPEN=" + field("A") + "\r\n");
        row("UTF-8 file", "\xEF\xBB\xBF[autorun]\r\n", "autorun", "OPEN", "表",
            "\xEF\xBB\xBF[autorun]\r\nOPEN=\xE8\xA1\xA8" + QByteArray(99, ' ') + "\r\n");
        row("UTF-16 file", QByteArray("\xFF\xFE[\0a\0]\0\n\0", 10), "a", "k", "表",
            QByteArray("\xFF\xFE[\0a\0]\0\n\0k\0=\0\x68\x88", 16) +
                QByteArray(99, ' ').replace(" ", QByteArray(" \0", 2)) + QByteArray("\n\0", 2));
        row("names match without case", "[appname]\r\nAPP_00=old\r\n", "AppName", "App_00", "new",
            "[appname]\r\nAPP_00=" + field("new") + "\r\n");
        row("full-width names match without case", "[\x82\x81]\r\nk=1\r\n", "Ａ", "k", "2",
            "[\x82\x81]\r\nk=" + field("2") + "\r\n");
        row("trail byte letters stay apart", "[\x83\x61]\r\nk=1\r\n", "ア", "k", "2",
            "[\x83\x61]\r\nk=1\r\n[\x83\x41]\r\nk=" + field("2") + "\r\n");
        row("first of two sections", "[S]\r\nk=1\r\n[S]\r\nk=2\r\n", "s", "j", "3",
            "[S]\r\nk=1\r\nj=" + field("3") + "\r\n[S]\r\nk=2\r\n");
        row("keys before any section don't count", "k=1\r\n", "S", "k", "2",
            "k=1\r\n[S]\r\nk=" + field("2") + "\r\n");
        row("line breaks in the value", "[S]\r\nk=1\r\n", "S", "k", "a\r\n[X]\ny=z\r",
            "[S]\r\nk=" + field("a  [X] y=z ") + "\r\n");
        row("line breaks in the names", QByteArray(), "S\nT", "k\r\nj", "v",
            "[S T]\r\nk  j=" + field("v") + "\r\n");
        row("double-byte value padded in characters", QByteArray(), "AppName", "App_00", "ソ表",
            "[AppName]\r\nApp_00=" + field("\x83\x5c\x95\x5c", 2) + "\r\n");
    }
    void writeIni() {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        if (!before.isNull())
            QVERIFY(put(settings(), before));
        ScriptedDesktop desktop;
        WriteIni(desktop, settings(), section, key, value);
        QCOMPARE(contents(settings()), after);
        QVERIFY(desktop.messages().isEmpty());
        // Replaced as a whole: nothing but the file itself is left in the folder.
        QCOMPARE(entriesOf(dir_->path()), QStringList{QStringLiteral("設定.txt")});
    }

    void writeThenRead_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("read");
        const auto row = [](const char* name, const QString& section, const QString& key,
                            const QString& value, const QString& read) {
            QTest::newRow(name) << section << key << value << read;
        };
        row("abc", "AppName", "App_00", "abc", "abc");
        row("empty path", "FilePath", "Path_419", "", "");
        row("volume label", "VolumeLabel", "", "MYCD", "MYCD");
        row("japanese", "Text1", "Text_112", "ソフト表示ﾃｽﾄ", "ソフト表示ﾃｽﾄ");
        row("surrounding spaces", "Name", "Name_011", "  x y  ", "x y");
        row("path", "FilePath", "Path_00", "tools\\表\\app.exe", "tools\\表\\app.exe");
        row("address", "FilePath", "Path_40", "http://example.com/a=b", "http://example.com/a=b");
    }
    void writeThenRead() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, read);
        ScriptedDesktop desktop;
        WriteIni(desktop, settings(), QStringLiteral("Other"), key, QStringLiteral("other"));
        WriteIni(desktop, settings(), section, key, value);
        QCOMPARE(ReadIni(settings(), section, key), read);
        QCOMPARE(ReadIni(settings(), QStringLiteral("Other"), key), QStringLiteral("other"));
    }

    // Fields that share a key prefix live in different sections and never
    // overwrite each other.
    void slotFieldsKeepApart() {
        QCOMPARE(SlotKey(1, 12), QStringLiteral("112"));
        QCOMPARE(SlotKey(0, 11), QStringLiteral("011"));
        ScriptedDesktop desktop;
        for (const QString& slot : {SlotKey(1, 12), SlotKey(0, 11)})
            for (const SlotField& f : kSlotFields)
                WriteIni(desktop, settings(), QString::fromUtf16(f.section),
                         QString::fromUtf16(f.prefix) + slot,
                         QString::fromUtf16(f.section) + QLatin1Char('-') + slot);
        for (const QString& slot : {SlotKey(1, 12), SlotKey(0, 11)})
            for (const SlotField& f : kSlotFields)
                QCOMPARE(ReadIni(settings(), QString::fromUtf16(f.section),
                                 QString::fromUtf16(f.prefix) + slot),
                         QString::fromUtf16(f.section) + QLatin1Char('-') + slot);
        QVERIFY(desktop.messages().isEmpty());
    }

    void lengthWarning_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("warned");
        QTest::addColumn<QByteArray>("stored"); // the bytes after '=' up to the line end
        QTest::addColumn<QString>("read");
        const QByteArray a = kA;
        QTest::newRow("100 single-byte")
            << QString(100, u'x') << false << QByteArray(100, 'x') << QString(99, u'x');
        QTest::newRow("101 single-byte")
            << QString(101, u'x') << true << QByteArray(100, 'x') << QString(99, u'x');
        QTest::newRow("150 single-byte")
            << QString(150, u'y') << true << QByteArray(100, 'y') << QString(99, u'y');
        QTest::newRow("101 half-width kana")
            << QString(101, u'ｱ') << true << QByteArray(100, '\xb1') << QString(99, u'ｱ');
        QTest::newRow("50 double-byte")
            << QString(50, u'あ') << false << field(a.repeated(50), 50) << QString(49, u'あ');
        QTest::newRow("51 double-byte")
            << QString(51, u'あ') << true << field(a.repeated(51), 51) << QString(49, u'あ');
        QTest::newRow("60 double-byte")
            << QString(60, u'あ') << true << field(a.repeated(60), 60) << QString(49, u'あ');
    }
    void lengthWarning() {
        QFETCH(QString, value);
        QFETCH(bool, warned);
        QFETCH(QByteArray, stored);
        QFETCH(QString, read);
        ScriptedDesktop desktop;
        WriteIni(desktop, settings(), QStringLiteral("AppName"), QStringLiteral("App_00"), value);
        QCOMPARE(contents(settings()), "[AppName]\r\nApp_00=" + stored + "\r\n");
        QCOMPARE(ReadIni(settings(), QStringLiteral("AppName"), QStringLiteral("App_00")), read);
        QCOMPARE(desktop.messages().size(), warned ? 1 : 0);
        if (warned) {
            const auto& box = desktop.messages().front();
            QCOMPARE(box.text, QStringLiteral("文字数が100ﾊﾞｲﾄを超えています"));
            QCOMPARE(box.title, QStringLiteral("入力\u3000エラー"));
            QCOMPARE(box.icon, MessageIcon::Exclamation);
            QCOMPARE(box.buttons, MessageButtons::Ok);
        }
        // Each oversized value written draws its own warning.
        WriteIni(desktop, settings(), QStringLiteral("Text1"), QStringLiteral("Text_00"), value);
        QCOMPARE(desktop.messages().size(), warned ? 2 : 0);
    }

    void failedWriteIsSilent_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("read-only file") << "read-only";
        QTest::newRow("folder in the way") << "folder";
        QTest::newRow("parent is a file") << "parent";
    }
    void failedWriteIsSilent() {
        QFETCH(QString, kind);
        const QByteArray before = "[AppName]\r\nApp_00=old\r\n";
        QString file = settings();
        if (kind == QLatin1String("read-only")) {
            if (runningAsRoot())
                QSKIP("root may write to any file");
            QVERIFY(put(file, before));
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadUser));
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(file));
        } else {
            QVERIFY(put(at(QStringLiteral("plain")), before));
            file = at(QStringLiteral("plain/設定.txt"));
        }
        const QStringList entries = entriesOf(dir_->path());
        ScriptedDesktop desktop;
        WriteIni(desktop, file, QStringLiteral("AppName"), QStringLiteral("App_00"),
                 QStringLiteral("new"));
        QVERIFY(desktop.messages().isEmpty());
        QCOMPARE(entriesOf(dir_->path()), entries);
        if (kind == QLatin1String("read-only"))
            QCOMPARE(contents(file), before);
        QCOMPARE(ReadIni(file, QStringLiteral("AppName"), QStringLiteral("App_00")),
                 kind == QLatin1String("read-only") ? QStringLiteral("old") : QString());
    }

    // Another program (or a Load) may replace the file between two reads.
    void externalChangeIsSeen() {
        ScriptedDesktop desktop;
        const QString s = QStringLiteral("S");
        const QString k = QStringLiteral("k");
        WriteIni(desktop, settings(), s, k, QStringLiteral("one"));
        QCOMPARE(ReadIni(settings(), s, k), QStringLiteral("one"));

        QVERIFY(put(settings(), "[S]\r\nk=two\r\n"));
        QCOMPARE(ReadIni(settings(), s, k), QStringLiteral("two"));

        const QDateTime before = QFileInfo(settings()).lastModified();
        QThread::msleep(20);
        QVERIFY(put(settings(), "[S]\r\nk=six\r\n")); // same size as before
        if (QFileInfo(settings()).lastModified() == before)
            QSKIP("this file system keeps times too coarse to tell the writes apart");
        QCOMPARE(ReadIni(settings(), s, k), QStringLiteral("six"));

        // A write builds on what is on disk now, not on an older reading.
        QVERIFY(put(settings(), "[S]\r\nk=seven\r\n"));
        WriteIni(desktop, settings(), s, QStringLiteral("j"), QStringLiteral("j"));
        QCOMPARE(contents(settings()), "[S]\r\nk=seven\r\nj=" + field("j") + "\r\n");
    }

    // ---- path strings ------------------------------------------------------

    void pathHelpers_data() {
        QTest::addColumn<QString>("helper");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("result");
        const auto row = [](const char* helper, const QString& path, const QString& result) {
            QTest::addRow("%s(%s)", helper, qPrintable(path)) << helper << path << result;
        };
        row("FileNameOf", "C:\\dir\\file.txt", "file.txt");
        row("FileNameOf", "file.txt", "file.txt");
        row("FileNameOf", "C:\\dir\\", "dir\\");
        row("FileNameOf", "", "");
        row("FileNameOf", "C:file.txt", "file.txt");
        row("FileNameOf", "tools\\ソ表\\表.exe", "表.exe");
        row("FileNameOf", "/media/cd/x.exe", "x.exe");
        row("FileNameOf", "tools/sub\\a b.exe", "a b.exe");
        row("RemoveExtension", "file.txt", "file");
        row("RemoveExtension", ".txt", "");
        row("RemoveExtension", "C:\\a.b\\c", "C:\\a.b\\c");
        row("RemoveExtension", "C:\\a\\b.txt", "C:\\a\\b");
        row("RemoveExtension", "archive.tar.gz", "archive.tar");
        row("RemoveExtension", "C:\\My Tools\\my app.exe", "C:\\My Tools\\my app");
        row("RemoveExtension", "/media/cd.d/readme", "/media/cd.d/readme");
        row("RemoveExtension", "ソ表.exe", "ソ表");
        row("ParentFolder", "C:\\dir\\file", "C:\\dir");
        row("ParentFolder", "C:\\file", "C:\\");
        row("ParentFolder", "D:\\Auto_Run.dat", "D:\\");
        row("ParentFolder", "C:\\dir\\", "C:\\dir");
        row("ParentFolder", "C:\\", "");
        row("ParentFolder", "", "");
        row("ParentFolder", "file", "");
        row("ParentFolder", "C:\\表\\ソ", "C:\\表");
        row("ParentFolder", "/media/cd/x.exe", "/media/cd");
        row("ParentFolder", "/media", "/");
        row("ParentFolder", "/", "");
        row("AddBackslash", "C:\\dir", "C:\\dir\\");
        row("AddBackslash", "C:\\dir\\", "C:\\dir\\");
        row("AddBackslash", "", "\\");
        row("AddBackslash", "C:\\ソ", "C:\\ソ\\");
        row("AddBackslash", "/media/cd/", "/media/cd/");
    }
    void pathHelpers() {
        QFETCH(QString, helper);
        QFETCH(QString, path);
        QFETCH(QString, result);
        QString got;
        if (helper == QLatin1String("FileNameOf"))
            got = FileNameOf(path);
        else if (helper == QLatin1String("RemoveExtension"))
            got = RemoveExtension(path);
        else if (helper == QLatin1String("ParentFolder"))
            got = ParentFolder(path);
        else
            got = AddBackslash(path);
        QCOMPARE(got, result);
    }

    void localPath() {
        const QString expected =
            QDir::toNativeSeparators(dir_->path() + QStringLiteral("/AutoRun_Icon/Icon_00.ico"));
        QCOMPARE(LocalPath(dir_->path(), IconLiteral(QStringLiteral("00"))), expected);
        QCOMPARE(LocalPath(dir_->path() + QLatin1Char('/'), IconLiteral(QStringLiteral("00"))),
                 expected);
        QCOMPARE(LocalPath(dir_->path(), kSettingsLiteral), QDir::toNativeSeparators(settings()));
        // The file lands in the icon folder, not in a file whose name holds a backslash.
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("AutoRun_Icon")));
        QVERIFY(put(LocalPath(dir_->path(), IconLiteral(QStringLiteral("419"))), "BM"));
        QCOMPARE(entriesOf(at(QStringLiteral("AutoRun_Icon"))),
                 QStringList{QStringLiteral("Icon_419.ico")});
    }

    // ---- file tests and byte files -----------------------------------------

    void fileTests_data() {
        QTest::addColumn<QString>("path"); // relative to the test folder
        QTest::addColumn<bool>("exists");  // FileExists
        QTest::addColumn<int>("present");  // FilePresent; -1 when not asked
        QTest::newRow("empty path") << "" << false << 0;
        QTest::newRow("file") << "f.bin" << true << 1;
        QTest::newRow("file with a trailing backslash") << "f.bin\\" << true << -1;
        QTest::newRow("folder") << "sub" << false << 0;
        QTest::newRow("folder with a trailing backslash") << "sub\\" << false << -1;
        QTest::newRow("missing file") << "none.bin" << false << 0;
        QTest::newRow("missing folder") << "none/f.bin" << false << 0;
        QTest::newRow("unreadable file") << "locked.bin" << false << 1;
    }
    void fileTests() {
        QFETCH(QString, path);
        QFETCH(bool, exists);
        QFETCH(int, present);
        if (path.startsWith(QLatin1String("locked")) && runningAsRoot())
            QSKIP("root may read any file");
        QVERIFY(put(at(QStringLiteral("f.bin")), "data"));
        QVERIFY(put(at(QStringLiteral("locked.bin")), "data"));
        QVERIFY(QFile::setPermissions(at(QStringLiteral("locked.bin")), QFile::WriteOwner));
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("sub")));
        const QString full = path.isEmpty() ? path : at(path);
        QCOMPARE(FileExists(full), exists);
        if (present >= 0)
            QCOMPARE(FilePresent(full), present == 1);
    }

    void readFileBytes_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("existing"); // bytes the file holds first; -1: no file
        QTest::addColumn<bool>("ok");
        QTest::newRow("766-byte icon") << "Icon_00.ico" << 766 << true;
        QTest::newRow("empty file") << "Icon_00.ico" << 0 << true;
        QTest::newRow("missing file, folder there") << "Icon_00.ico" << -1 << true;
        QTest::newRow("missing folder") << "none/Icon_00.ico" << -1 << false;
        QTest::newRow("folder") << "." << -1 << false;
    }
    void readFileBytes() {
        QFETCH(QString, path);
        QFETCH(int, existing);
        QFETCH(bool, ok);
        QByteArray original;
        for (int i = 0; i < existing; ++i)
            original.append(char(i * 7));
        if (existing >= 0)
            QVERIFY(put(at(path), original));
        ScriptedDesktop desktop;
        QByteArray bytes = "stale";
        QCOMPARE(ReadFileBytes(desktop, at(path), bytes), ok);
        if (ok) {
            QCOMPARE(bytes, original);
            QVERIFY(desktop.messages().isEmpty());
            // Read opens the file as a write would: a missing one is left behind empty.
            QVERIFY(QFileInfo(at(path)).isFile());
            QCOMPARE(QFileInfo(at(path)).size(), qint64(existing < 0 ? 0 : existing));
        } else {
            QCOMPARE(desktop.messages().size(), 1);
            QVERIFY(!desktop.messages().front().text.isEmpty());
            QCOMPARE(desktop.messages().front().title, QStringLiteral("Kazanoro"));
            QCOMPARE(desktop.messages().front().buttons, MessageButtons::Ok);
            QVERIFY(!QFileInfo::exists(at(QStringLiteral("none"))));
        }
    }

    void writeFileBytes_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("existing");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("ok");
        QTest::newRow("300 over 1000") << "Auto_Run.dat" << 1000 << 300 << true;
        QTest::newRow("new file") << "Auto_Run.dat" << -1 << 766 << true;
        QTest::newRow("empty over 10") << "Auto_Run.dat" << 10 << 0 << true;
        QTest::newRow("missing folder") << "none/Auto_Run.dat" << -1 << 10 << false;
        QTest::newRow("folder") << "sub" << -1 << 10 << false;
    }
    void writeFileBytes() {
        QFETCH(QString, path);
        QFETCH(int, existing);
        QFETCH(int, size);
        QFETCH(bool, ok);
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("sub")));
        if (existing >= 0)
            QVERIFY(put(at(path), QByteArray(existing, 'o')));
        QByteArray bytes;
        for (int i = 0; i < size; ++i)
            bytes.append(char(255 - i % 256));
        const QStringList entries = entriesOf(dir_->path());
        ScriptedDesktop desktop;
        QCOMPARE(WriteFileBytes(desktop, at(path), bytes), ok);
        if (ok) {
            QCOMPARE(contents(at(path)), bytes);
            QVERIFY(desktop.messages().isEmpty());
            QByteArray back;
            QVERIFY(ReadFileBytes(desktop, at(path), back));
            QCOMPARE(back, bytes);
        } else {
            QCOMPARE(desktop.messages().size(), 1);
            QVERIFY(!desktop.messages().front().text.isEmpty());
            QCOMPARE(desktop.messages().front().title, QStringLiteral("Kazanoro"));
            QCOMPARE(desktop.messages().front().buttons, MessageButtons::Ok);
            QCOMPARE(entriesOf(dir_->path()), entries);
        }
        if (ok) {
            QStringList expected = entries;
            if (!expected.contains(path))
                expected << path;
            expected.sort();
            QCOMPARE(entriesOf(dir_->path()), expected);
        }
    }

    // ---- the project table -------------------------------------------------

    void copyTable_data() {
        QTest::addColumn<QList<int>>("lower");
        QTest::addColumn<QList<int>>("count");
        QTest::addColumn<QList<qint64>>("upper"); // of the copy; empty: nothing copied
        QTest::newRow("1-D") << QList<int>{0} << QList<int>{4} << QList<qint64>{3};
        QTest::newRow("1-D from 2") << QList<int>{2} << QList<int>{3} << QList<qint64>{4};
        QTest::newRow("1-D from -2") << QList<int>{-2} << QList<int>{5} << QList<qint64>{2};
        QTest::newRow("2-D") << QList<int>{0, 0} << QList<int>{9, 3} << QList<qint64>{8, 2};
        QTest::newRow("2-D from 1, 3")
            << QList<int>{1, 3} << QList<int>{2, 2} << QList<qint64>{2, 4};
        QTest::newRow("2-D, no rows")
            << QList<int>{0, 0} << QList<int>{9, 0} << QList<qint64>{8, -1};
        QTest::newRow("absurd lower bound")
            << QList<int>{2147483000} << QList<int>{2} << QList<qint64>{};
        QTest::newRow("absurd 2-D lower bound")
            << QList<int>{0, 2000000000} << QList<int>{9, 1} << QList<qint64>{};
        QTest::newRow("no dimensions") << QList<int>{} << QList<int>{} << QList<qint64>{};
    }
    void copyTable() {
        QFETCH(QList<int>, lower);
        QFETCH(QList<int>, count);
        QFETCH(QList<qint64>, upper);
        std::vector<Bound> bounds;
        for (qsizetype d = 0; d < lower.size(); ++d)
            bounds.push_back({lower[d], count[d]});
        VariantTable source = VariantTable::Make(bounds);
        for (std::size_t k = 0; k < source.cells().size(); ++k) {
            if (k % 3 == 0)
                source.cells()[k] = std::string("text ") + std::to_string(k);
            else if (k % 3 == 1)
                source.cells()[k] = std::int32_t(k);
            else
                source.cells()[k] = ByteArray{std::uint8_t(k), 0, 255};
        }
        VariantTable copy = VariantTable::Make(7, 7);
        CopyTable(source, copy);
        QCOMPARE(copy.dimensions(), int(upper.size()));
        std::size_t total = upper.isEmpty() ? 0 : 1;
        for (qsizetype d = 0; d < upper.size(); ++d) {
            QCOMPARE(copy.bounds()[d].lower, 0);
            QCOMPARE(qint64(copy.upper(int(d)).value()), upper[d]);
            total *= std::size_t(upper[d] + 1);
        }
        QCOMPARE(copy.cells().size(), total);
        // Every element lands at its own index; indices the source lacks stay empty.
        for (qint64 i = 0; upper.size() == 1 && i <= upper[0]; ++i) {
            const Cell* from = source.at(i);
            QCOMPARE(*copy.at(i), from ? *from : Cell{});
        }
        for (qint64 j = 0; upper.size() == 2 && j <= upper[1]; ++j)
            for (qint64 i = 0; i <= upper[0]; ++i) {
                const Cell* from = source.at(i, j);
                QCOMPARE(*copy.at(i, j), from ? *from : Cell{});
            }
    }

    // ---- copying through the shell -----------------------------------------

    void copyIfChanged_data() {
        QTest::addColumn<bool>("sourceThere");
        QTest::addColumn<QString>("target"); // as passed
        QTest::addColumn<QString>("result"); // where the copy ends up
        QTest::addColumn<QByteArray>("old"); // result's bytes first; null: none
        QTest::addColumn<int>("offset");     // its time against the source's, in ms
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QStringList>("titles"); // questions asked, in order
        QTest::addColumn<bool>("copied");
        const auto row = [](const char* name, bool sourceThere, const QString& target,
                            const QString& result, const QByteArray& old, int offset,
                            const QList<Answer>& answers, const QStringList& titles, bool copied) {
            QTest::newRow(name) << sourceThere << target << result << old << offset << answers
                                << titles << copied;
        };
        const QStringList none;
        const QStringList replace{kReplaceTitle};
        const QStringList create{kCreateFolderTitle};
        const QString exe = QStringLiteral("out/AutoRun.exe");
        row("source missing", false, exe, exe, "old", -5000, {}, none, false);
        row("same name, same second", true, exe, exe, "MZ fresh launcher", 400, {}, none, false);
        row("same in another case", true, "out/AUTORUN.EXE", "out/AUTORUN.EXE", "MZ fresh launcher",
            400, {}, none, false);
        // Written afresh within the same second, with other bytes: not the same file.
        row("same second, other bytes", true, exe, exe, "old", 400, {Answer::Yes}, replace, true);
        row("target missing", true, exe, exe, QByteArray(), 0, {}, none, true);
        row("older target, keep it", true, exe, exe, "old", -5000, {Answer::No}, replace, false);
        row("older target, replace it", true, exe, exe, "old", -5000, {Answer::Yes}, replace, true);
        row("newer target, replace it", true, exe, exe, "old", 3000, {Answer::Yes}, replace, true);
        row("same time, other name", true, "out/Launcher.exe", "out/Launcher.exe", "old", 0,
            {Answer::Yes}, replace, true);
        row("into a folder", true, "out", exe, QByteArray(), 0, {}, none, true);
        row("folder missing, don't create", true, "new/AutoRun.exe", "new/AutoRun.exe",
            QByteArray(), 0, {Answer::No}, create, false);
        row("folder missing, create", true, "new/deep/AutoRun.exe", "new/deep/AutoRun.exe",
            QByteArray(), 0, {Answer::Yes}, create, true);
    }
    void copyIfChanged() {
        QFETCH(bool, sourceThere);
        QFETCH(QString, target);
        QFETCH(QString, result);
        QFETCH(QByteArray, old);
        QFETCH(int, offset);
        QFETCH(QList<Answer>, answers);
        QFETCH(QStringList, titles);
        QFETCH(bool, copied);
        const QString source = at(QStringLiteral("AutoRun.exe"));
        const QByteArray fresh = "MZ fresh launcher";
        const QDateTime when(QDate(2021, 3, 4), QTime(5, 6, 7, 200), Qt::UTC);
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("out")));
        if (sourceThere) {
            QVERIFY(put(source, fresh));
            QVERIFY(setModified(source, when));
        }
        if (!old.isNull()) {
            QVERIFY(put(at(result), old));
            QVERIFY(setModified(at(result), when.addMSecs(offset)));
        }
        ScriptedDesktop desktop;
        for (Answer a : answers)
            desktop.queueAnswer(a);
        CopyIfChanged(desktop, source, at(target));

        QStringList asked;
        for (const auto& box : desktop.messages()) {
            asked << box.title;
            QCOMPARE(box.icon, MessageIcon::Question);
            QCOMPARE(box.buttons, MessageButtons::YesNo);
            if (box.title == kReplaceTitle)
                QVERIFY(box.text.contains(FileNameOf(result)));
        }
        QCOMPARE(asked, titles);
        QCOMPARE(desktop.unanswered(), 0);
        if (copied) {
            QCOMPARE(contents(at(result)), fresh);
            QCOMPARE(QFileInfo(at(result)).lastModified(), when);
        } else if (old.isNull()) {
            QVERIFY(!QFileInfo::exists(at(result)));
            QVERIFY(!QFileInfo::exists(QFileInfo(at(result)).absolutePath()));
        } else {
            QCOMPARE(contents(at(result)), old);
            QCOMPARE(QFileInfo(at(result)).lastModified(), when.addMSecs(offset));
        }
        // Nothing half-done is left in the target folder.
        if (QFileInfo(at(result)).absolutePath() == at(QStringLiteral("out")))
            QCOMPARE(entriesOf(at(QStringLiteral("out"))).size(),
                     QFileInfo::exists(at(result)) ? 1 : 0);
    }

    // A folder copy asks once per file it would replace; "Yes to all" ends the
    // questions, "No" keeps that one file, "Cancel" stops the copy.
    void shellCopyFolder_data() {
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("yes to all") << QList<Answer>{Answer::YesToAll} << 1 << true;
        QTest::newRow("yes, yes") << QList<Answer>{Answer::Yes, Answer::Yes} << 2 << true;
        QTest::newRow("no, no") << QList<Answer>{Answer::No, Answer::No} << 2 << false;
        QTest::newRow("cancel") << QList<Answer>{Answer::Cancel} << 1 << false;
    }
    void shellCopyFolder() {
        QFETCH(QList<Answer>, answers);
        QFETCH(int, questions);
        QFETCH(bool, replaced);
        QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("cd/sub")));
        QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("out/cd/sub")));
        const QStringList files{"a.txt", "b.txt", "sub/c.txt"};
        for (const QString& f : files)
            QVERIFY(put(at("cd/" + f), "new " + f.toLatin1()));
        QVERIFY(put(at("out/cd/a.txt"), "old a"));
        QVERIFY(put(at("out/cd/sub/c.txt"), "old c"));
        ScriptedDesktop desktop;
        for (Answer a : answers)
            desktop.queueAnswer(a);
        ShellCopy(desktop, at(QStringLiteral("cd")), at(QStringLiteral("out")));

        QCOMPARE(desktop.messages().size(), questions);
        QCOMPARE(desktop.unanswered(), 0);
        for (const auto& box : desktop.messages()) {
            QCOMPARE(box.title, kReplaceTitle);
            QCOMPARE(box.icon, MessageIcon::Question);
            QCOMPARE(box.buttons, MessageButtons::YesAllNoCancel);
        }
        QCOMPARE(contents(at("out/cd/a.txt")), replaced ? "new a.txt" : "old a");
        QCOMPARE(contents(at("out/cd/sub/c.txt")), replaced ? "new sub/c.txt" : "old c");
        if (answers.front() != Answer::Cancel)
            QCOMPARE(contents(at("out/cd/b.txt")), "new b.txt");
    }

    // A copy from a disc keeps its read-only state; replacing it later, once
    // the user agreed, still works.
    void readOnlyCopy_isReplacedWhenAgreed() {
        const QString source = at(QStringLiteral("ARun.ico"));
        const QString target = at(QStringLiteral("out/ARun.ico"));
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("out")));
        QVERIFY(put(source, "first"));
        QVERIFY(QFile::setPermissions(source, QFile::ReadOwner | QFile::ReadUser));
        ScriptedDesktop desktop;
        QVERIFY(ShellCopy(desktop, source, target));
        QVERIFY(!(QFile::permissions(target) & QFile::WriteOwner));
        QVERIFY(QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY(put(source, "second"));
        desktop.queueAnswer(Answer::Yes);
        QVERIFY(ShellCopy(desktop, source, target));
        QCOMPARE(contents(target), QByteArray("second"));
    }

    // A settings file that is there but cannot be read is never rewritten
    // from nothing: that would drop every other value in it.
    void unreadableSettings_areLeftAlone() {
        if (runningAsRoot())
            QSKIP("root may read any file");
        const QByteArray before = "[AppName]\r\nApp_00=old\r\n";
        QVERIFY(put(settings(), before));
        QVERIFY(QFile::setPermissions(settings(), QFile::WriteOwner));
        ScriptedDesktop desktop;
        WriteIni(desktop, settings(), QStringLiteral("AppName"), QStringLiteral("App_10"),
                 QStringLiteral("new"));
        QVERIFY(QFile::setPermissions(settings(), QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(contents(settings()), before);
    }

    void volumeLabel_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("result");
        QTest::newRow("plain") << "MYCD"
                               << "MYCD";
        QTest::newRow("none") << ""
                              << "";
        QTest::newRow("12 bytes") << "ABCDEFGHIJKL"
                                  << "ABCDEFGHIJKL";
        QTest::newRow("13 bytes") << "ABCDEFGHIJKLM"
                                  << "";
        QTest::newRow("6 double-byte") << "表ソフト集ア"
                                       << "表ソフト集ア";
        QTest::newRow("7 double-byte") << "表ソフト集アイ"
                                       << "";
        QTest::newRow("12 half-width kana") << "ｿﾌﾄｳｪｱｼｭｳｼｭｳ"
                                            << "ｿﾌﾄｳｪｱｼｭｳｼｭｳ";
    }
    void volumeLabel() {
        QFETCH(QString, label);
        QFETCH(QString, result);
        ScriptedDesktop desktop;
        desktop.labels.insert(QStringLiteral("/media/cd"), label);
        QCOMPARE(VolumeLabelOf(desktop, QStringLiteral("/media/cd")), result);
        QCOMPARE(VolumeLabelOf(desktop, QStringLiteral("/media/other")), QString());
    }

    // A disk full at every byte of a settings write and of a byte file: the new
    // file whole, or the old one byte for byte and the user told why.
    void fullDisk_keepsTheOldFile() {
        const QByteArray old = "[S]\r\nk=old\r\n";
        const QByteArray fresh = "[S]\r\nk=old\r\nj=" + field("new") + "\r\n";
        const QString icon = at(QStringLiteral("Icon_00.ico"));
        for (int limit = 0; limit <= fresh.size(); limit += 11) {
            QVERIFY(put(settings(), old) && put(icon, old));
            ScriptedDesktop desktop;
            const DiskLimit full(limit);
            const bool stored = WriteIni(desktop, settings(), QStringLiteral("S"),
                                         QStringLiteral("j"), QStringLiteral("new"));
            const bool written = WriteFileBytes(desktop, icon, fresh);
            QCOMPARE(stored, limit >= fresh.size());
            QCOMPARE(contents(settings()), stored ? fresh : old);
            QCOMPARE(written, stored);
            QCOMPARE(contents(icon), written ? fresh : old);
            QCOMPARE(desktop.textsOf(QStringLiteral("message")).join(QString()),
                     written ? QString()
                             : "ファイルに書き込めません。(File too large)\n" +
                                   QDir::toNativeSeparators(icon));
            QCOMPARE(entriesOf(dir_->path()).size(), 2);
        }
    }

    // A copy cut short (a full disk, also in its last piece; the user stopping
    // it) leaves the old file under the target's name.
    void copyCutShort_keepsTheOldFile_data() {
        QTest::addColumn<qint64>("limit"); // bytes a file may grow to; -1 the user stops
        QTest::newRow("full disk") << qint64(3 << 20);
        QTest::newRow("full in the last piece") << qint64((9 << 20) + 100);
        QTest::newRow("stopped") << qint64(-1);
    }
    void copyCutShort_keepsTheOldFile() {
        QFETCH(qint64, limit);
        const QString source = at(QStringLiteral("big.bin"));
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("out")));
        const QString target = at(QStringLiteral("out/big.bin"));
        QVERIFY(put(source, QByteArray((9 << 20) + 200, 'n')) && put(target, "old"));
        ScriptedDesktop desktop;
        desktop.queueAnswer(Answer::Yes);
        desktop.cancelProgressAfter = limit < 0 ? 2 : -1;
        const DiskLimit full(limit > 0 ? rlim_t(limit) : RLIM_INFINITY);
        QVERIFY(!ShellCopy(desktop, source, target));
        QCOMPARE(contents(target), QByteArray("old"));
        QCOMPARE(entriesOf(at(QStringLiteral("out"))), QStringList{QStringLiteral("big.bin")});
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
