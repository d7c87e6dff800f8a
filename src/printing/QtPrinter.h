#pragma once

#include "printing/Printer.h"

#include <QPrinter>

// The program's printer on the platform's print system (CUPS, the Windows
// spooler). It starts as the desktop's default printer and keeps its choice and
// settings for as long as it lives: the editor holds one for its whole run.
namespace kz {

class QtPrinter : public Printer {
public:
    QtPrinter();

    QStringList installedPrinters() const override;
    QString deviceName() const override;
    void choose(const QString& name) override;
    PaperOrientation orientation() const override;
    void setOrientation(PaperOrientation orientation) override;
    QPageSize::PageSizeId paperSize() const override;
    void setPaperSize(QPageSize::PageSizeId size) override;
    int copies() const override;
    void setCopies(int copies) override;
    bool print(const std::function<void(PrintSurface&)>& pages) override;

private:
    QPrinter printer_;
};

} // namespace kz
