// kazanoro-cli as a script uses it, without a desktop session: exit codes, what
// it prints and writes, on a full disk, in a shared folder, two at once.
#include "tests/support/TestFiles.h"

#include <QProcess>
#include <QTest>

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
    std::unique_ptr<QTemporaryDir> dir_;
    QString at(const QString& name) const { return dir_->filePath(name); }

    // The command line, split at spaces, run in the test's folder, through `wrap`
    // if given. A command that succeeds says nothing on standard error.
    Run cli(const QString& line, const QString& wrap = {}, bool quiet = true) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(u"XDG_RUNTIME_DIR"_s);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir_->path());
        const QStringList all =
            (wrap + u" " KZ_CLI_PATH " "_s + line).split(u' ', Qt::SkipEmptyParts);
        p.start(all[0], all.mid(1));
        Run r;
        if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit)
            r = {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                 QString::fromUtf8(p.readAllStandardError())};
        if (r.code == 0 && quiet)
            QTest::qCompare(r.err, QString(), "stderr", "nothing", __FILE__, __LINE__);
        return r;
    }

private slots:
    // A full disk ends a write, not the tool; children inherit the setting.
    void initTestCase() { std::signal(SIGXFSZ, SIG_IGN); }
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    // Two scripts storing values in one settings file at the same time lose
    // none of them; a long file makes each rewrite take its time.
    void ini_twoWritersAtOnce() {
        QByteArray lines = "[Other]\r\n";
        for (int i = 0; i < 3000; ++i)
            lines += "k" + QByteArray::number(i) + "=" + QByteArray(60, 'v') + "\r\n";
        QVERIFY(WriteBytes(at(u"s.txt"_s), lines));
        const QString script =
            u"cd $1; w(){ for i in $(seq 25); do $0 ini set s.txt S $1$i x; done; }; "
            "w a & w b; wait"_s;
        QCOMPARE(QProcess::execute(u"sh"_s, {u"-c"_s, script, u"" KZ_CLI_PATH ""_s, dir_->path()}),
                 0);
        QCOMPARE(ReadBytes(at(u"s.txt"_s)).count("=x   "), 50);
        QVERIFY(ReadBytes(at(u"s.txt"_s)).startsWith(lines));
    }

    // A settings file that may be written in a folder that takes no new file
    // (a shared folder): the value is stored in the file itself.
    void ini_sharedFolder() {
        QVERIFY(WriteBytes(at(u"s.txt"_s), "[S]\r\nk=1\r\n") &&
                QFile::setPermissions(at(u"s.txt"_s), QFile::Permissions(0x6666)));
        QVERIFY(QFile::setPermissions(dir_->path(), QFile::Permissions(0x5555)));
        const Run set =
            cli(u"ini set s.txt S j メモ帳"_s,
                ::geteuid() ? QString() : u"setpriv --reuid=65534 --regid=65534 --clear-groups"_s);
        QVERIFY(QFile::setPermissions(dir_->path(), QFile::Permissions(0x7777)));
        QCOMPARE(set.code, 0);
        QCOMPARE(ReadBytes(at(u"s.txt"_s)),
                 "[S]\r\nk=1\r\nj=\x83\x81\x83\x82\x92\xA0" + QByteArray(97, ' ') + "\r\n");
    }

    // A disk that fills up at each step of an unpack, a settings write and a
    // load: the command fails, naming what it could not write, and each file
    // holds its old bytes or its new ones.
    void fullDisk_failsAndKeepsTheOldFiles() {
        const QByteArray icon(3000, 'i');
        QVERIFY(WriteBytes(at(u"w/AutoRun_Icon/Icon_00.ico"_s), icon) &&
                QDir().mkpath(at(u"cd"_s)));
        QCOMPARE(cli(u"ini set w/設定.txt FilePath Path_10 x"_s).code + cli(u"save w cd"_s).code,
                 0);
        for (int limit : {0, 200, 2000, 4000}) {
            QVERIFY(WriteBytes(at(u"b/設定.txt"_s), "[A]\r\nk=old\r\n") &&
                    WriteBytes(at(u"b/AutoRun_Icon/Icon_00.ico"_s), "old"));
            const QString full = u"prlimit --fsize=%1"_s.arg(limit);
            const Run unpack = cli(u"unpack cd/Auto_Run.dat b"_s, full);
            const QByteArray there = ReadBytes(at(u"b/AutoRun_Icon/Icon_00.ico"_s));
            QCOMPARE(unpack.code, limit < 4000 ? 1 : 0);
            QCOMPARE(unpack.err.contains(u"Icon_00.ico"_s), there == "old");
            QVERIFY(there == "old" || there == icon);
            QCOMPARE(cli(u"ini set b/設定.txt A k new"_s, full).code, limit < 2000 ? 1 : 0);
            QCOMPARE(cli(u"ini get b/設定.txt A k"_s).out, limit < 2000 ? u"old\n"_s : u"new\n"_s);
            QCOMPARE(cli(u"load cd b"_s, full).code, limit < 4000 ? 1 : 0);
        }
    }

    // save with the additional files named on the command line, check what
    // the CD would miss (names matched in any case), load it back.
    void saveCheckLoad() {
        QVERIFY(WriteBytes(at(u"x.dll"_s), "x") && WriteBytes(at(u"cd/AutoRun.exe"_s), "MZ") &&
                QDir().mkpath(at(u"w/AutoRun_Icon"_s)) && QDir().mkpath(at(u"b"_s)));
        cli(u"ini set w/設定.txt FilePath Path_11 tools\\a.exe"_s);
        const Run gone = cli(u"save w cd --extra x.dll --extra y.dll"_s);
        QCOMPARE(gone.code, 1);
        QVERIFY2(gone.err.contains(u"y.dll: No such file or directory"_s), qPrintable(gone.err));
        const Run check = cli(u"check cd"_s);
        QCOMPARE(check.code, 1);
        QCOMPARE(check.out, u"2/ 2: tools\\a.exe がありません\n"_s);
        QVERIFY(WriteBytes(at(u"cd/TOOLS/A.EXE"_s), "MZ"));
        QCOMPARE(cli(u"check cd"_s).code, 0);
        QCOMPARE(cli(u"save w cd --force --background 0x00112233"_s).code, 0);
        QVERIFY(cli(u"load cd b"_s).out.contains(u"background 0x00112233"_s));
    }

    void badUsage_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("code");
        QTest::newRow("ini set, no folder") << u"ini set none/x s k v"_s << 1;
        QTest::newRow("check, two folders") << u"check a b"_s << 2;
        QTest::newRow("check, no folder") << u"check none"_s << 1;
        QTest::newRow("save, bad colour") << u"save a b --text red"_s << 2;
        QTest::newRow("unpack, no archive") << u"unpack " KZ_CLI_PATH " ."_s << 1;
    }
    void badUsage() {
        QFETCH(QString, line);
        const Run r = cli(line);
        QTEST(r.code, "code");
        QVERIFY(!r.err.isEmpty());
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
