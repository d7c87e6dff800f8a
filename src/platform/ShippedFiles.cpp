#include "platform/ShippedFiles.h"

#include "output/Folders.h"
#include "store/Slots.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace kz {

namespace {

bool HoldsShippedFiles(const QString& folder) {
    const QDir dir(folder);
    return QFileInfo(dir.filePath(kLauncherName)).isFile() ||
           QFileInfo(dir.filePath(kHelpFileName)).isFile();
}

bool Writable(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("probe-XXXXXX")));
    return probe.open();
}

} // namespace

QString ShippedFolder(const QString& programFolder) {
    if (HoldsShippedFiles(programFolder))
        return programFolder;
    // Set by the build from the install layout.
    const QString installed =
        QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral(KZ_SHIPPED_FROM_BIN)));
    if (HoldsShippedFiles(installed))
        return installed;
    return programFolder;
}

QString ChooseWorkFolder(const QString& programFolder, const QString& chosen,
                         const QString& userData) {
    if (!chosen.isEmpty() && QDir().mkpath(chosen))
        return QFileInfo(chosen).absoluteFilePath();
    if (HoldsShippedFiles(programFolder) && Writable(programFolder))
        return programFolder;
    QDir().mkpath(userData);
    return userData;
}

} // namespace kz
