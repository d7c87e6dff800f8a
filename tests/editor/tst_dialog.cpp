// The entry editor as a user meets it, the test playing the main window: what
// the fields show and OK stores, Cancel, file dialogs, drops, offered icons.
#include "editor/Dialog.h"
#include "editor/EntryHost.h"
#include "tests/support/PeWriter.h"
#include "tests/support/TestFiles.h"

#include <QComboBox>
#include <QLineEdit>

using namespace kz;

class DialogTest : public QWidget, public EntryHost {
    Q_OBJECT

public:
    QWidget* hostWindow() override { return this; }
    Desktop& hostDesktop() override { return *desktop_; }
    QString handOverKey() const override { return key_; }
    QString hostWorkFolder() const override { return work_->path(); }
    std::uint32_t hostBackground() const override { return 0x008000; } // green, 0x00BBGGRR
    QString volumeCaption() const override { return shown_.value("caption"); }
    void setVolumeCaption(const QString& label) override { shown_["caption"] = label; }
    void showSlotPicture(int i, const QString& f) override { shown_[QString("Com%1").arg(i)] = f; }
    void showSlotName(int i, const QString& t) override { shown_[QString("Name%1").arg(i)] = t; }
    void showDetail(Detail d, const QString& t) override { shown_[kDetailShownIn[int(d)]] = t; }
    void markModified() override { shown_["modified"] = "yes"; }
    void editorClosed() override { shown_["closed"] = "yes"; }

private:
    const QString kStartFilter = "全てのﾌｧｲﾙ(*.*)|*.*|実行ﾌｧｲﾙ(*.exe)|*.exe";
    const QString kIconFilter = "全てのﾌｧｲﾙ(*.*)|*.*|ｱｲｺﾝ(*.ico)|*.ico|実行ﾌｧｲﾙ(*.exe;*.scr)|"
                                "*.exe;*.scr|ﾀﾞｲﾅﾐｯｸﾘﾝｸ ﾗｲﾌﾞﾗﾘ(*.dll)|*.dll";
    const QStringList kDetailShownIn = {"Label2", "Label3", "Label5", "Label7",
                                        "Label6", "Text1",  "Text2"};
    std::optional<test::WorkFolder> work_;
    std::optional<ScriptedDesktop> desktop_;
    QString key_;
    QHash<QString, QString> shown_; // what the editor put into this window
    Dialog* editor_ = nullptr;

    static QStringList cells(const char* row) { return QString(row).split('|'); }
    QString tools(const QString& name) { return work_->file("\\tools\\" + name); }
    QLineEdit* field(const QString& name) { return editor_->findChild<QLineEdit*>(name); }
    QWidget* child(const QString& name) { return editor_->findChild<QWidget*>(name); }
    void click(const QString& name) { QTest::mouseClick(child(name), Qt::LeftButton); }
    void open(const QString& key) {
        key_ = key;
        (editor_ = new Dialog(*this))->showForSlot();
    }

private slots:
    void init() {
        work_.emplace();
        desktop_.emplace().roots = {{work_->path(), work_->path()}};
        desktop_->labels = {{"D:\\", "TOOLSCD"}};
        shown_ = {{"caption", "MYCD"}};
        QIcon::setThemeSearchPaths({"/usr/share/icons"}); // documents show their type's
        QIcon::setThemeName("Adwaita");                   // icon from the desktop's theme
        // Programs with 1, 2 and 5 icons: red, lime, blue, gray, black.
        const QList<QColor> colours = {Qt::red, Qt::green, Qt::blue, Qt::gray, Qt::black};
        for (int count : {1, 2, 5}) {
            test::PeOptions options;
            for (const QColor& colour : colours.first(count))
                options.groups.push_back({{{test::Solid(colour)}}, {}, 0});
            test::WriteBytes(tools(QString("i%1.exe").arg(count)), test::BuildPe(options).bytes());
        }
        test::WriteBytes(tools("big.ico"), test::IcoFile({{test::Solid(Qt::magenta, 48, 48)}}));
        test::WriteBytes(tools("plain.exe"), "MZ");
        test::WriteBytes(tools("notes.txt"), "notes");
    }
    void cleanup() { qDeleteAll(findChildren<Dialog*>()); }

    // Each field of slot 112 (button 1, page 12) empty, edited and emptied:
    // what it shows, what OK stores and shows here.
    void field_showsStoresAndShowsItsValue_data() {
        // field, section, key, shown in, shown when empty, emptied field "stored" or "shown"
        QTest::addColumn<QStringList>("row");
        QTest::newRow("app") << cells("Text4|AppName|App_112|Name1||");
        QTest::newRow("line 1") << cells("Text2|Text1|Text_112|Label2||");
        QTest::newRow("line 2") << cells("Text3|Text2|Text_112|Label3||");
        QTest::newRow("path") << cells("Text1|FilePath|Path_112|Label5||stored");
        QTest::newRow("name title") << cells("Text8|NameTaitol|Name_112|Label7|登録ﾕｰｻﾞｰ名|shown");
        QTest::newRow("name") << cells("Text7|Name|Name_112|Text1||");
        QTest::newRow("serial title") << cells("Text9|SerialTaitol|Serial_112|Label6|ｼﾘｱﾙｷｰ|shown");
        QTest::newRow("serial") << cells("Text6|Serial|Serial_112|Text2||");
    }
    void field_showsStoresAndShowsItsValue() {
        QFETCH(QStringList, row);
        open("112");
        QCOMPARE(editor_->windowTitle(), "13ページ目　ボタン2 ﾌﾟﾛﾊﾟﾃｨ");
        QCOMPARE(field("Text2")->palette().color(QPalette::Text), QColor(Qt::red)); // first line
        QCOMPARE(field(row[0])->text(), row[4]);
        field(row[0])->setText("値");
        click("OKButton");
        QCOMPARE(work_->get(row[1], row[2]) + shown_.value(row[3]) + work_->get("VolumeLabel", ""),
                 "値値MYCD");
        QCOMPARE(shown_.value("Com1") + shown_.value("modified") + shown_.value("closed"),
                 work_->icon("112") + "yesyes");
        shown_.clear();
        open("112");
        QCOMPARE(field(row[0])->text(), "値");
        field(row[0])->clear();
        QTest::keyClick(field(row[0]), Qt::Key_Return); // OK is the default button
        QCOMPARE(work_->get(row[1], row[2]), row[5] == "stored" ? "" : "値");
        QCOMPARE(shown_.value(row[3], "kept"), row[5].isEmpty() ? "kept" : "");
    }

    // A file named by a file dialog or dropped, or text dropped, while the list
    // offers two icons (red, lime): the field filled, the icons offered, shown,
    // and stored after End in the list and OK (Cancel stores nothing). "%": tools.
    void fileNamed_fillsItsFieldAndOffersItsIcons_data() {
        // control, file or text, field changed, shown, icons offered, preview, stored
        QTest::addColumn<QStringList>("row");
        QTest::newRow("start file")
            << cells("Command2|D:\\tools\\app.exe|Text1|tools\\app.exe|2|red|cancel");
        QTest::newRow("icon source") << cells("Command1|%i5.exe|Text5|%i5.exe|5|red|black");
        QTest::newRow("on icon list") << cells("IC|%i5.exe|Text5|%i5.exe|5|red|black");
        QTest::newRow("on preview") << cells("Picture1|%i1.exe|Text5|%i1.exe|1|red|red");
        QTest::newRow("icon file") << cells("Text5|%big.ico|Text5|%big.ico|2|magenta|lime");
        QTest::newRow("no icons") << cells("Text5|%plain.exe|Text5|%plain.exe|2|red|lime");
        QTest::newRow("document") << cells("Text5|%notes.txt|Text5|%notes.txt|1|its type's|");
        QTest::newRow("on start path") << cells("Text1|%i5.exe|Text1|tools\\i5.exe|2|red|lime");
        QTest::newRow("on app name") << cells("Text4|%i1.exe|Text4|i1|2|red|lime");
        QTest::newRow("text on icon source") << cells("Text5|text|||2|red|lime");
        QTest::newRow("text on app name") << cells("Text4|text|||2|red|lime");
        QTest::newRow("text elsewhere") << cells("Text2|text|Text2|text|2|red|lime");
    }
    void fileNamed_fillsItsFieldAndOffersItsIcons() {
        QFETCH(QStringList, row);
        row.replaceInStrings("%", tools(""));
        desktop_->queueFile(row[1]);
        open("00");
        KZ_CONTROL(QComboBox, iconList, editor_, "IC");
        const QString listed = tools("i2.exe");
        field("Text5")->setText(listed); // the box and the drop-down show whole 32-pixel pictures
        QCOMPARE(test::CountOf(iconList->grab().toImage(), Qt::red), 32 * 32);
        iconList->showPopup();
        QCOMPARE(test::CountOf(QApplication::activePopupWidget()->grab().toImage(), Qt::green),
                 32 * 32);
        iconList->hidePopup();
        const bool button = row[0].startsWith("Command");
        if (button)
            click(row[0]);
        else
            QCOMPARE(test::Drop(child(row[0]), row[1]), !row[2].isEmpty());
        const auto asked = desktop_->callsOf("openFile").value(0); // only the buttons ask
        QCOMPARE(asked.filter, !button ? "" : row[0] == "Command2" ? kStartFilter : kIconFilter);
        QCOMPARE(asked.filterIndex, button ? 0 : -1);
        for (const QString name : {"Text5", "Text1", "Text4", "Text2"})
            QCOMPARE(field(name)->text(), name == row[2] ? row[3] : name == "Text5" ? listed : "");
        QCOMPARE(editor_->focusWidget() == child("Text4"), row[2] == "Text4"); // name taken
        QCOMPARE(iconList->count(), row[4].toInt());
        QVERIFY(iconList->isVisible());                     // and never hidden again
        QCOMPARE(child("Picture1")->size(), QSize(34, 34)); // the icon in a one-pixel frame
        const QColor shown = test::CentreOf(child("Picture1")->grab().toImage());
        QVERIFY(QColor(row[5]).isValid() ? shown == QColor(row[5]) : shown != Qt::red);
        QTest::keyClick(iconList, Qt::Key_End);
        click(row[6] == "cancel" ? "CancelButton" : "OKButton");
        QCOMPARE(shown_.value("caption"), row[3].startsWith("tools\\app") ? "TOOLSCD" : "MYCD");
        QCOMPARE(QFileInfo::exists(work_->settings()), row[6] != "cancel");
        const QImage icon(work_->icon("00"));
        QCOMPARE(test::CentreOf(icon), row[6].isEmpty() ? shown : QColor(row[6]));
        QVERIFY(!QColor(row[6]).isValid() || icon.pixelColor(0, 0) == QColor(row[6])); // corner
    }

    // An icon file that cannot be written is said, not passed over; the
    // texts are still stored.
    void ok_iconNotWritten() {
        QVERIFY(QDir().mkpath(work_->icon("00")));
        open("00");
        field("Text4")->setText("名前");
        click("OKButton");
        QCOMPARE(desktop_->textsOf("message"),
                 QStringList{"パス名が無効です。\n" + QDir::toNativeSeparators(work_->icon("00"))});
        QCOMPARE(work_->get("AppName", "App_00"), "名前");
    }
};

QTEST_MAIN(DialogTest)
#include "tst_dialog.moc"
