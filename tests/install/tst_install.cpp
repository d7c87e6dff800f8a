// Where the editor and kazanoro-cli find the launcher and the help page, where
// the editor keeps its project, and what kazanoro-cli tells about its verbs.
#include "about/Version.h"
#include "platform/ShippedFiles.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QProcess>

class InstallTest : public QObject {
    Q_OBJECT

    // A program folder usr/bin, with `beside` in it, and the share folder an
    // install puts beside it, with `installed`; folders named by role.
    struct Layout {
        QTemporaryDir root;
        QString bin = root.filePath(QStringLiteral("usr/bin"));
        QString share = QDir::cleanPath(QDir(bin).filePath(QStringLiteral(KZ_SHIPPED_FROM_BIN)));
        Layout(const QStringList& beside, const QStringList& installed) {
            QDir().mkpath(bin);
            QDir().mkpath(share);
            for (const QString& name : beside)
                kz::test::WriteBytes(QDir(bin).filePath(name), "shipped");
            for (const QString& name : installed)
                kz::test::WriteBytes(QDir(share).filePath(name), "shipped");
        }
        QString folder(const QString& role) const {
            return role == "bin" ? bin : role == "share" ? share : root.filePath(role);
        }
    };
    const QStringList both_{"AutoRun.exe", "Kazanoro.hlp"};

private slots:
    void shippedFolder_data() {
        QTest::addColumn<QStringList>("beside");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("build tree") << both_ << both_ << "bin";
        QTest::newRow("help page beside, no launcher")
            << QStringList{"Kazanoro.hlp"} << both_ << "bin";
        QTest::newRow("launcher beside") << QStringList{"AutoRun.exe"} << QStringList{} << "bin";
        QTest::newRow("installed") << QStringList{} << both_ << "share";
        QTest::newRow("installed help page")
            << QStringList{} << QStringList{"Kazanoro.hlp"} << "share";
        QTest::newRow("nowhere") << QStringList{} << QStringList{} << "bin";
    }
    void shippedFolder() {
        QFETCH(QStringList, beside);
        QFETCH(QStringList, installed);
        QFETCH(QString, expected);
        const Layout layout(beside, installed);
        QCOMPARE(kz::ShippedFolder(layout.bin), layout.folder(expected));
    }

    void workFolder_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("beside");
        QTest::addColumn<QString>("expected");
        QTest::newRow("chosen, made") << "mine/deep" << both_ << "mine/deep";
        QTest::newRow("chosen cannot be made") << "usr/bin/AutoRun.exe/x" << both_ << "bin";
        QTest::newRow("build tree works in place") << "" << both_ << "bin";
        QTest::newRow("installed: never in bin") << "" << QStringList{} << "home/data";
    }
    void workFolder() {
        QFETCH(QString, chosen);
        QFETCH(QStringList, beside);
        QFETCH(QString, expected);
        const Layout layout(beside, {});
        const QString work =
            kz::ChooseWorkFolder(layout.bin, chosen.isEmpty() ? chosen : layout.folder(chosen),
                                 layout.folder(QStringLiteral("home/data")));
        QCOMPARE(work, layout.folder(expected));
        QVERIFY(QFileInfo(work).isDir());
    }

    void cli_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out"); // how standard output begins
        QTest::addColumn<QString>("err"); // a part of standard error
        const QString all = "usage: kazanoro-cli VERB ARGUMENTS...\n";
        const QString save = "usage: kazanoro-cli save WORKDIR OUTDIR [--force] [--extra FILE]... "
                             "[--background COLOUR] [--text COLOUR]\n      write the CD folder";
        QTest::newRow("--help") << QStringList{"--help"} << 0 << all << "";
        QTest::newRow("-h") << QStringList{"-h"} << 0 << all << "";
        QTest::newRow("help") << QStringList{"help"} << 0 << all << "";
        QTest::newRow("help VERB") << QStringList{"help", "save"} << 0 << save << "";
        QTest::newRow("VERB --help") << QStringList{"save", "--help", "x"} << 0 << save << "";
        QTest::newRow("--version") << QStringList{"--version"} << 0
                                   << QString("kazanoro-cli %1\n").arg(kz::kVersion) << "";
        QTest::newRow("no verb") << QStringList{} << 2 << ""
                                 << "verbs: ini show icons pack";
        QTest::newRow("unknown verb") << QStringList{"burn"} << 2 << ""
                                      << "no such verb: burn\n";
        QTest::newRow("a verb's own usage") << QStringList{"show"} << 2 << ""
                                            << "usage: kazanoro-cli show WORKDIR";
    }
    void cli() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcess cli;
        cli.start(QStringLiteral(KZ_CLI_PATH), args);
        QVERIFY(cli.waitForFinished(60000));
        const QString stdOut = QString::fromUtf8(cli.readAllStandardOutput());
        const QString stdErr = QString::fromUtf8(cli.readAllStandardError());
        QCOMPARE(cli.exitCode(), code);
        QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.startsWith(out), qPrintable(stdOut));
        QVERIFY2(stdErr.contains(err), qPrintable(stdErr));
    }
};

QTEST_GUILESS_MAIN(InstallTest)
#include "tst_install.moc"
