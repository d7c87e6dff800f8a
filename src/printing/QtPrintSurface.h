#pragma once

#include "printing/PrintSurface.h"

#include <QFont>

class QPainter;
class QPagedPaintDevice;

// The surface on paper: paints through a QPainter that is active on a printer
// or PDF writer. Its origin is the top-left corner of the printable area (the
// device's paint rectangle) and its unit the twip.
namespace kz {

class QtPrintSurface : public PrintSurface {
public:
    QtPrintSurface(QPainter& painter, QPagedPaintDevice& device);

    void setFontName(const QString& name) override;
    void setFontSize(double points) override;
    void setBold(bool bold) override;
    void setTextColour(const QColor& colour) override;
    void printText(QPoint at, const QString& text) override;
    void drawPicture(QPoint at, const QImage& picture) override;
    void drawPicture(const QRect& target, const QImage& picture) override;
    void drawLine(QPoint from, QPoint to, const QColor& colour) override;
    void drawRectangle(QPoint from, QPoint to, const QColor& colour) override;
    void newPage() override;

    // The font a text is printed in: the surface's font state as a QFont whose
    // pixel is one twip.
    static QFont ToQFont(const PrintFont& font);

private:
    void useTwips();
    void useFont();

    QPainter& painter_;
    QPagedPaintDevice& device_;
    PrintFont font_;
};

} // namespace kz
