#pragma once

// A CD folder as a disc image (ISO 9660 with Joliet and Rock Ridge), for
// burning programs that want an image rather than a folder. Core functions:
// the caller chooses the folder, the image file and the label, shows the
// CD-folder check before writing, and shows the texts made here.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kz {

class Desktop;

// What the image is compared with: an 80-minute CD-R (360,000 sectors) and a
// single-layer DVD (2,295,104 sectors), 2,048 bytes a sector.
inline constexpr qint64 kCdrBytes = 737'280'000;
inline constexpr qint64 kDvdBytes = 4'700'372'992;

// The most characters a Joliet volume label holds (32 bytes of UTF-16).
inline constexpr int kJolietLabelLength = 16;

struct DiscLabel {
    QString joliet;     // what Windows shows as the disc's name
    QByteArray primary; // the same in the characters the primary descriptor allows
    bool cut = false;   // the label was longer than Joliet holds
};

// The label of an image of `folder`: `requested` unless it is blank, else the
// folder's own name. The Joliet form is cut to 16 characters; the primary form
// keeps the ASCII letters (upper case), digits and underscores, other ASCII
// characters becoming underscores, and is "CDROM" when nothing is left.
DiscLabel DiscLabelFor(const QString& folder, const QString& requested);

struct DiscImageResult {
    enum class Outcome { Written, Cancelled, Failed };
    Outcome outcome = Outcome::Failed;
    QString error;        // Failed: what went wrong, in words for the user
    qint64 size = 0;      // Written: bytes of the image
    QStringList warnings; // label cut, an image too large for a CD-R or a DVD
    bool written() const { return outcome == Outcome::Written; }
};

// Writes every file and subfolder of `folder` into the image file `image`,
// byte for byte, under the label of DiscLabelFor. Progress and cancel go
// through the desktop's progress display. The image is written to a temporary
// file beside it and renamed when complete: a failed or cancelled image leaves
// no file behind, and an earlier image of that name stays as it was.
DiscImageResult WriteDiscImage(Desktop& desktop, const QString& folder, const QString& image,
                               const QString& label);

// "1.5 GB", "812.3 MB", "640.0 KB": a size as Windows' file windows show it
// (1 KB = 1,024 bytes).
QString DiscSizeText(qint64 bytes);
// The warning for an image that a CD-R (or even a DVD) cannot hold; empty
// when a CD-R holds it.
QString DiscSizeWarning(qint64 bytes);
// The warning for a label cut to 16 characters.
QString DiscLabelCutWarning(const DiscLabel& label);

// The completion message: the image's path and size, then any warnings.
QString DiscImageDoneText(const QString& image, const DiscImageResult& result);
inline const QString kDiscImageTitle = QStringLiteral("CDイメージ作成");
inline const QString kDiscImageProgressText = QStringLiteral("CDイメージを作成しています...");
// File-dialog filter for choosing the image file.
inline const QString kDiscImageFilter = QStringLiteral("CDイメージ(*.iso)|*.iso");

} // namespace kz
