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
    QString workingIcon_;
    std::uint32_t background_ = 0;
    std::uint32_t text_ = 0;

    QTabWidget* ssTab1_ = nullptr;
    QLabel* fColor_ = nullptr;
    QLabel* label3_ = nullptr;
    QLabel* label4_ = nullptr;
    QListWidget* list1_ = nullptr;
    QWidget* listViewport_ = nullptr;
    QLabel* picture1_ = nullptr;
    QLabel* label1_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* command2_ = nullptr;
    QMenu* mnusub_ = nullptr;
    QAction* mnuAdd_ = nullptr;
    QAction* mnuDel_ = nullptr;
};

} // namespace kz
