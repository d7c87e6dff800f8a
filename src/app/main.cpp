// The editor. It works on the project in its working folder: the program's own
// folder when the shipped files lie beside it (a build tree, a portable copy),
// otherwise the per-user data folder.
#include "mainwindow/Form1.h"
#include "platform/Fonts.h"
#include "platform/QtDesktop.h"
#include "platform/ShippedFiles.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kazanoro"));
    QApplication::setOrganizationName(QStringLiteral("Quelmark"));
    kz::InstallFontSubstitutes();

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
