#pragma once

#include <QColor>
#include <QImage>
#include <QString>

// The two print-outs laid out on a PrintSurface: the CD jacket (two 120 mm
// square panels with four columns of 25 entries) and the entry list (A4
// portrait, 25 entries a page). Positions are in twips from the top-left corner
// of the printable area; all data comes from the working folder.
namespace kz {

class PrintSurface;

// Where a print-out takes its data.
struct PrintSource {
    QString workFolder; // settings file, slot icon files and the CD icon
    // Slot icons reach the paper through a picture box of this background
    // colour; see PictureBoxImage.
    QColor pictureBoxColour;
};

inline const QColor kJacketLineColour = QColor(128, 128, 128);

// The jacket: 240 x 120 mm, divided in the middle.
inline constexpr int kJacketWidth = 13608;
inline constexpr int kJacketHeight = 6804;

// The picture box icons pass through: 615 twips square.
inline constexpr int kPictureBoxPixels = 41;

// Button number 1-5, "/", page number 1-20 right-aligned in two characters:
// "1/ 1", "3/12".
QString SlotLabel(int button, int page);

// What the picture box shows when the picture is loaded into it: the box's
// background with the picture at its top-left corner, cut at the box's edge.
// This whole square is what gets scaled onto the paper.
QImage PictureBoxImage(const QImage& picture, const QColor& background);

// CD icon at its own size at (x + 1700, y + 72) when the working folder has
// one, then the volume label at (x + 2000, y + 20) in 16 pt bold black. Leaves
// the font at 8 pt regular.
void PrintJacketHeader(PrintSurface& surface, const PrintSource& source, int x, int y);

// The jacket page: header, every slot in use in page-then-button order, the
// gray outline and middle line. The right panel gets its own header with its
// first entry (the 51st).
void PrintJacketPage(PrintSurface& surface, const PrintSource& source);

// The list's column headings in bold at the current size, with the rule under
// them; bold is off afterwards.
void PrintListHeadings(PrintSurface& surface);

// The list: every slot in use with its label, icon and six texts, 25 a page;
// each page starts with the jacket header and the headings.
void PrintListPages(PrintSurface& surface, const PrintSource& source);

} // namespace kz
