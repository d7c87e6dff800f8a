// The main window as a user meets it: layout, what shows for the working files,
// paging, colours, copying, the entry editor, the save question and the end.
#include "app/Japanese.h"
#include "mainwindow/Form1.h"
#include "output/Folders.h"
#include "output/Project.h"
#include "platform/QtDesktop.h"
#include "platform/SystemColour.h"
#include "tests/support/TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

using namespace kz;
using namespace kz::test;

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WorkFolder> work_;
    ScriptedDesktop desktop_;
    std::unique_ptr<Form1> window_;

    Form1& start(Desktop* other = nullptr) {
        window_ = std::make_unique<Form1>(other ? *other : desktop_, work_->path(), work_->path());
        window_->startUp();
        window_->show();
        return *window_;
    }
    template <typename T = QWidget> T* control(const QString& name) {
        T* found = window_->findChild<T*>(name);
        [&] { QVERIFY2(found, qPrintable(name)); }();
        return found;
    }
    QString shown(const QStringList& names) {
        QStringList texts;
        for (const QString& name : names)
            texts << control(name)->property("text").toString();
        return texts.join('|');
    }
    void click(const QString& name) { QTest::mouseClick(control(name), Qt::LeftButton); }
    void menu(const QString& item) { window_->findChild<QAction*>(item)->trigger(); }

private slots:
    void init() {
        work_ = std::make_unique<WorkFolder>();
        desktop_ = ScriptedDesktop();
    }

    void layout_data() {
        QTest::addColumn<QString>("row"); // a control; its left, top, width, height in twips
        // clang-format off
        for (const char* row : {"Label2 0 0 4200 255", "Label3 0 240 4200 255", "Label5 0 480 3975 255",
                                "Command2 3960 480 255 255", "Label7 0 840 1455 255", "Text1 0 1080 3975 270",
                                "Command3 3960 1080 255 255", "Label6 0 1440 1095 255", "Text2 0 1710 3975 270",
                                "Command4 3960 1710 255 255", "Down 720 5160 615 375", "Label4 1440 5220 855 495",
                                "UP 2400 5160 615 375", "Command1 3120 5160 975 375", "Image1 0 5760 615 615",
                                "Com(0) 0 2040 600 600", "Label1(0) 720 2280 3405 255", "Com(4) 0 4440 600 600",
                                "Label1(4) 720 4680 3405 255"}) // buttons 1 and 5, 600 twips apart
            QTest::newRow(row) << QString(row);
        // clang-format on
    }
    void layout() {
        QFETCH(QString, row);
        const QStringList twips = row.split(' ');
        start();
        QCOMPARE(control(twips[0])->geometry(), // 15 twips a pixel
                 QRect(twips[1].toInt() / 15, twips[2].toInt() / 15, twips[3].toInt() / 15,
                       twips[4].toInt() / 15));
    }

    // What shows after a walk: U clicks UP n times, D Down, H points at button n.
    void screen_data() {
        QTest::addColumn<QString>("walk");
        QTest::addColumn<QString>("expected");
        // clang-format off
        const QString first = "MYCD 1/20 >> ワープロ#00ff00|表計算|||| ", empty = "|||登録ﾕｰｻﾞｰ名|ｼﾘｱﾙｷｰ";
        const QString red = " #ff0000| ", blue = " #0000ff| ", black = " #000000| ";
        QTest::newRow("first start") << "" << first + "http://a.jp" + blue + "http://b.jp" + blue + "wp.exe" + empty;
        QTest::newRow("capitals are no address") << "H1" << first + "HTTP://A.JP" + red + "HTTP://B.JP" + black + empty;
        QTest::newRow("five characters keep the colour") << "H1 H2" << first + "http:" + red + "http:" + black + empty;
        QTest::newRow("a full slot") << "H3" << first + "一行目の説明" + red + "二行目" + blue + "app.exe|山田|ABCD|会社名|ｷｰ";
        QTest::newRow("page 13") << "U12" << "MYCD 13/20 << >> A12|||#0000ff|E12| " + blue + blue + empty;
        QTest::newRow("last page") << "U19" << "MYCD 20/20 << ||||last| " + blue + blue + empty;
        QTest::newRow("back to the first") << "U19 D19" << first + "http://a.jp" + blue + "http://b.jp" + blue + "wp.exe" + empty;
        // clang-format on
    }
    void screen() {
        QFETCH(QString, walk);
        QFETCH(QString, expected);
        const QString files = "00 AppName ワープロ;00 FilePath wp.exe;00 Text1 http://a.jp;"
                              "00 Text2 http://b.jp;10 AppName 表計算;10 Text1 HTTP://A.JP;"
                              "10 Text2 HTTP://B.JP;20 Text1 http:;20 Text2 http:;"
                              "30 Text1 一行目の説明;30 Text2 二行目;30 FilePath app.exe;"
                              "30 Name 山田;30 Serial ABCD;30 NameTaitol 会社名;30 SerialTaitol ｷｰ;"
                              "012 AppName A12;412 AppName E12;419 AppName last";
        for (const QString& value : files.split(';'))
            work_->setSlot(value.split(' ')[0], value.split(' ')[1], value.split(' ')[2]);
        work_->set("VolumeLabel", "", "MYCD");
        QVERIFY(work_->writeIcon("00", Qt::green) &&
                Solid(Qt::blue, 48, 48).save(work_->icon("312")));
        QVERIFY(QFile::copy(work_->settings(), work_->icon("20"))); // not a picture
        QVERIFY(Solid(Qt::red).save(work_->cdIcon(), "ICO"));
        start();
        for (const QString& step : walk.split(' ', Qt::SkipEmptyParts)) {
            QMouseEvent move(QEvent::MouseMove, {5, 5}, {5, 5}, Qt::NoButton, {}, {});
            for (int i = 0; i < step.mid(1).toInt() && step[0] != 'H'; ++i)
                click(step[0] == 'U' ? "UP" : "Down");
            if (step[0] == 'H')
                QApplication::sendEvent(control("Com(" + step.mid(1) + ")"), &move);
        }
        QString seen = window_->windowTitle() + ' ' + shown({"Label4"}) +
                       (control("Down")->isVisible() ? " <<" : "") +
                       (control("UP")->isVisible() ? " >>" : "") + ' ';
        for (int i = 0; i < 5; ++i) { // icons show at 32 pixels, 312's of 48 too
            const QImage button = control(QString("Com(%1)").arg(i))->grab().toImage();
            const QColor centre = CentreOf(button);
            seen += shown({QString("Label1(%1)").arg(i)}) +
                    (CountOf(button, centre) == 32 * 32 ? centre.name() : "") + '|';
        }
        for (const char* line : {"Label2", "Label3"})
            seen += ' ' + shown({line}) + ' ' +
                    control(line)->palette().color(QPalette::WindowText).name() + '|';
        QCOMPARE(seen + ' ' + shown({"Label5", "Text1", "Text2", "Label7", "Label6"}), expected);
        QCOMPARE(CentreOf(window_->windowIcon().pixmap(32).toImage()), QColor(Qt::red));
    }

    // As a user does it: select part of the serial key, then click its button.
    void copyButtons_putValuesOnTheClipboard() {
        work_->setSlot("00", "Name", "山田");
        work_->setSlot("00", "Serial", "ABCDEFGHIJ");
        QVERIFY(QTest::qWaitForWindowActive(&start()));
        click("Text2");
        control<QLineEdit>("Text2")->setSelection(4, 4); // characters 5 to 8
        click("Command4");
        control<QLineEdit>("Text2")->deselect();
        click("Command4");
        click("Command3");
        QCOMPARE(desktop_.textsOf("clipboard"), (QStringList{"EFGH", "ABCDEFGHIJ", "山田"}));
    }

    void menusAndColours() {
        Form1& window = start();
        for (const char* item : {"mnuVer", "mnuVer", "mnuOp", "mnuOp", "mnuHelpTopic"})
            menu(item); // again: the same window comes to the front
        const QList<QDialog*> about = window.findChildren<QDialog*>("frmAbout");
        QVERIFY(about.size() == 1 && about[0]->isVisible() && !about[0]->isModal());
        QVERIFY(window.findChildren<frmOpt*>().size() == 1 && window.isVisible());
        for (QWidget* shown : QList<QWidget*>{&window, about[0], window.findChild<frmOpt*>()})
            QTest::keyClick(shown, Qt::Key_F1); // the help in every window
        QCOMPARE(desktop_.textsOf("showHelp"), QStringList(4, work_->file("\\Kazanoro.hlp")));
        menu("mnuCDPrint"); // on the program's printer, after the print dialog (cancelled)
        QCOMPARE(desktop_.titlesOf("choosePrinter"), QStringList{"印刷"});
        // The background behind everything and on the slot buttons; the names' colour.
        auto colours = [&] {
            return control("client")->grab().toImage().pixelColor(277, 150).name() +
                   control("Com(4)")->palette().color(QPalette::Button).name() +
                   control("Label1(0)")->palette().color(QPalette::WindowText).name();
        };
        window.applyLauncherColours(ColourValue(0, 0, 128), ColourValue(255, 255, 0));
        QCOMPARE(colours(), QString("#000080#000080#ffff00"));
        menu("mnuNew"); // without a project: no question, back to the button face
        const QString face = ResolveColour(kButtonFaceColour).name();
        QCOMPARE(colours(), face + face + ResolveColour(kButtonTextColour).name());
        QVERIFY(control("Label4")->font().bold() && control("Label4")->font().pointSize() == 12);
    }

    void saveQuestion_data() {
        QTest::addColumn<QString>("command"); // "close modified": closing after an edit
        QTest::addColumn<QString>("answers"); // Yes or No, then the folder: "ok", "blocked" or none
        // Names of slots 00 and 10 (or "closed"), loaded colours shown, modified flag.
        QTest::addColumn<QString>("after");
        // clang-format off
        QTest::newRow("new asks also unmodified; No") << "new" << "No" << "|";
        QTest::newRow("new, Yes and saved") << "new" << "Yes ok" << "|";
        QTest::newRow("new, Yes but not saved") << "new" << "Yes" << "前の|";
        QTest::newRow("closing unmodified") << "close" << "" << "closed";
        QTest::newRow("closing modified; No") << "close modified" << "No" << "closed modified";
        QTest::newRow("closing, Yes but save failed") << "close modified" << "Yes blocked" << "前の| modified";
        QTest::newRow("load unmodified: only the loaded CD") << "load" << "" << "|読込み colours modified";
        QTest::newRow("load modified; No") << "load modified" << "No" << "|読込み colours modified";
        QTest::newRow("load modified, Yes but not saved") << "load modified" << "Yes" << "前の| modified";
        QTest::newRow("load cancelled asks nothing") << "load modified cancelled" << "" << "前の| modified";
        // clang-format on
    }
    void saveQuestion() {
        QFETCH(QString, command);
        QFETCH(QString, answers);
        QFETCH(QString, after);
        work_->setSlot("00", "AppName", "前の");
        QVERIFY(work_->writeIcon("00", Qt::red));
        WorkFolder saved; // a CD folder that holds slot 10 only
        saved.setSlot("10", "AppName", "読込み");
        saved.setSlot("10", "FilePath", "a.exe");
        VariantTable table;
        ScriptedDesktop quiet; // packing reports the slots without an icon
        QVERIFY(PackProject(quiet, saved.path(), ColourValue(1, 2, 3), 0, table) &&
                QFile::remove(saved.settings()));
        QTemporaryDir out;
        const QString outArchive = QDir(out.path()).filePath(kArchiveName),
                      folder = answers.section(' ', 1);
        QVERIFY(folder != "blocked" || QDir().mkpath(outArchive));
        desktop_.queueAnswer(answers.startsWith("Yes") ? Answer::Yes : Answer::No);
        desktop_.queueAnswer(Answer::Ok); // what Save reports
        desktop_.queueFolder(folder.isEmpty() ? "" : out.path());
        desktop_.queueFile(command.endsWith("cancelled") ? "" : saved.archive());
        Form1& window = start();
        if (command.contains("modified"))
            window.markModified();
        if (command.startsWith("close"))
            QCOMPARE(window.close(), after.startsWith("closed"));
        else
            command == "new" ? window.New() : window.Load();
        QCOMPARE(desktop_.answersOf("message").join(' ').replace("Ok", folder), answers);
        QCOMPARE(desktop_.titlesOf("message").value(0) + desktop_.textsOf("message").value(0),
                 answers.isEmpty() ? "" : "保存確認現在のファイルを保存しますか?");
        QCOMPARE(QFileInfo(outArchive).isFile(), folder == "ok");
        QCOMPARE(CentreOf(QImage(work_->icon("00"))) == Qt::red, after.startsWith("前の"));
        QCOMPARE((window.isVisible() ? shown({"Label1(0)", "Label1(1)"}) : "closed") +
                     (window.hostBackground() == ColourValue(1, 2, 3) ? " colours" : "") +
                     (window.modified() ? " modified" : ""),
                 after);
    }

    // Escape and the close box leave the question up, and cancel other boxes.
    void question_hasExactlyTwoAnswers() {
        QVERIFY(InstallJapanese(*qApp) &&
                QCoreApplication::translate("QPlatformTheme", "Cancel") == "キャンセル");
        QtDesktop desktop;
        auto ask = [&](MessageButtons buttons) { // Escape and the close box; then the first button
            QString left;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QTest::keyClick(box, Qt::Key_Escape);
                left = box->isVisible() ? "open, " : "gone, ";
                box->close();
                left += box->isVisible() ? "open, " : "gone, ";
                if (box->isVisible())
                    box->buttons().first()->click();
            });
            return left +
                   AnswerName(desktop.message("?", "保存確認", MessageIcon::Question, buttons));
        };
        QCOMPARE(ask(MessageButtons::YesNo), QString("open, open, Yes"));
        QCOMPARE(ask(MessageButtons::OkCancel), QString("gone, gone, Cancel"));
    }

    void saveThenImage_data() {
        QTest::addColumn<QString>("path");    // slot 00's start path; a.exe is in the CD folder
        QTest::addColumn<QString>("answers"); // Save first?, then the check's question, the image
        QTest::addColumn<QString>("asked");   // each call: kind, title, icon (i ! x ?), start
        // clang-format off
        QTest::newRow("complete CD, image") << "a.exe" << "save x.iso"
            << "folder 保存完了 i folder@saved file@beside progress CDイメージ作成 i";
        QTest::newRow("slot's file missing; stop") << "tools\\b.exe" << "save No"
            << "folder 保存完了 ! folder@saved CDイメージ作成 !";
        QTest::newRow("slot's file missing; go on") << "tools\\b.exe" << "save Yes x.iso"
            << "folder 保存完了 ! folder@saved CDイメージ作成 ! file@beside progress CDイメージ作成 i";
        QTest::newRow("not saved in this run") << "a.exe" << "Yes x.iso"
            << "folder CDイメージ作成 ! file@beside progress CDイメージ作成 i";
        QTest::newRow("file dialog cancelled") << "a.exe" << "save " << "folder 保存完了 i folder@saved file@beside";
        QTest::newRow("image not written") << "a.exe" << "save none/x.iso"
            << "folder 保存完了 i folder@saved file@beside CDイメージ作成 x";
        QTest::newRow("save not complete") << "a.exe" << "blocked No" << "folder 保存エラー ! folder CDイメージ作成 !";
        // clang-format on
    }
    void saveThenImage() {
        QFETCH(QString, path);
        QFETCH(QString, answers);
        QFETCH(QString, asked);
        QTemporaryDir out;
        const QString cd = QDir(out.path()).filePath("MYCD");
        QVERIFY(WriteBytes(cd + "/a.exe", "MZ") && WriteBytes(work_->file("\\AutoRun.exe"), "MZ"));
        QVERIFY(!answers.startsWith("blocked") || QDir().mkpath(cd + "/Auto_Run.dat"));
        work_->setSlot("00", "FilePath", path);
        QVERIFY(work_->writeIcon("00", Qt::red));
        Form1& window = start();
        window.setWindowTitle("TOOLS");
        QStringList script = answers.split(' ');
        if (script.front() == "save" || script.front() == "blocked") {
            desktop_.queueFolder(cd);
            desktop_.queueAnswer(Answer::Ok);
            QCOMPARE(window.Save(), script.takeFirst() == "save");
        }
        desktop_.queueFolder(cd);
        if (script.front() == "Yes" || script.front() == "No") // to the check's findings
            desktop_.queueAnswer(script.takeFirst() == "Yes" ? Answer::Yes : Answer::No);
        const QString image = script.value(0).isEmpty() ? "" : QDir(out.path()).filePath(script[0]);
        desktop_.queueFile(image);
        desktop_.queueAnswer(Answer::Ok);
        window.makeDiscImage();
        QStringList calls;
        for (const ScriptedDesktop::Call& c : desktop_.calls) {
            const QString icons = " i!?x";
            if (c.kind == "message")
                calls << c.title + ' ' + icons[int(c.icon)];
            else if (c.kind == "chooseFolder")
                calls << (c.text.isEmpty() ? "folder" : c.text == cd ? "folder@saved" : c.text);
            else if (c.kind == "saveFile" || c.kind == "progress")
                calls << (c.text == cd + ".iso" ? "file@beside" : c.kind);
        }
        QCOMPARE(calls.join(' '), asked);
        // The question names what is missing; the image holds the folder.
        QCOMPARE(desktop_.textsOf("message").join('\n').contains("tools\\b.exe"),
                 path.startsWith("tools"));
        const bool written = asked.endsWith("作成 i");
        QCOMPARE(QFileInfo(image).size() > 32768, written);
        QVERIFY(!written ||
                desktop_.textsOf("message").last().contains(QDir::toNativeSeparators(image)));
    }

    void closing_endsTheProgramWithTheHelpOpen() {
        QtDesktop desktop;
        QVERIFY(Solid(Qt::red).save(work_->file("\\Kazanoro.hlp"), "PNG"));
        Form1& window = start(&desktop); // which claims the folder: a second copy cannot
        QVERIFY(desktop.claimSingleInstance(work_->path()) &&
                !QtDesktop().claimSingleInstance(work_->path()));
        menu("mnuHelpTopic");
        QPointer<QWidget> help;
        for (QWidget* shown : QApplication::topLevelWidgets())
            help = shown->objectName() == "helpViewer" ? shown : help.data();
        QVERIFY(help && help->isVisible());
        QTimer::singleShot(0, &window, &QWidget::close);
        QObject deadline; // not reached when the program ends as it should
        QTimer::singleShot(10000, &deadline, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!help || !help->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
