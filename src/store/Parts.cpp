#include "store/Parts.h"

#include "platform/Desktop.h"
#include "store/FileName.h"
#include "store/FileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kz {
namespace {

// What the failure means to the user, in the words of the system's own file
// errors, followed by the path.
// What the failure means to the user, in the words of the system's own file
// errors, followed by the path; the platform's own words close it when the
// cause lies elsewhere (a full disk).
QString DescribeFailure(const QString& path, bool writing, const QString& reason = {}) {
    const QFileInfo info(path);
    QString what;
    if (!QFileInfo(info.absolutePath()).isDir())
        what = QStringLiteral("パスが見つかりません。");
    else if (info.isDir())
        what = QStringLiteral("パス名が無効です。");
    else if (info.exists() && (writing ? !info.isWritable() : !info.isReadable()))
        what = QStringLiteral("書き込みできません。");
    else if (writing)
        what = QStringLiteral("ファイルに書き込めません。") +
               (reason.isEmpty() ? QString() : QLatin1Char('(') + reason + QLatin1Char(')'));
    else
        what = QStringLiteral("ファイルを読み込めません。");
    return what + QLatin1Char('\n') + QDir::toNativeSeparators(path);
}

void ReportFailure(Desktop& desktop, const QString& path, bool writing,
                   const QString& reason = {}) {
    desktop.message(DescribeFailure(path, writing, reason), kApplicationTitle, MessageIcon::None,
                    MessageButtons::Ok);
}

} // namespace

bool FileExists(const QString& path) {
    if (path.isEmpty())
        return false;
    QString p = path;
    if (IsSeparator(p.back()))
        p.chop(1);
    if (p.isEmpty() || QFileInfo(p).isDir())
        return false;
    QFile file(p);
    return file.open(QIODevice::ReadOnly);
}

bool FilePresent(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    // No other process can keep us from seeing that a file is there; a file we
    // may not read still counts, as a file held open by another program does.
    return info.exists() && !info.isDir();
}

bool ReadFileBytes(Desktop& desktop, const QString& path, QByteArray& bytes) {
    QFile file(path);
    const QIODevice::OpenMode mode =
        QFileInfo::exists(path) ? QIODevice::ReadOnly : QIODevice::ReadWrite;
    if (path.isEmpty() || QFileInfo(path).isDir() || !file.open(mode)) {
        ReportFailure(desktop, path, false);
        return false;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        ReportFailure(desktop, path, false);
        return false;
    }
    bytes = std::move(data);
    return true;
}

bool WriteFileBytes(Desktop& desktop, const QString& path, const QByteArray& bytes) {
    QString reason;
    if (path.isEmpty() || !ReplaceFile(path, bytes, &reason)) {
        ReportFailure(desktop, path, true, reason);
        return false;
    }
    return true;
}

} // namespace kz
