#include "tools/cli/ConsoleDesktop.h"

#include <QtGlobal>

#include <cstdio>

namespace kz {
namespace {

// Started without a desktop session (scripts, CI), Qt's start-up says that
// XDG_RUNTIME_DIR is not set and that it takes a folder of its own: a notice,
// not a failure, and a script reads anything on standard error as one. It is
// left out; every other message of Qt's goes on as before. Installed before
// main, because the notice comes while the application object is built.
QtMessageHandler qtHandler = nullptr;

void WithoutRuntimeDirNotice(QtMsgType type, const QMessageLogContext& context,
                             const QString& message) {
    if (type == QtWarningMsg &&
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    if (qtHandler)
        qtHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

[[maybe_unused]] const bool kNoticeFiltered = [] {
    qtHandler = qInstallMessageHandler(WithoutRuntimeDirNotice);
    return true;
}();

class SilentProgress : public Progress {
public:
    bool update(qint64) override { return true; }
};

} // namespace

Answer ConsoleDesktop::message(const QString& text, const QString& title, MessageIcon,
                               MessageButtons buttons) {
    // A question is answered by rule and its outcome reported by the verb;
    // only what the user would have been told goes to standard error.
    if (buttons == MessageButtons::Ok || buttons == MessageButtons::OkCancel) {
        err_ << title << ": " << QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))
             << Qt::endl;
        return Answer::Ok;
    }
    return replaceAll ? Answer::Yes : Answer::No;
}

std::unique_ptr<Progress> ConsoleDesktop::startProgress(const QString&, const QString&, qint64) {
    return std::make_unique<SilentProgress>();
}

} // namespace kz
