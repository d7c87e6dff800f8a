#pragma once

#include "platform/Desktop.h"

#include <QString>

#include <functional>

// The two print commands: the CD jacket and the entry list, on the program's
// printer after the print dialog, or straight into a PDF file.
namespace kz {

class Printer;
class PrintSurface;

inline const QString kPrintDialogTitle = QStringLiteral("印刷");

// The frame of a print command. The print dialog opens on the current printer
// with `orientation` shown; a cancel ends here with nothing changed. Otherwise
// the chosen printer prints `pages` in that orientation on A4, one copy, in
// the print font, under the busy pointer; afterwards the printer that was
// current and its orientation, copies and paper size are put back, also when
// the job failed.
void RunPrintJob(Desktop& desktop, Printer& printer, PaperOrientation orientation,
                 const std::function<void(PrintSurface&)>& pages);

// The menu commands: the jacket in landscape, the list in portrait, from the
// settings file, icon files and CD icon of the working folder.
void PrintJacket(Desktop& desktop, Printer& printer, const QString& workFolder);
void PrintList(Desktop& desktop, Printer& printer, const QString& workFolder);

// The same pages as a PDF file (A4, 1/4 inch margins standing in for the
// printer's unprintable edge), with no dialog. The file is replaced whole or
// not at all; false when it could not be written. Needs a QGuiApplication.
bool PrintJacketToPdf(const QString& workFolder, const QString& outPdf);
bool PrintListToPdf(const QString& workFolder, const QString& outPdf);

// The printable area's corner on a PDF page, in twips from the paper's corner.
inline constexpr int kPdfMargin = 360;

} // namespace kz
