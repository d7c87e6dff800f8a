#pragma once

#include "printing/PrintSurface.h"
#include "printing/Printer.h"

namespace kz {

class ScriptedDesktop;

// A print surface that writes down each mark as a line of text, positions in
// twips: "T 85,450 8 1/ 1" a text in 8 pt ("16b" bold), "S 435,400 220x220" a
// picture scaled, "P 1700,72 480x480" one at its own size, "L 85,1050
// 11085,1050 #000000" a line, "R ..." a rectangle. Empty texts leave no mark.
class RecordingSurface : public PrintSurface {
public:
    struct Mark {
        int page = 0; // from 0
        QString line;
        PrintFont font; // in force for a text
        QImage picture;
    };
    QList<Mark> marks;
    int pages = 1;

    // The marks of one kind ('T', 'S', ...).
    QStringList lines(QChar kind) const;

    void setFontName(const QString& name) override { font_.name = name; }
    void setFontSize(double points) override { font_.points = points; }
    void setBold(bool bold) override { font_.bold = bold; }
    void setTextColour(const QColor& colour) override { font_.colour = colour; }
    void printText(QPoint at, const QString& text) override;
    void drawPicture(QPoint at, const QImage& picture) override;
    void drawPicture(const QRect& target, const QImage& picture) override;
    void drawLine(QPoint from, QPoint to, const QColor& colour) override;
    void drawRectangle(QPoint from, QPoint to, const QColor& colour) override;
    void newPage() override { ++pages; }

private:
    void mark(const QString& line, const QImage& picture = {});
    PrintFont font_;
};

// The program's printer for tests: installed printers of its own, settings
// that stick, and each job written down with the settings it ran under and
// the busy pointer's state meanwhile; the pages go to `paper`.
class RecordingPrinter : public Printer {
public:
    explicit RecordingPrinter(const ScriptedDesktop& desktop) : desktop_(desktop) {}

    QString current = "Office";
    PaperOrientation orientationNow = PaperOrientation::Portrait;
    QPageSize::PageSizeId paperNow = QPageSize::Letter;
    int copiesNow = 3;
    QStringList jobs; // "Laser orientation 2 A4 1 copy, busy on" (2: landscape)
    RecordingSurface paper;

    QStringList installedPrinters() const override { return {"Office", "Laser", "laser"}; }
    QString deviceName() const override { return current; }
    void choose(const QString& name) override { current = name; }
    PaperOrientation orientation() const override { return orientationNow; }
    void setOrientation(PaperOrientation orientation) override { orientationNow = orientation; }
    QPageSize::PageSizeId paperSize() const override { return paperNow; }
    void setPaperSize(QPageSize::PageSizeId size) override { paperNow = size; }
    int copies() const override { return copiesNow; }
    void setCopies(int copies) override { copiesNow = copies; }
    bool print(const std::function<void(PrintSurface&)>& pages) override;

private:
    const ScriptedDesktop& desktop_;
};

} // namespace kz
