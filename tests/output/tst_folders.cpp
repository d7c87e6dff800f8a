// The output folder as a CD sees it after Save, and the working folder after
// Load of either kind of saved folder.
#include "options/ExtraFiles.h"
#include "output/CdCheck.h"
#include "output/Folders.h"
#include "store/FileName.h"
#include "store/Ini.h"
#include "store/Shell.h"
#include "store/Slots.h"
#include "tests/support/ScriptedDesktop.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <QProcess>
#include <QSet>

#include <memory>
#include <unistd.h>

using namespace kz;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool Put(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

QByteArray Padded(const QByteArray& line, int valueLength) {
    return line + QByteArray(100 - valueLength, ' ') + "\r\n";
}

} // namespace

class FoldersTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ScriptedDesktop> desktop_;
    QString work_, program_, out_;

    QString settings() const { return LocalPath(work_, kSettingsLiteral); }
    void set(const QString& folder, const char* section, const QString& key, const QString& value) {
        WriteIni(*desktop_, LocalPath(folder, kSettingsLiteral), QLatin1String(section), key,
                 value);
    }
    SaveResult save(const QString& output) {
        VariantTable table;
        return SaveToFolder(*desktop_, SaveSource{work_, program_, 0x00FF0000, 0x80000012}, output,
                            table);
    }
    QStringList titlesAsked() const {
        QStringList titles;
        for (const auto& a : desktop_->messages())
            titles << a.title;
        return titles;
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        desktop_ = std::make_unique<ScriptedDesktop>();
        for (const char* name : {"work", "program", "out"})
            QVERIFY(QDir(dir_->path()).mkdir(QLatin1String(name)));
        work_ = dir_->filePath(QStringLiteral("work"));
        program_ = dir_->filePath(QStringLiteral("program"));
        out_ = dir_->filePath(QStringLiteral("out"));
        set(work_, "FilePath", QStringLiteral("Path_00"), QStringLiteral("setup.exe"));
        set(work_, "AppName", QStringLiteral("App_00"), QStringLiteral("インストーラ"));
        QVERIFY(Put(LocalPath(program_, kLauncherName), "MZ launcher"));
        // The entry editor's OK always leaves the icon folder behind.
        QVERIFY(QDir().mkpath(LocalPath(work_, kIconFolderLiteral)));
    }
    void cleanup() {
        desktop_.reset();
        dir_.reset();
    }

    void save_writesTheCdFolder_data() {
        QTest::addColumn<bool>("cdIcon");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QByteArray>("inf");
        const QByteArray head = "[autorun]\r\n";
        const QByteArray open = Padded("OPEN=AutoRun.exe", 11);
        QTest::newRow("with CD icon")
            << true << QStringList{"ARun.ico", "AutoRun.exe", "Auto_Run.dat", "Autorun.inf"}
            << head + open + Padded("ICON=\\ARun.ico", 9);
        QTest::newRow("without CD icon")
            << false << QStringList{"AutoRun.exe", "Auto_Run.dat", "Autorun.inf"} << head + open;
    }
    void save_writesTheCdFolder() {
        QFETCH(bool, cdIcon);
        QFETCH(QStringList, files);
        QFETCH(QByteArray, inf);
        if (cdIcon)
            QVERIFY(Put(LocalPath(work_, kCdIconName), "icon bytes"));
        const SaveResult result = save(out_);
        QVERIFY(result.complete());
        QCOMPARE(Entries(out_), files);
        QCOMPARE(ReadAll(LocalPath(out_, kAutorunInfName)), inf);
        QCOMPARE(ReadAll(LocalPath(out_, kLauncherName)), QByteArray("MZ launcher"));
        // The working archive is gone; the settings and icons stay.
        QVERIFY(!QFile::exists(ArchivePath(work_)));
        QVERIFY(QFile::exists(settings()));
        QCOMPARE(desktop_->messages().size(), 0);
        QCOMPARE(SaveCompleteText(QStringLiteral("D:\\")),
                 QStringLiteral("保存が終了しました\rD:\\内のﾌｧｲﾙを全てCDに焼いてください"));
    }

    void saveTwice_asksOnlyForTheNewArchive() {
        QVERIFY(Put(LocalPath(work_, kCdIconName), "icon bytes"));
        QVERIFY(save(out_).complete());
        const QDateTime launcherTime = QFileInfo(LocalPath(out_, kLauncherName)).lastModified();
        // Unchanged project: the archive is packed afresh and so asked about;
        // declining keeps an identical archive, which is still a complete save.
        QTest::qWait(1100); // a fresh archive gets a newer time to the second
        desktop_->queueAnswer(Answer::No);
        QVERIFY(save(out_).complete());
        QCOMPARE(titlesAsked(), QStringList{kReplaceTitle});
        QVERIFY(desktop_->messages()[0].text.contains(QStringLiteral("Auto_Run.dat")));
        QCOMPARE(QFileInfo(LocalPath(out_, kLauncherName)).lastModified(), launcherTime);

        // A changed project whose archive the user declines to replace did not
        // reach the folder.
        set(work_, "AppName", QStringLiteral("App_00"), QStringLiteral("別の名前"));
        desktop_->queueAnswer(Answer::No);
        QCOMPARE(save(out_).missing, QStringList{kArchiveName});
        desktop_->queueAnswer(Answer::Yes);
        QVERIFY(save(out_).complete());
    }

    void save_copiesTheAdditionalFilesInListOrder() {
        const QString a = dir_->filePath(QStringLiteral("x/a.dll"));
        const QString b = dir_->filePath(QStringLiteral("y/b.dll"));
        QVERIFY(Put(a, "A"));
        QVERIFY(Put(b, "B"));
        desktop_->setUserSetting(kStoreApplication, kExtraFilesSection, "0", a);
        desktop_->setUserSetting(kStoreApplication, kExtraFilesSection, "1",
                                 dir_->filePath(QStringLiteral("gone.dll")));
        desktop_->setUserSetting(kStoreApplication, kExtraFilesSection, "2", b);
        desktop_->setUserSetting(kStoreApplication, kExtraFilesSection, "4",
                                 dir_->filePath(QStringLiteral("after-a-gap.dll")));
        // One that no longer exists is not on the CD.
        const SaveResult result = save(out_);
        QCOMPARE(result.missing, QStringList{QStringLiteral("gone.dll")});
        QCOMPARE(result.reasons, QStringList{"No such file or directory: " +
                                             dir_->filePath(QStringLiteral("gone.dll"))});
        QCOMPARE(ReadAll(LocalPath(out_, QStringLiteral("a.dll"))), QByteArray("A"));
        QCOMPARE(ReadAll(LocalPath(out_, QStringLiteral("b.dll"))), QByteArray("B"));
        QVERIFY(!QFile::exists(LocalPath(out_, QStringLiteral("gone.dll"))));
    }

    void save_updatesAnExistingAutorunInf() {
        QVERIFY(Put(
            LocalPath(out_, kAutorunInfName),
            "; burned by hand\r\n[autorun]\r\nOPEN=old.exe\r\nICON=old.ico\r\nlabel=MY CD\r\n"));
        QVERIFY(save(out_).complete()); // no CD icon now
        const QByteArray inf = ReadAll(LocalPath(out_, kAutorunInfName));
        QVERIFY(inf.startsWith("; burned by hand\r\n[autorun]\r\nOPEN=AutoRun.exe   "));
        QVERIFY(inf.endsWith("\r\nICON=old.ico\r\nlabel=MY CD\r\n"));
    }

    void save_reportsFilesThatDidNotArrive() {
        // Folders in the way of both files: neither can be written.
        QVERIFY(QDir(out_).mkdir(kArchiveName));
        QVERIFY(QDir(out_).mkdir(kAutorunInfName));
        const SaveResult result = save(out_);
        QCOMPARE(result.missing, (QStringList{kArchiveName, kAutorunInfName}));
        QVERIFY(!QFile::exists(ArchivePath(work_)));
    }

    void save_withNoSlotInUseStillWritesEverything() {
        QVERIFY(QFile::remove(settings()));
        QVERIFY(save(out_).complete());
        // The table is the marker row alone: 9 cells.
        const QByteArray archive = ReadAll(LocalPath(out_, kArchiveName));
        QVERIFY(
            archive.startsWith(QByteArray::fromHex("0c20020009000000000000000100000000000000")));
    }

    void loadArchive_mergesIntoTheWorkingProject() {
        // The saved project: slots 00 and 10 in use.
        set(work_, "FilePath", QStringLiteral("Path_10"), QStringLiteral("ten.exe"));
        set(work_, "Text1", QStringLiteral("Text_10"), QStringLiteral("十"));
        QVERIFY(save(out_).complete());
        // A different working project: slots 00, 20 and 01, with more texts.
        const QString other = dir_->filePath(QStringLiteral("other"));
        QVERIFY(QDir().mkpath(other));
        set(other, "FilePath", QStringLiteral("Path_00"), QStringLiteral("old.exe"));
        set(other, "NameTaitol", QStringLiteral("Name_00"), QStringLiteral("会社名"));
        set(other, "AppName", QStringLiteral("App_20"), QStringLiteral("二十"));
        set(other, "AppName", QStringLiteral("App_01"), QStringLiteral("次のページ"));
        QVERIFY(Put(LocalPath(other, IconLiteral(QStringLiteral("20"))), "old icon"));
        QVERIFY(Put(LocalPath(other, IconLiteral(QStringLiteral("01"))), "page two icon"));

        VariantTable table;
        const LoadResult result = LoadSavedFolder(*desktop_, out_, other, table);
        QVERIFY(!result.legacy);
        QVERIFY(result.colours);
        QCOMPARE(result.colours->background, std::optional<std::uint32_t>(0x00FF0000));
        const QString s = LocalPath(other, kSettingsLiteral);
        QCOMPARE(ReadIni(s, "FilePath", "Path_00"), QStringLiteral("setup.exe"));
        QCOMPARE(ReadIni(s, "NameTaitol", "Name_00"),
                 QStringLiteral("会社名")); // empty in the archive
        QCOMPARE(ReadIni(s, "Text1", "Text_10"), QStringLiteral("十"));
        QCOMPARE(ReadIni(s, "AppName", "App_20"), QStringLiteral("二十"));
        QCOMPARE(ReadAll(LocalPath(other, IconLiteral(QStringLiteral("20")))), QByteArray());
        QCOMPARE(ReadIni(s, "AppName", "App_01"), QStringLiteral("次のページ"));
        QCOMPARE(ReadAll(LocalPath(other, IconLiteral(QStringLiteral("01")))),
                 QByteArray("page two icon"));
    }

    void loadLegacyFolder_replacesTheSettingsFile() {
        const QString legacy = dir_->filePath(QStringLiteral("legacy"));
        QVERIFY(
            Put(LocalPath(legacy, QStringLiteral("\\AutoRun_Icon\\Icon_00.ico")), "legacy icon"));
        QVERIFY(
            Put(LocalPath(legacy, QStringLiteral("\\AutoRun_Icon\\ARun.ico")), "legacy cd icon"));
        set(legacy, "AppName", QStringLiteral("App_30"), QStringLiteral("旧形式"));
        set(legacy, "VolumeLabel", QString(), QStringLiteral("OLDCD"));
        QVERIFY(
            QFile::rename(LocalPath(legacy, kSettingsLiteral), LocalPath(legacy, kArchiveName)));
        // As read from a disc: read-only.
        for (const QString& f : {LocalPath(legacy, kArchiveName),
                                 LocalPath(legacy, QStringLiteral("\\AutoRun_Icon\\Icon_00.ico"))})
            QVERIFY(QFile::setPermissions(f, QFile::ReadOwner | QFile::ReadGroup));
        QVERIFY(Put(LocalPath(work_, IconLiteral(QStringLiteral("40"))), "kept"));

        desktop_->queueAnswer(Answer::Yes); // replace the existing settings file
        VariantTable table;
        const LoadResult result = LoadSavedFolder(*desktop_, legacy, work_, table);
        QVERIFY(result.legacy);
        QVERIFY(!result.colours);
        QCOMPARE(titlesAsked(), QStringList{kReplaceTitle});
        QCOMPARE(ReadIni(settings(), "AppName", "App_30"), QStringLiteral("旧形式"));
        QCOMPARE(ReadIni(settings(), "AppName", "App_00"), QString()); // replaced as a whole
        QCOMPARE(ReadIni(settings(), "VolumeLabel", QString()), QStringLiteral("OLDCD"));
        QCOMPARE(ReadAll(LocalPath(work_, IconLiteral(QStringLiteral("00")))),
                 QByteArray("legacy icon"));
        QCOMPARE(ReadAll(LocalPath(work_, IconLiteral(QStringLiteral("40")))), QByteArray("kept"));
        QCOMPARE(ReadAll(LocalPath(work_, kCdIconName)), QByteArray("legacy cd icon"));
        QVERIFY(QFile::permissions(settings()) & QFile::WriteOwner);
        QVERIFY(QFile::permissions(LocalPath(work_, IconLiteral(QStringLiteral("00")))) &
                QFile::WriteOwner);
    }

    void loadFolderWithCapitalisedIconFolder_isAnArchive() {
        QVERIFY(save(out_).complete());
        QVERIFY(QDir(out_).mkdir(QStringLiteral("AUTORUN_ICON")));
        const QString fresh = dir_->filePath(QStringLiteral("fresh"));
        QVERIFY(QDir().mkpath(fresh));
        VariantTable table;
        QVERIFY(!LoadSavedFolder(*desktop_, out_, fresh, table).legacy);
        QCOMPARE(ReadIni(LocalPath(fresh, kSettingsLiteral), "AppName", "App_00"),
                 QStringLiteral("インストーラ"));
    }

    void removeWorkingIcons_leavesWhatItCannotClear() {
        QVERIFY(Put(LocalPath(work_, IconLiteral(QStringLiteral("00"))), "a"));
        QVERIFY(Put(LocalPath(work_, IconLiteral(QStringLiteral("10"))), "b"));
        RemoveWorkingIcons(work_);
        QVERIFY(!QFileInfo::exists(LocalPath(work_, kIconFolderLiteral)));
        QVERIFY(Put(LocalPath(work_, IconLiteral(QStringLiteral("00"))), "a"));
        QVERIFY(Put(LocalPath(work_, QStringLiteral("\\AutoRun_Icon\\sub\\x")), "x"));
        RemoveWorkingIcons(work_);
        QCOMPARE(Entries(LocalPath(work_, kIconFolderLiteral)), QStringList{"sub"});
        RemoveWorkingIcons(dir_->filePath(QStringLiteral("nowhere"))); // nothing to do
    }

    // Replacements the user declines: other files are kept, and the message
    // says so; an archive kept from before is no save at all.
    void save_declinedReplacements() {
        QVERIFY(Put(LocalPath(work_, kCdIconName), "icon bytes"));
        QVERIFY(save(out_).complete());
        set(work_, "AppName", QStringLiteral("App_00"), QStringLiteral("別の名前"));
        QVERIFY(Put(LocalPath(work_, kCdIconName), "other icon"));
        QVERIFY(Put(LocalPath(program_, kLauncherName), "MZ other"));
        for (Answer a : {Answer::Yes, Answer::No, Answer::No})
            desktop_->queueAnswer(a);
        SaveResult result = save(out_);
        QCOMPARE(titlesAsked(), QStringList(3, kReplaceTitle));
        QVERIFY(result.complete());
        QCOMPARE(
            SaveCompleteText(QStringLiteral("D:\\"), result),
            QStringLiteral("保存が終了しました\rD:\\内のﾌｧｲﾙを全てCDに焼いてください\n\n"
                           "次のﾌｧｲﾙは置き換えずに元のまま残しました:\n  ARun.ico\n  AutoRun.exe"
                           "\n\nCDに焼く前に確認してください:\n  1/ 1: setup.exe がありません"));
        set(work_, "AppName", QStringLiteral("App_00"), QStringLiteral("三番目"));
        desktop_->queueAnswer(Answer::No);
        result = save(out_);
        QCOMPARE(SaveFailedText(QStringLiteral("D:\\"), result),
                 QStringLiteral(
                     "次のﾌｧｲﾙを保存フォルダに書き込めませんでした:\n  Auto_Run.dat: "
                     "Not replaced\n\n保存フォルダ: D:\\\n保存し直してからCDに焼いてください。"));
    }

    // A disk full at every step of a save over an earlier one: each file holds
    // its new bytes or its old ones, the old ones named with the reason.
    void save_fullDiskAtEveryStep() {
        if (::geteuid() != 0)
            QSKIP("mounting a small disk needs root");
        const QStringList names{QStringLiteral("ARun.ico"), QStringLiteral("Auto_Run.dat"),
                                QStringLiteral("AutoRun.exe"), QStringLiteral("Autorun.inf"),
                                QStringLiteral("x.dll")};
        QVERIFY(Put(LocalPath(work_, kCdIconName), QByteArray(6000, 'i')) &&
                Put(LocalPath(program_, kLauncherName), QByteArray(40000, 'L')) &&
                Put(dir_->filePath(QStringLiteral("x.dll")), QByteArray(20000, 'x')));
        desktop_->setUserSetting(kStoreApplication, kExtraFilesSection, "0",
                                 dir_->filePath(QStringLiteral("x.dll")));
        QHash<QString, QByteArray> fresh; // as a disk with room has them
        QSet<QString> missed;
        for (int kib = 16, complete = 0; !complete; kib += 4) {
            QVERIFY(kib < 200 &&
                    (kib == 16 ||
                     QProcess::execute(QStringLiteral("mount"),
                                       {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                        QStringLiteral("-o"), QStringLiteral("size=%1k").arg(kib),
                                        QStringLiteral("x"), out_}) == 0));
            for (const QString& name : names)
                QVERIFY(Put(LocalPath(out_, name), "old"));
            for (int i = 0; i < 5; ++i)
                desktop_->queueAnswer(Answer::Yes);
            const SaveResult result = save(out_);
            for (const QString& name : names) {
                const QByteArray bytes = ReadAll(LocalPath(out_, name));
                fresh.insert(name, fresh.value(name, bytes));
                QCOMPARE(result.missing.contains(name) ? "old" : fresh[name], bytes);
            }
            missed.unite(QSet<QString>(result.missing.begin(), result.missing.end()));
            QCOMPARE(result.reasons,
                     QStringList(result.missing.size(), QStringLiteral("No space left on device")));
            QCOMPARE(Entries(out_).size(), names.size());
            complete = kib > 16 && result.complete();
            QVERIFY(kib == 16 || QProcess::execute(QStringLiteral("umount"), {out_}) == 0);
        }
        QCOMPARE(missed.size(), names.size());
    }

    // A disc matches names without regard to case: files the folder holds in
    // another case are updated under their own names, never doubled.
    void save_namesInAnotherCase() {
        QVERIFY(Put(LocalPath(work_, kCdIconName), "icon bytes"));
        const QStringList there{QStringLiteral("arun.ico"), QStringLiteral("AUTO_RUN.DAT"),
                                QStringLiteral("autorun.exe"), QStringLiteral("AUTORUN.INF")};
        for (const QString& name : there)
            QVERIFY(Put(LocalPath(out_, name), "[autorun]\r\nopen=setup.exe\r\n"));
        for (int i = 0; i < 3; ++i)
            desktop_->queueAnswer(Answer::Yes);
        QVERIFY(save(out_).complete());
        QCOMPARE(Entries(out_),
                 (QStringList{QStringLiteral("AUTORUN.INF"), QStringLiteral("AUTO_RUN.DAT"),
                              QStringLiteral("arun.ico"), QStringLiteral("autorun.exe")}));
        QCOMPARE(ReadAll(LocalPath(out_, QStringLiteral("AUTORUN.INF"))),
                 "[autorun]\r\n" + Padded("open=AutoRun.exe", 11) + Padded("ICON=\\ARun.ico", 9));
        QCOMPARE(ReadAll(LocalPath(out_, QStringLiteral("arun.ico"))), QByteArray("icon bytes"));
    }

    // Autorun.inf keeps its form: UTF-16, UTF-8 with a mark, LF lines.
    void save_keepsTheFormOfAutorunInf() {
        const auto utf16 = [](const QByteArray& text) {
            const QString t = QString::fromLatin1(text);
            return "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(t.utf16()), t.size() * 2);
        };
        const QByteArray lf = "[autorun]\n" + Padded("OPEN=AutoRun.exe", 11).replace("\r\n", "\n");
        const QList<QPair<QByteArray, QByteArray>> forms{
            {utf16("[autorun]\nOPEN=setup.exe\n"), utf16(lf)},
            {"\xEF\xBB\xBF[autorun]\r\nOPEN=x\r\n",
             "\xEF\xBB\xBF[autorun]\r\n" + Padded("OPEN=AutoRun.exe", 11)},
            {"[autorun]\nOPEN=x\n", lf}};
        for (const auto& [before, after] : forms) {
            QVERIFY(Put(LocalPath(out_, kAutorunInfName), before));
            QVERIFY(save(out_).complete());
            QCOMPARE(ReadAll(LocalPath(out_, kAutorunInfName)), after);
        }
    }

    // What a CD burned from a folder would miss, one line each.
    void check_data() {
        QTest::addColumn<QStringList>("files"); // path=bytes; "#N": N bytes, sparse
        QTest::addColumn<QStringList>("paths"); // slot key=path, packed as Auto_Run.dat
        QTest::addColumn<QStringList>("findings");
        const auto row = [](const char* name, const QString& files, const QString& paths,
                            const QString& findings) {
            const auto split = [](const QString& list) {
                return list.split(u'|', Qt::SkipEmptyParts);
            };
            QTest::newRow(name) << split(files) << split(paths) << split(findings);
        };
        const QString ready = QStringLiteral(
            "Autorun.inf=[autorun]\nOPEN=AutoRun.exe /x\nICON=\\ARun.ico,0|AUTORUN.EXE|arun.ico|");
        row("ready", ready + QStringLiteral("Tools/Setup.EXE"),
            QStringLiteral("00=tools\\setup.exe|40=http://x/|01=D:\\x.exe|11=\\\\server\\x.exe"),
            {});
        row("empty", {}, {}, QStringLiteral("Auto_Run.dat がありません|Autorun.inf がありません"));
        row("damaged", QStringLiteral("Auto_Run.dat=junk|autorun.inf=[autorun]\nICON=cd.ico,0"), {},
            QStringLiteral("Auto_Run.dat を読み込めません|autorun.inf に OPEN "
                           "がありません|autorun.inf の ICON=cd.ico,0 がありません"));
        row("slots",
            QStringLiteral(
                "Autorun.inf=[autorun]\nOPEN=\"My Menu.exe\" /x|My Menu.exe|doc/readme.txt"),
            QStringLiteral("00=tools\\setup.exe|112=doc/README.TXT|419=x.exe"),
            QStringLiteral("1/ 1: tools\\setup.exe がありません|5/20: x.exe がありません"));
        const QString longName = QString(61, u'a') + QStringLiteral(".txt");
        row("names", ready + longName + QStringLiteral("|sub/a.txt|sub/A.TXT|big.iso=#800000000"),
            QStringLiteral("00=big.iso"),
            QStringLiteral("64文字を超える名前: ") + longName +
                QStringLiteral("|大文字と小文字だけが違う名前: sub/A.TXT, sub/a.txt|合計 763 MB: "
                               "700 MB の CD-R に入りません"));
    }
    void check() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, paths);
        const QString cd = dir_->filePath(QStringLiteral("cd"));
        for (const QString& file : files) {
            const QString bytes = file.section(u'=', 1);
            QFile sized(cd + u'/' + file.section(u'=', 0, 0));
            QVERIFY(bytes.startsWith(u'#')
                        ? QDir().mkpath(cd) && sized.open(QIODevice::WriteOnly) &&
                              sized.resize(bytes.mid(1).toLongLong())
                        : Put(sized.fileName(), bytes.toUtf8()));
        }
        QVERIFY(QDir().mkpath(cd) && QFile::remove(settings()));
        for (const QString& path : paths)
            set(work_, "FilePath", "Path_" + path.section(u'=', 0, 0), path.section(u'=', 1));
        VariantTable table;
        QVERIFY(paths.isEmpty() ||
                (PackProject(*desktop_, work_, 0, 0, table) &&
                 QFile::rename(ArchivePath(work_), cd + QStringLiteral("/Auto_Run.dat"))));
        QTEST(CheckCdFolder(cd), "findings");
    }
};

QTEST_GUILESS_MAIN(FoldersTest)
#include "tst_folders.moc"
