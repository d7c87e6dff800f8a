#include "output/Folders.h"

#include "options/ExtraFiles.h"
#include "output/CdCheck.h"
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

const QString kCdIconValue = QStringLiteral("\\ARun.ico");
const QString kAutorunSection = QStringLiteral("autorun");

void MakeWritable(const QString& path) {
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ReadOwner |
                                    QFileDevice::WriteOwner);
}

// True when both files hold the same bytes, read from the disk.
bool SameContent(const QString& a, const QString& b) {
    QFile fa(a);
    QFile fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    while (!fa.atEnd())
        if (fa.read(1 << 20) != fb.read(1 << 20))
            return false;
    return fa.error() == QFileDevice::NoError && fb.error() == QFileDevice::NoError;
}

QString Listed(const QStringList& lines) {
    QString text;
    for (const QString& line : lines)
        text += QStringLiteral("\n  ") + line;
    return text;
}

// One save into the output folder, file by file, keeping score.
class SaveRun {
public:
    SaveRun(Desktop& desktop, const QString& outputFolder)
        : desktop_(desktop), output_(outputFolder) {}

    void notWritten(const QString& name, const QString& reason) {
        result.missing << name;
        result.reasons << reason;
    }

    // Copies `from` as `name`. A copy the user declined counts as kept, or as
    // not written when the CD cannot work without this very file.
    void copy(const QString& from, const QString& name, bool essential) {
        const QString to = DiscPath(output_, name);
        const QString shown = QFileInfo(to).fileName();
        const CopyResult copied = CopyIfChanged(desktop_, from, to);
        if (copied.status == CopyStatus::NoSource)
            notWritten(shown, QStringLiteral("No such file or directory: ") +
                                  QDir::toNativeSeparators(from));
        else if (copied.status == CopyStatus::Failed)
            notWritten(shown, copied.reason);
        else if (SameContent(from, to))
            return;
        else if (copied.status != CopyStatus::Declined)
            notWritten(shown, QStringLiteral("The copy differs from its source"));
        else if (essential)
            notWritten(shown, QStringLiteral("Not replaced"));
        else
            result.kept << shown;
    }

    // The keys of Autorun.inf, in one rewrite of it.
    void writeInf(const QList<std::pair<QString, QString>>& keys) {
        const QString inf = DiscPath(output_, kAutorunInfName);
        IniBatch batch(desktop_, inf);
        for (const auto& [key, value] : keys)
            batch.write(kAutorunSection, key, value);
        if (!batch.commit())
            infError_ = batch.error();
    }

    // Autorun.inf as the disc will hold it, read back from the folder.
    void checkInf(bool withIcon) {
        const QString inf = DiscPath(output_, kAutorunInfName);
        if (ReadIniFromDisk(inf, kAutorunSection, QStringLiteral("OPEN")) != kLauncherName ||
            (withIcon &&
             ReadIniFromDisk(inf, kAutorunSection, QStringLiteral("ICON")) != kCdIconValue))
            notWritten(QFileInfo(inf).fileName(),
                       infError_.isEmpty() ? QStringLiteral("The keys are not in the file")
                                           : infError_);
    }

    SaveResult result;

private:
    Desktop& desktop_;
    QString output_;
    QString infError_;
};

} // namespace

QString DiscEntry(const QString& folder, const QString& name) {
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot);
    if (entries.contains(name))
        return name;
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    return {};
}

QString DiscPath(const QString& folder, const QString& name) {
    const QString entry = DiscEntry(folder, name);
    return LocalPath(folder, entry.isEmpty() ? name : entry);
}

QString SaveCompleteText(const QString& outputFolder) {
    return QStringLiteral("保存が終了しました\r") + QDir::toNativeSeparators(outputFolder) +
           QStringLiteral("内のﾌｧｲﾙを全てCDに焼いてください");
}

QString SaveCompleteText(const QString& outputFolder, const SaveResult& result) {
    QString text = SaveCompleteText(outputFolder);
    if (!result.kept.isEmpty())
        text +=
            QStringLiteral("\n\n次のﾌｧｲﾙは置き換えずに元のまま残しました:") + Listed(result.kept);
    if (!result.findings.isEmpty())
        text += QStringLiteral("\n\n") + kCdFindingsHeading + Listed(result.findings);
    return text;
}

QString SaveFailedText(const QString& outputFolder, const SaveResult& result) {
    QStringList lines;
    for (qsizetype i = 0; i < result.missing.size(); ++i)
        lines << result.missing[i] + QStringLiteral(": ") + result.reasons.value(i);
    return QStringLiteral("次のﾌｧｲﾙを保存フォルダに書き込めませんでした:") + Listed(lines) +
           QStringLiteral("\n\n保存フォルダ: ") + QDir::toNativeSeparators(outputFolder) +
           QStringLiteral("\n保存し直してからCDに焼いてください。");
}

SaveResult SaveToFolder(Desktop& desktop, const SaveSource& source, const QString& outputFolder,
                        VariantTable& table) {
    const QString work = source.workFolder;
    SaveRun run(desktop, outputFolder);

    // The archive, then the CD icon and the launcher.
    const QString workArchive = ArchivePath(work);
    QString packError;
    if (PackProject(desktop, work, source.background, source.text, table, &packError))
        run.copy(workArchive, kArchiveName, true);
    else
        run.notWritten(kArchiveName, packError);
    QFile::remove(workArchive);
    const QString workIcon = LocalPath(work, kCdIconName);
    if (FilePresent(workIcon))
        run.copy(workIcon, kCdIconName, false);
    const QString launcher = LocalPath(source.programFolder, kLauncherName);
    if (FilePresent(launcher))
        run.copy(launcher, kLauncherName, false);

    run.writeInf({{QStringLiteral("OPEN"), kLauncherName}});
    // The additional files, in list order; one that is gone is not on the CD.
    for (const QString& file : source.extraFiles ? *source.extraFiles : ReadExtraFiles(desktop))
        run.copy(file, FileNameOf(file), false);
    const bool withIcon = FileExists(workIcon);
    if (withIcon)
        run.writeInf({{QStringLiteral("ICON"), kCdIconValue}});
    run.checkInf(withIcon);

    if (run.result.complete())
        run.result.findings = CheckCdFolder(outputFolder);
    return run.result;
}

LoadResult LoadSavedFolder(Desktop& desktop, const QString& chosenFolder, const QString& workFolder,
                           VariantTable& table) {
    LoadResult result;
    auto copy = [&](const QString& from, const QString& to) {
        if (CopyIfChanged(desktop, from, to).status == CopyStatus::Failed)
            result.notWritten << to;
    };
    const QString iconFolderName = QStringLiteral("AutoRun_Icon");
    // The older layout is told by an entry of exactly this name, as the file
    // system spells it (a disc that reports AUTORUN_ICON is not that layout).
    result.legacy =
        QDir(chosenFolder)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
            .contains(iconFolderName);
    const QString archive = LocalPath(chosenFolder, kArchiveName);
    if (!result.legacy) {
        UnpackReport report;
        result.colours = UnpackProject(desktop, workFolder, archive, table, &report);
        result.notWritten = report.notWritten;
        copy(LocalPath(chosenFolder, kCdIconName), LocalPath(workFolder, kCdIconName));
        return result;
    }

    const QString icons = LocalPath(chosenFolder, iconFolderName);
    if (ShellCopy(desktop, icons, workFolder).status == CopyStatus::Failed)
        result.notWritten << LocalPath(workFolder, kIconFolderLiteral);
    copy(LocalPath(icons, kCdIconName), LocalPath(workFolder, kCdIconName));
    const QString settings = LocalPath(workFolder, kSettingsLiteral);
    copy(archive, settings);
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
