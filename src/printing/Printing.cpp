#include "printing/Printing.h"

#include "platform/Fonts.h"
#include "platform/SystemColour.h"
#include "printing/PrintLayout.h"
#include "printing/PrintSurface.h"
#include "printing/QtPrintSurface.h"
#include "printing/basPrinter.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace kz {
namespace {

using Pages = std::function<void(PrintSurface&)>;

PrintSource SourceOf(const QString& workFolder) {
    // Slot icons pass through a picture box of the default colour, the
    // button face.
    return PrintSource{workFolder, ResolveColour(kButtonFaceColour)};
}

// Every print-out is set in the one print font.
Pages InPrintFont(const Pages& pages) {
    return [pages](PrintSurface& surface) {
        surface.setFontName(kMinchoFont);
        pages(surface);
    };
}

bool PrintToPdf(const QString& outPdf, PaperOrientation orientation, const Pages& pages) {
    InstallFontSubstitutes();
    QSaveFile file(outPdf);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Kazanoro"));
        const double margin = kPdfMargin / double(kTwipsPerPoint);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4),
                        orientation == PaperOrientation::Landscape ? QPageLayout::Landscape
                                                                   : QPageLayout::Portrait,
                        QMarginsF(margin, margin, margin, margin), QPageLayout::Point));
        QPainter painter;
        if (!painter.begin(&writer))
            return false;
        QtPrintSurface surface(painter, writer);
        InPrintFont(pages)(surface);
        if (!painter.end())
            return false;
    }
    return file.commit();
}

} // namespace

void RunPrintJob(Desktop& desktop, Printer& printer, PaperOrientation orientation,
                 const Pages& pages) {
    // What the job changes and puts back.
    const QString previousPrinter = printer.deviceName();
    const PaperOrientation previousOrientation = printer.orientation();
    const int previousCopies = printer.copies();
    const QPageSize::PageSizeId previousPaper = printer.paperSize();

    PrintJobSetup setup{kPrintDialogTitle, orientation, previousPrinter};
    if (!desktop.choosePrinter(setup))
        return;
    basPrinter::SetDefaultPrinter(printer, setup.printerName);
    printer.setOrientation(orientation);
    printer.setPaperSize(QPageSize::A4);
    printer.setCopies(1);
    {
        const BusyPointer busy(desktop);
        InstallFontSubstitutes();
        // A failed job is passed over: the restore below runs all the same.
        printer.print(InPrintFont(pages));
        basPrinter::SetDefaultPrinter(printer, previousPrinter);
        printer.setOrientation(previousOrientation);
        printer.setCopies(previousCopies);
        printer.setPaperSize(previousPaper);
    }
}

void PrintJacket(Desktop& desktop, Printer& printer, const QString& workFolder) {
    const PrintSource source = SourceOf(workFolder);
    RunPrintJob(desktop, printer, PaperOrientation::Landscape,
                [&](PrintSurface& surface) { PrintJacketPage(surface, source); });
}

void PrintList(Desktop& desktop, Printer& printer, const QString& workFolder) {
    const PrintSource source = SourceOf(workFolder);
    RunPrintJob(desktop, printer, PaperOrientation::Portrait,
                [&](PrintSurface& surface) { PrintListPages(surface, source); });
}

bool PrintJacketToPdf(const QString& workFolder, const QString& outPdf) {
    const PrintSource source = SourceOf(workFolder);
    return PrintToPdf(outPdf, PaperOrientation::Landscape,
                      [&](PrintSurface& surface) { PrintJacketPage(surface, source); });
}

bool PrintListToPdf(const QString& workFolder, const QString& outPdf) {
    const PrintSource source = SourceOf(workFolder);
    return PrintToPdf(outPdf, PaperOrientation::Portrait,
                      [&](PrintSurface& surface) { PrintListPages(surface, source); });
}

} // namespace kz
