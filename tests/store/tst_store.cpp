// The project store as files and users see it: settings and byte files, and
// what copies ask and leave behind, also on a full disk or when stopped.
#include "store/FileName.h"
#include "store/Ini.h"
#include "store/Parts.h"
#include "store/Shell.h"
#include "tests/support/TestFiles.h"

#include <csignal>
#include <optional>
#include <sys/resource.h>

using namespace kz;
using namespace kz::test;
using namespace Qt::StringLiterals;

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

class TestStore : public QObject {
    Q_OBJECT

    // A value as WriteIni stores it: left-aligned in 100 characters.
    static QByteArray Field(const QByteArray& value, int characters = -1) {
        return value + QByteArray(100 - (characters < 0 ? value.size() : characters), ' ');
    }
    static QStringList EntriesOf(const QString& folder) {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    std::unique_ptr<QTemporaryDir> dir_;
    QString at(const QString& name) const { return dir_->filePath(name); }
    QString settings() const { return at(u"設定.txt"_s); }

private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    // Values read from a file as it is, and values written into one: the
    // file's bytes afterwards, and the value read back.
    void profile_data() {
        // before: null no file; after: null only read; read: what comes back; warned:
        // about a value over 100 bytes
        const auto add = Table<QByteArray, QString, QString, QString, QByteArray, QString, bool>(
            {"before", "section", "key", "value", "after", "read", "warned"});
        const auto row = [&add](const char* name, const QByteArray& before, const QString& section,
                                const QString& key, const QString& value, const QByteArray& after,
                                std::optional<QString> read = {}, bool warned = false) {
            add(name, before, section, key, value, after, read.value_or(value), warned);
        };
        const QByteArray s = "[S]\r\n";
        const QString S = u"S"_s, k = u"k"_s, j = u"j"_s;
        // ヂ is 83 61 and ア is 83 41: a folded trail byte would merge them.
        row("trail byte", "[\x83\x61]\r\nk=1\r\n[\x83\x41]\r\nk=2\r\n", u"ア"_s, k, u"2"_s, {});
        row("white space around all", " \t[ FilePath\t]  \r\n\tPath_00 \t=  x y \t\r\n",
            u"FilePath"_s, u"Path_00"_s, u"x y"_s, {});
        row("quotes", s + "k=\" a \"\r\n", S, k, u" a "_s, {});
        row("UTF-8 mark", "\xEF\xBB\xBF[S]\r\nk=\xE8\xA1\xA8\r\n", S, k, u"表"_s, {});
        row("UTF-16 mark", Utf16(u"[S]\nk= 表\n"_s), S, k, u"表"_s, {});
        row("new file", {}, u"AppName"_s, u"App_00"_s, u"ソ表"_s,
            "[AppName]\r\nApp_00=" + Field("\x83\x5c\x95\x5c", 2) + "\r\n");
        row("empty key", {}, u"VolumeLabel"_s, {}, u"MYCD"_s,
            "[VolumeLabel]\r\n=" + Field("MYCD") + "\r\n");
        const QByteArray tail = "\r\nApp_01 =  keep \r\n\r\n[Other]\r\nx  =  y\r\n";
        row("in place, any case", "; kept\r\n\r\n  [AppName]\t\r\nApp_00 = old" + tail,
            u"appname"_s, u"APP_00"_s, u"new"_s,
            "; kept\r\n\r\n  [AppName]\t\r\nApp_00=" + Field("new") + tail);
        row("new key ends its section", "[S]\r\nk=1\r\n\r\n[T]\r\n", S, j, u"2"_s,
            "[S]\r\nk=1\r\nj=" + Field("2") + "\r\n\r\n[T]\r\n");
        row("LF file stays LF", "[S]\nk=1", u"T"_s, j, u"2"_s,
            "[S]\nk=1\n[T]\nj=" + Field("2") + "\n");
        row("line breaks in the value", {}, S, k, u"a\r\n[X]"_s,
            s + "k=" + Field("a  [X]") + "\r\n", u"a  [X]"_s);
        row("UTF-8 file", "\xEF\xBB\xBF[autorun]\r\n", u"autorun"_s, u"OPEN"_s, u"表"_s,
            "\xEF\xBB\xBF[autorun]\r\nOPEN=\xE8\xA1\xA8" + QByteArray(99, ' ') + "\r\n");
        const QByteArray a = "\x82\xa0";
        const QString x99(99, u'x'), a49(49, u'あ');
        row("100 single-byte, the last kana", {}, S, k, QString(99, u'x') + u"ﾟ"_s,
            s + "k=" + QByteArray(99, 'x') + "\xDF\r\n", x99);
        row("101 single-byte", {}, S, k, QString(101, u'x'),
            s + "k=" + QByteArray(100, 'x') + "\r\n", x99, true);
        row("50 double-byte", {}, S, k, QString(50, u'あ'),
            s + "k=" + Field(a.repeated(50), 50) + "\r\n", a49);
        row("51 double-byte", {}, S, k, QString(51, u'あ'),
            s + "k=" + Field(a.repeated(51), 51) + "\r\n", a49, true);
        row("UTF-16 file", Utf16(u"[autorun]\n"_s), u"autorun"_s, u"OPEN"_s, u"表"_s,
            Utf16("[autorun]\nOPEN=表" + QString(99, u' ') + "\n"));
    }
    void profile() {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        QFETCH(bool, warned);
        if (!before.isNull())
            QVERIFY(WriteBytes(settings(), before));
        ScriptedDesktop desktop;
        if (!after.isNull()) {
            QVERIFY(WriteIni(desktop, settings(), section, key, value));
            QCOMPARE(ReadBytes(settings()), after);
            QCOMPARE(EntriesOf(dir_->path()), QStringList{u"設定.txt"_s});
        }
        QTEST(ReadIni(settings(), section, key), "read");
        QCOMPARE(desktop.textsOf(u"message"_s),
                 warned ? QStringList{u"文字数が100ﾊﾞｲﾄを超えています"_s} : QStringList());
    }

    // A disk full at every byte of a settings write and of a byte file: the new
    // file whole, or the old one byte for byte and the user told why.
    void fullDisk_keepsTheOldFile() {
        const QByteArray old = "[S]\r\nk=old\r\n";
        const QByteArray fresh = "[S]\r\nk=old\r\nj=" + Field("new") + "\r\n";
        const QString icon = at(u"Icon_00.ico"_s);
        for (int limit = 0; limit <= fresh.size(); limit += 11) {
            QVERIFY(WriteBytes(settings(), old) && WriteBytes(icon, old));
            ScriptedDesktop desktop;
            const DiskLimit full(limit);
            const bool stored = WriteIni(desktop, settings(), u"S"_s, u"j"_s, u"new"_s);
            const bool written = WriteFileBytes(desktop, icon, fresh);
            QCOMPARE(stored, limit >= fresh.size());
            QCOMPARE(ReadBytes(settings()), stored ? fresh : old);
            QCOMPARE(ReadIni(settings(), u"S"_s, u"j"_s), stored ? u"new"_s : QString());
            QCOMPARE(ReadBytes(icon), written ? fresh : old);
            QCOMPARE(desktop.textsOf(u"message"_s).join(QString()),
                     written ? QString()
                             : "ファイルに書き込めません。(File too large)\n" +
                                   QDir::toNativeSeparators(icon));
            QCOMPARE(EntriesOf(dir_->path()).size(), 2);
        }
    }

    // What a copy asks and leaves behind. One cut short (a full disk, also in
    // its last piece; the user stopping it) leaves the old file, and says why.
    void copyIfChanged_data() {
        // old: the target's bytes first, null none, "=" the source's; offset: its time
        // against the source's, in ms; the answer to the one question asked, if any;
        // limit: bytes a file may grow to, -1 the user stops
        const auto add = Table<QString, QByteArray, int, Answer, QString, qint64, CopyStatus>(
            {"target", "old", "offset", "answer", "asked", "limit", "status"});
        const auto row = [&add](const char* name, const QString& target, const QByteArray& old,
                                int offset, Answer answer, const QString& asked, CopyStatus status,
                                qint64 limit = 0) {
            add(name, target, old, offset, answer, asked, limit, status);
        };
        const QString exe = u"out/AutoRun.exe"_s;
        const QString ask = kReplaceTitle;
        row("same, other case", u"out/AUTORUN.EXE"_s, "=", 400, Answer::No, {},
            CopyStatus::Unchanged);
        row("same second, other bytes", exe, "old", 400, Answer::Yes, ask, CopyStatus::Copied);
        row("older, kept", exe, "old", -5000, Answer::No, ask, CopyStatus::Declined);
        row("no folder, not made", u"new/AutoRun.exe"_s, {}, 0, Answer::No, kCreateFolderTitle,
            CopyStatus::Declined);
        row("no folder, made", u"new/a/AutoRun.exe"_s, {}, 0, Answer::Yes, kCreateFolderTitle,
            CopyStatus::Copied);
        row("full disk", exe, "old", 0, Answer::Yes, ask, CopyStatus::Failed, 3 << 20);
        row("full in the last piece", exe, "old", 0, Answer::Yes, ask, CopyStatus::Failed,
            (9 << 20) + 100);
        row("stopped", exe, "old", 0, Answer::Yes, ask, CopyStatus::Declined, -1);
    }
    void copyIfChanged() {
        QFETCH(QString, target);
        QFETCH(QByteArray, old);
        QFETCH(int, offset);
        QFETCH(qint64, limit);
        QFETCH(Answer, answer);
        const QString source = at(u"AutoRun.exe"_s);
        const QByteArray bytes((9 << 20) + 200, 'n'); // long enough to show progress
        old = old == "=" ? bytes : old;
        const QDateTime when(QDate(2021, 3, 4), QTime(5, 6, 7, 200), Qt::UTC);
        QVERIFY(WriteBytes(source, bytes) && Backdate(source, when) && QDir().mkpath(at(u"out"_s)));
        if (!old.isNull())
            QVERIFY(WriteBytes(at(target), old) && Backdate(at(target), when.addMSecs(offset)));
        ScriptedDesktop desktop;
        desktop.queueAnswer(answer);
        desktop.cancelProgressAfter = limit < 0 ? 2 : -1;
        const DiskLimit full(limit > 0 ? rlim_t(limit) : RLIM_INFINITY);
        const CopyResult copied = CopyIfChanged(desktop, source, at(target));
        QTEST(copied.status, "status");
        QCOMPARE(copied.reason, limit > 0 ? u"File too large"_s : QString());
        QTEST(desktop.titlesOf(u"message"_s).join(QString()), "asked");
        const bool done = copied.status == CopyStatus::Copied;
        QCOMPARE(ReadBytes(at(target)), done ? bytes : old);
        if (done || !old.isNull())
            QCOMPARE(Modified(at(target)), done ? when : when.addMSecs(offset));
        QCOMPARE(EntriesOf(at(target.section(u'/', 0, -2))).size(), done || !old.isNull() ? 1 : 0);
    }

    // A folder copy asks once per file it would replace: "Yes to all" ends
    // the questions, "No" keeps that one file, "Cancel" stops the copy.
    void shellCopyFolder_data() {
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QString>("after"); // a.txt, b.txt, sub/c.txt: n new, o old, * either
        QTest::newRow("yes to all") << QList<Answer>{Answer::YesToAll} << u"nnn"_s;
        QTest::newRow("no, no") << QList<Answer>{Answer::No, Answer::No} << u"ono"_s;
        QTest::newRow("cancel") << QList<Answer>{Answer::Cancel} << u"o*o"_s; // b.txt may go first
    }
    void shellCopyFolder() {
        QFETCH(QList<Answer>, answers);
        QFETCH(QString, after);
        const QStringList files{u"a.txt"_s, u"b.txt"_s, u"sub/c.txt"_s};
        for (const QString& f : files)
            QVERIFY(WriteBytes(at("cd/" + f), "new") &&
                    (f[0] == u'b' || WriteBytes(at("out/cd/" + f), "old")));
        ScriptedDesktop desktop;
        for (Answer a : answers)
            desktop.queueAnswer(a);
        ShellCopy(desktop, at(u"cd"_s), at(u"out"_s));
        QCOMPARE(desktop.titlesOf(u"message"_s), QStringList(answers.size(), kReplaceTitle));
        QVERIFY(desktop.calls.value(0).buttons == MessageButtons::YesAllNoCancel);
        for (int i = 0; i < files.size(); ++i)
            if (after[i] != u'*')
                QCOMPARE(QChar(ReadBytes(at("out/cd/" + files[i])).at(0)), after[i]);
    }

    // What the byte files and the file tests make of a file, a missing one in
    // a folder that is there, a missing folder and a folder.
    void byteFiles() {
        QVERIFY(QDir().mkpath(at(u"sub"_s)) && WriteBytes(at(u"old.ico"_s), QByteArray(900, 'o')));
        const QByteArray bytes(766, '\x7f');
        for (const auto& [name, ok] : {std::pair{u"old.ico"_s, true},
                                       {u"new.ico"_s, true},
                                       {u"none/a.ico"_s, false},
                                       {u"sub"_s, false}}) {
            ScriptedDesktop desktop;
            QByteArray back = "stale";
            QCOMPARE(WriteFileBytes(desktop, at(name), bytes), ok);
            QCOMPARE(ReadFileBytes(desktop, at(name), back), ok);
            QCOMPARE(back, ok ? bytes : QByteArray("stale"));
            QCOMPARE(desktop.titlesOf(u"message"_s), QStringList(ok ? 0 : 2, kApplicationTitle));
            QCOMPARE(FileExists(at(name)) && FileExists(at(name) + u'\\'), ok);
            QCOMPARE(FilePresent(at(name)), ok);
        }
    }

    // Path strings; where a chosen file lies on its disc (by its drive letter or
    // its volume); the volume's label when it fits in 12 bytes.
    void paths_data() {
        // the path, FileNameOf, RemoveExtension, ParentFolder, VolumeRootOf, PathOnDisc,
        // the volume's label, "long" when VolumeLabelOf does not give it
        QTest::addColumn<QStringList>("c");
        const auto row = [](const char* name, const QString& cells) {
            QTest::newRow(name) << cells.split(u'|');
        };
        row("drive",
            u"D:\\tools\\a.exe|a.exe|D:\\tools\\a|D:\\tools|D:\\|tools\\a.exe|ABCDEFGHIJKL|"_s);
        row("in the root",
            u"D:\\Auto_Run.dat|Auto_Run.dat|D:\\Auto_Run|D:\\|D:\\|Auto_Run.dat|ABCDEFGHIJKLM|long"_s);
        row("mounted",
            u"/media/cd/x.y/a.b.c|a.b.c|/media/cd/x.y/a.b|/media/cd/x.y|/media/cd|x.y\\a.b.c|表ソフト集ア|"_s);
        row("folder", u"C:\\a.b\\|a.b\\|C:\\a.b\\|C:\\a.b|C:\\|a.b\\|表ソフト集アイ|long"_s);
        row("root", u"C:\\|C:\\|C:\\||C:\\|||"_s);
        row("trail byte 5C", u"ソ\\表.exe|表.exe|ソ\\表|ソ||.exe||"_s);
        row("digit, no drive", u"1:\\a/b|b|1:\\a/b|1:\\a||a/b||"_s);
        row("no colon", u"ab\\c|c|ab\\c|ab||c||"_s);
        row("no separator", u"D:x\\y|y|D:x\\y|D:x||\\y||"_s);
        row("dot file", u".txt|.txt||||t||"_s);
        row("from the root", u"\\ARun.ico|ARun.ico|\\ARun|\\||un.ico||"_s);
        row("a mount point", u"/media|media|/media|/||dia||"_s);
        row("empty", u"|||||||"_s);
    }
    void paths() {
        QFETCH(QStringList, c);
        const QString path = c[0];
        QCOMPARE(QStringList({FileNameOf(path), RemoveExtension(path), ParentFolder(path)}),
                 c.mid(1, 3));
        QCOMPARE(AddBackslash(path), path.endsWith(u'\\') ? path : path + u'\\');
        ScriptedDesktop desktop;
        desktop.roots.insert(u"/media/cd"_s, u"/media/cd"_s);
        desktop.labels.insert(path, c[6]);
        QCOMPARE(VolumeRootOf(desktop, path), c[4]);
        QCOMPARE(PathOnDisc(desktop, path), c[5]);
        QCOMPARE(VolumeLabelOf(desktop, path), c[7].isEmpty() ? c[6] : QString());
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
