#pragma once

#include <QString>

namespace kz {

class Desktop;

// Opens a folder, document or web address with its default action. Failures
// end quietly.
void ShellOpen(Desktop& desktop, const QString& target);

// The label of the volume at `root`, or "" when it has none, cannot be read or
// does not fit the 12 bytes a label may take.
QString VolumeLabelOf(Desktop& desktop, const QString& root);

// What became of a copy. Copied and Unchanged leave the target holding the
// source's bytes; Declined is the user's answer (a replacement or a new
// folder refused, the progress stopped); Failed has the platform's reason.
enum class CopyStatus { Copied, Unchanged, Declined, Failed, NoSource };
struct CopyResult {
    CopyStatus status = CopyStatus::Failed;
    QString reason;
    bool ok() const { return status == CopyStatus::Copied || status == CopyStatus::Unchanged; }
    explicit operator bool() const { return ok(); }
};

// Copies a file or folder as the desktop's file manager does: into `target`
// when that is a folder, otherwise to `target` itself. Asks before creating a
// missing folder and before replacing each existing file, shows progress for a
// long copy, and keeps the files' modification times. A file that cannot be
// copied whole keeps its old bytes. For a folder, the first failure (or else
// the first file kept) names the whole copy.
CopyResult ShellCopy(Desktop& desktop, const QString& source, const QString& target);

// Copies source to target unless the target already is this file: the same
// file name (in any case), present, with the same modification time to the
// second. NoSource when the source is not there.
CopyResult CopyIfChanged(Desktop& desktop, const QString& source, const QString& target);

// The root of the volume that holds a chosen file: X:\ for a Windows path
// ("X:" and a separator), otherwise the mount point of its volume.
QString VolumeRootOf(Desktop& desktop, const QString& path);

// A chosen file's path relative to the root of its disc, with backslashes: a
// Windows path loses its first three characters (D:\tools\a.exe gives
// tools\a.exe); a local absolute path loses the mount point of its volume
// (/media/cd/tools/a.exe on /media/cd gives tools\a.exe).
QString PathOnDisc(Desktop& desktop, const QString& path);

// Texts of the shell's questions.
inline const QString kReplaceTitle = QStringLiteral("ファイル上書きの確認");
inline const QString kCreateFolderTitle = QStringLiteral("フォルダ作成の確認");
inline const QString kCopyProgressTitle = QStringLiteral("コピーしています...");

} // namespace kz
