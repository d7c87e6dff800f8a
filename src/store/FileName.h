#pragma once

#include <QString>

// Path strings. Windows-style paths are data here (a start path is stored as
// tools\app.exe), so '\' and '/' count alike as separators and the answers are
// the same on every platform.
namespace kz {

// The last component: after the last '\', '/' or ':' that is followed by a
// further character other than a separator. C:\dir\ gives dir\ .
QString FileNameOf(const QString& path);

// The path without the extension (last '.' onwards) of its last component.
QString RemoveExtension(const QString& path);

// The path without its last component, keeping the root's separator; "" when
// nothing can be removed (C:\ , "", a bare name).
QString ParentFolder(const QString& path);

// The path with a backslash appended unless it ends in a separator already.
QString AddBackslash(const QString& path);

// A local file path from a folder and a Windows-style relative literal such as
// "\AutoRun_Icon\Icon_00.ico": the backslashes become the native separator, so
// no file name on disk ever contains one.
QString LocalPath(const QString& folder, const QString& literal);

inline bool IsSeparator(QChar c) {
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

} // namespace kz
