#pragma once

#include <QDialog>
#include <QImage>
#include <QList>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace kz {

class EntryHost;
class IconPreview;

// The entry editor: the texts, start path and icon of one launcher slot. It
// stays on top while the main window hides; OK writes the slot's settings and
// icon file and updates the main window, Cancel and the close box drop every
// edit.
class Dialog : public QDialog {
    Q_OBJECT

public:
    explicit Dialog(EntryHost& host);
    ~Dialog() override;

    // Loads the handed-over slot and shows the window.
    void showForSlot();

    // Fills the fields from a file dropped on the slot's button: its icons,
    // its path on the disc and its name.
    void takeDroppedFile(const QString& path);

    // Offers the icons of the file named by the icon source path.
    void ShowIconChoices(const QString& path);

    // The preview as it would be stored: the background colour with the
    // chosen icon drawn over it.
    QImage composedImage() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void load();
    void accept() override;
    void chooseIconSource();
    void chooseStartFile();
    int buttonIndex() const;

    EntryHost& host_;
    QString slotKey_;
    QString settingsPath_;
    QList<QImage> offeredIcons_; // the icons of the current icon source, in list order

    IconPreview* iconPreview_ = nullptr;
    QComboBox* iconList_ = nullptr;
    QLineEdit* iconSourceEdit_ = nullptr;
    QPushButton* chooseIconSourceButton_ = nullptr;
    QLineEdit* appNameEdit_ = nullptr;
    QLineEdit* firstLineEdit_ = nullptr;
    QLineEdit* secondLineEdit_ = nullptr;
    QLineEdit* startPathEdit_ = nullptr;
    QPushButton* chooseStartFileButton_ = nullptr;
    QLineEdit* userNameTitleEdit_ = nullptr;
    QLineEdit* userNameEdit_ = nullptr;
    QLineEdit* serialTitleEdit_ = nullptr;
    QLineEdit* serialEdit_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace kz
