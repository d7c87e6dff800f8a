#include "platform/SystemDesktop.h"

#include <QSettings>
#include <QStorageInfo>

namespace kz {
namespace {

QSettings Store(const QString& application) {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Kazanoro"),
                     application);
}

} // namespace

QString SystemDesktop::volumeLabel(const QString& path) {
    const QStorageInfo info(path);
    return info.isValid() && info.isReady() ? info.name() : QString();
}

QString SystemDesktop::volumeRoot(const QString& path) {
    const QStorageInfo info(path);
    return info.isValid() ? info.rootPath() : QString();
}

QString SystemDesktop::userSetting(const QString& application, const QString& section,
                                   const QString& name) {
    return Store(application).value(section + QLatin1Char('/') + name).toString();
}

void SystemDesktop::setUserSetting(const QString& application, const QString& section,
                                   const QString& name, const QString& value) {
    Store(application).setValue(section + QLatin1Char('/') + name, value);
}

void SystemDesktop::removeUserSection(const QString& application, const QString& section) {
    Store(application).remove(section);
}

} // namespace kz
