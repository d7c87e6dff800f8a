// New, Save, Load and closing from the main window: which question is asked,
// what each answer does to the working folder, and what the window shows.
#include "mainwindow/Form1.h"
#include "output/Folders.h"
#include "platform/SystemColour.h"
#include "printing/PrintSurface.h"
#include "printing/Printer.h"
#include "store/FileName.h"
#include "store/Ini.h"
#include "store/Slots.h"
#include "tests/support/ScriptedDesktop.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace kz;

namespace {

// A printer that keeps what it was set to and counts the documents.
class PaperTray : public Printer {
public:
    QStringList installedPrinters() const override { return {QStringLiteral("Office")}; }
    QString deviceName() const override { return name_; }
    void choose(const QString& name) override { name_ = name; }
    PaperOrientation orientation() const override { return orientation_; }
    void setOrientation(PaperOrientation o) override { orientation_ = o; }
    QPageSize::PageSizeId paperSize() const override { return QPageSize::Letter; }
    void setPaperSize(QPageSize::PageSizeId) override {}
    int copies() const override { return 1; }
    void setCopies(int) override {}
    bool print(const std::function<void(PrintSurface&)>&) override {
        ++documents;
        return true;
    }
    int documents = 0;

private:
    QString name_ = QStringLiteral("Office");
    PaperOrientation orientation_ = PaperOrientation::Portrait;
};

} // namespace

class CommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ScriptedDesktop> desktop_;
    std::unique_ptr<Form1> window_;
    QString work_, out_;

    QString settings() const { return LocalPath(work_, kSettingsLiteral); }
    QString icon(const char* key) const {
        return LocalPath(work_, IconLiteral(QLatin1String(key)));
    }
    void put(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void fillProject() {
        WriteIni(*desktop_, settings(), "FilePath", "Path_00", "setup.exe");
        WriteIni(*desktop_, settings(), "AppName", "App_00", "セットアップ");
        WriteIni(*desktop_, settings(), "VolumeLabel", "", "MYCD");
        put(icon("00"), "BM icon");
        put(LocalPath(work_, kCdIconName), "cd icon");
    }
    Form1& start() {
        window_ = std::make_unique<Form1>(*desktop_, work_, work_);
        window_->startUp();
        window_->show();
        return *window_;
    }
    QStringList titles() const {
        QStringList t;
        for (const auto& a : desktop_->messages())
            t << a.title;
        return t;
    }
    bool projectThere() const { return QFile::exists(settings()) && QFile::exists(icon("00")); }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        desktop_ = std::make_unique<ScriptedDesktop>();
        work_ = dir_->filePath(QStringLiteral("work"));
        out_ = dir_->filePath(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(work_));
        QVERIFY(QDir().mkpath(out_));
    }
    void cleanup() {
        window_.reset();
        desktop_.reset();
        dir_.reset();
    }

    void save_cancelledBrowserChangesNothing() {
        fillProject();
        Form1& w = start();
        w.markModified();
        QVERIFY(!w.Save());
        QVERIFY(w.modified());
        QCOMPARE(desktop_->titlesOf("chooseFolder"), QStringList{"保存フォルダを選択してください"});
        QVERIFY(QDir(out_).isEmpty());
        QVERIFY(desktop_->messages().isEmpty());
    }

    void save_reportsCompletionOrFailure() {
        fillProject();
        Form1& w = start();
        w.markModified();
        desktop_->queueFolder(out_);
        QVERIFY(w.Save());
        QVERIFY(!w.modified());
        QVERIFY(w.isVisible());
        QCOMPARE(desktop_->messages().size(), 1);
        QCOMPARE(desktop_->messages()[0].title, QStringLiteral("保存完了"));
        QCOMPARE(desktop_->messages()[0].text, SaveCompleteText(out_));
        QCOMPARE(desktop_->messages()[0].icon, MessageIcon::Information);
        QVERIFY(QFile::exists(LocalPath(out_, kArchiveName)));

        // A folder where the archive cannot go: an error naming it, still modified.
        const QString blocked = dir_->filePath(QStringLiteral("blocked"));
        QVERIFY(QDir().mkpath(LocalPath(blocked, kArchiveName)));
        w.markModified();
        desktop_->queueFolder(blocked);
        QVERIFY(!w.Save());
        QVERIFY(w.modified());
        QCOMPARE(desktop_->messages().last().icon, MessageIcon::Exclamation);
        QVERIFY(desktop_->messages().last().text.contains(kArchiveName));
        QVERIFY(!desktop_->messages().last().text.contains(kAutorunInfName));
    }

    void new_withoutProjectAsksNothingAndResetsColours() {
        Form1& w = start();
        w.applyLauncherColours(ColourValue(0, 0, 128), ColourValue(255, 255, 0));
        w.findChild<QAction*>(QStringLiteral("mnuNew"))->trigger();
        QVERIFY(desktop_->messages().isEmpty());
        QCOMPARE(w.hostBackground(), kButtonFaceColour);
        QCOMPARE(w.hostTextColour(), kButtonTextColour);
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("Label4"))->text(), QStringLiteral("1/20"));
    }

    void new_asksEvenWhenUnmodified_data() {
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<bool>("folderChosen");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("no") << QList<Answer>{Answer::No} << false << true;
        QTest::newRow("yes, saved") << QList<Answer>{Answer::Yes, Answer::Ok} << true << true;
        QTest::newRow("yes, browser cancelled") << QList<Answer>{Answer::Yes} << false << false;
    }
    void new_asksEvenWhenUnmodified() {
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, folderChosen);
        QFETCH(bool, cleared);
        fillProject();
        Form1& w = start();
        QVERIFY(!w.modified());
        for (Answer a : answers)
            desktop_->queueAnswer(a);
        if (folderChosen)
            desktop_->queueFolder(out_);
        w.New();
        QCOMPARE(desktop_->messages()[0].text, QStringLiteral("現在のファイルを保存しますか?"));
        QCOMPARE(desktop_->messages()[0].title, QStringLiteral("保存確認"));
        QCOMPARE(desktop_->messages()[0].icon, MessageIcon::Question);
        QCOMPARE(desktop_->messages()[0].buttons, MessageButtons::YesNo);
        QCOMPARE(desktop_->unanswered(), 0);
        QCOMPARE(projectThere(), !cleared);
        QVERIFY(QFile::exists(LocalPath(work_, kCdIconName))); // the CD icon stays
        QCOMPARE(QFile::exists(LocalPath(out_, kArchiveName)), folderChosen);
        QCOMPARE(w.windowTitle(), cleared ? QString() : QStringLiteral("MYCD"));
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("Label1(0)"))->text(),
                 cleared ? QString() : QStringLiteral("セットアップ"));
    }

    void closing_asksOnlyWhenModified_data() {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<bool>("closes");
        QTest::newRow("unmodified") << false << QList<Answer>{} << true;
        QTest::newRow("modified, no") << true << QList<Answer>{Answer::No} << true;
        QTest::newRow("modified, yes but cancelled") << true << QList<Answer>{Answer::Yes} << false;
    }
    void closing_asksOnlyWhenModified() {
        QFETCH(bool, modified);
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, closes);
        fillProject();
        put(ArchivePath(work_), "left from an interrupted save");
        Form1& w = start();
        if (modified)
            w.markModified();
        for (Answer a : answers)
            desktop_->queueAnswer(a);
        QCOMPARE(w.close(), closes);
        QCOMPARE(desktop_->messages().size(), answers.size());
        QCOMPARE(desktop_->unanswered(), 0);
        QCOMPARE(projectThere(), !closes);
        QCOMPARE(QFile::exists(ArchivePath(work_)), !closes);
        QVERIFY(QFile::exists(LocalPath(work_, kCdIconName)));
        QCOMPARE(w.isVisible(), !closes);
    }

    void printMenus_askForThePrinterInTheirOrientation() {
        fillProject();
        Form1& w = start();
        auto tray = std::make_unique<PaperTray>();
        PaperTray* paper = tray.get();
        w.setPrinter(std::move(tray));
        desktop_->queuePrintCancel();
        w.findChild<QAction*>(QStringLiteral("mnuCDPrint"))->trigger();
        QCOMPARE(paper->documents, 0);
        desktop_->queuePrinter(QStringLiteral("Office"));
        w.findChild<QAction*>(QStringLiteral("mnuListPrint"))->trigger();
        QCOMPARE(paper->documents, 1);
        const auto dialogs = desktop_->callsOf("choosePrinter");
        QCOMPARE(dialogs.size(), 2);
        QCOMPARE(dialogs[0].title, QStringLiteral("印刷"));
        QCOMPARE(dialogs[0].filter, QStringLiteral("landscape"));
        QCOMPARE(dialogs[1].filter, QStringLiteral("portrait"));
    }

    void optionsMenu_opensOneWindowThatPaintsTheLauncher() {
        Form1& w = start();
        QAction* op = w.findChild<QAction*>(QStringLiteral("mnuOp"));
        op->trigger();
        QPointer<frmOpt> first = w.findChild<frmOpt*>();
        QVERIFY(first && first->isVisible());
        op->trigger(); // again while open: the same window
        QCOMPARE(w.findChildren<frmOpt*>().size(), 1);
        desktop_->queueColour(ColourValue(0, 64, 0));
        QTest::mouseClick(first->findChild<QLabel*>(QStringLiteral("F_Color")), Qt::LeftButton);
        first->findChild<QPushButton*>(QStringLiteral("OK"))->click();
        QCOMPARE(w.hostBackground(), ColourValue(0, 64, 0));
        QCOMPARE(w.hostTextColour(), kButtonTextColour);
        QTRY_VERIFY(!first);
    }

    void load_bringsASavedFolderBack() {
        fillProject();
        Form1& w = start();
        w.applyLauncherColours(ColourValue(10, 20, 30), ColourValue(200, 100, 50));
        desktop_->queueFolder(out_);
        desktop_->queueAnswer(Answer::Ok); // the completion message
        QVERIFY(w.Save());
        QCOMPARE(desktop_->unanswered(), 0);
        desktop_->queueAnswer(Answer::No); // the save question of New
        w.New();
        QVERIFY(!QFile::exists(settings()));
        QCOMPARE(w.hostBackground(), kButtonFaceColour);

        // Cancelled: nothing happens.
        w.Load();
        QVERIFY(!w.modified());
        QCOMPARE(desktop_->callsOf("openFile").last().filter,
                 QStringLiteral("設定ﾌｧｲﾙ(Auto_Run.dat)|Auto_Run.dat"));

        // Any file name picked in the folder loads its Auto_Run.dat.
        desktop_->queueFile(LocalPath(out_, kAutorunInfName));
        w.Load();
        QVERIFY(w.modified());
        QVERIFY(w.isVisible());
        QCOMPARE(w.hostBackground(), ColourValue(10, 20, 30));
        QCOMPARE(w.hostTextColour(), ColourValue(200, 100, 50));
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("Label1(0)"))->text(),
                 QStringLiteral("セットアップ"));
        QCOMPARE(w.windowTitle(), QString()); // the archive carries no volume label

        // Closing right after a load asks to save.
        desktop_->queueAnswer(Answer::No);
        QVERIFY(w.close());
        QCOMPARE(desktop_->messages().last().title, QStringLiteral("保存確認"));
    }
};

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
