// kazanoro-cli save / load / check: the output folder as Save writes it, Load
// of either kind of saved folder, and what a CD burned from a folder would miss.
#include "tools/cli/Commands.h"

#include "output/CdCheck.h"
#include "output/Folders.h"
#include "platform/ShippedFiles.h"
#include "platform/SystemColour.h"
#include "tools/cli/ConsoleDesktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace kz::cli {

int RunSave(const QStringList& args, QTextStream& out, QTextStream& err) {
    QStringList rest;
    bool force = false;
    SaveSource source{QString(), ShippedFolder(QCoreApplication::applicationDirPath()),
                      kButtonFaceColour, kButtonTextColour};
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--force")) {
            force = true;
        } else if (a == QLatin1String("--extra") && i + 1 < args.size()) {
            // Files named here replace the per-user list for this save.
            if (!source.extraFiles)
                source.extraFiles.emplace();
            source.extraFiles->append(args[++i]);
        } else if ((a == QLatin1String("--background") || a == QLatin1String("--text")) &&
                   i + 1 < args.size()) {
            const auto colour = ParseColour(args[++i]);
            if (!colour) {
                err << "not a colour value: " << args[i] << Qt::endl;
                return kUsage;
            }
            (a == QLatin1String("--text") ? source.text : source.background) = *colour;
        } else {
            rest.append(a);
        }
    }
    if (rest.size() != 2) {
        err << "usage: kazanoro-cli save WORKDIR OUTDIR [--force] [--extra FILE]... "
               "[--background COLOUR] [--text COLOUR]"
            << Qt::endl;
        return kUsage;
    }
    source.workFolder = rest[0];
    const QString output = rest[1];
    if (!IsFolder(source.workFolder, err) || !IsFolder(output, err))
        return kFailed;
    ConsoleDesktop desktop(err);
    desktop.replaceAll = force; // otherwise every replace question is answered No
    VariantTable table;
    const SaveResult result = SaveToFolder(desktop, source, output, table);
    if (!result.complete()) {
        for (qsizetype i = 0; i < result.missing.size(); ++i)
            err << "not written to " << QDir::toNativeSeparators(output) << ": "
                << result.missing[i] << ": " << result.reasons.value(i) << Qt::endl;
        return kFailed;
    }
    out << SaveCompleteText(output, result).replace(QLatin1Char('\r'), QLatin1Char('\n'))
        << Qt::endl;
    return kOk;
}

int RunLoad(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() != 2) {
        err << "usage: kazanoro-cli load FOLDER WORKDIR" << Qt::endl;
        return kUsage;
    }
    if (!IsFolder(args[0], err) || !IsFolder(args[1], err))
        return kFailed;
    ConsoleDesktop desktop(err);
    desktop.replaceAll = true; // a load replaces the working files, as the editor's does
    VariantTable table;
    const LoadResult result = LoadSavedFolder(desktop, args[0], args[1], table);
    out << (result.legacy ? "older folder layout\n" : "archive layout\n");
    if (result.colours) {
        auto hex = [](std::optional<std::uint32_t> c) {
            return c ? Hex32(*c) : QStringLiteral("-");
        };
        out << "background " << hex(result.colours->background) << "\ntext "
            << hex(result.colours->text) << "\n";
    } else if (!result.legacy) {
        out << "colours not found\n";
    }
    out.flush();
    for (const QString& path : result.notWritten)
        err << "not written: " << QDir::toNativeSeparators(path) << Qt::endl;
    return result.notWritten.isEmpty() ? kOk : kFailed;
}

int RunCheck(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() != 1 || args[0].startsWith(QLatin1String("--"))) {
        err << "usage: kazanoro-cli check CDFOLDER" << Qt::endl;
        return kUsage;
    }
    if (!IsFolder(args[0], err))
        return kFailed;
    const QStringList findings = CheckCdFolder(args[0]);
    for (const QString& line : findings)
        out << line << '\n';
    out.flush();
    return findings.isEmpty() ? kOk : kFailed;
}

} // namespace kz::cli
