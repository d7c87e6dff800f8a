#pragma once

#include <QString>
#include <QStringList>

// The list of additional files that Save puts on the disc. It belongs to the
// user, not to the project: it lives in the per-user settings store, one value
// per line named "0", "1", ... in list order, with no count stored.
namespace kz {

class Desktop;

inline const QString kStoreApplication = QStringLiteral("Quelmark");
inline const QString kExtraFilesSection = QStringLiteral("DLLFile");

// The stored lines, up to the first missing or empty value. The numbering
// stops where a 16-bit counter would.
QStringList ReadExtraFiles(Desktop& desktop);

// Replaces the whole stored list with these lines, numbered from 0.
void WriteExtraFiles(Desktop& desktop, const QStringList& files);

} // namespace kz
