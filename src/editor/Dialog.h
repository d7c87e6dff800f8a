#pragma once

#include <QDialog>
#include <QImage>
#include <QList>

class QComboBox;
class QLabel;
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

    QString slotKey() const { return slotKey_; }

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
    QList<QImage> im_; // the icons offered by the current source file

    QLabel* label1_ = nullptr;
    IconPreview* picture1_ = nullptr;
    QComboBox* ic_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QLineEdit* text3_ = nullptr;
    QLineEdit* text4_ = nullptr;
    QLineEdit* text5_ = nullptr;
    QLineEdit* text6_ = nullptr;
    QLineEdit* text7_ = nullptr;
    QLineEdit* text8_ = nullptr;
    QLineEdit* text9_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace kz
