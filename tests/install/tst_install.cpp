// Where the editor and kazanoro-cli find the launcher and the help page, and
// where the editor keeps its project.
#include "platform/ShippedFiles.h"
#include "tests/support/TestFiles.h"

class InstallTest : public QObject {
    Q_OBJECT

private slots:
    // Folders by role: bin the program's (usr/bin), share the one an install
    // puts beside it, home/data the user's.
    void folders_data() {
        // shipped files in bin and in share (a: AutoRun.exe, k: Kazanoro.hlp), the
        // folder chosen; then the shipped folder and the working folder found
        QTest::addColumn<QStringList>("c");
        for (const char* row : {"ak|ak||bin|bin", "k|ak||bin|bin", "a||mine/deep|bin|mine/deep",
                                "ak||usr/bin/AutoRun.exe/x|bin|bin", "|ak||share|home/data",
                                "|k||share|home/data", "|||bin|home/data"})
            QTest::newRow(row) << QString(row).split('|');
    }
    void folders() {
        QFETCH(QStringList, c);
        QTemporaryDir root;
        const QString bin = root.filePath("usr/bin");
        const QString share = QDir::cleanPath(QDir(bin).filePath(KZ_SHIPPED_FROM_BIN));
        const auto folder = [&](const QString& role) {
            return role == "bin" ? bin : role == "share" ? share : root.filePath(role);
        };
        for (const QString& at : {bin, share}) {
            QVERIFY(QDir().mkpath(at));
            for (const QString name : {"AutoRun.exe", "Kazanoro.hlp"})
                if (c[at == share].contains(name[0].toLower()))
                    QVERIFY(kz::test::WriteBytes(QDir(at).filePath(name), "shipped"));
        }
        QCOMPARE(kz::ShippedFolder(bin), folder(c[3]));
        const QString work =
            kz::ChooseWorkFolder(bin, c[2].isEmpty() ? c[2] : folder(c[2]), folder("home/data"));
        QCOMPARE(work, folder(c[4]));
        QVERIFY(QFileInfo(work).isDir());
    }
};

QTEST_GUILESS_MAIN(InstallTest)
#include "tst_install.moc"
