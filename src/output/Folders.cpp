#include "output/Folders.h"

#include "options/ExtraFiles.h"
#include "platform/Desktop.h"
#include "store/FileName.h"
#include "store/Ini.h"
#include "store/Parts.h"
#include "store/Shell.h"
#include "store/Slots.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kz {
namespace {

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kCdIconValue = QStringLiteral("\\ARun.ico");

void MakeWritable(const QString& path) {
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ReadOwner |
                                    QFileDevice::WriteOwner);
}

} // namespace

QString SaveCompleteText(const QString& outputFolder) {
    return QStringLiteral("保存が終了しました\r") + QDir::toNativeSeparators(outputFolder) +
           QStringLiteral("内のﾌｧｲﾙを全てCDに焼いてください");
}

SaveResult SaveToFolder(Desktop& desktop, const SaveSource& source, const QString& outputFolder,
                        VariantTable& table) {
    const QString work = source.workFolder;
    auto out = [&](const QString& name) { return LocalPath(outputFolder, name); };
    const QString workArchive = ArchivePath(work);

    // The archive, then the CD icon and the launcher.
    PackProject(desktop, work, source.background, source.text, table);
    const QByteArray packed = QFileInfo::exists(workArchive) ? Contents(workArchive) : QByteArray();
    const bool archiveBuilt = !packed.isEmpty();
    CopyIfChanged(desktop, workArchive, out(kArchiveName));
    QFile::remove(workArchive);
    const QString workIcon = LocalPath(work, kCdIconName);
    CopyIfChanged(desktop, workIcon, out(kCdIconName));
    CopyIfChanged(desktop, LocalPath(source.programFolder, kLauncherName), out(kLauncherName));

    const QString inf = out(kAutorunInfName);
    WriteIni(desktop, inf, QStringLiteral("autorun"), QStringLiteral("OPEN"), kLauncherName);

    // The additional files, in list order, until the first empty value.
    for (const QString& file : ReadExtraFiles(desktop))
        CopyIfChanged(desktop, file, out(FileNameOf(file)));

    const bool withIcon = FileExists(workIcon);
    if (withIcon)
        WriteIni(desktop, inf, QStringLiteral("autorun"), QStringLiteral("ICON"), kCdIconValue);

    // Did the CD's own files get there as written? A declined replace
    // question, a full disk or a read-only folder leave a CD that cannot work.
    SaveResult result;
    if (!archiveBuilt || Contents(out(kArchiveName)) != packed)
        result.missing.append(kArchiveName);
    if (ReadIniFromDisk(inf, QStringLiteral("autorun"), QStringLiteral("OPEN")) != kLauncherName ||
        (withIcon &&
         ReadIniFromDisk(inf, QStringLiteral("autorun"), QStringLiteral("ICON")) != kCdIconValue))
        result.missing.append(kAutorunInfName);
    return result;
}

LoadResult LoadSavedFolder(Desktop& desktop, const QString& chosenFolder, const QString& workFolder,
                           VariantTable& table) {
    LoadResult result;
    const QString iconFolderName = QStringLiteral("AutoRun_Icon");
    // The older layout is told by an entry of exactly this name, as the file
    // system spells it (a disc that reports AUTORUN_ICON is not that layout).
    result.legacy =
        QDir(chosenFolder)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
            .contains(iconFolderName);
    const QString archive = LocalPath(chosenFolder, kArchiveName);
    if (!result.legacy) {
        result.colours = UnpackProject(desktop, workFolder, archive, table);
        CopyIfChanged(desktop, LocalPath(chosenFolder, kCdIconName),
                      LocalPath(workFolder, kCdIconName));
        return result;
    }

    const QString icons = LocalPath(chosenFolder, iconFolderName);
    ShellCopy(desktop, icons, workFolder);
    CopyIfChanged(desktop, LocalPath(icons, kCdIconName), LocalPath(workFolder, kCdIconName));
    const QString settings = LocalPath(workFolder, kSettingsLiteral);
    CopyIfChanged(desktop, archive, settings);
    // Files copied from a disc are read-only; the working copies must not be.
    if (QFileInfo::exists(settings))
        MakeWritable(settings);
    const QString workIcons = LocalPath(workFolder, kIconFolderLiteral);
    if (QFileInfo(workIcons).isDir()) {
        MakeWritable(workIcons);
        for (const QFileInfo& f : QDir(workIcons).entryInfoList(QDir::Files))
            MakeWritable(f.filePath());
    }
    return result;
}

void RemoveWorkingIcons(const QString& workFolder) {
    const QString icons = LocalPath(workFolder, kIconFolderLiteral);
    QDir dir(icons);
    for (const QString& name : dir.entryList(QDir::Files)) // no hidden files, no folders
        dir.remove(name);
    QDir().rmdir(icons);
}

} // namespace kz
