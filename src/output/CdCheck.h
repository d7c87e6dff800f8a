#pragma once

#include <QString>
#include <QStringList>

// What a CD burned from a folder would miss. One check for the three places
// that look before burning: Save's completion message, the disc image and
// `kazanoro-cli check`.
namespace kz {

// A CD-R of 80 minutes: 360,000 sectors of 2,048 bytes.
inline constexpr qint64 kCdBytes = 737280000;
// The longest name Joliet keeps, in UTF-16 units.
inline constexpr int kLongestDiscName = 64;

// One line per finding, in this order, nothing for a folder ready to burn:
// Auto_Run.dat missing or unreadable; Autorun.inf missing, its OPEN or ICON
// naming a file that is not there; each slot whose file (its path relative to
// the CD root; addresses, drive and network paths left out) is not in the
// folder, with the slot label "button/page" and the path; names longer than
// 64 characters; names equal but for case; a total size above a CD-R (a
// note). Names are matched as the disc matches them: without regard to case.
QStringList CheckCdFolder(const QString& folder);

// What heads the findings wherever the user is shown them.
inline const QString kCdFindingsHeading = QStringLiteral("CDに焼く前に確認してください:");

} // namespace kz
