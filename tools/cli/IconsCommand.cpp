// kazanoro-cli icons FILE [--extract DIR]: the icons a file offers for a slot,
// exactly as the entry editor would offer them.
#include "tools/cli/Commands.h"

#include "editor/modPicture.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace kz::cli {

namespace {

int IconsUsage(QTextStream& err) {
    err << "usage: kazanoro-cli icons FILE [--extract DIR]" << Qt::endl;
    return kUsage;
}

bool SavePng(const QImage& image, const QString& path) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}

} // namespace

int RunIcons(const QStringList& args, QTextStream& out, QTextStream& err) {
    QString file;
    QString extractTo;
    bool extract = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--extract")) {
            if (extract || i + 1 >= args.size())
                return IconsUsage(err);
            extract = true;
            extractTo = args[++i];
        } else if (arg.startsWith(QLatin1String("--")) || !file.isNull()) {
            return IconsUsage(err);
        } else {
            file = arg;
        }
    }
    if (file.isEmpty() || (extract && extractTo.isEmpty()))
        return IconsUsage(err);

    if (!QFileInfo(file).isFile()) {
        err << "no such file: " << QDir::toNativeSeparators(file) << Qt::endl;
        return kFailed;
    }
    if (extract && !QDir().mkpath(extractTo)) {
        err << "cannot create folder: " << QDir::toNativeSeparators(extractTo) << Qt::endl;
        return kFailed;
    }

    int result = kOk;
    const int count = modPicture::IconCount(file);
    out << count << Qt::endl;
    for (int i = 0; i < count; ++i) {
        const QImage picture = modPicture::IconPicture(file, i);
        if (picture.isNull()) {
            out << i << " unreadable" << Qt::endl;
            err << "icon " << i << " cannot be read" << Qt::endl;
            result = kFailed;
            continue;
        }
        out << i << ' ' << picture.width() << 'x' << picture.height() << Qt::endl;
        if (!extract)
            continue;
        const QString target = QDir(extractTo).filePath(QStringLiteral("icon-%1.png").arg(i));
        if (!SavePng(picture, target)) {
            err << "cannot write " << QDir::toNativeSeparators(target) << Qt::endl;
            result = kFailed;
        }
    }
    return result;
}

} // namespace kz::cli
