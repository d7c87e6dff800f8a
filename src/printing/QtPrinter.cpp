#include "printing/QtPrinter.h"

#include "printing/QtPrintSurface.h"
#include "store/Parts.h"

#include <QPainter>
#include <QPrinterInfo>

namespace kz {

QtPrinter::QtPrinter() : printer_(QPrinter::HighResolution) {
    // Not the full page: the origin is the printable area's corner.
    printer_.setDocName(kApplicationTitle);
}

QStringList QtPrinter::installedPrinters() const {
    return QPrinterInfo::availablePrinterNames();
}

QString QtPrinter::deviceName() const {
    return printer_.printerName();
}

void QtPrinter::choose(const QString& name) {
    printer_.setPrinterName(name);
}

PaperOrientation QtPrinter::orientation() const {
    return printer_.pageLayout().orientation() == QPageLayout::Landscape
               ? PaperOrientation::Landscape
               : PaperOrientation::Portrait;
}

void QtPrinter::setOrientation(PaperOrientation orientation) {
    printer_.setPageOrientation(orientation == PaperOrientation::Landscape ? QPageLayout::Landscape
                                                                           : QPageLayout::Portrait);
}

QPageSize::PageSizeId QtPrinter::paperSize() const {
    return printer_.pageLayout().pageSize().id();
}

void QtPrinter::setPaperSize(QPageSize::PageSizeId size) {
    printer_.setPageSize(QPageSize(size));
}

int QtPrinter::copies() const {
    return printer_.copyCount();
}

void QtPrinter::setCopies(int copies) {
    printer_.setCopyCount(copies);
}

bool QtPrinter::print(const std::function<void(PrintSurface&)>& pages) {
    // With no printer installed Qt falls back to a PDF file with no name:
    // nothing is printed then, as on a desktop without printers.
    if (printer_.outputFormat() == QPrinter::PdfFormat && printer_.outputFileName().isEmpty())
        return false;
    QPainter painter;
    if (!painter.begin(&printer_))
        return false;
    QtPrintSurface surface(painter, printer_);
    pages(surface);
    return painter.end();
}

} // namespace kz
