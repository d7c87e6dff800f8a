#include "options/CdIcon.h"

#include "editor/modPicture.h"

#include "store/FileName.h"
#include "store/FileWriter.h"
#include "store/Slots.h"

#include <QFile>
#include <QFileInfo>
#include <QPixmap>

#include <exception>
#include <filesystem>
#include <system_error>

namespace kz {

namespace {

// True when both paths name one file on disk, however they are spelled. The
// file system decides (device and file number), so links, "." and ".." and
// letter case on a case-insensitive volume all count.
bool SameFile(const QString& a, const QString& b) {
    try {
        std::error_code error;
        const bool same =
            std::filesystem::equivalent(std::filesystem::path(a.toStdU16String()),
                                        std::filesystem::path(b.toStdU16String()), error);
        return !error && same;
    } catch (const std::exception&) {
        // A path the conversion refuses names no file we could copy either.
        return false;
    }
}

// An ICO file holds a handful of sizes; this bounds a damaged directory.
constexpr int kMostIconImages = 64;

} // namespace

QString CdIconPath(const QString& workFolder) {
    return LocalPath(workFolder, kCdIconName);
}

bool ApplyCdIcon(const QString& chosen, const QString& workingIconPath) {
    if (SameFile(chosen, workingIconPath))
        return false;
    // Only a plain file (an empty choice is none): reading a pipe or a device
    // could wait for ever.
    if (!QFileInfo(chosen).isFile())
        return false;
    QFile source(chosen);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return false;
    return ReplaceFile(workingIconPath, bytes);
}

QIcon LoadCdIcon(const QString& path) {
    QIcon icon;
    for (const QImage& image : modPicture::LoadAllPictures(path, kMostIconImages))
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

} // namespace kz
