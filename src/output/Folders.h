#pragma once

// The output folder, written by Save and read back by Load, and the clearing
// of the working project. Core functions: the caller passes the folders and
// the launcher colours, and shows its own windows.

#include "output/Project.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace kz {

class Desktop;

inline const QString kLauncherName = QStringLiteral("AutoRun.exe");
inline const QString kAutorunInfName = QStringLiteral("Autorun.inf");

// The entry of `folder` named `name` in any case, the exact spelling first;
// "" when there is none. A disc knows no case: two names that differ only in
// case would be one name there.
QString DiscEntry(const QString& folder, const QString& name);
// The path of `name` in `folder` as the folder already spells it, or `name`
// itself when the folder has no such entry.
QString DiscPath(const QString& folder, const QString& name);

struct SaveSource {
    QString workFolder;    // the project
    QString programFolder; // where the launcher lies
    std::uint32_t background = 0;
    std::uint32_t text = 0;
    // The additional files for this save in place of the per-user list.
    std::optional<QStringList> extraFiles = std::nullopt;
};

struct SaveResult {
    // Files that did not reach the output folder with their source's bytes,
    // by their name there, and why (the platform's words), in the same order.
    // An additional file that is gone counts too.
    QStringList missing;
    QStringList reasons;
    // Files the user chose to keep as they were rather than replace.
    QStringList kept;
    // What a CD burned from the folder would still miss (see CheckCdFolder),
    // after a complete save.
    QStringList findings;
    bool complete() const { return missing.isEmpty(); }
};

// Writes the CD's files into the output folder: the archive packed from the
// working project, the CD icon, the launcher, Autorun.inf and the additional
// files, each copy through CopyIfChanged (so the user is asked before a
// different file is replaced). A name the folder holds in another case is
// written under that name. The working archive is removed afterwards. The
// save is complete when every file is there with its source's bytes, as read
// back from the folder; declining to replace an archive of other bytes leaves
// it incomplete, declining any other file keeps that file. `table` is the main
// window's project table.
SaveResult SaveToFolder(Desktop& desktop, const SaveSource& source, const QString& outputFolder,
                        VariantTable& table);

// The completion message of a save into `outputFolder`; with a result, the
// files kept as they were and the findings of the check follow, as warnings.
QString SaveCompleteText(const QString& outputFolder);
QString SaveCompleteText(const QString& outputFolder, const SaveResult& result);
// The message of a save that is not complete: each file not written, and why.
QString SaveFailedText(const QString& outputFolder, const SaveResult& result);
inline const QString kSaveCompleteTitle = QStringLiteral("保存完了");
inline const QString kSaveFailedTitle = QStringLiteral("保存エラー");
// The question New and closing ask before they clear a project.
inline const QString kSaveQuestionText = QStringLiteral("現在のファイルを保存しますか?");
inline const QString kSaveQuestionTitle = QStringLiteral("保存確認");

struct LoadResult {
    bool legacy = false; // the folder had an AutoRun_Icon entry
    std::optional<LauncherColours> colours;
    QStringList notWritten; // working files that could not be written
};

// Reads a saved folder back into the working folder: a folder in the archive
// layout is unpacked; one in the older layout (an entry named AutoRun_Icon)
// has its icon folder, CD icon and settings file copied in and made writable.
// Nothing of the working project is removed first.
LoadResult LoadSavedFolder(Desktop& desktop, const QString& chosenFolder, const QString& workFolder,
                           VariantTable& table);

// Deletes the ordinary files of the working icon folder and then the folder,
// which stays when anything else is left in it.
void RemoveWorkingIcons(const QString& workFolder);

} // namespace kz
