// The CD folder Save leaves, also on a full disk; the check of it; older Loads.
#include "output/CdCheck.h"
#include "output/Folders.h"
#include "store/Shell.h"
#include "store/Slots.h"
#include "tests/support/TestFiles.h"

#include <unistd.h>

using namespace kz;
using namespace kz::test;
using namespace Qt::StringLiterals;

const QString kFinding = u"\n\nCDに焼く前に確認してください:\n  1/ 1: setup.exe がありません"_s;

class FoldersTest : public QObject {
    Q_OBJECT

    static QStringList EntriesOf(const QString& folder) {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::IgnoreCase);
    }
    // A table row's list, written "a|b|c".
    static QStringList Split(const QString& list) { return list.split(u'|', Qt::SkipEmptyParts); }
    // Autorun.inf with OPEN (and ICON), each value in a field of 100 characters.
    static QByteArray Inf(const QByteArray& open, bool icon, const QByteArray& end = "\r\n") {
        return "[autorun]" + end + open + "=AutoRun.exe" + QByteArray(89, ' ') + end +
               (icon ? "ICON=\\ARun.ico" + QByteArray(91, ' ') + end : QByteArray());
    }

    std::unique_ptr<WorkFolder> work_;
    std::unique_ptr<ScriptedDesktop> desktop_;
    // The output folder, or a file in it.
    QString out(const QString& name = {}) const { return work_->path() + u"/out/"_s + name; }
    SaveResult save(const std::optional<QStringList>& extra = QStringList()) {
        VariantTable table;
        return SaveToFolder(
            *desktop_, {work_->path(), work_->path(), 0x00FF0000, 0x80000012, extra}, out(), table);
    }

private slots:
    void init() {
        work_ = std::make_unique<WorkFolder>();
        desktop_ = std::make_unique<ScriptedDesktop>();
        work_->setSlot(u"00"_s, u"FilePath"_s, u"setup.exe"_s);
        QVERIFY(QDir().mkpath(out()) && work_->writeIcon(u"00"_s, Qt::red));
        QVERIFY(WriteBytes(work_->file(u"\\AutoRun.exe"_s), "MZ") &&
                WriteBytes(work_->cdIcon(), "icon"));
    }

    // What Save leaves over what was there: a name in another case is updated
    // under that name (a disc knows no case), Autorun.inf keeps its form, a file
    // the user declines to replace is kept, an archive kept is no save at all.
    void save_overWhatIsThere_data() {
        QTest::addColumn<QStringList>("there"); // each holds "old", Autorun.inf `before`
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("answers"); // to the replace questions: Y yes, N no
        QTest::addColumn<QByteArray>("inf");  // afterwards, under its name there
        QTest::addColumn<QString>("notice");  // the message after its first line
        const auto row = [](const char* name, const QString& there, const QByteArray& before,
                            const QString& answers, const QByteArray& inf,
                            const QString& notice = kFinding) {
            QTest::newRow(name) << Split(there) << before << answers << inf << notice;
        };
        row("empty folder", {}, {}, {}, Inf("OPEN", true));
        row("other cases, UTF-16", u"arun.ico|AUTO_RUN.DAT|autorun.exe|AUTORUN.INF"_s,
            Utf16("[autorun]\nopen=setup.exe\n"), u"YYY"_s, Utf16(Inf("open", true, "\n")));
        // No CD icon in the working folder: an ICON key stays as it was.
        row("LF lines, no CD icon", u"Autorun.inf|-"_s, "[autorun]\nICON=x.ico", {},
            "[autorun]\nICON=x.ico" + Inf("OPEN", false, "\n").mid(9),
            kFinding + u"\n  Autorun.inf の ICON=x.ico がありません"_s);
        row("replacements declined", u"ARun.ico|AutoRun.exe"_s, {}, u"NN"_s, Inf("OPEN", true),
            u"\n\n次のﾌｧｲﾙは置き換えずに元のまま残しました:\n  ARun.ico\n  AutoRun.exe"_s +
                kFinding);
        row("archive kept", u"Auto_Run.dat"_s, {}, u"N"_s, Inf("OPEN", true),
            u"次のﾌｧｲﾙを保存フォルダに書き込めませんでした:\n  Auto_Run.dat: Not replaced\n\n"
            "保存フォルダ: %1\n保存し直してからCDに焼いてください。"_s);
    }
    void save_overWhatIsThere() {
        QFETCH(QStringList, there);
        QFETCH(QByteArray, before);
        QFETCH(QString, answers);
        QFETCH(QString, notice);
        const bool cdIcon = there.removeAll(u"-"_s) == 0;
        QVERIFY(cdIcon || QFile::remove(work_->cdIcon()));
        for (const QString& name : there)
            QVERIFY(WriteBytes(out(name),
                               name.endsWith(u"inf"_s, Qt::CaseInsensitive) ? before : "old"));
        for (QChar a : answers)
            desktop_->queueAnswer(a == u'Y' ? Answer::Yes : Answer::No);
        const SaveResult result = save();
        QCOMPARE(desktop_->titlesOf(u"message"_s), QStringList(answers.size(), kReplaceTitle));
        QTEST(ReadBytes(DiscPath(out(), u"Autorun.inf"_s)), "inf");
        QCOMPARE(EntriesOf(out()).size(), cdIcon ? 4 : 3); // nothing doubled
        QCOMPARE(result.complete()
                     ? SaveCompleteText(out(), result).mid(SaveCompleteText(out()).size())
                     : SaveFailedText(out(), result),
                 notice.replace(u"%1"_s, QDir::toNativeSeparators(out())));
    }

    // A disk full at every step of a save over an earlier one: each file holds
    // its new bytes or its old ones, the old ones named with the reason.
    void save_fullDiskAtEveryStep() {
        if (::geteuid() != 0)
            QSKIP("mounting a small disk needs root");
        const QStringList names = Split(u"ARun.ico|Auto_Run.dat|AutoRun.exe|Autorun.inf|x.dll"_s);
        QVERIFY(WriteBytes(work_->cdIcon(), QByteArray(6000, 'i')) &&
                WriteBytes(work_->file(u"\\AutoRun.exe"_s), QByteArray(40000, 'L')) &&
                WriteBytes(work_->file(u"\\x.dll"_s), QByteArray(20000, 'x')));
        QHash<QString, QByteArray> fresh; // as a disk with room has them
        QSet<QString> missed;
        for (int kib = 16, complete = 0; !complete; kib += 4) {
            const QStringList mount = u"-t tmpfs -o size=%1k x"_s.arg(kib).split(u' ') << out();
            QVERIFY(kib < 200 && (kib == 16 || QProcess::execute(u"mount"_s, mount) == 0));
            for (const QString& name : names)
                QVERIFY(WriteBytes(out(name), "old"));
            for (int i = 0; i < 5; ++i)
                desktop_->queueAnswer(Answer::Yes);
            const SaveResult result = save(QStringList{work_->file(u"\\x.dll"_s)});
            for (const QString& name : names) {
                const QByteArray bytes = ReadBytes(out(name));
                fresh.insert(name, fresh.value(name, bytes));
                QCOMPARE(result.missing.contains(name) ? "old" : fresh[name], bytes);
            }
            missed.unite(QSet<QString>(result.missing.begin(), result.missing.end()));
            QCOMPARE(result.reasons,
                     QStringList(result.missing.size(), u"No space left on device"_s));
            QCOMPARE(EntriesOf(out()), names);
            complete = kib > 16 && result.complete();
            QVERIFY(kib == 16 || QProcess::execute(u"umount"_s, {out()}) == 0);
        }
        QCOMPARE(missed.size(), names.size());
    }

    // What a CD burned from a folder would miss, one line each.
    void check_data() {
        QTest::addColumn<QStringList>("files"); // path=bytes; "#N": N bytes, sparse
        QTest::addColumn<QStringList>("paths"); // slot key=path, packed as Auto_Run.dat
        QTest::addColumn<QStringList>("findings");
        const auto row = [](const char* name, const QString& files, const QString& paths,
                            const QString& findings) {
            QTest::newRow(name) << Split(files) << Split(paths) << Split(findings);
        };
        const QString ready =
            u"Autorun.inf=[autorun]\nOPEN=AutoRun.exe /x\nICON=\\ARun.ico,0|AUTORUN.EXE|arun.ico|"_s;
        row("ready", ready + u"Tools/Setup.EXE"_s,
            u"00=tools\\setup.exe|40=http://x/|01=D:\\x.exe|11=\\\\server\\x.exe"_s, {});
        row("empty", {}, {}, u"Auto_Run.dat がありません|Autorun.inf がありません"_s);
        row("damaged",
            u"Auto_Run.dat=junk|autorun.inf=[autorun]\nOPEN=setup.exe /x\nICON=cd.ico,0"_s, {},
            u"Auto_Run.dat を読み込めません|autorun.inf の OPEN=setup.exe /x がありません|autorun.inf の ICON=cd.ico,0 がありません"_s);
        row("slots", u"Autorun.inf=[autorun]\nOPEN=\"My Menu.exe\" /x|My Menu.exe|doc/readme.txt"_s,
            u"00=tools\\setup.exe|112=doc/README.TXT|419=x.exe"_s,
            u"1/ 1: tools\\setup.exe がありません|5/20: x.exe がありません"_s);
        const QString longName = QString(61, u'a') + u".txt"_s;
        row("names", ready + longName + u"|sub/a.txt|sub/A.TXT|big.iso=#800000000"_s,
            u"00=big.iso"_s,
            u"64文字を超える名前: "_s + longName +
                u"|大文字と小文字だけが違う名前: sub/A.TXT, sub/a.txt|合計 763 MB: 700 MB の CD-R に入りません"_s);
    }
    void check() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, paths);
        for (const QString& file : files) {
            const QString bytes = file.section(u'=', 1);
            QFile sized(out(file.section(u'=', 0, 0)));
            QVERIFY(bytes.startsWith(u'#') ? sized.open(QIODevice::WriteOnly) &&
                                                 sized.resize(bytes.mid(1).toLongLong())
                                           : WriteBytes(sized.fileName(), bytes.toUtf8()));
        }
        for (const QString& path : paths)
            work_->setSlot(path.section(u'=', 0, 0), u"FilePath"_s, path.section(u'=', 1));
        QVERIFY(paths.isEmpty() ||
                WriteArchiveFile(*desktop_, out(u"Auto_Run.dat"_s),
                                 BuildProjectTable(*desktop_, work_->path(), 0, 0)));
        QTEST(CheckCdFolder(out()), "findings");
    }

    // The older layout of a saved folder is copied in and made writable.
    void load_olderLayout() {
        QVERIFY(WriteBytes(out(u"AutoRun_Icon/Icon_10.ico"_s), "legacy icon") &&
                WriteBytes(out(u"AutoRun_Icon/ARun.ico"_s), "legacy cd icon") &&
                WriteBytes(out(u"Auto_Run.dat"_s), "[AppName]\r\nApp_30=old\r\n") &&
                QFile::setPermissions(out(u"Auto_Run.dat"_s), QFile::ReadOwner));
        desktop_->queueAnswer(Answer::Yes); // the CD icon
        desktop_->queueAnswer(Answer::Yes); // the settings file
        VariantTable table;
        const LoadResult result = LoadSavedFolder(*desktop_, out(), work_->path(), table);
        QVERIFY(result.legacy && !result.colours && result.notWritten.isEmpty());
        QCOMPARE(desktop_->titlesOf(u"message"_s), QStringList(2, kReplaceTitle));
        QCOMPARE(work_->get(u"AppName"_s, u"App_30"_s) + work_->get(u"FilePath"_s, u"Path_00"_s),
                 u"old"_s);
        QCOMPARE(ReadBytes(work_->icon(u"10"_s)) + ReadBytes(work_->cdIcon()), "legacy icon"
                                                                               "legacy cd icon");
        QVERIFY(QFile::permissions(work_->settings()) & QFile::WriteOwner);
    }
};

QTEST_GUILESS_MAIN(FoldersTest)
#include "tst_folders.moc"
