// The editor. It works on the project in its working folder: the program's own
// folder when the shipped files lie beside it (a build tree, a portable copy),
// otherwise the per-user data folder.
#include "app/Japanese.h"
#include "mainwindow/Form1.h"
#include "platform/Fonts.h"
#include "platform/QtDesktop.h"
#include "platform/ShippedFiles.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>

namespace {

// Every size of the application icon that the build put into the resources.
QIcon ApplicationIcon() {
    QIcon icon;
    const QDir sizes(QStringLiteral(":/icons"));
    for (const QString& name : sizes.entryList(QDir::Files))
        icon.addFile(sizes.filePath(name));
    return icon;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kazanoro"));
    QApplication::setOrganizationName(QStringLiteral("Quelmark"));
    // Ties the windows to the menu entry; the window icon stands in until a
    // project brings its own CD icon, which the main window then shows.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kazanoro.Kazanoro"));
    QApplication::setWindowIcon(ApplicationIcon());
    kz::InstallFontSubstitutes();
    kz::InstallJapanese(app);

    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString workFolder = kz::ChooseWorkFolder(
        programFolder, qEnvironmentVariable("KAZANORO_WORKDIR"),
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    kz::QtDesktop desktop;
    kz::Form1 window(desktop, workFolder, kz::ShippedFolder(programFolder));
    if (!window.startUp())
        return 0;
    window.show();
    return app.exec();
}
