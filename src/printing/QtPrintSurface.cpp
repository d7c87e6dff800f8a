#include "printing/QtPrintSurface.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace kz {
namespace {

// Outlines and rules: a hairline that every printer still puts on paper.
constexpr double kLineWidth = 3;

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
    // Icons are a few pixels wide; blurring them does not make them sharper.
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setBackgroundMode(Qt::TransparentMode);
}

QFont QtPrintSurface::ToQFont(const PrintFont& font) {
    QFont qfont(font.name);
    // Pixel size in the twips coordinate system scales with the page, so the
    // point size is exact whatever the device's resolution.
    qfont.setPixelSize(std::max(1, qRound(font.points * kTwipsPerPoint)));
    qfont.setBold(font.bold);
    qfont.setHintingPreference(QFont::PreferNoHinting);
    return qfont;
}

void QtPrintSurface::setFontName(const QString& name) {
    font_.name = name;
    fontChanged_ = true;
}

void QtPrintSurface::setFontSize(double points) {
    font_.points = points;
    fontChanged_ = true;
}

void QtPrintSurface::setBold(bool bold) {
    font_.bold = bold;
    fontChanged_ = true;
}

void QtPrintSurface::setTextColour(const QColor& colour) {
    font_.colour = colour;
}

void QtPrintSurface::useFont() {
    if (fontChanged_) {
        painter_.setFont(ToQFont(font_));
        fontChanged_ = false;
    }
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
    if (picture.isNull() || target.isEmpty())
        return;
    painter_.drawImage(QRectF(target), picture);
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
