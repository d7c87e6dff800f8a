#pragma once

#include <QString>

// Where the files that ship with the program lie (the launcher AutoRun.exe
// that Save copies onto the CD, and the help page), and where the editor
// keeps its working project. The editor and kazanoro-cli both ask here.
namespace kz {

// The folder holding the shipped files: the program's own folder when any of
// them lies there (a build tree, a portable copy), otherwise the installed
// share folder found relative to the program (../share/kazanoro from bin/,
// so a copy installed under any root finds its own). When neither holds
// them, the program's own folder, where a missing launcher gets reported.
QString ShippedFolder(const QString& programFolder);

// The working folder: `chosen` (KAZANORO_WORKDIR) when set and it can be
// made; the program's own folder when the shipped files lie beside it and
// it can be written; otherwise `userData`, the per-user data folder, made
// when missing. An installed program never writes into its bin folder.
QString ChooseWorkFolder(const QString& programFolder, const QString& chosen,
                         const QString& userData);

} // namespace kz
