// The options window as a user meets it, the test playing the main window: the
// colours, the CD icon and the list of additional files, then OK or Cancel.
#include "options/OptionsHost.h"
#include "options/frmOpt.h"
#include "platform/SystemColour.h"
#include "tests/support/TestFiles.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>

using namespace kz;
using Store = QHash<QString, QString>;

class OptionsTest : public QWidget, public OptionsHost {
    Q_OBJECT

public:
    QWidget* hostWindow() override { return this; }
    Desktop& hostDesktop() override { return *desktop_; }
    QString hostWorkFolder() const override { return work_->path(); }
    std::uint32_t hostBackground() const override { return colours_[0]; }
    std::uint32_t hostTextColour() const override { return colours_[1]; }
    void applyLauncherColours(std::uint32_t b, std::uint32_t t) override { colours_ = {b, t}; }
    void setHostIcon(const QIcon& icon) override { setWindowIcon(icon); }

private:
    std::optional<test::WorkFolder> work_;
    std::optional<ScriptedDesktop> desktop_;
    std::array<std::uint32_t, 2> colours_{}; // background, text
    frmOpt* options_ = nullptr;

    template <class T = QWidget> T* child(const char* n) { return options_->findChild<T*>(n); }
    QColor seen(const char* name) { return test::CentreOf(child(name)->grab().toImage()); }
    static QStringList cells(const char* row) { return QString(row).split('|'); }
    void press(const char* button) { QTest::mouseClick(child(button), Qt::LeftButton); }

private slots:
    void init() {
        work_.emplace();
        desktop_.emplace().settings["Quelmark/DLLFile"] = {{"0", "/a"}, {"1", "/b"}, {"3", "/c"}};
        colours_ = {ColourValue(10, 20, 30), kButtonTextColour};
        setWindowIcon(QPixmap::fromImage(test::Solid(Qt::blue)));
        QVERIFY(test::Solid(Qt::red).save(work_->cdIcon(), "ICO"));
        QVERIFY(QFile::copy(work_->cdIcon(), work_->file("r.ico")));
        QVERIFY(test::Solid(Qt::green, 48, 48).save(work_->file("g.ico"), "ICO"));
        QVERIFY(test::WriteBytes(work_->file("x.ico"), "broken"));
        (options_ = new frmOpt(*this))->show();
    }
    void cleanup() { qDeleteAll(findChildren<frmOpt*>()); }

    // The CD icon by the file dialog (a click on the preview) or dropped there,
    // then OK or Cancel; the working icon is red, the window's icon blue.
    void cdIcon_data() {
        // how, file ("%": the folder), path shown, preview, working icon a copy of, window icon
        QTest::addColumn<QStringList>("row");
        QTest::newRow("chosen") << cells("click|%g.ico|%g.ico|lime|%g.ico|lime");
        QTest::newRow("dialog cancelled") << cells("click||%ARun.ico|red|%r.ico|red");
        QTest::newRow("then Cancel") << cells("Cancel|%g.ico|%g.ico|lime|%r.ico|blue");
        QTest::newRow("in capitals") << cells("drop|%G.ICO|%G.ICO|red|%r.ico|red");
        QTest::newRow("an icon's backup") << cells("drop|%g.ico.bak|%ARun.ico|red|%r.ico|red");
        QTest::newRow("not a picture") << cells("drop|%x.ico|%x.ico|red|%x.ico|blue");
    }
    void cdIcon() {
        QFETCH(QStringList, row);
        row.replaceInStrings("%", work_->path() + "/");
        desktop_->queueFile(row[1]);
        if (row[0] == "drop")
            QCOMPARE(test::Drop(child("Picture1"), row[1]), row[2] == row[1]);
        else
            QTest::mouseClick(child("Picture1"), Qt::LeftButton);
        const auto asked = desktop_->callsOf("openFile").value(0); // with no title of its own
        QCOMPARE(asked.title + asked.filter + QString::number(asked.filterIndex),
                 row[0] == "drop" ? "-1" : "ｱｲｺﾝ(*.ico)|*.ico0");
        QCOMPARE(child("Picture1")->mapTo(child("SSTab1"), QPoint()), QPoint(8, 40)); // as drawn
        QCOMPARE(child<QLabel>("Label1")->text(), row[2]);
        const QImage preview = child<QLabel>("Picture1")->pixmap().toImage();
        QCOMPARE(preview.size(), QSize(32, 32));
        QCOMPARE(test::CentreOf(preview), QColor(row[3]));
        press(row[0] == "Cancel" ? "Command2" : "OK");
        QCOMPARE(test::ReadBytes(work_->cdIcon()), test::ReadBytes(row[4]));
        QCOMPARE(test::CentreOf(windowIcon().pixmap(32).toImage()), QColor(row[5]));
    }

    // "b", "t": a click on the background or text swatch and a colour picked
    // ("?": the picker cancelled, "R": a right click). "+" adds the file chosen
    // (none: cancelled) with the list's pop-up menu, "-" removes the line
    // selected; "sN" clicks line N, "rN" right-clicks it. Then OK or Cancel.
    void coloursAndFiles_data() {
        // actions, closed by, colours picked, lines stored then (stored: "/a", "/b", a gap, "/c")
        QTest::addColumn<QStringList>("row");
        QTest::newRow("background picked") << cells("b|OK|b|/a|/b");
        QTest::newRow("text picked") << cells("t|OK|t|/a|/b");
        QTest::newRow("picker cancelled") << cells("b?|OK||/a|/b");
        QTest::newRow("right button on a swatch") << cells("tR|OK||/a|/b");
        QTest::newRow("added twice") << cells("+/x +/x|OK||/a|/b|/x|/x");
        QTest::newRow("selected removed") << cells("s1 -|OK||/a");
        QTest::newRow("nothing selected") << cells("-|OK||/a|/b");
        QTest::newRow("selection goes with its line") << cells("s0 - -|OK||/b");
        QTest::newRow("right click selects nothing") << cells("s1 r0 -|OK||/a");
        QTest::newRow("all removed") << cells("s0 - s0 -|OK|");
        QTest::newRow("then Cancel") << cells("b +/x s0 -|Command2|b");
    }
    void coloursAndFiles() {
        QFETCH(QStringList, row);
        QVERIFY(!options_->isModal() && child("List1")->isVisible()); // the list's tab in front
        const auto before = colours_;
        const std::uint32_t picked = ColourValue(0, 128, 255);
        auto* list = child<QListWidget>("List1");
        for (const QString& action : row[0].split(' ')) {
            const auto button =
                action.endsWith('R') || action[0] == 'r' ? Qt::RightButton : Qt::LeftButton;
            const char* swatchName = action[0] == 'b' ? "F_Color" : "Label3";
            QWidget* swatch = QString("bt").contains(action[0]) ? child(swatchName) : nullptr;
            if (swatch && action.size() == 1)
                desktop_->queueColour(picked);
            if (swatch)
                QTest::mouseClick(swatch, button);
            const QPoint line = list->visualItemRect(list->item(action.mid(1).toInt())).center();
            if (action[0] == 's' || action[0] == 'r')
                QTest::mouseClick(list->viewport(), button, {}, line);
            if (action[0] == '+')
                desktop_->queueFile(action.mid(1));
            if (action[0] == '+' || action[0] == '-')
                child<QAction>(action[0] == '+' ? "mnuAdd" : "mnuDel")->trigger();
        }
        auto expected = before;
        for (const QChar swatch : row[2])
            expected[swatch == 't'] = picked;
        QCOMPARE(seen("F_Color"), ResolveColour(expected[0]));
        QCOMPARE(seen("Label3"), ResolveColour(expected[1]));
        for (const auto& file : desktop_->callsOf("openFile"))
            QCOMPARE(file.title + file.filter + QString::number(file.filterIndex),
                     "追加ファイルの選択ﾀﾞｲﾅﾐｯｸﾗｲﾌﾞﾗﾘ(*.dll)|*.dll|実行ﾌｧｲﾙ(*.exe)|*.exe|"
                     "全てのﾌｧｲﾙ(*.*)|*.*0");
        press(qPrintable(row[1]));
        Store numbered; // from "0" on, the gap gone
        for (const QString& line : row.mid(3))
            numbered[QString::number(numbered.size())] = line;
        const bool ok = row[1] == "OK";
        QCOMPARE(desktop_->settings["Quelmark/DLLFile"],
                 ok ? numbered : Store({{"0", "/a"}, {"1", "/b"}, {"3", "/c"}}));
        QCOMPARE(colours_, ok ? expected : before);
    }
};

QTEST_MAIN(OptionsTest)
#include "tst_options.moc"
