#pragma once

#include <QByteArray>
#include <QString>

// Code page 932 (Japanese Shift-JIS as Windows uses it) at the boundary between
// our Unicode strings and the bytes in files. Characters the code page cannot
// hold become '?', as the Windows converter writes them.
namespace kz {

QByteArray ToCp932(const QString& text);
QString FromCp932(const QByteArray& bytes);
QString FromCp932(const char* data, qsizetype size);

// Size of a text in code page 932 bytes: 2 for each double-byte character, 1 for
// every other one.
int AnsiLen(const QString& text);

} // namespace kz
