#pragma once

#include "printing/Printer.h"

#include <QString>

namespace kz {
namespace basPrinter {

// The first installed printer whose device name is exactly `name` becomes the
// current printer; with none the current printer stays. The desktop's own
// default printer is never changed: the job goes to the program's current
// printer, so afterwards the default is what it was.
void SetDefaultPrinter(Printer& printer, const QString& name);

} // namespace basPrinter
} // namespace kz
