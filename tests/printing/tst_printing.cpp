// The jacket and the entry list as they come out on paper: where each text,
// icon and rule lands, page breaks, half-width names, the print dialog and the
// printer settings around a job, and a real PDF read back with pdftotext.
#include "platform/Fonts.h"
#include "printing/HalfWidth.h"
#include "printing/PrintLayout.h"
#include "printing/Printing.h"
#include "printing/QtPrintSurface.h"
#include "printing/basPrinter.h"
#include "store/FileName.h"
#include "store/Ini.h"
#include "store/Slots.h"
#include "tests/support/RecordingSurface.h"
#include "tests/support/ScriptedDesktop.h"

#include <QDir>
#include <QFontMetricsF>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

namespace kz::cli {
int RunPrint(const QStringList& args, QTextStream& out, QTextStream& err);
}

using namespace kz;
using Kind = RecordingSurface::Kind;
using Call = RecordingSurface::Call;

namespace {

const QString kLabel = QStringLiteral("MYCD");
const QColor kBox(10, 200, 30);

// The six texts of an entry, in the list's reading order.
struct Entry {
    QString name, text1, text2, path, copy1, copy2;
};

Entry NumberedEntry(int n) {
    const QString k = QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    return {QStringLiteral("App") + k,    QStringLiteral("First") + k,
            QStringLiteral("Second") + k, QStringLiteral("tools\\app") + k + QStringLiteral(".exe"),
            QStringLiteral("User") + k,   QStringLiteral("KEY-") + k};
}

QList<Call> Visible(const QList<Call>& texts) {
    QList<Call> shown;
    for (const Call& c : texts)
        if (!c.text.isEmpty())
            shown.append(c);
    return shown;
}

std::optional<Call> TextAt(const RecordingSurface& s, int page, QPoint at) {
    for (const Call& c : Visible(s.of(Kind::Text, page)))
        if (c.at == at)
            return c;
    return std::nullopt;
}

// Jacket columns, left to right, 25 rows each.
constexpr int kColumnX[] = {85, 3435, 6895, 10245};

// A program's printer that prints on a recording and remembers every job.
class FakePrinter : public Printer {
public:
    explicit FakePrinter(const ScriptedDesktop& desktop) : desktop_(desktop) {}

    struct Job {
        QString printer;
        PaperOrientation orientation;
        QPageSize::PageSizeId paper;
        int copies;
        QStringList busyMeanwhile;
    };

    QStringList installed{QStringLiteral("Office"), QStringLiteral("Laser"),
                          QStringLiteral("laser")};
    QString current = QStringLiteral("Office");
    PaperOrientation orientationNow = PaperOrientation::Portrait;
    QPageSize::PageSizeId paperNow = QPageSize::Letter;
    int copiesNow = 3;
    bool fails = false;
    QList<Job> jobs;
    RecordingSurface paper;

    QStringList installedPrinters() const override { return installed; }
    QString deviceName() const override { return current; }
    void choose(const QString& name) override { current = name; }
    PaperOrientation orientation() const override { return orientationNow; }
    void setOrientation(PaperOrientation o) override { orientationNow = o; }
    QPageSize::PageSizeId paperSize() const override { return paperNow; }
    void setPaperSize(QPageSize::PageSizeId size) override { paperNow = size; }
    int copies() const override { return copiesNow; }
    void setCopies(int copies) override { copiesNow = copies; }
    bool print(const std::function<void(PrintSurface&)>& pages) override {
        jobs.append({current, orientationNow, paperNow, copiesNow, desktop_.answersOf("busy")});
        pages(paper);
        return !fails;
    }

private:
    const ScriptedDesktop& desktop_;
};

struct Word {
    int page;
    QString text;
    QRectF box; // points from the paper's top-left corner
};

} // namespace

class PrintingTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ScriptedDesktop> desktop_;

    QString work() const { return dir_->path(); }
    PrintSource source() const { return PrintSource{work(), kBox}; }

    void setEntry(IniBatch& batch, int button, int page, const Entry& e) {
        const QString key = SlotKey(button, page);
        batch.write(QStringLiteral("FilePath"), QStringLiteral("Path_") + key, e.path);
        batch.write(QStringLiteral("AppName"), QStringLiteral("App_") + key, e.name);
        batch.write(QStringLiteral("Text1"), QStringLiteral("Text_") + key, e.text1);
        batch.write(QStringLiteral("Text2"), QStringLiteral("Text_") + key, e.text2);
        batch.write(QStringLiteral("Name"), QStringLiteral("Name_") + key, e.copy1);
        batch.write(QStringLiteral("Serial"), QStringLiteral("Serial_") + key, e.copy2);
    }
    void setEntry(int button, int page, const Entry& e) {
        IniBatch batch(*desktop_, LocalPath(work(), kSettingsLiteral));
        setEntry(batch, button, page, e);
    }
    void setLabel(const QString& label) {
        WriteIni(*desktop_, LocalPath(work(), kSettingsLiteral), QStringLiteral("VolumeLabel"),
                 QString(), label);
    }
    // The first `count` slots in page-then-button order, each with an icon.
    void fill(int count) {
        IniBatch batch(*desktop_, LocalPath(work(), kSettingsLiteral));
        for (int i = 0; i < count; ++i) {
            setEntry(batch, i % kButtons, i / kButtons, NumberedEntry(i + 1));
            writeIcon(SlotKey(i % kButtons, i / kButtons), Qt::blue);
        }
    }
    void writeIcon(const QString& key, QColor colour) {
        QDir().mkpath(LocalPath(work(), kIconFolderLiteral));
        QImage image(32, 32, QImage::Format_RGB32);
        image.fill(colour);
        QVERIFY(image.save(LocalPath(work(), IconLiteral(key)), "BMP"));
    }
    void writeCdIcon() {
        QImage icon(32, 32, QImage::Format_ARGB32);
        icon.fill(Qt::red);
        QVERIFY(icon.save(LocalPath(work(), QStringLiteral("\\") + kCdIconName), "ICO"));
    }
    // The jacket header's CD icon and 16 pt bold label at one origin.
    void verifyHeader(const RecordingSurface& s, int page, QPoint origin) {
        const std::optional<Call> label = TextAt(s, page, origin + QPoint(2000, 20));
        QVERIFY(label);
        QCOMPARE(label->text, kLabel);
        QCOMPARE(label->font.points, 16.0);
        QVERIFY(label->font.bold);
        QCOMPARE(label->font.colour, QColor(Qt::black));
        bool icon = false;
        for (const Call& c : s.of(Kind::Picture, page))
            icon =
                icon || (!c.scaled && c.area == QRect(origin + QPoint(1700, 72), QSize(480, 480)));
        QVERIFY(icon);
    }

    static QList<Word> ReadWords(const QString& pdf) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        if (!p.waitForFinished(-1) || p.exitCode() != 0)
            return {};
        const QString html = QString::fromUtf8(p.readAllStandardOutput());
        static const QRegularExpression tag(
            QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
                           "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
        QList<Word> words;
        int page = -1;
        for (auto it = tag.globalMatch(html); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (m.captured(0) == QLatin1String("<page ")) {
                ++page;
                continue;
            }
            words.append({page, m.captured(5),
                          QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                 QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
        }
        return words;
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        desktop_ = std::make_unique<ScriptedDesktop>();
    }
    void cleanup() {
        desktop_.reset();
        dir_.reset();
    }

    void halfWidth_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("printed");
        // clang-format off
        QTest::newRow("letters and digits") << "ＡＢＣ１２３ａｂｃ" << "ABC123abc";
        QTest::newRow("voiced katakana") << "ガ" << "ｶﾞ";
        QTest::newRow("semi-voiced katakana") << "パ" << "ﾊﾟ";
        QTest::newRow("katakana word") << "ヴァージョン" << "ｳﾞｧｰｼﾞｮﾝ";
        QTest::newRow("Japanese punctuation") << "、。「」・ー" << "､｡｢｣･ｰ";
        QTest::newRow("ASCII punctuation") << "！＃＄％＆（）＊＋，－．／：；＜＝＞？＠［］＿｛｝～"
                                           << "!#$%&()*+,-./:;<=>?@[]_{}~";
        QTest::newRow("ideographic space") << "Ｗｉｎ　ＸＰ" << "Win XP";
        QTest::newRow("yen sign") << "￥１００" << "¥100";
        QTest::newRow("kanji and hiragana stay") << "表計算ソフトひょうけいさん"
                                                 << "表計算ｿﾌﾄひょうけいさん";
        QTest::newRow("no single-byte form") << "ヵヶヰヱ←■○" << "ヵヶヰヱ←■○";
        QTest::newRow("already half-width") << "ｱﾌﾟﾘ abc" << "ｱﾌﾟﾘ abc";
        QTest::newRow("empty") << "" << "";
        // clang-format on
    }
    void halfWidth() {
        QFETCH(QString, text);
        QFETCH(QString, printed);
        QCOMPARE(ToHalfWidth(text), printed);
    }

    void slotLabel_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("label");
        QTest::newRow("first slot") << 0 << 0 << "1/ 1";
        QTest::newRow("page 9") << 1 << 8 << "2/ 9";
        QTest::newRow("page 10") << 0 << 9 << "1/10";
        QTest::newRow("button 3 of page 12") << 2 << 11 << "3/12";
        QTest::newRow("last slot") << 4 << 19 << "5/20";
    }
    void slotLabel() {
        QFETCH(int, button);
        QFETCH(int, page);
        QFETCH(QString, label);
        QCOMPARE(SlotLabel(button, page), label);
    }

    // Every character the print-outs use is in the print font, so nothing
    // comes out as an empty box.
    void printFont_hasEveryCharacter() {
        InstallFontSubstitutes();
        const QFontMetricsF metrics(QtPrintSurface::ToQFont({kMinchoFont, 8}));
        const QString sample =
            QStringLiteral("ﾎﾞﾀﾝ/ﾍﾟｰｼﾞｱﾌﾟﾘｹｰｼｮﾝ名テキスト１行目２実行ファイルパスCopyText12"
                           "ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ｡｢｣､･"
                           "0123456789ABCXYZabcxyz!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~¥"
                           "漢字ひらがな表計算");
        for (const QChar c : sample)
            QVERIFY2(metrics.inFont(c), qPrintable(QStringLiteral("missing: ") + c));
    }

    void jacket_data() {
        QTest::addColumn<int>("used");
        QTest::addColumn<bool>("rightHeader");
        QTest::addColumn<QPoint>("lastEntry");
        QTest::newRow("empty") << 0 << false << QPoint();
        QTest::newRow("25: first column only") << 25 << false << QPoint(85, 6570);
        QTest::newRow("26: second column starts") << 26 << false << QPoint(3435, 450);
        QTest::newRow("50: left panel full") << 50 << false << QPoint(3435, 6570);
        QTest::newRow("51: right panel with header") << 51 << true << QPoint(6895, 450);
        QTest::newRow("100: all four columns") << 100 << true << QPoint(10245, 6570);
    }
    void jacket() {
        QFETCH(int, used);
        QFETCH(bool, rightHeader);
        QFETCH(QPoint, lastEntry);
        setLabel(kLabel);
        writeCdIcon();
        fill(used);
        RecordingSurface s;
        PrintJacketPage(s, source());

        QCOMPARE(s.pageCount(), 1);
        verifyHeader(s, 0, QPoint(0, 0));
        if (rightHeader)
            verifyHeader(s, 0, QPoint(6895, 0));
        const QList<Call> headerTexts = [&] {
            QList<Call> big;
            for (const Call& c : s.of(Kind::Text))
                if (c.font.points == 16)
                    big.append(c);
            return big;
        }();
        QCOMPARE(headerTexts.size(), rightHeader ? 2 : 1);

        QList<Call> entryTexts;
        for (const Call& c : s.of(Kind::Text))
            if (c.font.points == 8)
                entryTexts.append(c);
        QCOMPARE(entryTexts.size(), 2 * used);
        QList<Call> icons;
        for (const Call& c : s.of(Kind::Picture))
            if (c.scaled)
                icons.append(c);
        QCOMPARE(icons.size(), used);
        for (int i = 0; i < used; ++i) {
            const QPoint at(kColumnX[i / 25], 450 + 255 * (i % 25));
            const Call& label = entryTexts[2 * i];
            const Call& name = entryTexts[2 * i + 1];
            QCOMPARE(label.at, at);
            QCOMPARE(label.text, SlotLabel(i % 5, i / 5));
            QVERIFY(!label.font.bold);
            QCOMPARE(name.at, at + QPoint(650, 0));
            QCOMPARE(name.text, NumberedEntry(i + 1).name);
            QCOMPARE(icons[i].area, QRect(at + QPoint(350, -50), QSize(220, 220)));
        }
        if (used > 0)
            QCOMPARE(entryTexts.last().at, lastEntry + QPoint(650, 0));

        const QList<Call> outline = s.of(Kind::Rectangle);
        QCOMPARE(outline.size(), 1);
        QCOMPARE(outline[0].at, QPoint(0, 0));
        QCOMPARE(outline[0].to, QPoint(13608, 6804));
        QCOMPARE(outline[0].colour, QColor(128, 128, 128));
        const QList<Call> middle = s.of(Kind::Line);
        QCOMPARE(middle.size(), 1);
        QCOMPARE(middle[0].at, QPoint(6804, 0));
        QCOMPARE(middle[0].to, QPoint(6804, 6804));
        QCOMPARE(middle[0].colour, QColor(128, 128, 128));
    }

    // Unused slots leave no gap, a missing icon leaves only the icon out, and a
    // full-width name comes out in half-width characters.
    void jacket_unusedSlotsAndMissingIcons() {
        setEntry(0, 0, {QStringLiteral("Alpha"), {}, {}, QStringLiteral("a.exe"), {}, {}});
        setEntry(1, 0, {QStringLiteral("Unused"), {}, {}, {}, {}, {}}); // nothing to start
        setEntry(2, 0, {QStringLiteral("Gamma"), {}, {}, QStringLiteral("c.exe"), {}, {}});
        setEntry(3, 12,
                 {QStringLiteral("ＭＥＤＩＡ　プレーヤー"),
                  {},
                  {},
                  QStringLiteral("http://example.com/"),
                  {},
                  {}});
        writeIcon(QStringLiteral("00"), Qt::red);
        writeIcon(QStringLiteral("10"), Qt::green);
        writeIcon(QStringLiteral("312"), Qt::blue);
        RecordingSurface s;
        PrintJacketPage(s, source());

        QList<QPair<QPoint, QString>> texts;
        for (const Call& c : Visible(s.of(Kind::Text)))
            texts.append({c.at, c.text});
        const QList<QPair<QPoint, QString>> expected{
            {{85, 450}, QStringLiteral("1/ 1")}, {{735, 450}, QStringLiteral("Alpha")},
            {{85, 705}, QStringLiteral("3/ 1")}, {{735, 705}, QStringLiteral("Gamma")},
            {{85, 960}, QStringLiteral("4/13")}, {{735, 960}, QStringLiteral("MEDIA ﾌﾟﾚｰﾔｰ")}};
        QCOMPARE(texts, expected);

        QList<QRect> icons;
        for (const Call& c : s.of(Kind::Picture))
            icons.append(c.area);
        QCOMPARE(icons, (QList<QRect>{QRect(435, 400, 220, 220), QRect(435, 910, 220, 220)}));
        // No CD icon and no label: the header prints nothing.
        QVERIFY(!TextAt(s, 0, QPoint(2000, 20)));
    }

    // An icon reaches the paper as the 615-twip picture box shows it: the icon
    // at the box's top-left corner on the box's background, all of it scaled.
    void icons_passThroughThePictureBox_data() {
        QTest::addColumn<bool>("list");
        QTest::addColumn<QRect>("area");
        QTest::newRow("jacket") << false << QRect(435, 400, 220, 220);
        QTest::newRow("list") << true << QRect(435, 1150, 350, 350);
    }
    void icons_passThroughThePictureBox() {
        QFETCH(bool, list);
        QFETCH(QRect, area);
        setEntry(0, 0, NumberedEntry(1));
        QDir().mkpath(LocalPath(work(), kIconFolderLiteral));
        QImage icon(32, 32, QImage::Format_ARGB32);
        icon.fill(Qt::transparent);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 16; ++x)
                icon.setPixelColor(x, y, Qt::red);
        QVERIFY(icon.save(LocalPath(work(), IconLiteral(QStringLiteral("00"))), "ICO"));
        RecordingSurface s;
        list ? PrintListPages(s, source()) : PrintJacketPage(s, source());

        const QList<Call> pictures = s.of(Kind::Picture);
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(pictures[0].area, area);
        const QImage& box = pictures[0].picture;
        QCOMPARE(box.size(), QSize(41, 41));
        QCOMPARE(box.pixelColor(5, 5), QColor(Qt::red));
        QCOMPARE(box.pixelColor(20, 5), kBox);  // transparent part of the icon
        QCOMPARE(box.pixelColor(36, 10), kBox); // the box beyond the icon
        QCOMPARE(box.pixelColor(5, 36), kBox);
    }

    void list_data() {
        QTest::addColumn<int>("used");
        QTest::addColumn<int>("pages");
        QTest::newRow("empty") << 0 << 1;
        QTest::newRow("25: one page") << 25 << 1;
        QTest::newRow("26: second page for one entry") << 26 << 2;
        QTest::newRow("51") << 51 << 3;
        QTest::newRow("100: four full pages") << 100 << 4;
    }
    void list() {
        QFETCH(int, used);
        QFETCH(int, pages);
        setLabel(kLabel);
        writeCdIcon();
        fill(used);
        RecordingSurface s;
        PrintListPages(s, source());

        QCOMPARE(s.pageCount(), pages);
        const QList<QPair<QString, QPoint>> headings{
            {QStringLiteral("ﾎﾞﾀﾝ/ﾍﾟｰｼﾞ"), {55, 725}},
            {QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝ名"), {885, 600}},
            {QStringLiteral("テキスト１行目"), {4085, 600}},
            {QStringLiteral("テキスト２行目"), {7585, 600}},
            {QStringLiteral("実行ファイルパス"), {885, 850}},
            {QStringLiteral("CopyText1"), {4085, 850}},
            {QStringLiteral("CopyText2"), {7585, 850}}};
        for (int page = 0; page < pages; ++page) {
            verifyHeader(s, page, QPoint(100, 0));
            for (const auto& [text, at] : headings) {
                const std::optional<Call> h = TextAt(s, page, at);
                QVERIFY(h);
                QCOMPARE(h->text, text);
                QVERIFY(h->font.bold);
                QCOMPARE(h->font.points, page == 0 ? 8.0 : 7.0);
            }
            const QList<Call> rules = s.of(Kind::Line, page);
            const int rows = std::min(25, used - 25 * page);
            QCOMPARE(rules.size(), 1 + rows);
            QCOMPARE(rules[0].at, QPoint(85, 1050));
            QCOMPARE(rules[0].to, QPoint(11085, 1050));
            QCOMPARE(rules[0].colour, QColor(Qt::black));
        }

        for (int i = 0; i < used; ++i) {
            const int page = i / 25;
            const int y = 1100 + 500 * (i % 25);
            const Entry e = NumberedEntry(i + 1);
            const QList<QPair<QPoint, QString>> row{{{85, y + 125}, SlotLabel(i % 5, i / 5)},
                                                    {{885, y}, e.name},
                                                    {{4085, y}, e.text1},
                                                    {{7585, y}, e.text2},
                                                    {{885, y + 250}, e.path},
                                                    {{4085, y + 250}, e.copy1},
                                                    {{7585, y + 250}, e.copy2}};
            for (const auto& [at, text] : row) {
                const std::optional<Call> c = TextAt(s, page, at);
                QVERIFY2(c, qPrintable(text));
                QCOMPARE(c->text, text);
                QCOMPARE(c->font.points, 7.0);
                QVERIFY(!c->font.bold);
            }
            const Call rule = s.of(Kind::Line, page)[1 + i % 25];
            QCOMPARE(rule.at, QPoint(85, y + 450));
            QCOMPARE(rule.to, QPoint(11085, y + 450));
            const QList<Call> pictures = s.of(Kind::Picture, page);
            const bool icon = std::any_of(pictures.begin(), pictures.end(), [&](const Call& p) {
                return p.scaled && p.area == QRect(435, y + 50, 350, 350);
            });
            QVERIFY(icon);
        }
        // 7 texts a row, the 7 headings and the header's label on every page.
        QCOMPARE(Visible(s.of(Kind::Text)).size(), 7 * used + 8 * pages);
    }

    void list_halfWidthTextsAndEmptyColumn() {
        setEntry(2, 3,
                 {QStringLiteral("ＡＢＣエディタ"),
                  QStringLiteral("テキスト編集（ＵＴＦ－８）"),
                  {},
                  QStringLiteral("ｔｏｏｌｓ￥ｅｄｉｔ．ｅｘｅ"),
                  QStringLiteral("ヤマダ　タロウ"),
                  QStringLiteral("ＡＢＣＤ－１２３４")});
        RecordingSurface s;
        PrintListPages(s, source());

        QList<QPair<QPoint, QString>> texts;
        for (const Call& c : Visible(s.of(Kind::Text)))
            if (c.at.y() >= 1100)
                texts.append({c.at, c.text});
        const QList<QPair<QPoint, QString>> expected{
            {{85, 1225}, QStringLiteral("3/ 4")},
            {{885, 1100}, QStringLiteral("ABCｴﾃﾞｨﾀ")},
            {{4085, 1100}, QStringLiteral("ﾃｷｽﾄ編集(UTF-8)")},
            {{885, 1350}, QStringLiteral("tools¥edit.exe")},
            {{4085, 1350}, QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ")},
            {{7585, 1350}, QStringLiteral("ABCD-1234")}};
        QCOMPARE(texts, expected);
        // No icon file: the row has its texts and rule but no picture.
        QVERIFY(s.of(Kind::Picture).isEmpty());
        QCOMPARE(s.of(Kind::Line).size(), 2);
    }

    void printJob_data() {
        QTest::addColumn<bool>("list");
        QTest::addColumn<QString>("chosen"); // empty: the dialog is cancelled
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("printedOn");
        QTest::newRow("jacket, cancelled") << false << "" << false << "";
        QTest::newRow("list, cancelled") << true << "" << false << "";
        QTest::newRow("jacket on the chosen printer") << false << "Laser" << false << "Laser";
        QTest::newRow("list on the chosen printer") << true << "Laser" << false << "Laser";
        QTest::newRow("names match exactly") << false << "laser" << false << "laser";
        QTest::newRow("case differs: no such printer") << false << "LASER" << false << "Office";
        QTest::newRow("chosen printer gone") << true << "Gone" << false << "Office";
        QTest::newRow("failed job") << false << "Laser" << true << "Laser";
    }
    void printJob() {
        QFETCH(bool, list);
        QFETCH(QString, chosen);
        QFETCH(bool, fails);
        QFETCH(QString, printedOn);
        fill(3);
        FakePrinter printer(*desktop_);
        printer.fails = fails;
        if (chosen.isEmpty())
            desktop_->queuePrintCancel();
        else
            desktop_->queuePrinter(chosen);
        const PaperOrientation orientation =
            list ? PaperOrientation::Portrait : PaperOrientation::Landscape;
        list ? PrintList(*desktop_, printer, work()) : PrintJacket(*desktop_, printer, work());

        const auto dialogs = desktop_->callsOf("choosePrinter");
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs[0].title, QStringLiteral("印刷"));
        QCOMPARE(dialogs[0].filter, orientation == PaperOrientation::Landscape
                                        ? QStringLiteral("landscape")
                                        : QStringLiteral("portrait"));
        QCOMPARE(dialogs[0].text, QStringLiteral("Office"));

        if (printedOn.isEmpty()) {
            QVERIFY(printer.jobs.isEmpty());
            QVERIFY(desktop_->answersOf("busy").isEmpty());
        } else {
            QCOMPARE(printer.jobs.size(), 1);
            const FakePrinter::Job& job = printer.jobs[0];
            QCOMPARE(job.printer, printedOn);
            QCOMPARE(job.orientation, orientation);
            QCOMPARE(job.paper, QPageSize::A4);
            QCOMPARE(job.copies, 1);
            QCOMPARE(job.busyMeanwhile, QStringList{"on"});
            QCOMPARE(desktop_->answersOf("busy"), (QStringList{"on", "off"}));
            // The pages are those of the command, in the print font.
            const QList<Call> texts = Visible(printer.paper.of(Kind::Text));
            QVERIFY(!texts.isEmpty());
            for (const Call& c : texts)
                QCOMPARE(c.font.name, QStringLiteral("ＭＳ Ｐ明朝"));
            QCOMPARE(printer.paper.of(Kind::Rectangle).size(), list ? 0 : 1);
            QCOMPARE(bool(TextAt(printer.paper, 0, QPoint(4085, 850))), list);
        }
        // The program's printer is as it was, whatever happened.
        QCOMPARE(printer.current, QStringLiteral("Office"));
        QCOMPARE(printer.orientationNow, PaperOrientation::Portrait);
        QCOMPARE(printer.paperNow, QPageSize::Letter);
        QCOMPARE(printer.copiesNow, 3);
    }

    // Real pages: the text lands where the layout puts it, measured from the
    // printable area's corner (the PDF's margin), on the right page.
    void pdf_textPositions_data() {
        QTest::addColumn<bool>("list");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("paper"); // as pdfinfo gives it
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("page");
        QTest::addColumn<QPoint>("at"); // twips in the printable area
        const QString landscape = QStringLiteral("842 x 595 pts (A4)");
        const QString portrait = QStringLiteral("595 x 842 pts (A4)");
        QTest::newRow("jacket label") << false << 1 << landscape << "MYCD" << 0 << QPoint(2000, 20);
        QTest::newRow("jacket first")
            << false << 1 << landscape << "App01" << 0 << QPoint(735, 450);
        QTest::newRow("jacket 26th")
            << false << 1 << landscape << "App26" << 0 << QPoint(4085, 450);
        QTest::newRow("list heading")
            << true << 2 << portrait << "CopyText2" << 0 << QPoint(7585, 850);
        QTest::newRow("list 25th") << true << 2 << portrait << "KEY-25" << 0 << QPoint(7585, 13350);
        QTest::newRow("list page 2 label")
            << true << 2 << portrait << "MYCD" << 1 << QPoint(2100, 20);
        QTest::newRow("list 26th") << true << 2 << portrait << "App26" << 1 << QPoint(885, 1100);
        QTest::newRow("list 26th path")
            << true << 2 << portrait << "tools\\app26.exe" << 1 << QPoint(885, 1350);
    }
    void pdf_textPositions() {
        QFETCH(bool, list);
        QFETCH(int, pages);
        QFETCH(QString, paper);
        QFETCH(QString, word);
        QFETCH(int, page);
        QFETCH(QPoint, at);
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        setLabel(kLabel);
        writeCdIcon();
        fill(26);
        const QString pdf = QDir(work()).filePath(QStringLiteral("out.pdf"));
        QVERIFY(list ? PrintListToPdf(work(), pdf) : PrintJacketToPdf(work(), pdf));

        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        if (info.waitForFinished(-1) && info.exitCode() == 0) {
            const QString text = QString::fromUtf8(info.readAllStandardOutput());
            QVERIFY(
                text.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))));
            QVERIFY2(text.contains(paper), qPrintable(text));
        }
        const QList<Word> words = ReadWords(pdf);
        QVERIFY(!words.isEmpty());
        const auto found = std::find_if(words.begin(), words.end(), [&](const Word& w) {
            return w.text == word && w.page == page;
        });
        QVERIFY2(found != words.end(), qPrintable(word));
        const QPointF expected((kPdfMargin + at.x()) / 20.0, (kPdfMargin + at.y()) / 20.0);
        QVERIFY2(qAbs(found->box.left() - expected.x()) < 1.0 &&
                     qAbs(found->box.top() - expected.y()) < 1.0,
                 qPrintable(QStringLiteral("%1 at %2,%3, expected %4,%5")
                                .arg(word)
                                .arg(found->box.left())
                                .arg(found->box.top())
                                .arg(expected.x())
                                .arg(expected.y())));
    }

    void cliPrint_data() {
        QTest::addColumn<QStringList>("args"); // WORK and OUT stand for the folder and file
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("written");
        QTest::newRow("jacket") << QStringList{"jacket", "WORK", "OUT"} << 0 << true;
        QTest::newRow("list") << QStringList{"list", "WORK", "OUT"} << 0 << true;
        QTest::newRow("no arguments") << QStringList{} << 2 << false;
        QTest::newRow("unknown print-out") << QStringList{"poster", "WORK", "OUT"} << 2 << false;
        QTest::newRow("missing output") << QStringList{"list", "WORK"} << 2 << false;
        QTest::newRow("no such folder") << QStringList{"jacket", "WORK/none", "OUT"} << 1 << false;
        QTest::newRow("unwritable output")
            << QStringList{"list", "WORK", "WORK/none/out.pdf"} << 1 << false;
    }
    void cliPrint() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(bool, written);
        fill(2);
        const QString out = QDir(work()).filePath(QStringLiteral("out.pdf"));
        for (QString& a : args)
            a = a == QLatin1String("OUT") ? out : QString(a).replace(QLatin1String("WORK"), work());
        QString outText;
        QString errText;
        QTextStream outStream(&outText);
        QTextStream errStream(&errText);
        QCOMPARE(cli::RunPrint(args, outStream, errStream), exitCode);
        QCOMPARE(errText.isEmpty(), exitCode == 0);
        QFile pdf(out);
        QCOMPARE(pdf.exists(), written);
        if (written) {
            QVERIFY(pdf.open(QIODevice::ReadOnly));
            QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
        }
    }
};

QTEST_MAIN(PrintingTest)
#include "tst_printing.moc"
