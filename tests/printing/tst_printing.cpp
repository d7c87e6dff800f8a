// The jacket and the entry list on paper, the print job and dialog around them.
#include "platform/QtDesktop.h"
#include "printing/PrintLayout.h"
#include "printing/Printing.h"
#include "printing/QtPrinter.h"
#include "store/Ini.h"
#include "store/Slots.h"
#include "tests/support/RecordingSurface.h"
#include "tests/support/TestFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

using namespace kz;
using namespace kz::test;

class PrintingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WorkFolder> work_;

    // `used` slots in use (slot 1 skipped if `gap`), texts like "Text1：7", slot 2 iconless.
    void fill(int used, bool gap = false) {
        work_->set("VolumeLabel", "", "MYCD");
        Solid(Qt::red).save(work_->cdIcon(), "ICO");
        ScriptedDesktop quiet;
        IniBatch settings(quiet, work_->settings());
        for (int slot = 0; slot < used + gap; ++slot) {
            const QString key = SlotKey(slot % kButtons, slot / kButtons);
            for (const SlotField& field : kSlotFields)
                settings.write(QString::fromUtf16(field.section),
                               QString::fromUtf16(field.prefix) + key,
                               QString::fromUtf16(field.section) + "：" + QString::number(slot));
            if (slot != 2)
                work_->writeIcon(key, Qt::blue);
        }
        if (gap)
            settings.write("FilePath", "Path_10", ""); // slot 1 has nothing to start
    }

private slots:
    void init() { work_ = std::make_unique<WorkFolder>(); }

    void printOut_data() {
        QTest::addColumn<bool>("list");
        QTest::addColumn<int>("used");
        QTest::addColumn<QStringList>("expected"); // marks the print-out must have
        QTest::addColumn<QString>("n");            // pages, texts, pictures
        const QString outline = "R 0,0 13608,6804 #808080", middle = "L 6804,0 6804,6804 #808080";
        // clang-format off
        QTest::newRow("jacket, none in use") << false << 0 << QStringList{"P 1700,72 480x480", "T 2000,20 16b MYCD", outline, middle} << "1 pages 1 texts 1 pictures";
        QTest::newRow("jacket, 26: the second column") << false << 26 << QStringList{"T 85,6570 8 5/ 5", "T 3435,450 8 1/ 6", "T 4085,450 8 AppName:25", "S 3785,400 220x220"} << "1 pages 53 texts 26 pictures";
        QTest::newRow("jacket, 51: the right panel") << false << 51 << QStringList{"T 3435,6570 8 5/10", "P 8595,72 480x480", "T 8895,20 16b MYCD", "T 6895,450 8 1/11", middle} << "1 pages 104 texts 52 pictures";
        QTest::newRow("jacket, 100: four columns") << false << 100 << QStringList{"T 10245,6570 8 5/20", "T 10895,6570 8 AppName:99", "S 10595,6520 220x220", outline} << "1 pages 202 texts 101 pictures";
        QTest::newRow("list, none in use") << true << 0 << QStringList{"P 1800,72 480x480", "T 2100,20 16b MYCD", "T 55,725 8b ﾎﾞﾀﾝ/ﾍﾟｰｼﾞ",
            "T 885,600 8b ｱﾌﾟﾘｹｰｼｮﾝ名", "T 4085,600 8b テキスト１行目", "T 7585,600 8b テキスト２行目", "T 885,850 8b 実行ファイルパス",
            "T 4085,850 8b CopyText1", "T 7585,850 8b CopyText2", "L 85,1050 11085,1050 #000000"} << "1 pages 8 texts 1 pictures";
        QTest::newRow("list, gaps closed") << true << -3 << QStringList{"T 85,1225 7 1/ 1", "S 435,1150 350x350", "T 885,1100 7 AppName:0",
            "T 4085,1100 7 Text1:0", "T 7585,1100 7 Text2:0", "T 885,1350 7 FilePath:0", "T 4085,1350 7 Name:0", "T 7585,1350 7 Serial:0",
            "L 85,1550 11085,1550 #000000", "T 85,1725 7 3/ 1", "T 885,1600 7 AppName:2", "T 885,2100 7 AppName:3", "S 435,2150 350x350"} << "1 pages 29 texts 3 pictures";
        QTest::newRow("list, 26: a second page") << true << 26 << QStringList{"T 7585,13350 7 Serial:24", "L 85,13550 11085,13550 #000000",
            "1: P 1800,72 480x480", "1: T 2100,20 16b MYCD", "1: T 55,725 7b ﾎﾞﾀﾝ/ﾍﾟｰｼﾞ", "1: T 7585,850 7b CopyText2",
            "1: L 85,1050 11085,1050 #000000", "1: T 85,1225 7 1/ 6", "1: S 435,1150 350x350"} << "2 pages 198 texts 27 pictures";
        // clang-format on
    }
    void printOut() {
        QFETCH(bool, list);
        QFETCH(int, used);
        QFETCH(QStringList, expected);
        fill(qAbs(used), used < 0);
        RecordingSurface paper;
        (list ? PrintListPages : PrintJacketPage)(paper, {work_->path(), Qt::white});
        QStringList marks; // those of later pages behind their page number ("1: T ...")
        for (const RecordingSurface::Mark& mark : paper.marks)
            marks << (mark.page ? QString("%1: ").arg(mark.page) : QString()) + mark.line;
        for (const QString& mark : expected)
            QVERIFY2(marks.contains(mark), qPrintable(mark + " not in\n" + marks.join('\n')));
        const int texts = int(paper.lines('T').size());
        const int images = int(paper.lines('P').size() + paper.lines('S').size());
        QTEST(QString::asprintf("%d pages %d texts %d pictures", paper.pages, texts, images), "n");
        // An icon is printed as the 615-twip picture box shows it: top left, on its background.
        const QImage box = paper.marks.value(list ? 11 : 3).picture;
        QVERIFY(used == 0 || (box.size() == QSize(41, 41) && box.pixelColor(0, 0) == Qt::blue &&
                              box.pixelColor(36, 36) == Qt::white));
    }

    void printJob_data() {
        QTest::addColumn<bool>("list");
        QTest::addColumn<QString>("chosen"); // in the print dialog; "" cancels it
        QTest::addColumn<QString>("job");
        // clang-format off
        QTest::newRow("cancelled") << false << "" << "";
        QTest::newRow("jacket") << false << "Laser" << "Laser orientation 2 A4 1 copy, busy on";
        QTest::newRow("list") << true << "laser" << "laser orientation 1 A4 1 copy, busy on";
        QTest::newRow("no printer of that name") << true << "LASER" << "Office orientation 1 A4 1 copy, busy on";
        // clang-format on
    }
    void printJob() {
        QFETCH(bool, list);
        QFETCH(QString, chosen);
        QFETCH(QString, job);
        fill(3);
        ScriptedDesktop desktop;
        RecordingPrinter printer(desktop);
        desktop.queuePrinter(chosen);
        (list ? PrintList : PrintJacket)(desktop, printer, work_->path());
        const auto dialog = desktop.callsOf("choosePrinter").value(0);
        QCOMPARE(dialog.title + dialog.filter, QString("印刷") + (list ? "portrait" : "landscape"));
        QCOMPARE(printer.jobs.join('\n'), job);
        QCOMPARE(printer.paper.lines('R').size(), int(!list && !job.isEmpty())); // the outline
        QCOMPARE(printer.paper.lines('T').filter("CopyText1").size(), int(list && !job.isEmpty()));
        QCOMPARE(printer.paper.marks.value(0).font.name,
                 QString(job.isEmpty() ? "" : "ＭＳ Ｐ明朝"));
        QVERIFY(printer.current == "Office" &&
                printer.orientationNow == PaperOrientation::Portrait &&
                printer.paperNow == QPageSize::Letter && printer.copiesNow == 3);
    }

    // A real page: a word lands where laid out, from the corner of the PDF's margin.
    void pdf() {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        fill(26);
        const QString pdf = work_->file("\\out.pdf");
        PrintListToPdf(work_->path(), pdf);
        QProcess text; // the second page's words and their boxes, in points
        text.start("pdftotext", {"-bbox", "-f", "2", "-l", "2", pdf, "-"});
        QVERIFY(text.waitForFinished());
        const QString page = QString::fromUtf8(text.readAllStandardOutput());
        const auto box =
            QRegularExpression("([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>FilePath:25<").match(page);
        QVERIFY(page.contains("width=\"595") &&
                qAbs(box.captured(1).toDouble() * 20 - kPdfMargin - 885) < 5 &&
                qAbs(box.captured(2).toDouble() * 20 - kPdfMargin - 1350) < 5);
    }

    // The print dialog offers the printer, and nothing the job would ignore.
    void printDialog_offersOnlyThePrinter() {
        QStringList shown;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
                shown << (button->isVisibleTo(dialog) ? button->text() : QString());
            dialog->close();
        });
        PrintJobSetup setup{"印刷", PaperOrientation::Landscape, ""};
        QVERIFY(!QtDesktop().choosePrinter(setup));
        QCOMPARE(shown.join(""), QString("&PrintCancel"));
        QtPrinter printer; // the program's printer keeps what a job sets
        printer.setOrientation(PaperOrientation::Landscape);
        QVERIFY(printer.orientation() == PaperOrientation::Landscape);
    }
};

QTEST_MAIN(PrintingTest)
#include "tst_printing.moc"
