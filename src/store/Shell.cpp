#include "store/Shell.h"

#include "platform/Desktop.h"
#include "store/Cp932.h"
#include "store/FileName.h"
#include "store/FileWriter.h"
#include "store/Parts.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace kz {
namespace {

constexpr qint64 kChunk = 1 << 20;
// Copies smaller than this finish before a progress window would be useful.
constexpr qint64 kProgressThreshold = 8 * kChunk;

struct CopyJob {
    Desktop& desktop;
    bool many = false; // several files: the replace question offers "all"
    bool replaceAll = false;
    bool cancelled = false;
    qint64 total = 0;
    qint64 done = 0;
    std::unique_ptr<Progress> progress;
};

QString Describe(const QFileInfo& info) {
    return QStringLiteral("    %1 バイト\n    更新日時: %2")
        .arg(QLocale(QLocale::Japanese).toString(info.size()),
             info.lastModified().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
}

// Asks whether an existing file may be replaced; false to keep it.
bool MayReplace(CopyJob& job, const QFileInfo& from, const QFileInfo& to) {
    if (job.replaceAll)
        return true;
    const QString text =
        QStringLiteral("このフォルダには既に '%1' というファイルがあります。\n\n"
                       "現在のファイル\n%2\n\nを次のファイルで置き換えますか?\n\n%3")
            .arg(to.fileName(), Describe(to), Describe(from));
    const Answer answer =
        job.desktop.message(text, kReplaceTitle, MessageIcon::Question,
                            job.many ? MessageButtons::YesAllNoCancel : MessageButtons::YesNo);
    switch (answer) {
    case Answer::YesToAll:
        job.replaceAll = true;
        return true;
    case Answer::Yes:
        return true;
    case Answer::Cancel:
        job.cancelled = true;
        return false;
    default:
        return false;
    }
}

// Asks whether a missing folder may be created; false to leave it.
bool MayCreateFolder(Desktop& desktop, const QString& folder) {
    const QString text = QStringLiteral("フォルダ '%1' は存在しません。\n\n作成しますか?")
                             .arg(QDir::toNativeSeparators(folder));
    return desktop.message(text, kCreateFolderTitle, MessageIcon::Question,
                           MessageButtons::YesNo) == Answer::Yes;
}

CopyResult Failed(const QString& reason) {
    return {CopyStatus::Failed, reason};
}

CopyResult CopyOneFile(CopyJob& job, const QFileInfo& from, const QString& to) {
    const QFileInfo target(to);
    if (target.isDir())
        return Failed(QStringLiteral("Is a directory"));
    if (target.exists() && !MayReplace(job, from, target))
        return {CopyStatus::Declined, {}};
    QFile in(from.absoluteFilePath());
    if (!in.open(QIODevice::ReadOnly))
        return Failed(in.errorString());
    // A copy taken from a disc is read-only; the user has agreed to replace it.
    if (target.exists() && !target.isWritable())
        QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
    FileWriter out(to);
    if (!out.open())
        return Failed(out.error());
    while (!in.atEnd()) {
        const QByteArray buffer = in.read(kChunk);
        if (buffer.isEmpty() || !out.write(buffer))
            break;
        job.done += buffer.size();
        if (job.progress && !job.progress->update(job.done)) {
            job.cancelled = true;
            break;
        }
    }
    // Half a copy never takes the target's name: the old file stays. A write
    // that failed in the last piece fails the commit.
    if (job.cancelled || in.error() != QFileDevice::NoError || !in.atEnd()) {
        out.discard();
        if (job.cancelled)
            return {CopyStatus::Declined, {}};
        return Failed(out.error().isEmpty() ? in.errorString() : out.error());
    }
    in.close();
    if (!out.commit())
        return Failed(out.error());
    // A copy keeps the source's time and read-only state, as the shell's does.
    QFile copied(to);
    if (copied.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) {
        copied.setFileTime(from.lastModified(), QFileDevice::FileModificationTime);
        copied.close();
    }
    // Only the stored bits: the "User" flags say what this process may do,
    // which for an administrator is everything.
    constexpr QFileDevice::Permissions kStored =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
        QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    QFile::setPermissions(to, from.permissions() & kStored);
    return {CopyStatus::Copied, {}};
}

} // namespace

void ShellOpen(Desktop& desktop, const QString& target) {
    desktop.openDocument(target);
}

QString VolumeLabelOf(Desktop& desktop, const QString& root) {
    const QString label = desktop.volumeLabel(root);
    return AnsiLen(label) > 12 ? QString() : label;
}

namespace {

bool HasDrivePrefix(const QString& path) {
    return path.size() >= 3 && path[0].isLetter() && path[1] == QLatin1Char(':') &&
           IsSeparator(path[2]);
}

} // namespace

QString VolumeRootOf(Desktop& desktop, const QString& path) {
    if (HasDrivePrefix(path))
        return path.left(2) + QLatin1Char('\\');
    return desktop.volumeRoot(path);
}

QString PathOnDisc(Desktop& desktop, const QString& path) {
    if (!HasDrivePrefix(path) && QDir::isAbsolutePath(path) && path.startsWith(QLatin1Char('/'))) {
        const QString root = desktop.volumeRoot(path);
        if (!root.isEmpty() && path.startsWith(root)) {
            QString rest = path.mid(root.size());
            while (rest.startsWith(QLatin1Char('/')))
                rest.remove(0, 1);
            return rest.replace(QLatin1Char('/'), QLatin1Char('\\'));
        }
    }
    return path.mid(3);
}

CopyResult ShellCopy(Desktop& desktop, const QString& source, const QString& target) {
    const QFileInfo from(source);
    if (!from.exists())
        return {CopyStatus::NoSource, {}};
    if (target.isEmpty())
        return Failed(QStringLiteral("No such file or directory"));
    QString destination = target;
    if (QFileInfo(target).isDir())
        destination = QDir(target).filePath(from.fileName());
    const QString folder = QFileInfo(destination).absolutePath();
    if (!QFileInfo(folder).isDir() && !MayCreateFolder(desktop, folder))
        return {CopyStatus::Declined, {}};
    if (!QDir().mkpath(folder))
        return Failed(QStringLiteral("Permission denied"));

    CopyJob job{desktop, false, false, false, 0, 0, nullptr};
    QList<QPair<QFileInfo, QString>> files;
    if (from.isDir()) {
        job.many = true;
        QDirIterator it(from.absoluteFilePath(), QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        const QDir base(from.absoluteFilePath());
        while (it.hasNext()) {
            const QFileInfo f(it.next());
            files.append(
                {f, QDir(destination).filePath(base.relativeFilePath(f.absoluteFilePath()))});
        }
        if (!QDir().mkpath(destination))
            return Failed(QStringLiteral("Permission denied"));
    } else {
        files.append({from, destination});
    }
    for (const auto& f : files)
        job.total += f.first.size();
    if (job.total >= kProgressThreshold)
        job.progress = desktop.startProgress(kCopyProgressTitle, from.fileName(), job.total);

    // The first failure names the whole copy; a file kept at the user's word
    // is no failure.
    CopyResult result{CopyStatus::Copied, {}};
    for (const auto& [file, to] : files) {
        if (job.cancelled)
            return {CopyStatus::Declined, {}};
        CopyResult one = QDir().mkpath(QFileInfo(to).absolutePath())
                             ? CopyOneFile(job, file, to)
                             : Failed(QStringLiteral("Permission denied"));
        if (one.status == CopyStatus::Failed && result.status != CopyStatus::Failed)
            result = one;
        else if (one.status == CopyStatus::Declined && result.status == CopyStatus::Copied)
            result = one;
    }
    return result;
}

namespace {

// Files up to this size are compared byte for byte before a copy is skipped.
constexpr qint64 kCompareLimit = 16 * kChunk;

bool SameBytes(const QString& a, const QString& b) {
    QFile fa(a);
    QFile fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    while (!fa.atEnd()) {
        if (fa.read(kChunk) != fb.read(kChunk))
            return false;
    }
    return fb.atEnd();
}

} // namespace

CopyResult CopyIfChanged(Desktop& desktop, const QString& source, const QString& target) {
    if (!FilePresent(source))
        return {CopyStatus::NoSource, {}};
    const QFileInfo from(source);
    const QFileInfo to(target);
    // The same name and time to the second mean the target is this file: the
    // copy keeps the time. A file written afresh within the same second (a
    // newly packed archive) would pass that test too, so small files must also
    // hold the same bytes. A disc matches names without regard to case.
    if (FileNameOf(target).compare(FileNameOf(source), Qt::CaseInsensitive) == 0 &&
        FilePresent(target) &&
        to.lastModified().toSecsSinceEpoch() == from.lastModified().toSecsSinceEpoch() &&
        (from.size() > kCompareLimit ? to.size() == from.size() : SameBytes(source, target)))
        return {CopyStatus::Unchanged, {}};
    return ShellCopy(desktop, source, target);
}

} // namespace kz
