#include "tests/support/RecordingSurface.h"

#include "tests/support/ScriptedDesktop.h"

namespace kz {
namespace {

QString At(QPoint point) {
    return QStringLiteral("%1,%2").arg(point.x()).arg(point.y());
}

QString Area(QPoint at, QSize size) {
    return At(at) + QStringLiteral(" %1x%2").arg(size.width()).arg(size.height());
}

} // namespace

QStringList RecordingSurface::lines(QChar kind) const {
    QStringList found;
    for (const Mark& mark : marks)
        if (mark.line.startsWith(kind))
            found.append(mark.line);
    return found;
}

void RecordingSurface::mark(const QString& line, const QImage& picture) {
    marks.append({pages - 1, line, font_, picture});
}

void RecordingSurface::printText(QPoint at, const QString& text) {
    if (!text.isEmpty())
        mark(QStringLiteral("T %1 %2%3 %4")
                 .arg(At(at), QString::number(font_.points), font_.bold ? "b" : "", text));
}

void RecordingSurface::drawPicture(QPoint at, const QImage& picture) {
    mark(QStringLiteral("P ") + Area(at, picture.size() * kPictureTwipsPerPixel), picture);
}

void RecordingSurface::drawPicture(const QRect& target, const QImage& picture) {
    mark(QStringLiteral("S ") + Area(target.topLeft(), target.size()), picture);
}

void RecordingSurface::drawLine(QPoint from, QPoint to, const QColor& colour) {
    mark(QStringLiteral("L %1 %2 %3").arg(At(from), At(to), colour.name()));
}

void RecordingSurface::drawRectangle(QPoint from, QPoint to, const QColor& colour) {
    mark(QStringLiteral("R %1 %2 %3").arg(At(from), At(to), colour.name()));
}

bool RecordingPrinter::print(const std::function<void(PrintSurface&)>& pages) {
    jobs.append(QStringLiteral("%1 orientation %2 %3 %4 copy, busy %5")
                    .arg(current)
                    .arg(int(orientationNow))
                    .arg(QPageSize::name(paperNow))
                    .arg(copiesNow)
                    .arg(desktop_.answersOf(QStringLiteral("busy")).join(',')));
    pages(paper);
    return true;
}

} // namespace kz
