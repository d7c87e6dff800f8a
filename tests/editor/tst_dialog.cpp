// The entry editor as a user meets it: what it loads for a slot, what OK
// writes to the settings file and the icon file, what it changes in the main
// window, and the icons it offers for a source file.
#include "editor/Dialog.h"
#include "mainwindow/Form1.h"
#include "platform/SystemColour.h"
#include "store/FileName.h"
#include "store/Ini.h"
#include "store/Slots.h"
#include "tests/support/PeWriter.h"
#include "tests/support/ScriptedDesktop.h"

#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace kz;

namespace {

QImage Solid(QColor colour, int side = 32) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// A 32x32 icon: a coloured square in the middle, transparent around it.
QImage Framed(QColor colour) {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 8; y < 24; ++y)
        for (int x = 8; x < 24; ++x)
            image.setPixelColor(x, y, colour);
    return image;
}

} // namespace

class DialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ScriptedDesktop> desktop_;
    std::unique_ptr<Form1> window_;

    QString work() const { return dir_->path(); }
    QString settings() const { return LocalPath(work(), kSettingsLiteral); }
    QString read(const char* section, const QString& key) {
        return ReadIni(settings(), QLatin1String(section), key);
    }
    void set(const char* section, const QString& key, const QString& value) {
        WriteIni(*desktop_, settings(), QLatin1String(section), key, value);
    }
    Dialog* open(int button, int page = 0) {
        window_ = std::make_unique<Form1>(*desktop_, work(), work());
        if (!window_->startUp())
            return nullptr;
        window_->show();
        window_->setCurrentPage(page);
        window_->ShowPage();
        window_->EditSlot(button);
        return window_->editor();
    }
    QLineEdit* field(const char* name) {
        return window_->editor()->findChild<QLineEdit*>(QLatin1String(name));
    }
    QComboBox* iconList() { return window_->editor()->findChild<QComboBox*>(QStringLiteral("IC")); }
    void press(const char* button) {
        window_->editor()->findChild<QPushButton*>(QLatin1String(button))->click();
    }
    QString mainText(const char* name) {
        return window_->findChild<QLabel*>(QLatin1String(name))->text();
    }
    QString fiveIconProgram() {
        test::PeOptions options;
        const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::magenta};
        for (const QColor& c : colours)
            options.groups.push_back(test::IconGroup{{test::IconImage{Framed(c)}}, {}, 0});
        const QString path = dir_->filePath(QStringLiteral("five.exe"));
        [&] { QVERIFY(test::BuildPe(options).write(path)); }();
        return path;
    }
    QImage storedIcon(const QString& key) {
        QImageReader reader(LocalPath(work(), IconLiteral(key)));
        reader.setDecideFormatFromContent(true);
        [&] { QCOMPARE(reader.format(), QByteArray("bmp")); }();
        return reader.read();
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        desktop_ = std::make_unique<ScriptedDesktop>();
    }
    void cleanup() {
        window_.reset();
        desktop_.reset();
        dir_.reset();
    }

    void emptySlot_okStoresPathTitlesLabelAndABackgroundIcon() {
        Dialog* d = open(0);
        QVERIFY(d);
        for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7"})
            QCOMPARE(field(name)->text(), QString());
        QCOMPARE(field("Text8")->text(), QStringLiteral("登録ﾕｰｻﾞｰ名"));
        QCOMPARE(field("Text9")->text(), QStringLiteral("ｼﾘｱﾙｷｰ"));
        QVERIFY(iconList()->isHidden());
        // Opened again with a green background in place.
        press("CancelButton");
        QVERIFY(window_->isVisible());
        window_->applyLauncherColours(ColourValue(0, 128, 0), kButtonTextColour);
        window_->EditSlot(0);
        window_->setWindowTitle(QStringLiteral("MYCD"));
        press("OKButton");

        QFile file(settings());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // An empty value is all padding, which the writer drops.
        QVERIFY(bytes.contains("[FilePath]\r\nPath_00=\r\n"));
        QCOMPARE(read("NameTaitol", QStringLiteral("Name_00")), QStringLiteral("登録ﾕｰｻﾞｰ名"));
        QCOMPARE(read("SerialTaitol", QStringLiteral("Serial_00")), QStringLiteral("ｼﾘｱﾙｷｰ"));
        QCOMPARE(ReadIni(settings(), QStringLiteral("VolumeLabel"), QString()),
                 QStringLiteral("MYCD"));
        QVERIFY(!bytes.contains("[AppName]"));
        const QImage icon = storedIcon(QStringLiteral("00"));
        QCOMPARE(icon.size(), QSize(32, 32));
        QCOMPARE(icon.pixelColor(0, 0), QColor(0, 128, 0));
        QCOMPARE(icon.pixelColor(31, 31), QColor(0, 128, 0));
        QVERIFY(window_->isVisible());
        QVERIFY(window_->modified());
        QVERIFY(!window_->slotButton(0)->icon().isNull());
        QCOMPARE(desktop_->messages().size(), 0);
    }

    void caption_namesPageAndButton_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("caption");
        QTest::newRow("00") << 0 << 0 << QStringLiteral("1ページ目　ボタン1 ﾌﾟﾛﾊﾟﾃｨ");
        QTest::newRow("31") << 3 << 1 << QStringLiteral("2ページ目　ボタン4 ﾌﾟﾛﾊﾟﾃｨ");
        QTest::newRow("419") << 4 << 19 << QStringLiteral("20ページ目　ボタン5 ﾌﾟﾛﾊﾟﾃｨ");
    }
    void caption_namesPageAndButton() {
        QFETCH(int, button);
        QFETCH(int, page);
        QFETCH(QString, caption);
        Dialog* d = open(button, page);
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), caption);
        QVERIFY(d->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!window_->isVisible());
    }

    void filledSlot_okWritesOnlyWhatIsThere() {
        const QString key = QStringLiteral("112");
        set("FilePath", "Path_" + key, QStringLiteral("old\\app.exe"));
        set("Text1", "Text_" + key, QStringLiteral("一行目"));
        set("Text2", "Text_" + key, QStringLiteral("二行目"));
        set("AppName", "App_" + key, QStringLiteral("アプリ"));
        set("Name", "Name_" + key, QStringLiteral("山田"));
        set("Serial", "Serial_" + key, QStringLiteral("SER-1"));
        set("NameTaitol", "Name_" + key, QStringLiteral("会社"));
        Dialog* d = open(1, 12);
        QVERIFY(d);
        QCOMPARE(field("Text1")->text(), QStringLiteral("old\\app.exe"));
        QCOMPARE(field("Text2")->text(), QStringLiteral("一行目"));
        QCOMPARE(field("Text3")->text(), QStringLiteral("二行目"));
        QCOMPARE(field("Text4")->text(), QStringLiteral("アプリ"));
        QCOMPARE(field("Text7")->text(), QStringLiteral("山田"));
        QCOMPARE(field("Text6")->text(), QStringLiteral("SER-1"));
        QCOMPARE(field("Text8")->text(), QStringLiteral("会社"));
        QCOMPARE(field("Text9")->text(), QStringLiteral("ｼﾘｱﾙｷｰ"));

        field("Text1")->clear(); // the path can be cleared
        field("Text2")->clear(); // other fields cannot
        field("Text8")->clear();
        field("Text3")->setText(QStringLiteral("新しい二行目"));
        field("Text4")->setText(QStringLiteral("新アプリ"));
        window_->findChild<QLabel*>(QStringLiteral("Label2"))->setText(QStringLiteral("shown"));
        press("OKButton");

        QCOMPARE(read("FilePath", "Path_" + key), QString());
        QCOMPARE(read("Text1", "Text_" + key), QStringLiteral("一行目"));
        QCOMPARE(read("Text2", "Text_" + key), QStringLiteral("新しい二行目"));
        QCOMPARE(read("AppName", "App_" + key), QStringLiteral("新アプリ"));
        QCOMPARE(read("NameTaitol", "Name_" + key), QStringLiteral("会社"));
        // The main window shows the edit at once, an emptied field as it was.
        QCOMPARE(mainText("Label2"), QStringLiteral("shown"));
        QCOMPARE(mainText("Label3"), QStringLiteral("新しい二行目"));
        QCOMPARE(mainText("Label5"), QString());
        QCOMPARE(mainText("Label7"), QString());
        QCOMPARE(mainText("Label6"), QStringLiteral("ｼﾘｱﾙｷｰ"));
        QCOMPARE(mainText("Label1(1)"), QStringLiteral("新アプリ"));
        QCOMPARE(window_->findChild<QLineEdit*>(QStringLiteral("Text1"))->text(),
                 QStringLiteral("山田"));
        // The stored title comes back on the next opening.
        window_->EditSlot(1);
        QCOMPARE(field("Text8")->text(), QStringLiteral("会社"));
    }

    void oversizedField_warnsOnceAndStillCloses() {
        Dialog* d = open(2);
        QVERIFY(d);
        field("Text2")->setText(QString(51, QChar(0x3042))); // 102 bytes
        field("Text4")->setText(QStringLiteral("ok"));
        press("OKButton");
        QCOMPARE(desktop_->messages().size(), 1);
        QCOMPARE(desktop_->messages()[0].title, QStringLiteral("入力　エラー"));
        QCOMPARE(read("AppName", QStringLiteral("App_20")), QStringLiteral("ok"));
        QCOMPARE(read("Text1", QStringLiteral("Text_20")), QString(49, QChar(0x3042)));
        QVERIFY(window_->isVisible());
    }

    void startFileButton_takesPathOnDiscAndVolumeLabel() {
        desktop_->labels.insert(QStringLiteral("D:\\"), QStringLiteral("TOOLSCD"));
        desktop_->queueFile(QStringLiteral("D:\\tools\\app.exe"));
        Dialog* d = open(0);
        QVERIFY(d);
        press("Command2");
        QCOMPARE(field("Text1")->text(), QStringLiteral("tools\\app.exe"));
        QCOMPARE(window_->windowTitle(), QStringLiteral("TOOLSCD"));
        QCOMPARE(desktop_->callsOf("openFile").last().filter,
                 QStringLiteral("全てのﾌｧｲﾙ(*.*)|*.*|実行ﾌｧｲﾙ(*.exe)|*.exe"));
        // A cancelled choice changes nothing.
        press("Command2");
        QCOMPARE(field("Text1")->text(), QStringLiteral("tools\\app.exe"));
        // Cancel keeps the caption taken, and writes nothing.
        press("CancelButton");
        QCOMPARE(window_->windowTitle(), QStringLiteral("TOOLSCD"));
        QVERIFY(!QFile::exists(settings()));
        QVERIFY(!QDir(LocalPath(work(), kIconFolderLiteral)).exists());
    }

    void drops_fillTheirFields() {
        const QString file = dir_->filePath(QStringLiteral("viewer.exe"));
        QVERIFY(test::WriteBytes(file, "not really a program"));
        Dialog* d = open(0);
        QVERIFY(d);
        auto drop = [&](QWidget* target) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(file)});
            QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(target, &enter);
            QDropEvent event(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        };
        drop(field("Text4"));
        QCOMPARE(field("Text4")->text(), QStringLiteral("viewer"));
        drop(field("Text5"));
        QCOMPARE(field("Text5")->text(), file);
        drop(field("Text2")); // not a drop target for files
        QCOMPARE(field("Text2")->text(), QString());
    }

    void focus_selectsTheWholeField() {
        Dialog* d = open(0);
        QVERIFY(d);
        field("Text3")->setText(QStringLiteral("abcdef"));
        field("Text3")->deselect();
        QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(field("Text3"), &in);
        QCOMPARE(field("Text3")->selectedText(), QStringLiteral("abcdef"));
    }

    void iconChoices_offerEveryIconOfTheFile() {
        const QString program = fiveIconProgram();
        Dialog* d = open(0);
        QVERIFY(d);
        press("CancelButton");
        window_->applyLauncherColours(ColourValue(255, 255, 255), kButtonTextColour);
        window_->EditSlot(0); // reopened on the white background
        field("Text5")->setText(program);
        QCOMPARE(iconList()->count(), 5);
        QVERIFY(!iconList()->isHidden());
        QCOMPARE(window_->editor()->composedImage().pixelColor(16, 16), QColor(Qt::red));
        iconList()->setCurrentIndex(2);
        emit iconList()->activated(2);
        press("OKButton");
        const QImage icon = storedIcon(QStringLiteral("00"));
        QCOMPARE(icon.pixelColor(16, 16), QColor(Qt::blue));
        QCOMPARE(icon.pixelColor(1, 1), QColor(Qt::white)); // transparent shows the background
    }

    void iconChoices_iconFilesAndSingleIcons() {
        const QString program = fiveIconProgram();
        const QString ico = dir_->filePath(QStringLiteral("single.ico"));
        QVERIFY(test::WriteBytes(ico, test::IcoFile({test::IconImage{Solid(Qt::cyan)}})));
        const QString upper = dir_->filePath(QStringLiteral("SINGLE.ICO"));
        QVERIFY(QFile::copy(ico, upper));
        Dialog* d = open(0);
        QVERIFY(d);
        // One icon: previewed, no list.
        field("Text5")->setText(upper);
        QCOMPARE(iconList()->count(), 1);
        QVERIFY(iconList()->isHidden());
        QCOMPARE(d->composedImage().pixelColor(16, 16), QColor(Qt::cyan));
        // Five icons, then an icon file: the list stays with the program's icons.
        field("Text5")->setText(program);
        QCOMPARE(iconList()->count(), 5);
        field("Text5")->setText(ico);
        QCOMPARE(d->composedImage().pixelColor(16, 16), QColor(Qt::cyan));
        QCOMPARE(iconList()->count(), 5);
        QVERIFY(!iconList()->isHidden());
        emit iconList()->activated(4);
        QCOMPARE(d->composedImage().pixelColor(16, 16), QColor(Qt::magenta));
        // Typing a path that names nothing changes nothing.
        field("Text5")->setText(dir_->filePath(QStringLiteral("fiv")));
        QCOMPARE(iconList()->count(), 5);
        QCOMPARE(d->composedImage().pixelColor(16, 16), QColor(Qt::magenta));
        // An upper-case ICO after a program replaces the list (never hidden again).
        field("Text5")->setText(upper);
        QCOMPARE(iconList()->count(), 1);
        QVERIFY(!iconList()->isHidden());
    }

    void iconFileButton_setsTheSource() {
        const QString program = fiveIconProgram();
        desktop_->queueFile(program);
        Dialog* d = open(0);
        QVERIFY(d);
        press("Command1");
        QCOMPARE(field("Text5")->text(), program);
        QVERIFY(desktop_->callsOf("openFile")
                    .last()
                    .filter.startsWith(QStringLiteral("全てのﾌｧｲﾙ(*.*)|*.*|ｱｲｺﾝ(*.ico)|*.ico|")));
        press("Command1"); // cancelled
        QCOMPARE(field("Text5")->text(), program);
    }

    void layout_andTabOrder() {
        Dialog* d = open(0);
        QVERIFY(d);
        QCOMPARE(d->size(), QSize(5610 / 15, 4455 / 15));
        QCOMPARE(field("Text5")->geometry(), QRect(1080 / 15, 360 / 15, 3135 / 15, 270 / 15));
        QCOMPARE(field("Text6")->geometry(), QRect(120 / 15, 4080 / 15, 4335 / 15, 270 / 15));
        QCOMPARE(iconList()->pos(), QPoint(8, 16));
        QCOMPARE(d->findChild<QWidget*>(QStringLiteral("Picture1"))->pos(), QPoint(8, 16));
        const QStringList order = {"Text5", "Command1", "IC",       "Text4",       "Text2",
                                   "Text3", "Text1",    "Command2", "Text8",       "Text7",
                                   "Text9", "Text6",    "OKButton", "CancelButton"};
        QWidget* w = d->findChild<QWidget*>(order.first());
        for (qsizetype i = 1; i < order.size(); ++i) {
            w = w->nextInFocusChain();
            while (w->focusPolicy() == Qt::NoFocus || w->objectName().isEmpty())
                w = w->nextInFocusChain();
            QCOMPARE(w->objectName(), order[i]);
        }
        QCOMPARE(field("Text2")->palette().color(QPalette::Text), QColor(255, 0, 0));
        QCOMPARE(field("Text1")->toolTip(), QStringLiteral("→のボタンで選択"));
    }
};

QTEST_MAIN(DialogTest)
#include "tst_dialog.moc"
