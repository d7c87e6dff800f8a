#pragma once

#include "platform/Desktop.h"

// The services of a Desktop that need no window: volume labels and roots and
// the per-user settings store. Both the editor's and the command-line tool's
// Desktop build on it, so they read the same store and the same volumes.
namespace kz {

class SystemDesktop : public Desktop {
public:
    QString volumeLabel(const QString& path) override;
    QString volumeRoot(const QString& path) override;

    // One store per application name, under the program's own organisation
    // (the registry on Windows, a file under ~/.config on Linux).
    QString userSetting(const QString& application, const QString& section,
                        const QString& name) override;
    void setUserSetting(const QString& application, const QString& section, const QString& name,
                        const QString& value) override;
    void removeUserSection(const QString& application, const QString& section) override;
};

} // namespace kz
