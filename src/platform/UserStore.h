#pragma once

#include <QString>

// The per-user settings store as the program keeps it: one store per
// application name, under the program's own organisation (the registry on
// Windows, a file under ~/.config on Linux).
namespace kz::userstore {

QString Read(const QString& application, const QString& section, const QString& name);
void Write(const QString& application, const QString& section, const QString& name,
           const QString& value);
void RemoveSection(const QString& application, const QString& section);

} // namespace kz::userstore
