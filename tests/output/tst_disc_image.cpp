// Images read back by xorriso (Rock Ridge and Joliet names) and blkid (label); the CLI verb.
#include "output/DiscImage.h"
#include "tests/support/TestFiles.h"

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
    ScriptedDesktop desktop_; // its progress stops as the failure table says

    // Japanese, long and hidden names, subfolders, an empty one, and mib MiB of data.
    QString makeCd(const QString& name, int mib = 1) {
        const QString cd = dir_.filePath(name);
        QByteArray big;
        for (int i = 0; big.size() < mib << 20; ++i)
            big += QByteArray::number(i).rightJustified(16, '.');
        test::WriteBytes(cd + "/Autorun.inf", "[autorun]\r\nOPEN=AutoRun.exe\r\n");
        test::WriteBytes(cd + "/ﾂｰﾙ/起動.bat", big);
        test::WriteBytes(cd + "/sub/深い/" + QString(60, QChar(u'長')) + ".txt", "1"); // and a byte
        QDir(cd).mkpath(".隠し/空");
        return cd;
    }

private slots:
    void imageHoldsEveryFileAndTheLabel_data() { // label, Joliet label, primary label, cut
        const QString a = "0123456789abcxyz", A = a.toUpper(), a15 = a.left(15), hPa(16, u'㍱');
        Rows({{"cd1", {"春のソフト集", "春のソフト集", "CDROM"}},
              {"My Disc", {" ", "My Disc", "MY_DISC"}}, // the folder's name
              {"cd4", {"a:b*c?d\te", "a_b_c_d_e", "A_B_C_D_E"}},
              {"cd5", {a, a, A}},
              {"cd6", {a + "g", a, A, "cut"}},
              {"cd7", {a15 + "😀", a15, A.left(15), "cut"}},
              {"cd8", {hPa, hPa, QString("HPA").repeated(11).left(32)}}}); // 3 letters each
    }
    void imageHoldsEveryFileAndTheLabel() {
        QFETCH(QStringList, c);
        const QString cd = makeCd(QTest::currentDataTag()), iso = cd + ".iso";
        const DiscImageResult result = WriteDiscImage(desktop_, cd, iso, c[0]);
        QCOMPARE(DiscLabelFor(cd, c[0]).primary, c[2].toLatin1());
        QCOMPARE(result.warnings.size(), c.size() - 3); // the label cut
        QCOMPARE(DiscImageDoneText(iso, result).section('\r', 0, 2),
                 "CDイメージを作成しました。\r" + iso +
                     "\r大きさ: " + DiscSizeText(QFileInfo(iso).size()));
        for (const QString f : {"any", "norock"}) { // Rock Ridge, then Joliet names
            Run("xorriso",
                {"-osirrox", "on", "-read_fs", f, "-indev", iso, "-extract", "/", cd + f});
            QCOMPARE(Run("diff", {"-r", cd, cd + f}), "0: ");
        }
        QCOMPARE(Run("stat", {"-c", "%a", cd + "any/Autorun.inf", cd + "any/sub"}), "0: 444\n555");
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
        // A MiB or a file each: Autorun.inf, the long name, 9 MiB of 起動.bat; then the image.
        Rows({{"disk full", {"-1"}}, {"cancelled reading", {"0"}}, {"cancelled writing", {"11"}}});
    }
    void failedOrCancelledImage_leavesTheFolderAsItWas() {
        QFETCH(QStringList, c);
        const QString cd = makeCd("cd", 9), target = dir_.filePath("target");
        const bool full = c[0] == "-1";
        if (QDir().mkpath(target) && full &&
            !Run("mount", {"-t", "tmpfs", "-o", "size=1m", "tmpfs", target}).startsWith("0:"))
            QSKIP("no small RAM disk to fill: mounting one needs root");
        test::WriteBytes(target + "/image.iso", "old");
        desktop_.cancelProgressAfter = c[0].toInt();
        const DiscImageResult result = WriteDiscImage(desktop_, cd, target + "/image.iso", "");
        const QString left = QDir(target).entryList(QDir::Files | QDir::Hidden).join(' ') + ": " +
                             test::ReadBytes(target + "/image.iso");
        Run(full ? "umount" : "true", {target});
        QCOMPARE(left, "image.iso: old");
        QCOMPARE(result.outcome,
                 full ? DiscImageResult::Outcome::Failed : DiscImageResult::Outcome::Cancelled);
        QCOMPARE(result.error.contains("No space left on device"), full);
    }

    void commandLine_data() { // exit code, words said, command
        const QString kz = KZ_CLI_PATH, cd = dir_.filePath("cd"), iso = dir_.filePath("x.iso");
        Rows({{"no label", {"2:", "usage", kz, "iso", cd, iso, "--label"}},
              {"no image folder", {"1:", "見つかりません", kz, "iso", cd, cd + "/no/x.iso"}},
              {"label cut", {"0:", "warning: ", kz, "iso", cd, iso, "--label", QString(17, 'L')}},
              {"terminal",
               {"0:", "100%", "script", "-qec", kz + " iso " + cd + ' ' + iso, "/dev/null"}}});
    }
    void commandLine() { // the rows that write x.iso come last
        QFETCH(QStringList, c);
        makeCd("cd");
        const QString said = Run(c[2], c.mid(3)); // progress on a terminal only
        QVERIFY2(said.startsWith(c[0]) && said.contains(c[1]), qPrintable(said));
        QCOMPARE(said.contains('%'), c[1].contains('%'));
        QCOMPARE(QFile::exists(dir_.filePath("x.iso")), c[0] == "0:");
    }
};

QTEST_GUILESS_MAIN(DiscImageTest)
#include "tst_disc_image.moc"
