#include "tools/cli/Commands.h"

#include "store/FileName.h"
#include "store/Ini.h"
#include "store/Shell.h"
#include "store/Slots.h"
#include "tools/cli/ConsoleDesktop.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kz::cli {

int RunIni(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() == 4 && args[0] == QLatin1String("get")) {
        out << ReadIni(args[1], args[2], args[3]) << Qt::endl;
        return kOk;
    }
    if (args.size() == 5 && args[0] == QLatin1String("set")) {
        const QFileInfo folder(QFileInfo(args[1]).absolutePath());
        if (!folder.isDir()) {
            err << "no such folder: " << QDir::toNativeSeparators(folder.filePath()) << Qt::endl;
            return kFailed;
        }
        ConsoleDesktop desktop(err);
        IniBatch batch(desktop, args[1]);
        batch.write(args[2], args[3], args[4]);
        if (!batch.commit()) {
            err << "not stored in " << QDir::toNativeSeparators(args[1]) << ": " << batch.error()
                << Qt::endl;
            return kFailed;
        }
        return kOk;
    }
    err << "usage: kazanoro-cli ini get FILE SECTION KEY\n"
           "       kazanoro-cli ini set FILE SECTION KEY VALUE"
        << Qt::endl;
    return kUsage;
}

int RunShow(const QStringList& args, QTextStream& out, QTextStream& err) {
    const bool json = args.contains(QLatin1String("--json"));
    QStringList rest = args;
    rest.removeAll(QLatin1String("--json"));
    if (rest.size() != 1) {
        err << "usage: kazanoro-cli show WORKDIR [--json]" << Qt::endl;
        return kUsage;
    }
    const QString work = rest[0];
    if (!QFileInfo(work).isDir()) {
        err << "no such folder: " << QDir::toNativeSeparators(work) << Qt::endl;
        return kFailed;
    }
    const QString settings = LocalPath(work, kSettingsLiteral);
    const QString label = ReadIni(settings, QStringLiteral("VolumeLabel"), QString());

    QJsonArray used;
    QString text;
    for (int page = 0; page < kPages; ++page) {
        for (int button = 0; button < kButtons; ++button) {
            const QString key = SlotKey(button, page);
            auto value = [&](const SlotField& f) {
                return ReadIni(settings, QString::fromUtf16(f.section),
                               QString::fromUtf16(f.prefix) + key);
            };
            if (value(kSlotFields[0]).isEmpty())
                continue;
            QJsonObject slot{{QStringLiteral("slot"), key},
                             {QStringLiteral("page"), page + 1},
                             {QStringLiteral("button"), button + 1}};
            text +=
                QStringLiteral("[%1] page %2 button %3\n").arg(key).arg(page + 1).arg(button + 1);
            for (const SlotField& f : kSlotFields) {
                const QString section = QString::fromUtf16(f.section);
                slot.insert(section, value(f));
                text += QStringLiteral("  %1: %2\n").arg(section, value(f));
            }
            used.append(slot);
        }
    }
    if (json) {
        const QJsonObject doc{{QStringLiteral("volumeLabel"), label},
                              {QStringLiteral("slots"), used}};
        out << QString::fromUtf8(QJsonDocument(doc).toJson(QJsonDocument::Indented));
    } else {
        out << "VolumeLabel: " << label << "\n" << text;
    }
    out.flush();
    return kOk;
}

} // namespace kz::cli
