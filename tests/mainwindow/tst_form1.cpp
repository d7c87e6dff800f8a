// The main window as a user meets it: what each control shows for the files
// in the working folder, paging, the detail area's colours, and its buttons.
#include "mainwindow/Form1.h"
#include "platform/SystemColour.h"
#include "store/FileName.h"
#include "store/Ini.h"
#include "store/Slots.h"
#include "tests/support/ScriptedDesktop.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace kz;

class Form1Test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ScriptedDesktop> desktop_;
    std::unique_ptr<Form1> window_;

    QString work() const { return dir_->path(); }
    QString settings() const { return LocalPath(work(), kSettingsLiteral); }
    void set(const QString& section, const QString& key, const QString& value) {
        WriteIni(*desktop_, settings(), section, key, value);
    }
    void writeIcon(const QString& key, QColor colour) {
        QDir().mkpath(LocalPath(work(), kIconFolderLiteral));
        QImage image(32, 32, QImage::Format_RGB32);
        image.fill(colour);
        QVERIFY(image.save(LocalPath(work(), IconLiteral(key)), "BMP"));
    }
    Form1& start() {
        window_ = std::make_unique<Form1>(*desktop_, work(), work());
        [&] { QVERIFY(window_->startUp()); }();
        return *window_;
    }
    template <typename T> T* child(const QString& name) {
        T* w = window_->findChild<T*>(name);
        [&] { QVERIFY2(w, qPrintable(name)); }();
        return w;
    }
    QString text(const char* label) { return child<QLabel>(QLatin1String(label))->text(); }
    QColor colour(const char* label) {
        return child<QLabel>(QLatin1String(label))->palette().color(QPalette::WindowText);
    }
    void hover(int button) {
        QPushButton* com = child<QPushButton>(QStringLiteral("Com(%1)").arg(button));
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), com->mapToGlobal(QPointF(5, 5)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(com, &move);
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        desktop_ = std::make_unique<ScriptedDesktop>();
    }
    void cleanup() {
        window_.reset();
        desktop_.reset();
        dir_.reset();
    }

    void firstStart_showsAnEmptyFirstPage() {
        Form1& w = start();
        QCOMPARE(w.windowTitle(), QString());
        QCOMPARE(text("Label4"), QStringLiteral("1/20"));
        QVERIFY(child<QPushButton>(QStringLiteral("Down"))->isHidden());
        QVERIFY(!child<QPushButton>(QStringLiteral("UP"))->isHidden());
        for (int i = 0; i < 5; ++i) {
            QVERIFY(child<QPushButton>(QStringLiteral("Com(%1)").arg(i))->icon().isNull());
            QCOMPARE(child<QLabel>(QStringLiteral("Label1(%1)").arg(i))->text(), QString());
        }
        for (const char* empty : {"Label2", "Label3", "Label5"})
            QCOMPARE(text(empty), QString());
        QCOMPARE(text("Label7"), QStringLiteral("登録ﾕｰｻﾞｰ名"));
        QCOMPARE(text("Label6"), QStringLiteral("ｼﾘｱﾙｷｰ"));
        QCOMPARE(child<QLineEdit>(QStringLiteral("Text1"))->text(), QString());
        QVERIFY(!w.modified());
        QCOMPARE(desktop_->textsOf("claim"), QStringList{work()});
        QCOMPARE(desktop_->messages().size(), 0);
        // The help file is the one shipped beside the program.
        w.findChild<QAction*>(QStringLiteral("mnuHelpTopic"))->trigger();
        QCOMPARE(QDir::fromNativeSeparators(desktop_->textsOf("showHelp").value(0)),
                 work() + QStringLiteral("/Kazanoro.hlp"));
    }

    void secondCopy_endsQuietly() {
        desktop_->otherInstanceRunning = true;
        Form1 w(*desktop_, work(), work());
        QVERIFY(!w.startUp());
        QCOMPARE(desktop_->messages().size(), 0);
    }

    void startUp_readsCaptionAndCdIcon() {
        set(QStringLiteral("VolumeLabel"), QString(), QStringLiteral("MYCD"));
        QImage icon(32, 32, QImage::Format_ARGB32);
        icon.fill(Qt::red);
        QVERIFY(icon.save(LocalPath(work(), kCdIconName), "ICO"));
        Form1& w = start();
        QCOMPARE(w.windowTitle(), QStringLiteral("MYCD"));
        QVERIFY(!w.windowIcon().isNull());
        QCOMPARE(w.windowIcon().pixmap(32, 32).toImage().pixelColor(16, 16), QColor(Qt::red));
    }

    void paging_walksAllTwentyPages() {
        start();
        QPushButton* up = child<QPushButton>(QStringLiteral("UP"));
        QPushButton* down = child<QPushButton>(QStringLiteral("Down"));
        for (int i = 0; i < 19; ++i)
            QTest::mouseClick(up, Qt::LeftButton);
        QCOMPARE(text("Label4"), QStringLiteral("20/20"));
        QVERIFY(up->isHidden());
        QVERIFY(!down->isHidden());
        QTest::mouseClick(down, Qt::LeftButton);
        QCOMPARE(text("Label4"), QStringLiteral("19/20"));
        QVERIFY(!up->isHidden());
        for (int i = 0; i < 18; ++i)
            QTest::mouseClick(down, Qt::LeftButton);
        QCOMPARE(text("Label4"), QStringLiteral("1/20"));
        QVERIFY(down->isHidden());
    }

    void page12_showsItsFiveSlots() {
        for (int b = 0; b < 5; ++b)
            set(QStringLiteral("AppName"), QStringLiteral("App_%1").arg(SlotKey(b, 12)),
                QStringLiteral("アプリ%1").arg(b));
        set(QStringLiteral("AppName"), QStringLiteral("App_11"), QStringLiteral("page two"));
        Form1& w = start();
        w.setCurrentPage(12);
        w.ShowPage();
        QCOMPARE(text("Label4"), QStringLiteral("13/20"));
        for (int b = 0; b < 5; ++b)
            QCOMPARE(child<QLabel>(QStringLiteral("Label1(%1)").arg(b))->text(),
                     QStringLiteral("アプリ%1").arg(b));
    }

    void iconsAndNames_showIndependently() {
        writeIcon(QStringLiteral("00"), Qt::green); // icon, no name
        set(QStringLiteral("AppName"), QStringLiteral("App_10"), QStringLiteral("名前だけ"));
        QDir().mkpath(LocalPath(work(), kIconFolderLiteral));
        QFile broken(LocalPath(work(), IconLiteral(QStringLiteral("20"))));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a picture");
        broken.close();
        start();
        QPushButton* com0 = child<QPushButton>(QStringLiteral("Com(0)"));
        QVERIFY(!com0->icon().isNull());
        QCOMPARE(com0->icon().pixmap(32, 32).toImage().pixelColor(10, 10), QColor(Qt::green));
        QCOMPARE(text("Label1(0)"), QString());
        QVERIFY(child<QPushButton>(QStringLiteral("Com(1)"))->icon().isNull());
        QCOMPARE(text("Label1(1)"), QStringLiteral("名前だけ"));
        QVERIFY(child<QPushButton>(QStringLiteral("Com(2)"))->icon().isNull());
        // The picture goes when the page changes to one without it.
        child<QPushButton>(QStringLiteral("UP"))->click();
        QVERIFY(com0->icon().isNull());
    }

    void details_showTheSlotUnderThePointer() {
        set(QStringLiteral("Text1"), QStringLiteral("Text_30"), QStringLiteral("一行目の説明"));
        set(QStringLiteral("Text2"), QStringLiteral("Text_30"), QStringLiteral("二行目"));
        set(QStringLiteral("FilePath"), QStringLiteral("Path_30"),
            QStringLiteral("tools\\app.exe"));
        set(QStringLiteral("Name"), QStringLiteral("Name_30"), QStringLiteral("山田太郎"));
        set(QStringLiteral("Serial"), QStringLiteral("Serial_30"), QStringLiteral("ABCD-EFGH"));
        set(QStringLiteral("NameTaitol"), QStringLiteral("Name_30"), QStringLiteral("会社名"));
        set(QStringLiteral("SerialTaitol"), QStringLiteral("Serial_30"), QStringLiteral("ｷｰ"));
        set(QStringLiteral("AppName"), QStringLiteral("App_30"), QStringLiteral("アプリ"));
        start();
        hover(3);
        QCOMPARE(text("Label2"), QStringLiteral("一行目の説明"));
        QCOMPARE(text("Label3"), QStringLiteral("二行目"));
        QCOMPARE(text("Label5"), QStringLiteral("tools\\app.exe"));
        QCOMPARE(child<QLineEdit>(QStringLiteral("Text1"))->text(), QStringLiteral("山田太郎"));
        QCOMPARE(child<QLineEdit>(QStringLiteral("Text2"))->text(), QStringLiteral("ABCD-EFGH"));
        QCOMPARE(text("Label7"), QStringLiteral("会社名"));
        QCOMPARE(text("Label6"), QStringLiteral("ｷｰ"));
        QCOMPARE(text("Label1(3)"), QStringLiteral("アプリ"));
        // An empty slot shows empty values under the default titles.
        hover(4);
        QCOMPARE(text("Label2"), QString());
        QCOMPARE(child<QLineEdit>(QStringLiteral("Text2"))->text(), QString());
        QCOMPARE(text("Label7"), QStringLiteral("登録ﾕｰｻﾞｰ名"));
        QCOMPARE(text("Label6"), QStringLiteral("ｼﾘｱﾙｷｰ"));
        // Keyboard focus shows a slot too.
        child<QPushButton>(QStringLiteral("Com(3)"))->setFocus();
        QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(child<QPushButton>(QStringLiteral("Com(3)")), &in);
        QCOMPARE(text("Label5"), QStringLiteral("tools\\app.exe"));
        // Changing the page clears the details and shows the new first slot.
        child<QPushButton>(QStringLiteral("UP"))->click();
        QCOMPARE(text("Label5"), QString());
        QCOMPARE(text("Label7"), QStringLiteral("登録ﾕｰｻﾞｰ名"));
    }

    void detailColours_followTheLinesShown_data() {
        QTest::addColumn<QStringList>("first");   // Text1 of slots 00, 10, 20 shown in turn
        QTest::addColumn<QStringList>("second");  // Text2 of the same slots
        QTest::addColumn<QColor>("firstColour");  // Label2 after the last one
        QTest::addColumn<QColor>("secondColour"); // Label3 after the last one
        const QColor red(255, 0, 0), blue(0, 0, 255), black(0, 0, 0);
        QTest::newRow("address is blue")
            << QStringList{"http://a.jp"} << QStringList{"http://b.jp"} << blue << blue;
        QTest::newRow("capitals are not an address")
            << QStringList{"HTTP://A.JP"} << QStringList{"HTTP://B.JP"} << red << black;
        QTest::newRow("short line keeps the colour")
            << QStringList{"http://a.jp", "abc"} << QStringList{"http://b.jp", "xyz"} << blue
            << blue;
        QTest::newRow("bare prefix keeps the colour")
            << QStringList{"http://a.jp", "http:"} << QStringList{"http://b.jp", "http:"} << blue
            << blue;
        QTest::newRow("long plain line resets")
            << QStringList{"http://a.jp", "abc", "説明の文章です"}
            << QStringList{"http://b.jp", "xyz", "説明の文章です"} << red << black;
        QTest::newRow("empty slot keeps the colour")
            << QStringList{"http://a.jp", ""} << QStringList{"http://b.jp", ""} << blue << blue;
    }
    void detailColours_followTheLinesShown() {
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(QColor, firstColour);
        QFETCH(QColor, secondColour);
        for (int b = 0; b < first.size(); ++b) {
            set(QStringLiteral("Text1"), QStringLiteral("Text_") + SlotKey(b, 0), first[b]);
            set(QStringLiteral("Text2"), QStringLiteral("Text_") + SlotKey(b, 0), second[b]);
        }
        start();
        for (int b = 0; b < first.size(); ++b)
            hover(b);
        QCOMPARE(text("Label2"), first.last());
        QCOMPARE(colour("Label2"), firstColour);
        QCOMPARE(colour("Label3"), secondColour);
    }

    void copyButtons_putValuesOnTheClipboard() {
        set(QStringLiteral("Name"), QStringLiteral("Name_00"), QStringLiteral("山田"));
        set(QStringLiteral("Serial"), QStringLiteral("Serial_00"), QStringLiteral("ABCDEFGHIJ"));
        start();
        desktop_->setClipboardText(QStringLiteral("old"));
        child<QPushButton>(QStringLiteral("Command3"))->click();
        QCOMPARE(desktop_->clipboardText(), QStringLiteral("山田"));

        QLineEdit* serial = child<QLineEdit>(QStringLiteral("Text2"));
        serial->setSelection(4, 4); // characters 5 to 8
        child<QPushButton>(QStringLiteral("Command4"))->click();
        QCOMPARE(desktop_->clipboardText(), QStringLiteral("EFGH"));
        serial->deselect();
        child<QPushButton>(QStringLiteral("Command4"))->click();
        QCOMPARE(desktop_->clipboardText(), QStringLiteral("ABCDEFGHIJ"));

        // What the user types is copied, never stored.
        child<QLineEdit>(QStringLiteral("Text1"))->setText(QString());
        child<QPushButton>(QStringLiteral("Command3"))->click();
        QCOMPARE(desktop_->clipboardText(), QString());
        QCOMPARE(ReadIni(settings(), QStringLiteral("Name"), QStringLiteral("Name_00")),
                 QStringLiteral("山田"));
    }

    void shellButtons_openFolderAndHelp() {
        Form1& w = start();
        child<QPushButton>(QStringLiteral("Command1"))->click();
        child<QPushButton>(QStringLiteral("Command2"))->click(); // no action
        w.findChild<QAction*>(QStringLiteral("mnuHelpTopic"))->trigger();
        QCOMPARE(desktop_->textsOf("openDocument"), QStringList{work()});
        QCOMPARE(desktop_->textsOf("showHelp").size(), 1);
    }

    void layout_matchesTheLauncher_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        const QList<QPair<QString, QRect>> rows = {
            {"Label2", {0, 0, 4200, 255}},         {"Label3", {0, 240, 4200, 255}},
            {"Label5", {0, 480, 3975, 255}},       {"Command2", {3960, 480, 255, 255}},
            {"Label7", {0, 840, 1455, 255}},       {"Text1", {0, 1080, 3975, 270}},
            {"Command3", {3960, 1080, 255, 255}},  {"Label6", {0, 1440, 1095, 255}},
            {"Text2", {0, 1710, 3975, 270}},       {"Command4", {3960, 1710, 255, 255}},
            {"Com(0)", {0, 2040, 600, 600}},       {"Com(4)", {0, 4440, 600, 600}},
            {"Label1(0)", {720, 2280, 3405, 255}}, {"Label1(4)", {720, 4680, 3405, 255}},
            {"Down", {720, 5160, 615, 375}},       {"Label4", {1440, 5220, 855, 495}},
            {"UP", {2400, 5160, 615, 375}},        {"Command1", {3120, 5160, 975, 375}},
            {"Image1", {0, 5760, 615, 615}},
        };
        for (const auto& [name, rect] : rows)
            QTest::newRow(qPrintable(name)) << name << rect;
    }
    void layout_matchesTheLauncher() {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        start();
        QWidget* w = child<QWidget>(name);
        // 15 twips to the pixel.
        QCOMPARE(w->geometry(),
                 QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
        QCOMPARE(w->parentWidget()->size(), QSize(4200 / 15, 5580 / 15));
    }

    void staticTexts_andFonts() {
        start();
        QCOMPARE(child<QPushButton>(QStringLiteral("Command1"))->text(),
                 QStringLiteral("CDを参照"));
        QCOMPARE(child<QPushButton>(QStringLiteral("Command2"))->text(), QStringLiteral("..."));
        QCOMPARE(child<QLabel>(QStringLiteral("Label5"))->toolTip(),
                 QStringLiteral("\"→のボタンでﾌｫﾙﾀﾞｰ開く\""));
        QCOMPARE(child<QPushButton>(QStringLiteral("Command2"))->toolTip(),
                 QStringLiteral("ﾌｫﾙﾀﾞｰを開く"));
        QCOMPARE(child<QLineEdit>(QStringLiteral("Text1"))->toolTip(),
                 QStringLiteral("→ﾎﾞﾀﾝでｺﾋﾟｰ"));
        QCOMPARE(child<QPushButton>(QStringLiteral("Command3"))->toolTip(), QStringLiteral("ｺﾋﾟｰ"));
        QCOMPARE(child<QLineEdit>(QStringLiteral("Text2"))->toolTip(),
                 QStringLiteral("→ﾎﾞﾀﾝで選択範囲をｺﾋﾟｰ"));
        QCOMPARE(child<QPushButton>(QStringLiteral("Command4"))->toolTip(),
                 QStringLiteral("選択範囲をｺﾋﾟｰ"));
        const QFont indicator = child<QLabel>(QStringLiteral("Label4"))->font();
        QCOMPARE(indicator.family(), QStringLiteral("ＭＳ Ｐゴシック"));
        QCOMPARE(indicator.pointSize(), 12);
        QVERIFY(indicator.bold());
    }

    void menus_inOrder() {
        Form1& w = start();
        const QList<QAction*> menus = w.menuBar()->actions();
        QStringList titles;
        for (QAction* m : menus)
            titles << m->text();
        QCOMPARE(titles, (QStringList{"ﾌｧｲﾙ(&F)", "編集(&E)", "ﾍﾙﾌﾟ(&H)"}));
        auto items = [&](int i) {
            QStringList out;
            for (QAction* a : menus[i]->menu()->actions())
                out << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + ':' + a->text());
            return out;
        };
        QCOMPARE(items(0), (QStringList{"mnuNew:新規", "mnuSave:保存", "mnuLode:読込み", "-",
                                        "mnuCDPrint:CDｼﾞｬｹｯﾄ印刷", "mnuListPrint:一覧印刷"}));
        QCOMPARE(items(1), (QStringList{"mnuOp:ｵﾌﾟｼｮﾝ(&O)"}));
        QCOMPARE(items(2), (QStringList{"mnuVer:ﾊﾞｰｼﾞｮﾝ情報(&A)", "mnuHelpTopic:ﾄﾋﾟｯｸ検索"}));
    }

    void aboutBox_isModelessAndShowsTheVersion() {
        Form1& w = start();
        QAction* about = w.findChild<QAction*>(QStringLiteral("mnuVer"));
        about->trigger();
        about->trigger(); // a second time brings back the same box
        const QList<QDialog*> boxes = w.findChildren<QDialog*>(QStringLiteral("frmAbout"));
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0]->isVisible());
        QVERIFY(!boxes[0]->isModal());
        const QString version = boxes[0]->findChild<QLabel*>(QStringLiteral("lblVersion"))->text();
        QVERIFY2(version.contains(QRegularExpression(QStringLiteral("\\d+\\.\\d+"))),
                 qPrintable(version));
    }

    void launcherColours_paintTheWindow() {
        Form1& w = start();
        QCOMPARE(w.hostBackground(), kButtonFaceColour);
        w.applyLauncherColours(ColourValue(0, 0, 128), ColourValue(255, 255, 0));
        QCOMPARE(child<QWidget>(QStringLiteral("client"))->palette().color(QPalette::Window),
                 QColor(0, 0, 128));
        QCOMPARE(child<QLineEdit>(QStringLiteral("Text1"))->palette().color(QPalette::Base),
                 QColor(0, 0, 128));
        QCOMPARE(child<QPushButton>(QStringLiteral("Com(2)"))->palette().color(QPalette::Button),
                 QColor(0, 0, 128));
        QCOMPARE(colour("Label1(4)"), QColor(255, 255, 0));
    }

    void clickOnASlot_opensItsEditorAndHidesTheWindow() {
        Form1& w = start();
        w.show();
        w.setCurrentPage(5);
        w.ShowPage();
        child<QPushButton>(QStringLiteral("Com(2)"))->click();
        QCOMPARE(w.handOverKey(), QStringLiteral("25"));
        QVERIFY(!w.isVisible());
        QVERIFY(w.editor());
        QVERIFY(w.editor()->isVisible());
        QCOMPARE(w.editor()->windowTitle(), QStringLiteral("6ページ目　ボタン3 ﾌﾟﾛﾊﾟﾃｨ"));
        // Cancel writes nothing and brings the main window back.
        w.editor()->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
        QVERIFY(w.isVisible());
        QTRY_VERIFY(!w.editor());
        QVERIFY(!QFile::exists(settings()));
    }

    void droppedFile_prefillsTheEditor_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("startPath");
        QTest::addColumn<QString>("name");
        QTest::newRow("windows path") << "D:\\Tools\\Viewer\\view.exe"
                                      << "Tools\\Viewer\\view.exe"
                                      << "view";
        QTest::newRow("no extension") << "D:\\bin\\tool"
                                      << "bin\\tool"
                                      << "tool";
        QTest::newRow("short path") << "D:\\"
                                    << ""
                                    << "D:\\";
        QTest::newRow("mounted disc") << "/media/cd/tools/app.exe"
                                      << "tools\\app.exe"
                                      << "app";
    }
    void droppedFile_prefillsTheEditor() {
        QFETCH(QString, path);
        QFETCH(QString, startPath);
        QFETCH(QString, name);
        desktop_->roots.insert(QStringLiteral("/media/cd"), QStringLiteral("/media/cd/"));
        Form1& w = start();
        w.EditSlotWithFile(0, path);
        QVERIFY(w.editor());
        QCOMPARE(w.handOverKey(), QStringLiteral("00"));
        auto field = [&](const char* n) {
            return w.editor()->findChild<QLineEdit*>(QLatin1String(n))->text();
        };
        QCOMPARE(field("Text5"), path);
        QCOMPARE(field("Text1"), startPath);
        QCOMPARE(field("Text4"), name);
        QCOMPARE(field("Text8"), QStringLiteral("登録ﾕｰｻﾞｰ名")); // the rest as stored
    }

    void dropOnASlotButton_usesTheFirstFileOnly() {
        QTemporaryDir files;
        const QString first = files.filePath(QStringLiteral("first.txt"));
        const QString second = files.filePath(QStringLiteral("second.txt"));
        for (const QString& f : {first, second}) {
            QFile file(f);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        Form1& w = start();
        w.show();
        QPushButton* com = child<QPushButton>(QStringLiteral("Com(1)"));

        // A drop without files opens nothing.
        QMimeData text;
        text.setText(QStringLiteral("just text"));
        QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton,
                                Qt::NoModifier);
        QApplication::sendEvent(com, &refused);
        QVERIFY(!refused.isAccepted());
        QDropEvent none(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(com, &none);
        QVERIFY(!w.editor());
        QVERIFY(w.isVisible());

        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(com, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(com, &drop);
        QVERIFY(w.editor());
        QCOMPARE(w.handOverKey(), QStringLiteral("10"));
        QCOMPARE(w.editor()->findChild<QLineEdit*>(QStringLiteral("Text4"))->text(),
                 QStringLiteral("first"));
    }
};

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"
