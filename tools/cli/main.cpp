// kazanoro-cli: the editor's core operations without a window, for scripts,
// checks and users without a display. UTF-8 on the terminal, code page 932 in
// the files.
#include "tools/cli/Commands.h"

#include <QGuiApplication>

#include <cstdio>
#include <utility>

namespace {

struct Verb {
    const char* name;
    kz::cli::Command run;
};

constexpr Verb kVerbs[] = {
    {"ini", kz::cli::RunIni},     {"show", kz::cli::RunShow},     {"icons", kz::cli::RunIcons},
    {"pack", kz::cli::RunPack},   {"unpack", kz::cli::RunUnpack}, {"dump", kz::cli::RunDump},
    {"save", kz::cli::RunSave},   {"load", kz::cli::RunLoad},     {"print", kz::cli::RunPrint},
    {"check", kz::cli::RunCheck},
};

void Usage(QTextStream& err) {
    err << "usage: kazanoro-cli VERB ARGUMENTS...\nverbs:";
    for (const Verb& v : kVerbs)
        err << ' ' << v.name;
    err << Qt::endl;
}

} // namespace

int main(int argc, char* argv[]) {
    // Printing needs fonts, and fonts need the GUI application; without a
    // display the offscreen platform serves.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kazanoro"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        Usage(err);
        return kz::cli::kUsage;
    }
    const QString verb = args.takeFirst();
    for (const Verb& v : kVerbs) {
        if (verb == QLatin1String(v.name))
            return v.run(args, out, err);
    }
    Usage(err);
    return kz::cli::kUsage;
}
