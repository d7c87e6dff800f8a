#pragma once

#include "printing/PrintSurface.h"

#include <QList>

// A surface that keeps every call made on it, with the page it went to and the
// font in force, so tests can state what a print-out puts where.
namespace kz {

class RecordingSurface : public PrintSurface {
public:
    enum class Kind {
        FontName,
        FontSize,
        Bold,
        Italic,
        TextColour,
        Text,
        Picture, // natural size or scaled: `area` is where it lands
        Line,
        Rectangle,
        NewPage,
    };
    struct Call {
        Kind kind = Kind::Text;
        int page = 0;   // counted from 0
        PrintFont font; // in force after the call
        QPoint at;      // text, line and rectangle start
        QPoint to;      // line and rectangle end
        QRect area;     // picture
        QString text;
        QImage picture;
        QColor colour; // line and rectangle
        bool scaled = false;
    };

    void setFontName(const QString& name) override;
    void setFontSize(double points) override;
    void setBold(bool bold) override;
    void setItalic(bool italic) override;
    void setTextColour(const QColor& colour) override;
    void printText(QPoint at, const QString& text) override;
    void drawPicture(QPoint at, const QImage& picture) override;
    void drawPicture(const QRect& target, const QImage& picture) override;
    void drawLine(QPoint from, QPoint to, const QColor& colour) override;
    void drawRectangle(QPoint from, QPoint to, const QColor& colour) override;
    void newPage() override;

    QList<Call> calls;
    int pageCount() const { return page_ + 1; }
    // The calls of one kind, in order; on one page when `page` is not negative.
    QList<Call> of(Kind kind, int page = -1) const;

private:
    Call& record(Kind kind);
    PrintFont font_;
    int page_ = 0;
};

} // namespace kz
