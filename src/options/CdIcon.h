#pragma once

#include <QIcon>
#include <QString>

// The CD's own icon: the file ARun.ico in the working folder, which Save puts
// on the disc and the main window shows as its icon.
namespace kz {

// Where the working CD icon lies in the working folder.
QString CdIconPath(const QString& workFolder);

// Makes the working CD icon a copy of the chosen file. The working icon is
// never lost on the way: nothing happens when the chosen path is the working
// path, or names the same file under another spelling (".", a link, letter
// case on a case-insensitive volume); a chosen file that cannot be read
// leaves the working icon as it was; otherwise the working icon is replaced in
// one step (temp file + rename). True when the working icon was replaced.
bool ApplyCdIcon(const QString& chosen, const QString& workingIconPath);

// The icon file as a window icon, with every image it holds; decided by the
// content, so a bitmap named .ico loads too. Null when nothing can be read.
QIcon LoadCdIcon(const QString& path);

} // namespace kz
