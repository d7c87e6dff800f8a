#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

// A page to print on, in twips (1/1440 inch) from the top-left corner of the
// printable area, x to the right and y downwards. The print-outs are laid out
// on this interface only: the editor prints it on paper or PDF, tests record it.
namespace kz {

inline constexpr int kTwipsPerPoint = 20;
// A picture's own size on paper: one pixel is one 96 dpi pixel.
inline constexpr int kPictureTwipsPerPixel = 15;

// The font state texts are printed with; it stays until changed. A print-out
// sets its font and size before its first text.
struct PrintFont {
    QString name;
    double points{};
    bool bold{};
    QColor colour = Qt::black;
};

class PrintSurface {
public:
    virtual ~PrintSurface() = default;

    virtual void setFontName(const QString& name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setBold(bool bold) = 0;
    virtual void setTextColour(const QColor& colour) = 0;

    // Prints `text` in the current font with the top-left corner of its first
    // character cell at `at`, on one line: never cut, never wrapped.
    virtual void printText(QPoint at, const QString& text) = 0;

    // The picture at its own size (kPictureTwipsPerPixel a pixel), top-left at `at`.
    virtual void drawPicture(QPoint at, const QImage& picture) = 0;
    // The whole picture scaled into `target`.
    virtual void drawPicture(const QRect& target, const QImage& picture) = 0;

    // A thin line, or a rectangle outline, between two corner points (both on it).
    virtual void drawLine(QPoint from, QPoint to, const QColor& colour) = 0;
    virtual void drawRectangle(QPoint from, QPoint to, const QColor& colour) = 0;

    // Ends the page; what follows goes on a new one.
    virtual void newPage() = 0;
};

} // namespace kz
