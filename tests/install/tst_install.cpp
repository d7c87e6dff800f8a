// Where the editor and kazanoro-cli find the launcher and the help page, and
// where the editor keeps its project.
#include "platform/ShippedFiles.h"
#include "tests/support/TestFiles.h"

#include <QDir>

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
};

QTEST_GUILESS_MAIN(InstallTest)
#include "tst_install.moc"
