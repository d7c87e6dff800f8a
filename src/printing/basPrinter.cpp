#include "printing/basPrinter.h"

namespace kz::basPrinter {

void SetDefaultPrinter(Printer& printer, const QString& name) {
    const QStringList installed = printer.installedPrinters();
    for (const QString& candidate : installed) {
        if (candidate == name) {
            printer.choose(candidate);
            return;
        }
    }
}

} // namespace kz::basPrinter
