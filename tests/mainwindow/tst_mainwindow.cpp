// The main window as a user meets it: its layout, what each control shows for
// the files in the working folder, paging, colours and copy buttons, the
// hand-over to the entry editor, and which question New, Load and closing ask
// and what each answer does to the working folder.
#include "app/Japanese.h"
#include "mainwindow/Form1.h"
#include "output/Folders.h"
#include "output/Project.h"
#include "platform/QtDesktop.h"
#include "platform/SystemColour.h"
#include "tests/support/TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

using namespace kz;
using namespace kz::test;

// A colour as the screen summaries write it: r, g, b, k (black), "" for none.
static QString Letter(const QColor& colour) {
    const qsizetype index = QList<QColor>{Qt::red, Qt::green, Qt::blue, Qt::black}.indexOf(colour);
    return QStringList{"r", "g", "b", "k"}.value(index, colour.isValid() ? "?" : "");
}

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WorkFolder> work_;
    ScriptedDesktop desktop_;
    std::unique_ptr<Form1> window_;

    Form1& start() {
        window_ = std::make_unique<Form1>(desktop_, work_->path(), work_->path());
        window_->startUp();
        window_->show();
        return *window_;
    }
    template <typename T = QWidget> T* control(const QString& name) {
        T* found = window_->findChild<T*>(name);
        [&] { QVERIFY2(found, qPrintable(name)); }();
        return found;
    }
    // The texts the named labels and boxes show, joined by '|'.
    QString shown(const QStringList& names) {
        QStringList texts;
        for (const QString& name : names) {
            auto* box = qobject_cast<QLineEdit*>(control(name));
            texts << (box ? box->text() : control<QLabel>(name)->text());
        }
        return texts.join('|');
    }
    QColor paint(const QString& name, QPalette::ColorRole role = QPalette::WindowText) {
        return control(name)->palette().color(role);
    }
    void click(const QString& name) { QTest::mouseClick(control(name), Qt::LeftButton); }
    void menu(const QString& item) { window_->findChild<QAction*>(item)->trigger(); }

private slots:
    void init() {
        work_ = std::make_unique<WorkFolder>();
        desktop_ = ScriptedDesktop();
    }
    void cleanup() { window_.reset(); }

    void layout_data() {
        QTest::addColumn<QRect>("twips");
        // clang-format off
        QTest::newRow("Label2") << QRect(0, 0, 4200, 255);        QTest::newRow("Label3") << QRect(0, 240, 4200, 255);
        QTest::newRow("Label5") << QRect(0, 480, 3975, 255);      QTest::newRow("Command2") << QRect(3960, 480, 255, 255);
        QTest::newRow("Label7") << QRect(0, 840, 1455, 255);      QTest::newRow("Text1") << QRect(0, 1080, 3975, 270);
        QTest::newRow("Command3") << QRect(3960, 1080, 255, 255); QTest::newRow("Label6") << QRect(0, 1440, 1095, 255);
        QTest::newRow("Text2") << QRect(0, 1710, 3975, 270);      QTest::newRow("Command4") << QRect(3960, 1710, 255, 255);
        for (int k = 0; k < 5; ++k) {
            QTest::addRow("Com(%d)", k) << QRect(0, 2040 + 600 * k, 600, 600);
            QTest::addRow("Label1(%d)", k) << QRect(720, 2280 + 600 * k, 3405, 255);
        }
        QTest::newRow("Down") << QRect(720, 5160, 615, 375);      QTest::newRow("Label4") << QRect(1440, 5220, 855, 495);
        QTest::newRow("UP") << QRect(2400, 5160, 615, 375);       QTest::newRow("Command1") << QRect(3120, 5160, 975, 375);
        QTest::newRow("Image1") << QRect(0, 5760, 615, 615);
        // clang-format on
    }
    void layout() {
        QFETCH(QRect, twips);
        start();
        QWidget* placed = control(QTest::currentDataTag());
        QCOMPARE(placed->geometry(), QRect(twips.topLeft() / 15, twips.size() / 15));
        QCOMPARE(placed->parentWidget()->size(), QSize(4200, 5580) / 15);
    }

    // What the window shows after a walk (U: UP n times, D: Down, H: the
    // pointer over button n, F: the focus on it): caption, indicator, paging
    // buttons, each slot's name and picture (g green, b blue), then the
    // details with the colour of the two lines (r red, b blue, k black).
    void screen_data() {
        QTest::addColumn<QString>("walk");
        QTest::addColumn<QString>("expected");
        const QString first = "MYCD 1/20 >> ワープロg|表計算|||| ";
        const QString empty = "|||登録ﾕｰｻﾞｰ名|ｼﾘｱﾙｷｰ";
        // clang-format off
        QTest::newRow("first start") << "" << first + "http://a.jp b|http://b.jp b|wp.exe" + empty;
        QTest::newRow("capitals are no address") << "H1" << first + "HTTP://A.JP r|HTTP://B.JP k|" + empty;
        QTest::newRow("five characters keep the colour") << "H1 H2" << first + "http: r|http: k|" + empty;
        QTest::newRow("a full slot") << "H3" << first + "一行目の説明 r|二行目 b|app.exe|山田|ABCD|会社名|ｷｰ";
        QTest::newRow("focus shows a slot") << "H1 F3" << first + "一行目の説明 r|二行目 k|app.exe|山田|ABCD|会社名|ｷｰ";
        QTest::newRow("page 13") << "U12" << "MYCD 13/20 << >> A12|||b|E12|  b| b|" + empty;
        QTest::newRow("last page") << "U19" << "MYCD 20/20 << ||||last|  b| b|" + empty;
        QTest::newRow("back one") << "U19 D1" << "MYCD 19/20 << >> |||||  b| b|" + empty;
        QTest::newRow("back to the first") << "U19 D19" << first + "http://a.jp b|http://b.jp b|wp.exe" + empty;
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
            work_->setSlot(value.section(' ', 0, 0), value.section(' ', 1, 1),
                           value.section(' ', 2));
        work_->set("VolumeLabel", "", "MYCD");
        QVERIFY(work_->writeIcon("00", Qt::green) && work_->writeIcon("312", Qt::blue));
        QVERIFY(QFile::copy(work_->settings(), work_->icon("20"))); // not a picture
        QVERIFY(Solid(Qt::red).save(work_->cdIcon(), "ICO"));
        start();
        for (const QString& step : walk.split(' ', Qt::SkipEmptyParts)) {
            const int n = step.mid(1).toInt();
            QWidget* slot = control(QString("Com(%1)").arg(qMin(n, 4)));
            QMouseEvent move(QEvent::MouseMove, {5, 5}, {5, 5}, Qt::NoButton, {}, {});
            if (step[0] == 'H')
                QApplication::sendEvent(slot, &move);
            if (step[0] == 'F')
                slot->setFocus();
            for (int i = 0; i < n && (step[0] == 'U' || step[0] == 'D'); ++i)
                click(step[0] == 'U' ? "UP" : "Down");
        }
        auto screen = [&] {
            QString seen = window_->windowTitle() + ' ' + shown({"Label4"}) +
                           (control("Down")->isVisible() ? " <<" : "") +
                           (control("UP")->isVisible() ? " >>" : "") + ' ';
            for (int i = 0; i < 5; ++i) {
                const QIcon picture = control<QPushButton>(QString("Com(%1)").arg(i))->icon();
                seen += shown({QString("Label1(%1)").arg(i)}) +
                        Letter(CentreOf(picture.pixmap(32).toImage())) + '|';
            }
            seen += ' ';
            for (const char* line : {"Label2", "Label3"})
                seen += shown({line}) + ' ' + Letter(paint(line)) + '|';
            return seen + shown({"Label5", "Text1", "Text2", "Label7", "Label6"});
        };
        QTRY_COMPARE(screen(), expected);
        QCOMPARE(CentreOf(window_->windowIcon().pixmap(32).toImage()), QColor(Qt::red));
    }

    // As a user does it: select part of the serial key in its box, then
    // click the button, which must not take the selection away.
    void copyButtons_putValuesOnTheClipboard() {
        work_->setSlot("00", "Name", "山田");
        work_->setSlot("00", "Serial", "ABCDEFGHIJ");
        QVERIFY(QTest::qWaitForWindowActive(&start()));
        auto copied = [&](const QString& button) {
            click(button);
            return desktop_.clipboardText();
        };
        click("Text2");
        control<QLineEdit>("Text2")->setSelection(4, 4); // characters 5 to 8
        QCOMPARE(copied("Command4"), QString("EFGH"));
        control<QLineEdit>("Text2")->deselect();
        QCOMPARE(copied("Command4") + copied("Command3"), QString("ABCDEFGHIJ山田"));
        control<QLineEdit>("Text1")->clear(); // typed values are not stored
        QCOMPARE(copied("Command3") + work_->get("Name", "Name_00"), QString("山田"));
    }

    void menusAndColours() {
        Form1& window = start();
        for (const char* item : {"mnuVer", "mnuVer", "mnuOp", "mnuOp", "mnuHelpTopic"})
            menu(item); // again: the same window comes to the front
        const QList<QDialog*> about = window.findChildren<QDialog*>("frmAbout");
        QVERIFY(about.size() == 1 && about[0]->isVisible() && !about[0]->isModal());
        QVERIFY(about[0]->findChild<QLabel*>("lblVersion")->text().contains('.'));
        QVERIFY(window.findChildren<frmOpt*>().size() == 1 && window.isVisible());
        for (QWidget* shown :
             QList<QWidget*>{&window, about[0], window.findChild<QDialog*>("frmOpt")})
            QTest::keyClick(shown, Qt::Key_F1); // the help in every window
        QCOMPARE(desktop_.textsOf("showHelp"), QStringList(4, work_->file("\\Kazanoro.hlp")));
        menu("mnuCDPrint"); // the print dialog is cancelled
        menu("mnuListPrint");
        const auto dialogs = desktop_.callsOf("choosePrinter");
        QCOMPARE(dialogs[0].title + dialogs[0].filter + dialogs[1].filter, "印刷landscapeportrait");
        window.applyLauncherColours(ColourValue(0, 0, 128), ColourValue(255, 255, 0));
        const QColor navy(0, 0, 128);
        QCOMPARE(control("client")->grab().toImage().pixelColor(277, 150), navy);
        QVERIFY(paint("Text1", QPalette::Base) == navy &&
                paint("Com(4)", QPalette::Button) == navy);
        QCOMPARE(paint("Label1(0)"), QColor(255, 255, 0));
        menu("mnuNew"); // without a project: no question, back to the button face
        QVERIFY(desktop_.messages().isEmpty());
        QCOMPARE(paint("Com(0)", QPalette::Button), ResolveColour(kButtonFaceColour));
        QCOMPARE(paint("Label1(4)"), ResolveColour(kButtonTextColour));
        const QFont indicator = control("Label4")->font();
        QVERIFY(indicator.family() == "ＭＳ Ｐゴシック" && indicator.bold() &&
                indicator.pointSize() == 12);
    }

    void drop_opensTheEditorInPlaceOfTheWindow() {
        desktop_.roots.insert("/media/cd", "/media/cd/");
        Form1& window = start();
        click("UP");
        for (const char* url : {"http://example.com/", "file:///media/cd/bin/tool.exe"}) {
            QMimeData data;
            data.setUrls({QUrl(url), QUrl("file:///b")});
            QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QDropEvent drop({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QVERIFY(QApplication::sendEvent(control("Com(1)"), &enter) &&
                    control("Com(1)")->acceptDrops());
            QApplication::sendEvent(control("Com(1)"), &drop);
            QCOMPARE(enter.isAccepted(), !window.isVisible()); // a drop without a file is refused
        }
        QVERIFY(window.handOverKey() == "11" && window.editor()->isVisible());
        QCOMPARE(window.editor()->findChild<QLineEdit*>("Text1")->text(), QString("bin\\tool.exe"));
        QTest::keyClick(window.editor(), Qt::Key_F1);
        QCOMPARE(desktop_.textsOf("showHelp").size(), 1);
        window.editor()->findChild<QPushButton*>("CancelButton")->click();
        QTRY_VERIFY(window.isVisible() && !window.editor());
    }

    void saveQuestion_data() {
        QTest::addColumn<QString>("command"); // "close modified": closing after an edit
        QTest::addColumn<QString>("answers"); // Yes or No, then the folder: "ok", "blocked" or none
        QTest::addColumn<QString>("shown");   // names of slots 00 and 10 afterwards, or "closed"
        // clang-format off
        QTest::newRow("new asks also unmodified; No") << "new" << "No" << "|";
        QTest::newRow("new, Yes and saved") << "new" << "Yes ok" << "|";
        QTest::newRow("new, Yes but not saved") << "new" << "Yes" << "前の|";
        QTest::newRow("closing unmodified") << "close" << "" << "closed";
        QTest::newRow("closing modified; No") << "close modified" << "No" << "closed";
        QTest::newRow("closing, Yes but save failed") << "close modified" << "Yes blocked" << "前の|";
        QTest::newRow("load unmodified: only the loaded CD") << "load" << "" << "|読込み";
        QTest::newRow("load modified; No") << "load modified" << "No" << "|読込み";
        QTest::newRow("load modified, Yes and saved") << "load modified" << "Yes ok" << "|読込み";
        QTest::newRow("load modified, Yes but not saved") << "load modified" << "Yes" << "前の|";
        QTest::newRow("load cancelled asks nothing") << "load modified cancelled" << "" << "前の|";
        // clang-format on
    }
    void saveQuestion() {
        QFETCH(QString, command);
        QFETCH(QString, answers);
        QFETCH(QString, shown);
        work_->setSlot("00", "AppName", "前の");
        QVERIFY(work_->writeIcon("00", Qt::red) && Solid(Qt::red).save(work_->cdIcon(), "ICO"));
        QVERIFY(QFile::copy(work_->settings(), work_->archive())); // left by an interrupted save
        WorkFolder saved; // a CD folder that holds slot 10 only
        saved.setSlot("10", "AppName", "読込み");
        saved.setSlot("10", "FilePath", "a.exe");
        VariantTable table;
        QVERIFY(PackProject(desktop_, saved.path(), ColourValue(1, 2, 3), 0, table));
        QVERIFY(QFile::remove(saved.settings()));
        QTemporaryDir out;
        const QString outArchive = QDir(out.path()).filePath(kArchiveName),
                      folder = answers.section(' ', 1);
        QVERIFY(folder != "blocked" || QDir().mkpath(outArchive));
        desktop_ = ScriptedDesktop(); // packing reported the slots without an icon
        desktop_.queueAnswer(answers.startsWith("Yes") ? Answer::Yes : Answer::No);
        desktop_.queueAnswer(Answer::Ok); // what Save reports
        desktop_.queueFolder(folder.isEmpty() ? "" : out.path());
        desktop_.queueFile(command.endsWith("cancelled") ? "" : saved.archive());
        Form1& window = start();
        if (command.contains("modified"))
            window.markModified();
        if (command.startsWith("close"))
            QCOMPARE(window.close(), shown == "closed");
        else
            command == "new" ? window.New() : window.Load();
        QCOMPARE(desktop_.answersOf("message").join(' ').replace("Ok", folder), answers);
        const auto question = desktop_.messages().value(0);
        QCOMPARE(question.title + question.text,
                 answers.isEmpty() ? "" : "保存確認現在のファイルを保存しますか?");
        QVERIFY(answers.isEmpty() || question.buttons == MessageButtons::YesNo);
        QCOMPARE(QFileInfo(outArchive).isFile(), folder == "ok");
        QCOMPARE(CentreOf(QImage(work_->icon("00"))) == Qt::red, shown.startsWith("前の"));
        QCOMPARE(QFile::exists(work_->archive()), shown != "closed" && folder.isEmpty());
        QVERIFY(QFile::exists(work_->cdIcon()));
        QCOMPARE(window.isVisible() ? this->shown({"Label1(0)", "Label1(1)"}) : "closed", shown);
        QCOMPARE(window.hostBackground(),
                 shown.endsWith("読込み") ? ColourValue(1, 2, 3) : kButtonFaceColour);
        QCOMPARE(window.modified(), command.contains("modified") || command == "load");
    }

    // The question stays up on Escape and on its close box; other boxes take
    // those for their cancelling answer.
    void question_hasExactlyTwoAnswers() {
        QtDesktop desktop;
        QStringList left; // the box after Escape and its close box
        auto ask = [&](MessageButtons buttons) {
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QTest::keyClick(box, Qt::Key_Escape);
                box->close();
                left << (box->isVisible() ? "open" : "gone");
                if (box->isVisible())
                    box->buttons().first()->click();
            });
            return desktop.message("?", "保存確認", MessageIcon::Question, buttons);
        };
        QCOMPARE(ask(MessageButtons::YesNo), Answer::Yes);
        QCOMPARE(ask(MessageButtons::OkCancel), Answer::Cancel);
        QCOMPARE(left, (QStringList{"open", "gone"}));
    }

    void closing_endsTheProgramWithTheHelpOpen() {
        QtDesktop desktop;
        work_->set("VolumeLabel", "", "MYCD");
        QVERIFY(QFile::copy(work_->settings(), work_->file("\\Kazanoro.hlp")));
        Form1 window(desktop, work_->path(), work_->path());
        QVERIFY(window.startUp());
        window.show();
        window.findChild<QAction*>("mnuHelpTopic")->trigger();
        QPointer<QWidget> help;
        for (QWidget* shown : QApplication::topLevelWidgets())
            help = shown->objectName() == "helpViewer" ? shown : help.data();
        QVERIFY(help && help->isVisible());
        QTimer::singleShot(0, &window, &QWidget::close);
        QTimer deadline; // not reached when the program ends as it should
        connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        deadline.start(10000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!help || !help->isVisible());
    }

    void stockDialogs_speakJapanese() {
        QVERIFY(InstallJapanese(*QCoreApplication::instance()));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("キャンセル"));
        QCOMPARE(QLocale().language(), QLocale::Japanese);
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
