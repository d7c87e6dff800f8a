// kazanoro-cli as a script uses it: exit codes, what it prints, and the files
// it writes.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

class CliTest : public QObject {
    Q_OBJECT

    struct Run {
        int code = -1;
        QString out;
        QString err;
    };

    static Run cli(const QStringList& args) {
        QProcess p;
        p.start(QStringLiteral(KZ_CLI_PATH), args);
        Run r;
        if (!p.waitForFinished(60000))
            return r;
        r.code = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    QTemporaryDir dir_;
    QString settings() const { return dir_.filePath(QStringLiteral("設定.txt")); }

private slots:
    void iniSetAndGet_roundTripInCodePage932() {
        QCOMPARE(cli({"ini", "set", settings(), "AppName", "App_00", "メモ帳"}).code, 0);
        QCOMPARE(cli({"ini", "set", settings(), "VolumeLabel", "", "MYCD"}).code, 0);
        const Run get = cli({"ini", "get", settings(), "appname", "APP_00"});
        QCOMPARE(get.code, 0);
        QCOMPARE(get.out, QStringLiteral("メモ帳\n"));
        QCOMPARE(cli({"ini", "get", settings(), "VolumeLabel", ""}).out, QStringLiteral("MYCD\n"));
        QCOMPARE(cli({"ini", "get", settings(), "AppName", "App_10"}).out, QStringLiteral("\n"));

        QFile file(settings());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // メモ帳 in code page 932, padded to 100 characters, CRLF line ends.
        const QByteArray line = QByteArray("App_00=\x83\x81\x83\x82\x92\xA0") + QByteArray(97, ' ');
        QVERIFY(bytes.startsWith("[AppName]\r\n" + line + "\r\n"));
        QVERIFY(bytes.contains("[VolumeLabel]\r\n=MYCD"));
    }

    void iniSet_warnsOnStderrAndStillWrites() {
        const QString longValue(101, QLatin1Char('x'));
        const Run set = cli({"ini", "set", settings(), "Text1", "Text_00", longValue});
        QCOMPARE(set.code, 0);
        QVERIFY2(set.err.contains(QStringLiteral("文字数が100ﾊﾞｲﾄを超えています")),
                 qPrintable(set.err));
        QCOMPARE(cli({"ini", "get", settings(), "Text1", "Text_00"}).out,
                 QString(99, QLatin1Char('x')) + QLatin1Char('\n'));
    }

    void show_listsUsedSlotsInPageOrder() {
        cli({"ini", "set", settings(), "FilePath", "Path_01", "b.exe"});
        cli({"ini", "set", settings(), "FilePath", "Path_40", "a.exe"});
        cli({"ini", "set", settings(), "AppName", "App_40", "エー"});
        cli({"ini", "set", settings(), "AppName", "App_20", "no path, not shown"});
        cli({"ini", "set", settings(), "VolumeLabel", "", "DISC"});
        const Run show = cli({"show", dir_.path(), "--json"});
        QCOMPARE(show.code, 0);
        const QJsonObject doc = QJsonDocument::fromJson(show.out.toUtf8()).object();
        QCOMPARE(doc.value("volumeLabel").toString(), QStringLiteral("DISC"));
        const QJsonArray used = doc.value("slots").toArray();
        QCOMPARE(used.size(), 2);
        QCOMPARE(used[0].toObject().value("slot").toString(), QStringLiteral("40"));
        QCOMPARE(used[0].toObject().value("AppName").toString(), QStringLiteral("エー"));
        QCOMPARE(used[0].toObject().value("NameTaitol").toString(), QString());
        QCOMPARE(used[1].toObject().value("slot").toString(), QStringLiteral("01"));
        QCOMPARE(used[1].toObject().value("FilePath").toString(), QStringLiteral("b.exe"));

        const Run plain = cli({"show", dir_.path()});
        QCOMPARE(plain.code, 0);
        QVERIFY(plain.out.contains(QStringLiteral("VolumeLabel: DISC")));
        QVERIFY(plain.out.contains(QStringLiteral("AppName: エー")));
    }

    void saveAndLoad_carryTheProjectThroughACdFolder() {
        const QString work = dir_.filePath(QStringLiteral("work"));
        const QString out = dir_.filePath(QStringLiteral("out"));
        const QString back = dir_.filePath(QStringLiteral("back"));
        for (const QString& d : {work, out, back})
            QVERIFY(QDir().mkpath(d));
        QVERIFY(QDir().mkpath(work + QStringLiteral("/AutoRun_Icon")));
        const QString s = work + QStringLiteral("/設定.txt");
        cli({"ini", "set", s, "FilePath", "Path_11", "tools\\a.exe"});
        cli({"ini", "set", s, "AppName", "App_11", "ツール"});

        Run save = cli({"save", work, out, "--background", "0x00112233"});
        QCOMPARE(save.code, 0);
        QVERIFY(save.out.contains(QStringLiteral("内のﾌｧｲﾙを全てCDに焼いてください")));
        QVERIFY(QFile::exists(out + QStringLiteral("/Auto_Run.dat")));
        QVERIFY(QFile::exists(out + QStringLiteral("/Autorun.inf")));

        // A changed project over an earlier save: kept and reported without
        // --force, replaced with it.
        cli({"ini", "set", s, "AppName", "App_11", "別名"});
        save = cli({"save", work, out});
        QCOMPARE(save.code, 1);
        QVERIFY(save.err.contains(QStringLiteral("Auto_Run.dat")));
        QCOMPARE(cli({"save", work, out, "--force", "--background", "0x00112233"}).code, 0);

        const Run load = cli({"load", out, back});
        QCOMPARE(load.code, 0);
        QVERIFY(load.out.contains(QStringLiteral("archive layout")));
        QVERIFY(load.out.contains(QStringLiteral("0x00112233")));
        const QJsonObject shown =
            QJsonDocument::fromJson(cli({"show", back, "--json"}).out.toUtf8()).object();
        const QJsonArray used = shown.value("slots").toArray();
        QCOMPARE(used.size(), 1);
        QCOMPARE(used[0].toObject().value("AppName").toString(), QStringLiteral("別名"));

        // The archive itself, as dump shows it: rows 0 to 11 (slot 11 is row 7).
        const Run dump = cli({"dump", out + QStringLiteral("/Auto_Run.dat"), "--json"});
        QCOMPARE(dump.code, 0);
        QVERIFY(dump.out.contains(QStringLiteral("別名")));
        QVERIFY(dump.out.contains(QStringLiteral("設定")));
    }

    void badUsageAndFailures_haveTheirExitCodes_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::newRow("no verb") << QStringList{} << 2;
        QTest::newRow("unknown verb") << QStringList{"frobnicate"} << 2;
        QTest::newRow("ini get short") << QStringList{"ini", "get", "f", "s"} << 2;
        QTest::newRow("ini set missing folder")
            << QStringList{"ini", "set", "/nonexistent-folder/x.txt", "s", "k", "v"} << 1;
        QTest::newRow("show missing folder") << QStringList{"show", "/nonexistent-folder"} << 1;
        QTest::newRow("show extra") << QStringList{"show", "a", "b"} << 2;
        QTest::newRow("save missing folder")
            << QStringList{"save", "/nonexistent-a", "/nonexistent-b"} << 1;
        QTest::newRow("save bad colour") << QStringList{"save", "a", "b", "--text", "red"} << 2;
        QTest::newRow("load short") << QStringList{"load", "a"} << 2;
        QTest::newRow("unpack not an archive") << QStringList{"unpack", KZ_CLI_PATH, "."} << 1;
    }
    void badUsageAndFailures_haveTheirExitCodes() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        const Run r = cli(args);
        QCOMPARE(r.code, code);
        QVERIFY(!r.err.isEmpty());
    }

    // Two scripts storing values in one settings file at the same time lose
    // none of them; a long file makes each rewrite take its time.
    void iniSet_twoWritersAtOnce() {
        QByteArray lines = "[Other]\r\n";
        for (int i = 0; i < 3000; ++i)
            lines += "k" + QByteArray::number(i) + "=" + QByteArray(60, 'v') + "\r\n";
        QFile file(settings());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(lines) == lines.size());
        file.close();
        const QString script = QStringLiteral(
            "w(){ for i in $(seq 25); do $0 ini set $1 S $2$i x; done; }; w $1 a & w $1 b; wait");
        QCOMPARE(QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), script,
                                                          QStringLiteral(KZ_CLI_PATH), settings()}),
                 0);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray after = file.readAll();
        QCOMPARE(after.count("=x   "), 50);
        QVERIFY(after.startsWith(lines));
    }

    // A settings file that may be written in a folder that takes no new file
    // (a shared folder): the value is stored in the file itself.
    void iniSet_sharedFolder() {
        QTemporaryDir shared;
        const QString file = shared.filePath(QStringLiteral("s.txt"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("[S]\r\nk=1\r\n") == 10);
        f.close();
        QVERIFY(QFile::setPermissions(file, QFile::Permissions(0x6666)));
        QVERIFY(QFile::setPermissions(shared.path(), QFile::Permissions(0x5555)));
        QProcess p;
        const QStringList args{QStringLiteral("ini"), QStringLiteral("set"), file,
                               QStringLiteral("S"),   QStringLiteral("j"),   QStringLiteral("2")};
        if (::geteuid() == 0)
            p.start(QStringLiteral("setpriv"),
                    QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                QStringLiteral("--clear-groups"), QStringLiteral(KZ_CLI_PATH)} +
                        args);
        else
            p.start(QStringLiteral(KZ_CLI_PATH), args);
        QVERIFY(p.waitForFinished(60000));
        QVERIFY(QFile::setPermissions(shared.path(), QFile::Permissions(0x7777)));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), "[S]\r\nk=1\r\nj=2" + QByteArray(99, ' ') + "\r\n");
    }

    // check: one line per finding; 0 when there is nothing to report.
    void check_namesWhatTheCdWouldMiss() {
        const QString work = dir_.filePath(QStringLiteral("w"));
        const QString cd = dir_.filePath(QStringLiteral("cd"));
        QVERIFY(QDir().mkpath(work + QStringLiteral("/AutoRun_Icon")) && QDir().mkpath(cd));
        QCOMPARE(cli({"ini", "set", work + QStringLiteral("/設定.txt"), "FilePath", "Path_11",
                      "tools\\a.exe"})
                     .code,
                 0);
        QCOMPARE(cli({"save", work, cd}).code, 0);
        QFile(cd + QStringLiteral("/AutoRun.exe")).open(QIODevice::WriteOnly);
        const Run check = cli({"check", cd});
        QCOMPARE(check.code, 1);
        QCOMPARE(check.out, QStringLiteral("2/ 2: tools\\a.exe がありません\n"));
        QVERIFY(QDir().mkpath(cd + QStringLiteral("/TOOLS")));
        QFile(cd + QStringLiteral("/TOOLS/A.EXE")).open(QIODevice::WriteOnly);
        QCOMPARE(cli({"check", cd}).code, 0);
        QCOMPARE(cli({"check", cd, cd}).code, 2);
    }

    // save --extra: the files named replace the per-user list for this save;
    // one that is gone is named, and the save fails.
    void save_extraFiles() {
        const QString work = dir_.filePath(QStringLiteral("w2"));
        const QString cd = dir_.filePath(QStringLiteral("cd2"));
        const QString extra = dir_.filePath(QStringLiteral("x.dll"));
        QVERIFY(QDir().mkpath(work + QStringLiteral("/AutoRun_Icon")) && QDir().mkpath(cd));
        QFile file(extra);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("x") == 1);
        file.close();
        const Run gone =
            cli({"save", work, cd, "--extra", extra, "--extra", extra + QStringLiteral(".2")});
        QCOMPARE(gone.code, 1);
        QVERIFY2(gone.err.contains(QStringLiteral("x.dll.2: No such file or directory")),
                 qPrintable(gone.err));
        QVERIFY(QFile::exists(cd + QStringLiteral("/x.dll")));
    }

    // A disk that fills up at each step of an unpack, a settings write and a
    // load: the command fails, naming what it could not write, and each file
    // holds its old bytes or its new ones. A command that succeeds says
    // nothing on stderr, also without a desktop session.
    void fullDisk_failsAndKeepsTheOldFiles() {
        std::signal(SIGXFSZ, SIG_IGN); // a full disk ends a write, not the tool
        const auto run = [](const QStringList& args, int limit) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
            p.setProcessEnvironment(env);
            p.start(QStringLiteral("prlimit"), QStringList{QStringLiteral("--fsize=%1").arg(limit),
                                                           QStringLiteral(KZ_CLI_PATH)} +
                                                   args);
            p.waitForFinished(60000);
            const QString err = QString::fromUtf8(p.readAllStandardError());
            return p.exitCode() == 0 && !err.isEmpty()
                       ? -1
                       : p.exitCode() * 1000 + int(err.contains(QStringLiteral("Icon_00.ico")));
        };
        const QString work = dir_.filePath(QStringLiteral("fw")),
                      cd = dir_.filePath(QStringLiteral("fcd")),
                      back = dir_.filePath(QStringLiteral("fb"));
        const QByteArray icon(3000, 'i');
        const auto put = [](const QString& path, const QByteArray& bytes) {
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile f(path);
            return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
        };
        const auto get = [](const QString& path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        QVERIFY(put(work + QStringLiteral("/AutoRun_Icon/Icon_00.ico"), icon) && QDir().mkpath(cd));
        QCOMPARE(run({"ini", "set", work + QStringLiteral("/設定.txt"), "FilePath", "Path_10", "x"},
                     100000),
                 0);
        QCOMPARE(run({"save", work, cd}, 1 << 30), 0);
        for (int limit : {0, 200, 2000, 4000}) {
            QVERIFY(put(back + QStringLiteral("/設定.txt"), "[A]\r\nk=old\r\n") &&
                    put(back + QStringLiteral("/AutoRun_Icon/Icon_00.ico"), "old"));
            const int unpack = run({"unpack", cd + QStringLiteral("/Auto_Run.dat"), back}, limit);
            const QByteArray there = get(back + QStringLiteral("/AutoRun_Icon/Icon_00.ico"));
            QCOMPARE(unpack, limit < 4000 ? 1000 + int(there == "old") : 0);
            QVERIFY(there == "old" || there == icon);
            QCOMPARE(
                run({"ini", "set", back + QStringLiteral("/設定.txt"), "A", "k", "new"}, limit) /
                    1000,
                limit < 2000 ? 1 : 0);
            QCOMPARE(cli({"ini", "get", back + QStringLiteral("/設定.txt"), "A", "k"}).out,
                     limit < 2000 ? QStringLiteral("old\n") : QStringLiteral("new\n"));
            QCOMPARE(run({"load", cd, back}, limit) / 1000, limit < 4000 ? 1 : 0);
        }
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
