// kazanoro-cli iso: a CD folder as a disc image, for burning programs that
// want an image, or to try the CD in a virtual drive.
#include "tools/cli/Commands.h"

#include "output/CdCheck.h"
#include "output/DiscImage.h"
#include "platform/Terminal.h"
#include "tools/cli/ConsoleDesktop.h"

#include <algorithm>

namespace kz::cli {
namespace {

// Percent done on one line of the terminal, rewritten in place.
class TerminalProgress : public Progress {
public:
    TerminalProgress(QTextStream& err, const QString& title, qint64 total)
        : err_(err), title_(title), total_(std::max(total, qint64(1))) {}
    ~TerminalProgress() override { err_ << Qt::endl; }
    bool update(qint64 done) override {
        const int percent = static_cast<int>(done * 100 / total_);
        if (percent != shown_) {
            shown_ = percent;
            err_ << '\r' << title_ << ' ' << percent << '%' << Qt::flush;
        }
        return true;
    }

private:
    QTextStream& err_;
    QString title_;
    qint64 total_;
    int shown_ = -1;
};

class IsoConsole : public ConsoleDesktop {
public:
    IsoConsole(QTextStream& err, bool terminal)
        : ConsoleDesktop(err), err_(err), terminal_(terminal) {}
    std::unique_ptr<Progress> startProgress(const QString& title, const QString& text,
                                            qint64 total) override {
        if (!terminal_)
            return ConsoleDesktop::startProgress(title, text, total);
        return std::make_unique<TerminalProgress>(err_, title, total);
    }

private:
    QTextStream& err_;
    bool terminal_;
};

// The program's messages break lines with a carriage return alone.
QString Lines(QString text) {
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

} // namespace

int RunIso(const QStringList& args, QTextStream& out, QTextStream& err) {
    QStringList rest;
    QString label;
    bool unknown = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--label") && i + 1 < args.size())
            label = args[++i];
        else if (args[i].startsWith(QLatin1String("--")))
            unknown = true;
        else
            rest.append(args[i]);
    }
    if (unknown || rest.size() != 2) {
        err << "usage: kazanoro-cli iso CDFOLDER IMAGE [--label TEXT]" << Qt::endl;
        return kUsage;
    }
    if (!IsFolder(rest[0], err))
        return kFailed;
    // What a CD burned from the folder would miss is said, not refused: the
    // image may be meant for a disc that gets those files elsewhere.
    for (const QString& finding : CheckCdFolder(rest[0]))
        err << "warning: " << finding << Qt::endl;
    IsoConsole desktop(err, StandardErrorIsTerminal());
    const DiscImageResult result = WriteDiscImage(desktop, rest[0], rest[1], label);
    if (!result.written()) {
        err << Lines(result.error.isEmpty() ? QStringLiteral("cancelled") : result.error)
            << Qt::endl;
        return kFailed;
    }
    // Path and size on out; the warnings on err, where a script sees them.
    DiscImageResult done = result;
    done.warnings.clear();
    out << Lines(DiscImageDoneText(rest[1], done)) << Qt::endl;
    for (const QString& warning : result.warnings)
        err << "warning: " << warning << Qt::endl;
    return kOk;
}

} // namespace kz::cli
