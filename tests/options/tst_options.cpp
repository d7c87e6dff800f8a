// The options dialog as a user meets it: what it shows when it opens, what
// the colour picker, the icon choice, drops and the list menu change, and
// what OK and Cancel leave in the working folder, in the per-user store and
// in the main window. Also the CD icon replacement on its own, which must
// never lose the working icon.
#include "options/CdIcon.h"
#include "options/ExtraFiles.h"
#include "options/OptionsHost.h"
#include "options/frmOpt.h"
#include "platform/SystemColour.h"
#include "platform/Twips.h"
#include "store/FileName.h"
#include "store/Slots.h"
#include "tests/support/ScriptedDesktop.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace kz;

namespace {

using Store = QHash<QString, QString>;

// Records the title and preselected filter of every file dialog as well.

// The main window as the dialog sees it.
class FakeMainWindow : public QWidget, public OptionsHost {
public:
    FakeMainWindow(Desktop& desktop, const QString& workFolder)
        : desktop_(desktop), workFolder_(workFolder) {}

    QWidget* hostWindow() override { return this; }
    Desktop& hostDesktop() override { return desktop_; }
    QString hostWorkFolder() const override { return workFolder_; }
    std::uint32_t hostBackground() const override { return background_; }
    std::uint32_t hostTextColour() const override { return text_; }
    void applyLauncherColours(std::uint32_t background, std::uint32_t text) override {
        background_ = background;
        text_ = text;
    }
    void setHostIcon(const QIcon& icon) override { setWindowIcon(icon); }

private:
    Desktop& desktop_;
    QString workFolder_;
    std::uint32_t background_ = kButtonFaceColour;
    std::uint32_t text_ = kButtonTextColour;
};

const QString kIconFilter = QStringLiteral("ｱｲｺﾝ(*.ico)|*.ico");
const QString kExtraFileFilter =
    QStringLiteral("ﾀﾞｲﾅﾐｯｸﾗｲﾌﾞﾗﾘ(*.dll)|*.dll|実行ﾌｧｲﾙ(*.exe)|*.exe|全てのﾌｧｲﾙ(*.*)|*.*");
const QDateTime kLongAgo(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);

QImage Solid(const QColor& colour) {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QIcon SolidIcon(const QColor& colour) {
    return QIcon(QPixmap::fromImage(Solid(colour)));
}

QColor CentreOf(const QPixmap& pixmap) {
    return pixmap.isNull() ? QColor() : pixmap.toImage().pixelColor(16, 16);
}

QColor CentreOf(const QIcon& icon) {
    return CentreOf(icon.pixmap(QSize(32, 32)));
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Backdates the file, so a test can tell whether it was written again.
bool Backdate(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) &&
           file.setFileTime(kLongAgo, QFileDevice::FileModificationTime);
}

QDateTime Modified(const QString& path) {
    return QFileInfo(path).fileTime(QFileDevice::FileModificationTime).toUTC();
}

QColor Background(const QWidget* widget) {
    return widget->palette().color(QPalette::Window);
}

} // namespace

class OptionsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ScriptedDesktop> desktop_;
    std::unique_ptr<FakeMainWindow> main_;
    QPointer<frmOpt> dialog_;

    QString work() const { return dir_->path(); }
    QString file(const QString& name) const { return dir_->filePath(name); }
    QString workingIcon() const { return LocalPath(work(), kCdIconName); }

    QString icon(const QString& name, const QColor& colour) {
        const QString path = file(name);
        [&] { QVERIFY(Solid(colour).save(path, "ICO")); }();
        return path;
    }
    void storeList(const Store& values) {
        desktop_->settings[QStringLiteral("Quelmark/DLLFile")] = values;
    }
    Store storedList() const {
        return desktop_->settings.value(QStringLiteral("Quelmark/DLLFile"));
    }

    frmOpt* open() {
        dialog_ = new frmOpt(*main_);
        dialog_->show();
        return dialog_;
    }
    template <class T> T* control(const char* name) const {
        return dialog_ ? dialog_->findChild<T*>(QLatin1String(name)) : nullptr;
    }
    QLabel* label(const char* name) const { return control<QLabel>(name); }
    QListWidget* list() const { return control<QListWidget>("List1"); }
    QStringList lines() const {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            out.append(list()->item(i)->text());
        return out;
    }
    void press(const char* name) { control<QPushButton>(name)->click(); }
    void menu(const char* name) { control<QAction>(name)->trigger(); }
    void click(const char* name) { QTest::mouseClick(label(name), Qt::LeftButton); }
    // The dialog deletes itself once closed.
    bool gone() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return dialog_.isNull();
    }
    // A drop from the file manager onto the CD icon preview; true when the
    // drag was welcomed.
    bool drop(const QList<QUrl>& urls, const QString& text = QString()) {
        QMimeData data;
        if (!urls.isEmpty())
            data.setUrls(urls);
        if (!text.isEmpty())
            data.setText(text);
        QWidget* target = label("Picture1");
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
        return enter.isAccepted();
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        desktop_ = std::make_unique<ScriptedDesktop>();
        main_ = std::make_unique<FakeMainWindow>(*desktop_, work());
        main_->setWindowIcon(SolidIcon(Qt::blue));
    }
    void cleanup() {
        delete dialog_;
        main_.reset();
        desktop_.reset();
        dir_.reset();
    }

    void opening_showsTheLauncherColours_andOkKeepsTheirValues_data() {
        QTest::addColumn<quint32>("background");
        QTest::addColumn<quint32>("text");
        QTest::newRow("explicit") << quint32(ColourValue(10, 20, 30))
                                  << quint32(ColourValue(200, 0, 100));
        // After New the window holds system colours; they stay system colours.
        QTest::newRow("system") << quint32(kButtonFaceColour) << quint32(kButtonTextColour);
    }
    void opening_showsTheLauncherColours_andOkKeepsTheirValues() {
        QFETCH(quint32, background);
        QFETCH(quint32, text);
        main_->applyLauncherColours(background, text);
        open();
        QCOMPARE(Background(label("F_Color")), ResolveColour(background));
        QCOMPARE(Background(label("Label3")), ResolveColour(text));
        QCOMPARE(label("Label4")->palette().color(QPalette::WindowText), ResolveColour(text));
        press("OK");
        QCOMPARE(main_->hostBackground(), background);
        QCOMPARE(main_->hostTextColour(), text);
        QVERIFY(gone());
    }

    void opening_modelessOnTheSecondTab_withTheMainWindowsIcon() {
        open();
        QCOMPARE(dialog_->windowTitle(), QStringLiteral("ｵﾌﾟｼｮﾝ"));
        QVERIFY(!dialog_->isModal());
        QCOMPARE(CentreOf(dialog_->windowIcon()), QColor(Qt::blue));
        QCOMPARE(control<QTabWidget>("SSTab1")->currentIndex(), 1);
        QVERIFY(list()->isVisible());
        QVERIFY(!control<QGroupBox>("Frame1")->isVisible());
        QVERIFY(!label("Picture1")->isVisible());
    }

    void opening_showsTheWorkingCdIconWhenThereIsOne_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("shown");
        QTest::newRow("none") << "none" << false;
        QTest::newRow("icon file") << "ico" << true;
        QTest::newRow("bitmap named .ico") << "bmp" << true;
        QTest::newRow("folder named ARun.ico") << "folder" << false;
    }
    void opening_showsTheWorkingCdIconWhenThereIsOne() {
        QFETCH(QString, kind);
        QFETCH(bool, shown);
        if (kind == QLatin1String("ico"))
            QVERIFY(Solid(Qt::red).save(workingIcon(), "ICO"));
        else if (kind == QLatin1String("bmp"))
            QVERIFY(Solid(Qt::red).save(workingIcon(), "BMP"));
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(workingIcon()));
        open();
        QCOMPARE(label("Label1")->text(), shown ? workingIcon() : QString());
        QCOMPARE(CentreOf(label("Picture1")->pixmap()), shown ? QColor(Qt::red) : QColor());
    }

    void opening_listsStoredFilesUpToTheFirstGap_data() {
        QTest::addColumn<Store>("stored");
        QTest::addColumn<QStringList>("expected");
        const QString a = QStringLiteral("/opt/a.dll"), b = QStringLiteral("/opt/b.exe"),
                      c = QStringLiteral("/opt/c.dll");
        QTest::newRow("no section") << Store{} << QStringList{};
        QTest::newRow("three") << Store{{"0", a}, {"1", b}, {"2", c}} << QStringList{a, b, c};
        QTest::newRow("missing number") << Store{{"0", a}, {"1", b}, {"3", c}} << QStringList{a, b};
        QTest::newRow("empty value") << Store{{"0", a}, {"1", ""}, {"2", c}} << QStringList{a};
        QTest::newRow("no zero") << Store{{"1", b}} << QStringList{};
    }
    void opening_listsStoredFilesUpToTheFirstGap() {
        QFETCH(Store, stored);
        QFETCH(QStringList, expected);
        if (!stored.isEmpty())
            storeList(stored);
        open();
        QCOMPARE(lines(), expected);
        QCOMPARE(ReadExtraFiles(*desktop_), expected);
    }

    void layout_followsTheWindowDrawing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("relativeTo");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<int>("tab");
        QTest::newRow("SSTab1") << "SSTab1"
                                << "" << QRect(120, 120, 4575, 2415) << 1;
        QTest::newRow("OK") << "OK"
                            << "" << QRect(2400, 2640, 1095, 375) << 1;
        QTest::newRow("Command2") << "Command2"
                                  << "" << QRect(3600, 2640, 1095, 375) << 1;
        // On a tab: relative to the tab control, its tab row included.
        QTest::newRow("Frame1") << "Frame1"
                                << "SSTab1" << QRect(120, 780, 4215, 735) << 0;
        QTest::newRow("Frame3") << "Frame3"
                                << "SSTab1" << QRect(120, 1620, 4215, 735) << 0;
        QTest::newRow("List1") << "List1"
                               << "SSTab1" << QRect(120, 360, 4335, 1860) << 1;
        QTest::newRow("Picture1") << "Picture1"
                                  << "SSTab1" << QRect(120, 600, 615, 615) << 2;
        QTest::newRow("Label1") << "Label1"
                                << "SSTab1" << QRect(840, 600, 3375, 495) << 2;
        // In a frame: relative to the frame.
        QTest::newRow("F_Color") << "F_Color"
                                 << "Frame1" << QRect(120, 240, 855, 375) << 0;
        QTest::newRow("Label4") << "Label4"
                                << "Frame3" << QRect(1560, 360, 1815, 255) << 0;
    }
    void layout_followsTheWindowDrawing() {
        QFETCH(QString, name);
        QFETCH(QString, relativeTo);
        QFETCH(QRect, twips);
        QFETCH(int, tab);
        open();
        // Measured where the user sees the control, after the tab row was
        // laid out for the font in use.
        control<QTabWidget>("SSTab1")->setCurrentIndex(tab);
        dialog_->setFont(QFont(dialog_->font().family(), 12));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(dialog_->size(), QSize(323, 204)); // 4845 x 3060 twips
        auto* widget = dialog_->findChild<QWidget*>(name);
        QVERIFY(widget);
        QWidget* reference =
            relativeTo.isEmpty() ? dialog_.data() : dialog_->findChild<QWidget*>(relativeTo);
        QVERIFY(reference);
        const QRect expected(twips.x() / 15, twips.y() / 15, twips.width() / 15,
                             twips.height() / 15);
        QCOMPARE(QRect(widget->mapTo(reference, QPoint(0, 0)), widget->size()), expected);
    }

    void colourPicker_changesOnlyTheSwatch_data() {
        QTest::addColumn<QString>("swatch");
        QTest::addColumn<quint32>("initial");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<quint32>("expected");
        const quint32 picked = ColourValue(0, 128, 255);
        const quint32 olive = ColourValue(128, 128, 0);
        QTest::newRow("background picked") << "F_Color" << olive << false << picked;
        QTest::newRow("background cancelled") << "F_Color" << olive << true << olive;
        QTest::newRow("system background cancelled")
            << "F_Color" << quint32(kButtonFaceColour) << true << quint32(kButtonFaceColour);
        QTest::newRow("text picked") << "Label3" << olive << false << picked;
        QTest::newRow("text cancelled") << "Label3" << olive << true << olive;
    }
    void colourPicker_changesOnlyTheSwatch() {
        QFETCH(QString, swatch);
        QFETCH(quint32, initial);
        QFETCH(bool, cancel);
        QFETCH(quint32, expected);
        const bool background = swatch == QLatin1String("F_Color");
        const quint32 other = ColourValue(1, 2, 3);
        main_->applyLauncherColours(background ? initial : other, background ? other : initial);
        if (!cancel)
            desktop_->queueColour(ColourValue(0, 128, 255));
        open();
        control<QTabWidget>("SSTab1")->setCurrentIndex(0);
        click(swatch.toLatin1().constData());

        // The picker starts from the swatch's own colour value.
        QCOMPARE(desktop_->textsOf("chooseColour"), QStringList{QString::number(initial, 16)});
        QCOMPARE(Background(label(background ? "F_Color" : "Label3")), ResolveColour(expected));
        QCOMPARE(Background(label(background ? "Label3" : "F_Color")), ResolveColour(other));
        QCOMPARE(label("Label4")->palette().color(QPalette::WindowText),
                 ResolveColour(background ? other : expected));
        // Nothing reaches the main window before OK.
        QCOMPARE(main_->hostBackground(), background ? initial : other);
        QCOMPARE(main_->hostTextColour(), background ? other : initial);
    }

    void textColour_pickedAndConfirmed_isThereOnReopening() {
        const quint32 picked = ColourValue(255, 0, 0);
        desktop_->queueColour(picked);
        open();
        click("Label3");
        press("OK");
        QVERIFY(gone());
        QCOMPARE(main_->hostTextColour(), picked);
        open();
        QCOMPARE(Background(label("Label3")), QColor(Qt::red));
        QCOMPARE(label("Label4")->palette().color(QPalette::WindowText), QColor(Qt::red));
    }

    void pictureClick_asksForAnIcon_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("icon chosen") << true;
        QTest::newRow("cancelled") << false;
    }
    void pictureClick_asksForAnIcon() {
        QFETCH(bool, answer);
        QVERIFY(Solid(Qt::red).save(workingIcon(), "ICO"));
        const QString green = icon(QStringLiteral("green.ico"), Qt::green);
        if (answer)
            desktop_->queueFile(green);
        open();
        click("Picture1");
        const auto files = desktop_->callsOf("openFile");
        QCOMPARE(files.size(), 1);
        QCOMPARE(files[0].filter, kIconFilter);
        QCOMPARE(files[0].title, QString());
        QCOMPARE(files[0].filterIndex, 0);
        QCOMPARE(label("Label1")->text(), answer ? green : workingIcon());
        QCOMPARE(CentreOf(label("Picture1")->pixmap()),
                 answer ? QColor(Qt::green) : QColor(Qt::red));
    }

    void iconDrop_takesTheFirstFileWhenItsNameEndsInIco_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("taken");
        QTest::addColumn<bool>("loads");
        QTest::newRow("capitals") << QStringList{"CD.ICO"} << "CD.ICO" << true;
        QTest::newRow("backup of an icon") << QStringList{"cd.ico.bak"} << "" << false;
        QTest::newRow("first of several")
            << QStringList{"first.ico", "second.ico"} << "first.ico" << true;
        QTest::newRow("icon not first") << QStringList{"notes.txt", "cd.ico"} << "" << false;
        QTest::newRow("no file") << QStringList{} << "" << false;
        // The path is taken before the picture fails to load.
        QTest::newRow("not a picture") << QStringList{"broken.ico"} << "broken.ico" << false;
    }
    void iconDrop_takesTheFirstFileWhenItsNameEndsInIco() {
        QFETCH(QStringList, files);
        QFETCH(QString, taken);
        QFETCH(bool, loads);
        QList<QUrl> urls;
        for (const QString& name : files) {
            if (name == QLatin1String("broken.ico"))
                QVERIFY(WriteBytes(file(name), "not a picture"));
            else
                icon(name, name.startsWith(QLatin1String("first")) ? Qt::green : Qt::red);
            urls.append(QUrl::fromLocalFile(file(name)));
        }
        open();
        const bool welcomed =
            drop(urls, files.isEmpty() ? QStringLiteral("plain text") : QString());
        QCOMPARE(welcomed, !taken.isEmpty());
        QCOMPARE(label("Label1")->text(), taken.isEmpty() ? QString() : file(taken));
        QCOMPARE(label("Picture1")->pixmap().isNull(), !loads);
        if (taken == QLatin1String("first.ico"))
            QCOMPARE(CentreOf(label("Picture1")->pixmap()), QColor(Qt::green));
    }

    void ok_appliesColoursIconAndList() {
        const quint32 red = ColourValue(255, 0, 0), blue = ColourValue(0, 0, 255);
        desktop_->queueColour(red);
        desktop_->queueColour(blue);
        const QString green = icon(QStringLiteral("green.ico"), Qt::green);
        const QString a = file(QStringLiteral("a.dll")), b = file(QStringLiteral("b.exe"));
        desktop_->queueFile(a);
        desktop_->queueFile(b);
        open();
        click("F_Color");
        click("Label3");
        drop({QUrl::fromLocalFile(green)});
        menu("mnuAdd");
        menu("mnuAdd");
        QVERIFY(!QFile::exists(workingIcon()));
        QCOMPARE(storedList(), Store{});

        press("OK");
        QCOMPARE(main_->hostBackground(), red);
        QCOMPARE(main_->hostTextColour(), blue);
        QCOMPARE(Bytes(workingIcon()), Bytes(green));
        QCOMPARE(CentreOf(main_->windowIcon()), QColor(Qt::green));
        QCOMPARE(storedList(), (Store{{"0", a}, {"1", b}}));
        QVERIFY(gone());
    }

    void ok_withoutAnyCdIcon_changesNoFileAndNotTheWindowIcon() {
        open();
        QCOMPARE(label("Label1")->text(), QString());
        QVERIFY(label("Picture1")->pixmap().isNull());
        press("OK");
        QVERIFY(gone());
        QCOMPARE(QDir(work()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{});
        QCOMPARE(CentreOf(main_->windowIcon()), QColor(Qt::blue));
    }

    void ok_keepsTheWorkingIconUntouched_data() {
        QTest::addColumn<QString>("choice");
        QTest::newRow("as opened") << "";
        QTest::newRow("same text chosen") << "same";
        QTest::newRow("other spelling dropped") << "dot";
        QTest::newRow("chosen file deleted before OK") << "deleted";
    }
    void ok_keepsTheWorkingIconUntouched() {
        QFETCH(QString, choice);
        QVERIFY(Solid(Qt::red).save(workingIcon(), "ICO"));
        const QByteArray before = Bytes(workingIcon());
        QVERIFY(Backdate(workingIcon()));
        const QString green = icon(QStringLiteral("green.ico"), Qt::green);
        desktop_->queueFile(choice == QLatin1String("same") ? workingIcon() : green);
        open();
        if (choice == QLatin1String("same") || choice == QLatin1String("deleted"))
            click("Picture1");
        if (choice == QLatin1String("dot"))
            drop({QUrl::fromLocalFile(work() + QStringLiteral("/./") + kCdIconName)});
        if (choice == QLatin1String("deleted"))
            QVERIFY(QFile::remove(green));
        press("OK");
        QVERIFY(gone());
        QCOMPARE(Bytes(workingIcon()), before);
        QCOMPARE(Modified(workingIcon()), kLongAgo);
        QCOMPARE(CentreOf(main_->windowIcon()), QColor(Qt::red));
    }

    void listRightClick_popsUpTheMenuWithoutChangingTheSelection() {
        storeList({{"0", "/a.dll"}, {"1", "/b.dll"}, {"2", "/c.dll"}});
        open();
        list()->setCurrentRow(2);
        const QPoint onFirst = list()->visualItemRect(list()->item(0)).center();
        QTest::mousePress(list()->viewport(), Qt::RightButton, {}, onFirst);
        QTest::mouseRelease(list()->viewport(), Qt::RightButton, {}, onFirst);
        auto* popup = control<QMenu>("mnusub");
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->pos(), list()->viewport()->mapToGlobal(onFirst));
        QCOMPARE(list()->currentRow(), 2);
        QCOMPARE(list()->selectedItems(), QList<QListWidgetItem*>{list()->item(2)});
        popup->hide();
        // The left button selects as in any list.
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, onFirst);
        QCOMPARE(list()->selectedItems(), QList<QListWidgetItem*>{list()->item(0)});
    }

    void addToList_asksForAFileAndAppendsIt_data() {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("times");
        QTest::addColumn<Store>("stored");
        QTest::newRow("one") << QStringList{"/opt/x.dll"} << 1
                             << Store{{"0", "/old.dll"}, {"1", "/opt/x.dll"}};
        QTest::newRow("same file twice")
            << QStringList{"/opt/x.dll", "/opt/x.dll"} << 2
            << Store{{"0", "/old.dll"}, {"1", "/opt/x.dll"}, {"2", "/opt/x.dll"}};
        QTest::newRow("cancelled") << QStringList{} << 1 << Store{{"0", "/old.dll"}};
    }
    void addToList_asksForAFileAndAppendsIt() {
        QFETCH(QStringList, answers);
        QFETCH(int, times);
        QFETCH(Store, stored);
        storeList({{"0", "/old.dll"}});
        for (const QString& answer : answers)
            desktop_->queueFile(answer);
        open();
        for (int i = 0; i < times; ++i)
            menu("mnuAdd");
        const auto files = desktop_->callsOf("openFile");
        QCOMPARE(files.size(), times);
        for (const auto& f : files) {
            QCOMPARE(f.title, QStringLiteral("追加ファイルの選択"));
            QCOMPARE(f.filter, kExtraFileFilter);
            QCOMPARE(f.filterIndex, 0);
        }
        QCOMPARE(lines(), QStringList{"/old.dll"} + answers);
        press("OK");
        QCOMPARE(storedList(), stored);
    }

    void removeFromList_removesTheSelectedLineOnly_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("times");
        QTest::addColumn<QStringList>("left");
        const QStringList all{"/a.dll", "/b.dll", "/c.dll"};
        QTest::newRow("nothing selected") << -1 << 1 << all;
        QTest::newRow("middle") << 1 << 1 << QStringList{"/a.dll", "/c.dll"};
        // The selection goes with its line; a second removal has nothing to take.
        QTest::newRow("twice after one selection") << 0 << 2 << QStringList{"/b.dll", "/c.dll"};
        QTest::newRow("every line") << 0 << 3 << QStringList{};
    }
    void removeFromList_removesTheSelectedLineOnly() {
        QFETCH(int, selected);
        QFETCH(int, times);
        QFETCH(QStringList, left);
        storeList({{"0", "/a.dll"}, {"1", "/b.dll"}, {"2", "/c.dll"}});
        open();
        if (selected >= 0)
            list()->setCurrentRow(selected);
        for (int i = 0; i < times; ++i) {
            menu("mnuDel");
            if (left.isEmpty())
                list()->setCurrentRow(0);
        }
        QCOMPARE(lines(), left);
        press("OK");
        QVERIFY(gone());
        QCOMPARE(storedList().size(), left.size());
        QCOMPARE(ReadExtraFiles(*desktop_), left);
        open();
        QCOMPARE(lines(), left);
    }

    void ok_rewritesAnUnchangedListFromZero_andNoOtherSection() {
        const Store three{{"0", "/a.dll"}, {"1", "/b.dll"}, {"2", "/c.dll"}};
        Store stale = three;
        stale.insert(QStringLiteral("4"), QStringLiteral("/left-over.dll"));
        storeList(stale);
        desktop_->setUserSetting(QStringLiteral("Quelmark"), QStringLiteral("Other"),
                                 QStringLiteral("0"), QStringLiteral("kept"));
        open();
        press("OK");
        QCOMPARE(storedList(), three);
        QCOMPARE(desktop_->userSetting(QStringLiteral("Quelmark"), QStringLiteral("Other"),
                                       QStringLiteral("0")),
                 QStringLiteral("kept"));
    }

    void cancel_leavesEverythingAsItWas_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("キャンセル") << false;
        QTest::newRow("close box") << true;
    }
    void cancel_leavesEverythingAsItWas() {
        QFETCH(bool, closeBox);
        const Store stored{{"0", "/a.dll"}, {"1", "/b.dll"}};
        storeList(stored);
        QVERIFY(Solid(Qt::red).save(workingIcon(), "ICO"));
        const QByteArray before = Bytes(workingIcon());
        QVERIFY(Backdate(workingIcon()));
        main_->applyLauncherColours(ColourValue(1, 2, 3), ColourValue(4, 5, 6));
        desktop_->queueColour(ColourValue(255, 255, 0));
        desktop_->queueColour(ColourValue(0, 255, 255));
        desktop_->queueFile(QStringLiteral("/opt/new.dll"));
        const QString green = icon(QStringLiteral("green.ico"), Qt::green);

        open();
        click("F_Color");
        click("Label3");
        drop({QUrl::fromLocalFile(green)});
        menu("mnuAdd");
        list()->setCurrentRow(0);
        menu("mnuDel");
        if (closeBox)
            dialog_->close();
        else
            press("Command2");

        QVERIFY(gone());
        QCOMPARE(main_->hostBackground(), ColourValue(1, 2, 3));
        QCOMPARE(main_->hostTextColour(), ColourValue(4, 5, 6));
        QCOMPARE(CentreOf(main_->windowIcon()), QColor(Qt::blue));
        QCOMPARE(Bytes(workingIcon()), before);
        QCOMPARE(Modified(workingIcon()), kLongAgo);
        QCOMPARE(storedList(), stored);
    }

    void escape_doesNotCloseTheDialog() {
        open();
        QTest::keyClick(dialog_.data(), Qt::Key_Escape);
        QVERIFY(!gone());
        QVERIFY(dialog_->isVisible());
    }

    // The CD icon replacement alone. The working icon holds "OLD" and was
    // written long ago; other.ico holds "NEW", sub/link.ico links to the
    // working icon. Paths are relative to the working folder.
    void applyCdIcon_neverLosesTheWorkingIcon_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("unreadable");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("same text") << "ARun.ico" << false << false;
        QTest::newRow("dot segment") << "./ARun.ico" << false << false;
        QTest::newRow("up and back") << "sub/../ARun.ico" << false << false;
        QTest::newRow("link to it") << "sub/link.ico" << false << false;
        // Another name on a case-sensitive volume, the same file elsewhere;
        // either way the working icon stays.
        QTest::newRow("other letter case") << "ARUN.ICO" << false << false;
        QTest::newRow("missing") << "gone.ico" << false << false;
        QTest::newRow("folder") << "sub" << false << false;
        QTest::newRow("unreadable") << "other.ico" << true << false;
        QTest::newRow("nothing chosen") << "" << false << false;
        QTest::newRow("another file") << "other.ico" << false << true;
    }
    void applyCdIcon_neverLosesTheWorkingIcon() {
        QFETCH(QString, chosen);
        QFETCH(bool, unreadable);
        QFETCH(bool, replaced);
        const QString working = CdIconPath(work());
        QCOMPARE(working, file(kCdIconName));
        QVERIFY(WriteBytes(working, "OLD"));
        QVERIFY(Backdate(working));
        QVERIFY(WriteBytes(file(QStringLiteral("other.ico")), "NEW"));
        QVERIFY(QDir().mkpath(file(QStringLiteral("sub"))));
        QVERIFY(QFile::link(working, file(QStringLiteral("sub/link.ico"))));
        if (unreadable) {
            QVERIFY(QFile::setPermissions(file(chosen), QFileDevice::Permissions{}));
            QFile probe(file(chosen));
            if (probe.open(QIODevice::ReadOnly))
                QSKIP("this user reads files without read permission");
        }

        QCOMPARE(ApplyCdIcon(chosen.isEmpty() ? QString() : file(chosen), working), replaced);
        QCOMPARE(Bytes(working), QByteArray(replaced ? "NEW" : "OLD"));
        if (!replaced)
            QCOMPARE(Modified(working), kLongAgo);
        // No temporary file is left beside the icon.
        QCOMPARE(QDir(work()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
                 (QStringList{kCdIconName, QStringLiteral("other.ico"), QStringLiteral("sub")}));
    }

    void applyCdIcon_withoutAWorkingIcon_createsIt() {
        const QString chosen = icon(QStringLiteral("green.ico"), Qt::green);
        QVERIFY(ApplyCdIcon(chosen, CdIconPath(work())));
        QCOMPARE(Bytes(CdIconPath(work())), Bytes(chosen));
        QCOMPARE(CentreOf(LoadCdIcon(CdIconPath(work()))), QColor(Qt::green));
    }
};

QTEST_MAIN(OptionsTest)
#include "tst_options.moc"
