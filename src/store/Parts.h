#pragma once

#include <QByteArray>
#include <QString>

namespace kz {

class Desktop;

// Title of the program's own message boxes.
inline const QString kApplicationTitle = QStringLiteral("Kazanoro");

// True when the file can be opened for reading. One trailing separator is
// ignored; folders, missing and unreadable files give false.
bool FileExists(const QString& path);

// True when a file is there, even one that cannot be read now; folders and
// missing files give false.
bool FilePresent(const QString& path);

// Reads the whole file. Like the binary open it stands for, a missing file in
// an existing folder is created empty and read as no bytes. On failure a
// message box names the error and the result is false.
bool ReadFileBytes(Desktop& desktop, const QString& path, QByteArray& bytes);

// Makes the file hold exactly `bytes` (written to a temporary file and renamed,
// so a failure never leaves half a file). On failure a message box names the
// error and the result is false.
bool WriteFileBytes(Desktop& desktop, const QString& path, const QByteArray& bytes);

} // namespace kz
