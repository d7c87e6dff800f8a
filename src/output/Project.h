#pragma once

// Packing the working project into the project archive and unpacking it again.
// The project table is the main window's; it is passed in, as are the working
// folder and the launcher colours, so these functions read no window.

#include "store/VariantTable.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace kz {

class Desktop;

inline const QString kArchiveName = QStringLiteral("Auto_Run.dat");

// Table positions: field 0 is the icon, fields 1 to 8 the slot's texts in the
// order of kSlotFields; slot (button b, page p) lives in row 5p + b + 1.
inline constexpr int kTableFields = 9;
constexpr int RowOf(int button, int page) {
    return 5 * page + button + 1;
}

// The text in field 0 of the last row, which marks the colours after it.
inline const QString kMarkerText = QStringLiteral("設定");

// The archive inside a working (or output) folder.
QString ArchivePath(const QString& folder);

// The project table of the working folder: every slot up to the last one in
// use (its FilePath set) with its icon bytes and eight texts, and the marker row
// with the two colours. Icons are read through ReadFileBytes, which reports an
// unreadable one to the user; that slot keeps an empty icon.
VariantTable BuildProjectTable(Desktop& desktop, const QString& workFolder,
                               std::uint32_t background, std::uint32_t text);

// Writes the table to `path` in the archive format, replacing the file whole,
// with the busy pointer up meanwhile. False, and no message, when the table
// cannot be encoded or the file not written; the reason goes to `error`.
bool WriteArchiveFile(Desktop& desktop, const QString& path, const VariantTable& table,
                      QString* error = nullptr);

// The table an archive file holds; nothing when the file cannot be read or
// holds no valid archive.
std::optional<VariantTable> ReadArchiveFile(const QString& path);

// True for a table of the shape a packed project has: 9 fields by rows 0 to R,
// R being 0 or the last row in use plus 5 (6 to 105). Nothing of another
// table is restored.
bool IsProjectShape(const VariantTable& table);

// Re-creates `table` as the project table of the working folder and writes it
// to the folder's Auto_Run.dat. True when the archive was written; otherwise
// the reason goes to `error`.
bool PackProject(Desktop& desktop, const QString& workFolder, std::uint32_t background,
                 std::uint32_t text, VariantTable& table, QString* error = nullptr);

// The launcher colours found after the marker row. A colour that is not stored
// as a 32-bit integer is missing and stays as it was.
struct LauncherColours {
    std::optional<std::uint32_t> background;
    std::optional<std::uint32_t> text;
};

// What an unpack found, for callers that tell the user about it.
struct UnpackReport {
    bool archiveRead = false; // the file held a valid archive of a project's shape
    QStringList slotKeys;     // slots that had an icon or a non-empty text to restore
    QStringList notWritten;   // the settings file or icon files that could not be written
};

// Adds the archive's slots to the working folder: non-empty texts through
// WriteIni, icons through WriteFileBytes; nothing is ever removed. `table`
// becomes the archive's table (9 x 1 empty cells when there is none, or when
// it is not of a project's shape). The
// colours come back only when the scan reached the marker row; a missing or
// unreadable archive changes nothing and reports nothing.
std::optional<LauncherColours> UnpackProject(Desktop& desktop, const QString& workFolder,
                                             const QString& archivePath, VariantTable& table,
                                             UnpackReport* report = nullptr);

} // namespace kz
