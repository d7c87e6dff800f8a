#include "tools/cli/ConsoleDesktop.h"

namespace kz {
namespace {

class SilentProgress : public Progress {
public:
    bool update(qint64) override { return true; }
};

} // namespace

Answer ConsoleDesktop::message(const QString& text, const QString& title, MessageIcon,
                               MessageButtons buttons) {
    err_ << title << ": " << QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')) << Qt::endl;
    switch (buttons) {
    case MessageButtons::Ok:
    case MessageButtons::OkCancel:
        return Answer::Ok;
    case MessageButtons::YesAllNoCancel:
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return replaceAll ? Answer::Yes : Answer::No;
    }
    return Answer::No;
}

std::unique_ptr<Progress> ConsoleDesktop::startProgress(const QString&, const QString&, qint64) {
    return std::make_unique<SilentProgress>();
}

} // namespace kz
