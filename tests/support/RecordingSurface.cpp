#include "tests/support/RecordingSurface.h"

namespace kz {

RecordingSurface::Call& RecordingSurface::record(Kind kind) {
    Call call;
    call.kind = kind;
    call.page = page_;
    call.font = font_;
    calls.append(call);
    return calls.last();
}

void RecordingSurface::setFontName(const QString& name) {
    font_.name = name;
    record(Kind::FontName);
}

void RecordingSurface::setFontSize(double points) {
    font_.points = points;
    record(Kind::FontSize);
}

void RecordingSurface::setBold(bool bold) {
    font_.bold = bold;
    record(Kind::Bold);
}

void RecordingSurface::setItalic(bool italic) {
    font_.italic = italic;
    record(Kind::Italic);
}

void RecordingSurface::setTextColour(const QColor& colour) {
    font_.colour = colour;
    record(Kind::TextColour);
}

void RecordingSurface::printText(QPoint at, const QString& text) {
    Call& call = record(Kind::Text);
    call.at = at;
    call.text = text;
}

void RecordingSurface::drawPicture(QPoint at, const QImage& picture) {
    Call& call = record(Kind::Picture);
    call.area = QRect(at, picture.size() * kPictureTwipsPerPixel);
    call.picture = picture;
}

void RecordingSurface::drawPicture(const QRect& target, const QImage& picture) {
    Call& call = record(Kind::Picture);
    call.area = target;
    call.picture = picture;
    call.scaled = true;
}

void RecordingSurface::drawLine(QPoint from, QPoint to, const QColor& colour) {
    Call& call = record(Kind::Line);
    call.at = from;
    call.to = to;
    call.colour = colour;
}

void RecordingSurface::drawRectangle(QPoint from, QPoint to, const QColor& colour) {
    Call& call = record(Kind::Rectangle);
    call.at = from;
    call.to = to;
    call.colour = colour;
}

void RecordingSurface::newPage() {
    record(Kind::NewPage);
    ++page_;
}

QList<RecordingSurface::Call> RecordingSurface::of(Kind kind, int page) const {
    QList<Call> found;
    for (const Call& c : calls)
        if (c.kind == kind && (page < 0 || c.page == page))
            found.append(c);
    return found;
}

} // namespace kz
