#include "ConsoleDesktop.h"

#include "UserStore.h"

#include <QStorageInfo>

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
    case MessageButtons::OkCancel: return Answer::Ok;
    case MessageButtons::YesAllNoCancel:
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel: return replaceAll ? Answer::Yes : Answer::No;
    }
    return Answer::No;
}

QString ConsoleDesktop::volumeLabel(const QString& path) {
    const QStorageInfo info(path);
    return info.isValid() && info.isReady() ? info.name() : QString();
}

QString ConsoleDesktop::volumeRoot(const QString& path) {
    const QStorageInfo info(path);
    return info.isValid() ? info.rootPath() : QString();
}

QString ConsoleDesktop::userSetting(const QString& application, const QString& section,
                               const QString& name) {
    return userstore::Read(application, section, name);
}

void ConsoleDesktop::setUserSetting(const QString& application, const QString& section,
                               const QString& name, const QString& value) {
    userstore::Write(application, section, name, value);
}

void ConsoleDesktop::removeUserSection(const QString& application, const QString& section) {
    userstore::RemoveSection(application, section);
}

std::unique_ptr<Progress> ConsoleDesktop::startProgress(const QString&, const QString&, qint64) {
    return std::make_unique<SilentProgress>();
}

} // namespace kz
