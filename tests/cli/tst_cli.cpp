// kazanoro-cli as scripts use it: full disks, shared folders, two at once; what
// it tells about its verbs.
#include "about/Version.h"
#include "tests/support/PeWriter.h"
#include "tests/support/TestFiles.h"

#include <csignal>
#include <unistd.h>

using namespace kz::test;
using namespace Qt::StringLiterals;

class CliTest : public QObject {
    Q_OBJECT

    struct Run {
        int code = -1;
        QString out, err;
    };
    std::unique_ptr<WorkFolder> work_; // the tools run in it
    QString at(const QString& name) const { return work_->path() + u'/' + name; }

    // The command line, split at spaces, run in the test's folder, through `wrap`
    // if given. A command that succeeds says nothing on standard error but a
    // warning about the input.
    Run cli(const QString& line, const QString& wrap = {}) {
        QProcess p;
        p.setWorkingDirectory(work_->path());
        const QStringList all =
            (wrap + u" " KZ_CLI_PATH " "_s + line).split(u' ', Qt::SkipEmptyParts);
        p.start(all[0], all.mid(1));
        p.waitForFinished(60000);
        const Run r{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                    QString::fromUtf8(p.readAllStandardOutput()),
                    QString::fromUtf8(p.readAllStandardError())};
        if (r.code == 0 && !r.err.startsWith(u"入力　エラー: "_s)) // but what the editor warns of
            QTest::qCompare(r.err, QString(), "stderr", "nothing", __FILE__, __LINE__);
        return r;
    }

    // A small project in the working folder, saved to cd/.
    void project() {
        QVERIFY(WriteBytes(work_->settings(),
                           "[FilePath]\r\nPath_11=Auto_Run.dat\r\n[AppName]\r\n"
                           "App_11=\x83\x63\x81\x5b\x83\x8b\r\n[VolumeLabel]\r\n=DISC"));
        QVERIFY(WriteBytes(work_->icon(u"11"_s), IcoFile({IconImage{Solid(Qt::red)}})));
        QVERIFY(WriteBytes(at(u"cd/AutoRun.exe"_s), "MZ") && QDir().mkpath(at(u"b"_s)));
        QCOMPARE(cli(u"save . cd --background 0x80000012"_s).code, 0);
    }

private slots:
    // No desktop session, as for scripts; a full disk ends a write, not the tool.
    void initTestCase() {
        qunsetenv("XDG_RUNTIME_DIR");
        std::signal(SIGXFSZ, SIG_IGN);
    }
    void init() { work_ = std::make_unique<WorkFolder>(); }

    // Two scripts storing values in one long settings file at once lose none.
    void ini_twoWritersAtOnce() {
        QVERIFY(WriteBytes(at(u"s.txt"_s),
                           "[Other]\r\n" + QByteArray(60, 'v').append("\r\n").repeated(3000)));
        const QString script =
            u"cd $1; w(){ for i in $(seq 25); do $0 ini set s.txt S $1$i x; done; }; "
            "w a & w b; wait"_s;
        QCOMPARE(QProcess::execute(u"sh"_s, {u"-c"_s, script, u"" KZ_CLI_PATH ""_s, work_->path()}),
                 0);
        QCOMPARE(ReadBytes(at(u"s.txt"_s)).count("=x   "), 50);
    }

    // A shared folder takes no new file: the settings file is written in place.
    void ini_sharedFolder() {
        QVERIFY(WriteBytes(at(u"s.txt"_s), "[S]\r\nk=1\r\n") &&
                QFile::setPermissions(at(u"s.txt"_s), QFile::Permissions(0x6666)));
        QVERIFY(QFile::setPermissions(work_->path(), QFile::Permissions(0x5555)));
        const QString nobody = u"setpriv --reuid=65534 --regid=65534 --clear-groups"_s;
        QCOMPARE(cli(u"ini set s.txt S j メモ帳"_s, ::geteuid() ? QString() : nobody).code, 0);
        QVERIFY(QFile::setPermissions(work_->path(), QFile::Permissions(0x7777)));
        QCOMPARE(ReadBytes(at(u"s.txt"_s)),
                 "[S]\r\nk=1\r\nj=\x83\x81\x83\x82\x92\xA0" + QByteArray(97, ' ') + "\r\n");
    }

    // A disk full at each step of an unpack, settings write and load: exit 1.
    void fullDisk_failsAndKeepsTheOldFiles() {
        project();
        const QString icon = at(u"b/AutoRun_Icon/Icon_11.ico"_s);
        QVERIFY(WriteBytes(at(u"cd/ARun.ico"_s), "CD") && WriteBytes(at(u"b/ARun.ico"_s), "old"));
        for (int limit : {0, 100, 2000, 5000}) {
            QVERIFY(WriteBytes(at(u"b/設定.txt"_s), "[A]\r\nk=old\r\n") && WriteBytes(icon, "old"));
            const QString full = u"prlimit --fsize=%1"_s.arg(limit);
            const Run unpack = cli(u"unpack cd/Auto_Run.dat b"_s, full);
            QCOMPARE(unpack.code, limit < 5000 ? 1 : 0);
            QCOMPARE(unpack.err.contains(u"Icon_11.ico"_s), ReadBytes(icon) == "old");
            QVERIFY(ReadBytes(icon) == "old" || ReadBytes(icon) == ReadBytes(work_->icon(u"11"_s)));
            const Run set = cli(u"ini set b/設定.txt A k new"_s, full);
            QCOMPARE(QString::number(set.code) + set.err.section(u':', 0, 0),
                     limit < 2000 ? u"1not stored in b/設定.txt"_s : u"0"_s);
            QCOMPARE(cli(u"ini get b/設定.txt A k"_s).out, limit < 2000 ? u"old\n"_s : u"new\n"_s);
            QCOMPARE(cli(u"load cd b"_s, full).code, limit < 5000 ? 1 : 0);
        }
        QCOMPARE(ReadBytes(at(u"b/ARun.ico"_s)), "CD"); // a load replaces without asking
    }

    // Each verb on a small project saved to cd/: its exit code and what it says.
    void verbs_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        const auto row = [](const char* line, int code, const QString& says) {
            QTest::newRow(line) << QString::fromUtf8(line) << code << says;
        };
        const QString all = u"usage: kazanoro-cli VERB ARGUMENTS...\n"_s;
        const QString save = u"usage: kazanoro-cli save WORKDIR OUTDIR [--force] [--extra FILE]... "
                             "[--background COLOUR] [--text COLOUR]\n      write the CD folder"_s;
        for (const char* help : {"--help", "-h", "help"})
            row(help, 0, all);
        row("help save", 0, save);
        row("save --help x", 0, save);
        row("--version", 0, u"kazanoro-cli %1\n"_s.arg(kz::kVersion));
        row(" ", 2, u"verbs: ini show icons pack"_s);
        row("burn", 2, u"no such verb: burn\n"_s);
        row("show", 2, u"usage: kazanoro-cli show WORKDIR"_s);
        row("ini get 設定.txt appname APP_11", 0, u"ツール\n"_s);
        row("ini set 設定.txt S k 0123456789012345678901234567890123456789012345678901234567890123"
            "4567890123456789012345678901234567890",
            0, u"入力　エラー: 文字数が100ﾊﾞｲﾄを超えています\n"_s);
        row("show . --json", 0, u"\"button\": 2,"_s);
        row("show .", 0, u"VolumeLabel: DISC\n[11] page 2 button 2\n  FilePath: Auto_Run.dat\n"_s);
        row("pack . p.dat --text 0x00000001", 0, u"packed 13 rows (last slot in use 11)"_s);
        row("pack . p.dat --text 000000001", 2, u"usage"_s);
        row("pack . p.dat --background", 2, u"usage"_s);
        row("dump", 2, u"usage"_s);
        row("dump ./cd/Auto_Run.dat", 0,
            u"archive: 9 fields x 13 rows\nrow 0: empty\nrow 1 (slot 00):\n  0 bytes 0 crc32 0x00000000\n"_s);
        row("dump cd/Auto_Run.dat", 0,
            u"row 7 (slot 11):\n  0 bytes 4286 crc32 0xEA688005\n  1 text \"Auto_Run.dat\""_s);
        row("dump cd/./Auto_Run.dat", 0, u"\nrow 6 (slot 01):\n"_s);
        row("dump cd/Auto_Run.dat --json", 0, u"\"value\": \"ツール\""_s);
        row("icons AutoRun_Icon/Icon_11.ico", 0, u"1\n0 32x32\n"_s);
        row("icons AutoRun_Icon/Icon_11.ico x", 2, u"usage"_s);
        row("icons AutoRun_Icon/Icon_11.ico --extract png", 0, u"1\n0 32x32\n"_s);
        row("icons AutoRun_Icon/Icon_11.ico --extract x --extract y", 2, u"usage"_s);
        row("print jacket . j.pdf", 0, {});
        row("unpack cd/Auto_Run.dat b", 0,
            u"restored slots: 00 10 20 30 40 01 11 21 31 41\nbackground colour: 0x80000012"_s);
        row("unpack " KZ_CLI_PATH " b", 1, u"not a project archive"_s);
        row("save . b --extra 設定.txt --extra y.dll", 1, u"y.dll: No such file or directory"_s);
        row("save . b --extra 設定.txt --background 0x00112233", 0, u"CDに焼いて"_s);
        row("check cd", 0, {});
        row("check b", 1, u"Auto_Run.dat がありません\nAutorun.inf がありません\n"_s);
        row("check cd b", 2, u"usage"_s);
        row("load none b", 1, u"no such folder"_s);
    }
    void verbs() {
        project();
        QFETCH(QString, line);
        QFETCH(QString, says);
        const Run r = cli(line);
        QTEST(r.code, "code");
        QVERIFY2((r.out + r.err).contains(says), qPrintable(r.out + r.err));
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
