#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>

class QAction;
class QKeyEvent;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QTabWidget;

namespace kz {

class OptionsHost;

// The options: the launcher's background and text colours, the CD icon and
// the user's list of additional files. Modeless; it reads every setting where
// it lives when it is built and writes them back only on OK. It deletes itself
// when closed, so the host builds a new one for each opening.
class frmOpt : public QDialog {
    Q_OBJECT

public:
    explicit frmOpt(OptionsHost& host);
    ~frmOpt() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void load();
    void accept() override;

    void pickColour(QLabel* swatch);
    void showSwatches();
    void showCdIcon(const QString& path);
    void chooseCdIcon();
    void dropCdIcon(const QString& path);
    void addFile();
    void removeFile();

    OptionsHost& host_;
    QString workingCdIconPath_; // ARun.ico in the working folder
    QString chosenCdIconPath_;  // the file OK installs as the CD icon; empty: none
    std::uint32_t backgroundColour_ = 0;
    std::uint32_t textColour_ = 0;

    QTabWidget* tabs_ = nullptr;
    QLabel* backgroundSwatch_ = nullptr;
    QLabel* textSwatch_ = nullptr;
    QLabel* sampleText_ = nullptr;
    QListWidget* extraFilesList_ = nullptr;
    QWidget* extraFilesViewport_ = nullptr;
    QLabel* cdIconPreview_ = nullptr;
    QLabel* cdIconPathLabel_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QMenu* listMenu_ = nullptr;
    QAction* addFileAction_ = nullptr;
    QAction* removeFileAction_ = nullptr;
};

} // namespace kz
