#pragma once

#include "editor/Dialog.h"
#include "editor/EntryHost.h"
#include "options/OptionsHost.h"
#include "options/frmOpt.h"
#include "store/VariantTable.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <cstdint>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QAction;

namespace kz {

class Desktop;
class Dialog;
class frmOpt;
class Printer;
class frmAbout;

// The main window: a working preview of the launcher. One page of five slot
// buttons with their icons and names, the details of the slot under the
// pointer, paging through the 20 pages, and the project menus.
class Form1 : public QMainWindow, public EntryHost, public OptionsHost {
    Q_OBJECT

public:
    // workFolder holds the project being edited; programFolder is where the
    // program and the files shipped with it (help, launcher) lie.
    Form1(Desktop& desktop, const QString& workFolder, const QString& programFolder,
          QWidget* parent = nullptr);
    ~Form1() override;

    // Runs the start-up sequence; false when another copy of the program
    // already works on this folder, in which case this one must end quietly.
    bool startUp();

    // Shows the current page: buttons, names, page indicator, paging buttons,
    // and the details of its first slot.
    void ShowPage();
    // Fills the detail area for button i of the current page.
    void ShowDetails(int button);

    int currentPage() const { return currentPage_; }
    void setCurrentPage(int page);
    bool modified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }
    const QString& workFolder() const { return workFolder_; }
    const QString& programFolder() const { return programFolder_; }
    const QString& settingsPath() const { return settingsPath_; }
    QString helpFile() const { return helpFile_; }
    VariantTable& projectTable() { return projectTable_; }
    Desktop& desktop() { return desktop_; }

    // The launcher's colours as colour values (0x00BBGGRR or a system colour).
    std::uint32_t backgroundColour() const { return background_; }
    std::uint32_t textColour() const { return text_; }
    // Paints the window, the slot buttons and the first value box in the
    // background colour and the five names in the text colour.
    void setLauncherColours(std::uint32_t background, std::uint32_t text);

    // The controls other windows update directly.
    QPushButton* slotButton(int i) const { return com_[static_cast<std::size_t>(i)]; }
    QLabel* nameLabel(int i) const { return label1_[static_cast<std::size_t>(i)]; }

    // Loads a slot's icon file onto button i (none when it cannot be read).
    void loadButtonPicture(int button, const QString& iconPath);

    // The project commands. Save is true when every file of the CD reached
    // the chosen folder; New and Load refresh the window from the working files.
    bool Save();
    void New();
    void Load();

    // The printer the print commands use; tests put in their own.
    Printer& printer();
    void setPrinter(std::unique_ptr<Printer> printer);

    // Opens the entry editor for button i of the current page, hiding this
    // window while it is open; with a dropped file, the editor starts from it.
    void EditSlot(int button);
    void EditSlotWithFile(int button, const QString& droppedPath);
    // The entry editor while it is open.
    Dialog* editor() const { return editor_; }

    // What the entry editor reads and updates.
    QWidget* hostWindow() override { return this; }
    Desktop& hostDesktop() override { return desktop_; }
    QString handOverKey() const override { return handOverKey_; }
    QString hostWorkFolder() const override { return workFolder_; }
    std::uint32_t hostBackground() const override { return background_; }
    QString volumeCaption() const override { return windowTitle(); }
    void setVolumeCaption(const QString& label) override { setWindowTitle(label); }
    void showSlotPicture(int button, const QString& iconPath) override {
        loadButtonPicture(button, iconPath);
    }
    void showSlotName(int button, const QString& name) override;
    void showDetail(Detail detail, const QString& text) override;
    void markModified() override { modified_ = true; }
    void editorClosed() override;

    // What the options window reads and sets.
    std::uint32_t hostTextColour() const override { return text_; }
    void applyLauncherColours(std::uint32_t background, std::uint32_t text) override {
        setLauncherColours(background, text);
    }
    void setHostIcon(const QIcon& icon) override { setWindowIcon(icon); }
    // Opens the options window, or brings the open one to the front.
    void OpenOptions();
    frmOpt* options() const { return options_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Offers to save a modified project, then clears the working project.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void applyColours();
    // Asks whether to save; false when the user wanted to save and it did not
    // complete, so the caller must not throw the project away.
    bool offerToSave();
    QString readSlot(const QString& section, const QString& prefix, const QString& key) const;

    Desktop& desktop_;
    QString workFolder_;
    QString programFolder_;
    QString settingsPath_;
    QString helpFile_;
    int currentPage_ = 0;
    bool modified_ = false;
    QString handOverKey_;
    std::uint32_t background_;
    std::uint32_t text_;
    VariantTable projectTable_;

    std::array<QPushButton*, 5> com_{};
    std::array<QLabel*, 5> label1_{};
    QLabel* label2_ = nullptr;
    QLabel* label3_ = nullptr;
    QLabel* label4_ = nullptr;
    QLabel* label5_ = nullptr;
    QLabel* label6_ = nullptr;
    QLabel* label7_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command3_ = nullptr;
    QPushButton* command4_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* down_ = nullptr;
    QLabel* image1_ = nullptr;
    QWidget* client_ = nullptr;
    frmAbout* about_ = nullptr;
    QPointer<Dialog> editor_;
    QPointer<frmOpt> options_;
    std::unique_ptr<Printer> printer_;

    friend class Form1Test;
};

} // namespace kz
