#include "printing/QtPrintSurface.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

namespace kz {
namespace {

// Outlines and rules: a hairline that every printer still puts on paper.
constexpr double kLineWidth = 3.0;

QRectF Between(QPoint from, QPoint to) {
    return QRectF(QPointF(from), QPointF(to)).normalized();
}

} // namespace

QtPrintSurface::QtPrintSurface(QPainter& painter, QPagedPaintDevice& device)
    : painter_(painter), device_(device) {
    useTwips();
}

void QtPrintSurface::useTwips() {
    // The painter's origin is already the paint rectangle's corner.
    painter_.setWorldTransform(
        QTransform::fromScale(device_.logicalDpiX() / 1440.0, device_.logicalDpiY() / 1440.0));
    // Icons are scaled without smoothing, the painter's default: blurring a
    // few pixels does not make them sharper. Lines are smoothed.
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setBackgroundMode(Qt::TransparentMode);
}

QFont QtPrintSurface::ToQFont(const PrintFont& font) {
    QFont qfont(font.name);
    // Pixel size in the twips coordinate system scales with the page, so the
    // point size is exact whatever the device's resolution.
    qfont.setPixelSize(qRound(font.points * kTwipsPerPoint));
    qfont.setBold(font.bold);
    qfont.setHintingPreference(QFont::PreferNoHinting);
    return qfont;
}

void QtPrintSurface::setFontName(const QString& name) {
    font_.name = name;
}

void QtPrintSurface::setFontSize(double points) {
    font_.points = points;
}

void QtPrintSurface::setBold(bool bold) {
    font_.bold = bold;
}

void QtPrintSurface::setTextColour(const QColor& colour) {
    font_.colour = colour;
}

void QtPrintSurface::useFont() {
    painter_.setFont(ToQFont(font_));
    painter_.setPen(font_.colour);
}

void QtPrintSurface::printText(QPoint at, const QString& text) {
    if (text.isEmpty())
        return;
    useFont();
    const QFontMetricsF metrics(painter_.font());
    painter_.drawText(QPointF(at.x(), at.y() + metrics.ascent()), text);
}

void QtPrintSurface::drawPicture(QPoint at, const QImage& picture) {
    drawPicture(QRect(at, picture.size() * kPictureTwipsPerPixel), picture);
}

void QtPrintSurface::drawPicture(const QRect& target, const QImage& picture) {
    painter_.drawImage(QRectF(target), picture); // a null picture draws nothing
}

void QtPrintSurface::drawLine(QPoint from, QPoint to, const QColor& colour) {
    painter_.setPen(QPen(colour, kLineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter_.drawLine(QPointF(from), QPointF(to));
}

void QtPrintSurface::drawRectangle(QPoint from, QPoint to, const QColor& colour) {
    painter_.setPen(QPen(colour, kLineWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(Between(from, to));
}

void QtPrintSurface::newPage() {
    device_.newPage();
    useTwips();
}

} // namespace kz
