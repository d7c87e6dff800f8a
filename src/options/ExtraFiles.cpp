#include "options/ExtraFiles.h"

#include "platform/Desktop.h"

#include <limits>

namespace kz {

QStringList ReadExtraFiles(Desktop& desktop) {
    QStringList files;
    for (int i = 0; i <= std::numeric_limits<qint16>::max(); ++i) {
        const QString value =
            desktop.userSetting(kStoreApplication, kExtraFilesSection, QString::number(i));
        if (value.isEmpty())
            break;
        files.append(value);
    }
    return files;
}

void WriteExtraFiles(Desktop& desktop, const QStringList& files) {
    // Rewritten as a whole, so no line of a longer old list stays behind.
    desktop.removeUserSection(kStoreApplication, kExtraFilesSection);
    for (qsizetype i = 0; i < files.size(); ++i)
        desktop.setUserSetting(kStoreApplication, kExtraFilesSection, QString::number(i), files[i]);
}

} // namespace kz
