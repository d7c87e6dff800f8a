// kazanoro-cli print jacket|list WORKDIR OUT.pdf: the CD jacket or the entry
// list of a working folder, as the editor prints them, into a PDF file.
#include "tools/cli/Commands.h"

#include "printing/Printing.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

namespace kz::cli {

namespace {

int PrintUsage(QTextStream& err) {
    err << "usage: kazanoro-cli print jacket|list WORKDIR OUT.pdf" << Qt::endl;
    return kUsage;
}

} // namespace

int RunPrint(const QStringList& args, QTextStream& /*out*/, QTextStream& err) {
    if (args.size() != 3 || args[1].isEmpty() || args[2].isEmpty())
        return PrintUsage(err);
    const QString& what = args[0];
    const bool jacket = what == QLatin1String("jacket");
    if (!jacket && what != QLatin1String("list"))
        return PrintUsage(err);
    const QString& workFolder = args[1];
    const QString& pdf = args[2];

    // Text on a page needs the fonts, and those need the GUI application
    // (the offscreen platform will do).
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        err << "print: fonts are not available without the GUI application" << Qt::endl;
        return kFailed;
    }
    if (!QFileInfo(workFolder).isDir()) {
        err << "no such folder: " << QDir::toNativeSeparators(workFolder) << Qt::endl;
        return kFailed;
    }
    const bool written =
        jacket ? PrintJacketToPdf(workFolder, pdf) : PrintListToPdf(workFolder, pdf);
    if (!written) {
        err << "cannot write " << QDir::toNativeSeparators(pdf) << Qt::endl;
        return kFailed;
    }
    return kOk;
}

} // namespace kz::cli
