// The editor. It works on the project in its working folder: the program's own
// folder, or the per-user data folder where that cannot be written.
#include "app/Japanese.h"
#include "mainwindow/Form1.h"
#include "platform/Fonts.h"
#include "platform/QtDesktop.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

bool Writable(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("probe-XXXXXX")));
    return probe.open();
}

QString WorkFolder(const QString& programFolder) {
    // For trying the editor on a folder of one's choice without moving it.
    const QString chosen = qEnvironmentVariable("KAZANORO_WORKDIR");
    if (!chosen.isEmpty() && QDir().mkpath(chosen))
        return QFileInfo(chosen).absoluteFilePath();
    if (Writable(programFolder))
        return programFolder;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(data);
    return data;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kazanoro"));
    QApplication::setOrganizationName(QStringLiteral("Quelmark"));
    kz::InstallFontSubstitutes();
    kz::InstallJapanese(app);

    const QString programFolder = QCoreApplication::applicationDirPath();
    kz::QtDesktop desktop;
    kz::Form1 window(desktop, WorkFolder(programFolder), programFolder);
    if (!window.startUp())
        return 0;
    window.show();
    return app.exec();
}
