#include "UserStore.h"

#include <QSettings>

namespace kz::userstore {
namespace {

QSettings Store(const QString& application) {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Kazanoro"),
                     application);
}

} // namespace

QString Read(const QString& application, const QString& section, const QString& name) {
    return Store(application).value(section + QLatin1Char('/') + name).toString();
}

void Write(const QString& application, const QString& section, const QString& name,
           const QString& value) {
    Store(application).setValue(section + QLatin1Char('/') + name, value);
}

void RemoveSection(const QString& application, const QString& section) {
    Store(application).remove(section);
}

} // namespace kz::userstore
