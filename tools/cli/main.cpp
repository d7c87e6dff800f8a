// kazanoro-cli: the editor's core operations without a window, for scripts,
// checks and users without a display. UTF-8 on the terminal, code page 932 in
// the files.
#include "about/Version.h"
#include "tools/cli/Commands.h"

#include <QGuiApplication>

namespace {

// One verb: its name, what runs it, its arguments after the name (one line
// per form), what it does, and its exit codes. The help, `help VERB` and
// `VERB --help` are all made from this table.
struct Verb {
    const char* name;
    kz::cli::Command run;
    const char* synopsis;
    const char* summary;
    const char* exits = "0 done, 1 failed, 2 bad usage";
};

constexpr Verb kVerbs[] = {
    {"ini", kz::cli::RunIni, "get FILE SECTION KEY\nset FILE SECTION KEY VALUE",
     "read or write one value of a settings file (\"\" is the empty key name)"},
    {"show", kz::cli::RunShow, "WORKDIR [--json]",
     "every used slot of a working folder and the volume label"},
    {"icons", kz::cli::RunIcons, "FILE [--extract DIR]",
     "the icons a file offers for a slot; --extract writes them as PNGs"},
    {"pack", kz::cli::RunPack, "WORKDIR OUT.dat [--background COLOUR] [--text COLOUR]",
     "pack a working folder into a project archive"},
    {"unpack", kz::cli::RunUnpack, "ARCHIVE WORKDIR",
     "unpack a project archive into a working folder"},
    {"dump", kz::cli::RunDump, "ARCHIVE [--json]", "a project archive's table, row by row"},
    {"save", kz::cli::RunSave,
     "WORKDIR OUTDIR [--force] [--extra FILE]... [--background COLOUR] [--text COLOUR]",
     "write the CD folder as Save does; --force replaces different files; --extra names\n"
     "      the additional files for this save in place of the per-user list",
     "0 every file written, 1 a file did not arrive (each named on stderr), 2 bad usage"},
    {"load", kz::cli::RunLoad, "FOLDER WORKDIR",
     "read a saved CD folder (either layout) into a working folder"},
    {"print", kz::cli::RunPrint, "jacket|list WORKDIR OUT.pdf",
     "print the CD jacket or the entry list into a PDF file"},
    {"iso", kz::cli::RunIso, "CDFOLDER IMAGE [--label TEXT]",
     "write the CD folder as an ISO 9660 image with Joliet and Rock Ridge names",
     "0 written, 1 failed, 2 bad usage"},
    {"check", kz::cli::RunCheck, "CDFOLDER",
     "what a CD burned from the folder would miss, one finding a line",
     "0 nothing missing, 1 findings printed (or no such folder), 2 bad usage"},
};

const Verb* Find(const QString& name) {
    for (const Verb& v : kVerbs) {
        if (name == QLatin1String(v.name))
            return &v;
    }
    return nullptr;
}

// Each form of the verb after `lead`, then what it does and its exit codes.
void Describe(const Verb& v, const char* lead, QTextStream& out) {
    for (const QString& form : QString::fromUtf8(v.synopsis).split(QLatin1Char('\n')))
        out << lead << v.name << ' ' << form << '\n';
    out << "      " << v.summary << "\n      exit: " << v.exits << '\n';
    out.flush();
}

void Help(QTextStream& out) {
    out << "usage: kazanoro-cli VERB ARGUMENTS...\n"
           "       kazanoro-cli help [VERB]    kazanoro-cli VERB --help\n"
           "The editor's operations without a window: UTF-8 on the terminal, code page 932\n"
           "in the files. Exit codes: 0 done, 1 failed (with a message on stderr), 2 bad\n"
           "usage, unless a verb says otherwise.\n\nverbs:\n";
    for (const Verb& v : kVerbs)
        Describe(v, "  ", out);
    out << "\nCOLOUR: 0x00BBGGRR, or a system colour such as 0x8000000F (the button face).\n";
    out.flush();
}

int Usage(QTextStream& err) {
    err << "usage: kazanoro-cli VERB ARGUMENTS...\nverbs:";
    for (const Verb& v : kVerbs)
        err << ' ' << v.name;
    err << "\nkazanoro-cli --help tells more." << Qt::endl;
    return kz::cli::kUsage;
}

bool AsksForHelp(const QString& arg) {
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
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
    if (args.isEmpty())
        return Usage(err);
    const QString first = args.takeFirst();
    if (AsksForHelp(first) || (first == QLatin1String("help") && args.isEmpty())) {
        Help(out);
        return kz::cli::kOk;
    }
    if (first == QLatin1String("--version")) {
        out << "kazanoro-cli " << kz::kVersion << Qt::endl;
        return kz::cli::kOk;
    }
    // `help VERB` and `VERB --help` alike.
    const bool help = first == QLatin1String("help");
    const QString name = help ? args.join(QLatin1Char(' ')) : first;
    const Verb* verb = Find(name);
    if (!verb) {
        err << "no such verb: " << name << '\n';
        return Usage(err);
    }
    if (help || (!args.isEmpty() && AsksForHelp(args.first()))) {
        Describe(*verb, "usage: kazanoro-cli ", out);
        return kz::cli::kOk;
    }
    return verb->run(args, out, err);
}
