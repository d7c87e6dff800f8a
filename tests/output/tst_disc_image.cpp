// Images read back by xorriso (Rock Ridge and Joliet) and blkid (label); the CLI verb.
#include "output/DiscImage.h"
#include "tests/support/TestFiles.h"

#include <QProcess>
#include <QStandardPaths>

using namespace kz;

static void Rows(std::initializer_list<std::pair<const char*, QStringList>> rows) {
    QTest::addColumn<QStringList>("c");
    for (const auto& [tag, c] : rows)
        QTest::newRow(tag) << c;
}

// "exit code: what it said on both channels" (-1 when it did not run).
static QString Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    return QString::number(p.error() == QProcess::UnknownError ? p.exitCode() : -1) + ": " +
           QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
}

class DiscImageTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    // Japanese, long and hidden names, subfolders, an empty one, and mib MiB of data.
    QString makeCd(const QString& name, int mib = 1) {
        const QString cd = dir_.filePath(name);
        QByteArray big;
        for (int i = 0; big.size() < mib << 20; ++i)
            big += QByteArray::number(i).rightJustified(16, '.');
        test::WriteBytes(cd + "/Autorun.inf", "[autorun]\r\nOPEN=AutoRun.exe\r\n");
        test::WriteBytes(cd + "/ﾂｰﾙ/起動.bat", big);
        test::WriteBytes(cd + "/sub/深い/" + QString(60, QChar(u'長')) + ".txt", "long name");
        QDir(cd).mkpath(".隠し/空");
        return cd;
    }

private slots:
    void imageHoldsEveryFileAndTheLabel_data() { // label, Joliet label, primary label, cut
        const QString a = "0123456789abcdef", A = a.toUpper(), a15 = a.left(15);
        Rows({{"cd1", {"春のソフト集", "春のソフト集", "CDROM"}},
              {"My Disc", {" ", "My Disc", "MY_DISC"}}, // the folder's name
              {"cd4", {"a:b*c?d\te", "a_b_c_d_e", "A_B_C_D_E"}},
              {"cd5", {a, a, A}},
              {"cd6", {a + "g", a, A, "cut"}},
              {"cd7", {a15 + "😀", a15, A.left(15), "cut"}}});
    }
    void imageHoldsEveryFileAndTheLabel() {
        if (QStandardPaths::findExecutable("xorriso").isEmpty())
            QSKIP("xorriso reads the images back (package xorriso)");
        QFETCH(QStringList, c);
        const QString cd = makeCd(QTest::currentDataTag()), iso = cd + ".iso";
        ScriptedDesktop desktop;
        const DiscImageResult result = WriteDiscImage(desktop, cd, iso, c[0]);
        QString done = "CDイメージを作成しました。\r" + iso +
                       "\r大きさ: " + DiscSizeText(QFileInfo(iso).size());
        if (c.size() > 3)
            done += "\rボリュームラベルは16文字までです。「" + c[1] + "」として書き込みました。";
        QCOMPARE(DiscImageDoneText(iso, result), done);
        for (const QString fs : {"any", "norock"}) {
            Run("xorriso",
                {"-osirrox", "on", "-read_fs", fs, "-indev", iso, "-extract", "/", cd + fs});
            QCOMPARE(Run("diff", {"-r", cd, cd + fs}), "0: ");
        }
        QCOMPARE(Run("blkid", {"-p", "-o", "value", "-s", "LABEL", iso}), "0: " + c[1]);
        QVERIFY(Run("xorriso", {"-indev", iso, "-pvd_info"}).contains("Id    : " + c[2] + '\n'));
    }

    void sizeTextsAndWarnings_data() { // size, as text, warning
        const QString cd = "イメージの大きさは %1 です。700 MB の CD-R には収まりません。";
        const QString dvd = "イメージの大きさは %1 です。4.7 GB の DVD にも収まりません。";
        Rows({{"KB", {"1024", "1.0 KB", ""}},
              {"MB", {"1048576", "1.0 MB", ""}},
              {"a full CD-R", {"737280000", "703.1 MB", ""}},
              {"over a CD-R", {"737280001", "703.1 MB", cd.arg("703.1 MB")}},
              {"a full DVD", {"4700372992", "4.4 GB", cd.arg("4.4 GB")}},
              {"over a DVD", {"4700372993", "4.4 GB", dvd.arg("4.4 GB")}},
              {"TB", {"1099511627776", "1024.0 GB", dvd.arg("1024.0 GB")}}});
    }
    void sizeTextsAndWarnings() {
        QFETCH(QStringList, c);
        const qint64 bytes = c[0].toLongLong();
        QCOMPARE(QStringList({DiscSizeText(bytes), DiscSizeWarning(bytes)}), c.mid(1));
    }

    void failedOrCancelledImage_leavesTheFolderAsItWas_data() { // updates until "stop"
        // Autorun.inf, the long name, 4, 8 and 9 MiB of 起動.bat; then the image.
        Rows({{"disk full", {"-1"}}, {"cancelled reading", {"0"}}, {"cancelled writing", {"5"}}});
    }
    void failedOrCancelledImage_leavesTheFolderAsItWas() {
        QFETCH(QStringList, c);
        const QString cd = makeCd("cd", 9), target = dir_.filePath("target");
        const bool full = c[0] == "-1";
        if (QDir().mkpath(target) && full &&
            !Run("mount", {"-t", "tmpfs", "-o", "size=1m", "tmpfs", target}).startsWith("0:"))
            QSKIP("no small RAM disk to fill: mounting one needs root");
        test::WriteBytes(target + "/image.iso", "old");
        ScriptedDesktop desktop;
        desktop.cancelProgressAfter = c[0].toInt();
        const DiscImageResult result = WriteDiscImage(desktop, cd, target + "/image.iso", "");
        const QString left = QDir(target).entryList(QDir::Files | QDir::Hidden).join(' ') + ": " +
                             test::ReadBytes(target + "/image.iso");
        Run(full ? "umount" : "true", {target});
        QCOMPARE(left, "image.iso: old");
        QCOMPARE(result.outcome,
                 full ? DiscImageResult::Outcome::Failed : DiscImageResult::Outcome::Cancelled);
        QCOMPARE(result.error.contains("No space left on device"), full);
    }

    void commandLine_data() { // exit code, words said, arguments
        const QString cd = dir_.filePath("cd"), iso = dir_.filePath("x.iso");
        Rows({{"unknown option", {"2:", "usage: kazanoro-cli iso", "iso", cd, iso, "--fast"}},
              {"no image folder", {"1:", "見つかりません", "iso", cd, dir_.filePath("no/x.iso")}},
              {"label cut", {"0:", "warning: ", "iso", cd, iso, "--label", QString(17, 'L')}}});
    }
    void commandLine() {
        QFETCH(QStringList, c);
        makeCd("cd");
        const QString said = Run(KZ_CLI_PATH, c.mid(2)); // a pipe: no progress
        QVERIFY2(said.startsWith(c[0]) && said.contains(c[1]) && !said.contains('%'),
                 qPrintable(said));
        QCOMPARE(QFile::exists(dir_.filePath("x.iso")), c[0] == "0:");
    }
};

QTEST_GUILESS_MAIN(DiscImageTest)
#include "tst_disc_image.moc"
