#pragma once

class QCoreApplication;

namespace kz {

// The program's own interface is Japanese, so Qt's stock dialogs and buttons
// (file, folder, colour and print dialogs, message box buttons) speak it too,
// whatever the system's language: Qt's Japanese translation is loaded and
// Japanese becomes the default locale. False when no translation was found;
// the stock texts then stay in English.
bool InstallJapanese(QCoreApplication& app);

} // namespace kz
