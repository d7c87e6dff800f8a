#pragma once

#include "platform/Desktop.h"

#include <QPageSize>
#include <QStringList>

#include <functional>

// The program's printer: the one the print-outs go to, chosen among the
// installed printers, with the settings a print command sets for its job.
namespace kz {

class PrintSurface;

class Printer {
public:
    virtual ~Printer() = default;

    // Device names of the installed printers, in the platform's order.
    virtual QStringList installedPrinters() const = 0;

    // Device name of the current printer ("" when there is none).
    virtual QString deviceName() const = 0;
    // Makes the installed printer with this name the current one.
    virtual void choose(const QString& name) = 0;

    virtual PaperOrientation orientation() const = 0;
    virtual void setOrientation(PaperOrientation orientation) = 0;
    virtual QPageSize::PageSizeId paperSize() const = 0;
    virtual void setPaperSize(QPageSize::PageSizeId size) = 0;
    virtual int copies() const = 0;
    virtual void setCopies(int copies) = 0;

    // One document on the current printer: `pages` draws it, and it is sent
    // when `pages` returns. False when the printer could not take it.
    virtual bool print(const std::function<void(PrintSurface&)>& pages) = 0;
};

} // namespace kz
