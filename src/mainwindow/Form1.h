#pragma once

#include "editor/Dialog.h"
#include "editor/EntryHost.h"
#include "options/OptionsHost.h"
#include "options/frmOpt.h"
#include "store/Slots.h"
#include "store/VariantTable.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <cstdint>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kz {

class Desktop;
class Dialog;
class frmOpt;
class Printer;
class frmAbout;

// The main window: a working preview of the launcher. One page of five slot
// buttons with their icons and names, the details of the slot under the
// pointer, paging through the 20 pages, and the project menus. It is the host
// of the entry editor and of the options window, which read and update it
// through their host interfaces.
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
    // Fills the detail area for button i (0 to 4) of the current page.
    void ShowDetails(int button);
    // The page ShowPage shows, kept within the 20 pages.
    void setCurrentPage(int page);

    // True after an edit or a Load, false after the start-up sequence or Save.
    bool modified() const { return modified_; }

    // The project commands. Save is true when every file of the CD reached
    // the chosen folder; New and Load refresh the window from the working files.
    bool Save();
    void New();
    void Load();
    // Writes a CD folder (by default the one last saved) into a disc image,
    // after showing what a CD burned from it would miss.
    void makeDiscImage();

    // The printer the print commands use; tests put in their own.
    void setPrinter(std::unique_ptr<Printer> printer);

    // Opens the entry editor for button i (0 to 4) of the current page,
    // hiding this window while it is open; with a dropped file, the editor
    // starts from it.
    void EditSlot(int button);
    void EditSlotWithFile(int button, const QString& droppedPath);
    // The entry editor while it is open.
    Dialog* editor() const { return entryEditor_; }
    QPushButton* slotButton(int button) const {
        return slotButtons_[static_cast<std::size_t>(button)];
    }

    // What the entry editor and the options window read and update.
    QWidget* hostWindow() override { return this; }
    Desktop& hostDesktop() override { return desktop_; }
    QString handOverKey() const override { return handOverKey_; }
    QString hostWorkFolder() const override { return workFolder_; }
    std::uint32_t hostBackground() const override { return backgroundColour_; }
    std::uint32_t hostTextColour() const override { return textColour_; }
    QString volumeCaption() const override { return windowTitle(); }
    void setVolumeCaption(const QString& label) override { setWindowTitle(label); }
    // Loads a slot's icon file onto button i (none when it cannot be read).
    void showSlotPicture(int button, const QString& iconPath) override;
    void showSlotName(int button, const QString& name) override;
    void showDetail(Detail detail, const QString& text) override;
    void markModified() override { modified_ = true; }
    void editorClosed() override;
    // Paints the window, the slot buttons and the first value box in the
    // background colour and the five names in the text colour.
    void applyLauncherColours(std::uint32_t background, std::uint32_t text) override;
    void setHostIcon(const QIcon& icon) override { setWindowIcon(icon); }

protected:
    // Pointing at, focusing and dropping on the slot buttons.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Offers to save a modified project, then clears the working project.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void paintColours();
    // Opens the options window, or brings the open one to the front.
    void openOptions();
    void openAbout();
    Printer& printer();
    // Asks whether to save; false when the user wanted to save and it did not
    // complete, so the caller must not throw the project away.
    bool offerToSave();
    QString readSlot(const QString& section, const QString& prefix, const QString& key) const;

    Desktop& desktop_;
    QString workFolder_;
    QString programFolder_;
    QString settingsPath_;
    QString helpFile_;
    QString lastSavedFolder_; // where the last complete Save of this run went
    int currentPage_{};
    bool modified_{};
    QString handOverKey_;
    std::uint32_t backgroundColour_;
    std::uint32_t textColour_;
    VariantTable projectTable_;

    QWidget* clientArea_ = nullptr;
    std::array<QPushButton*, kButtons> slotButtons_{};
    std::array<QLabel*, kButtons> nameLabels_{};
    QLabel* firstLineLabel_ = nullptr;
    QLabel* secondLineLabel_ = nullptr;
    QLabel* startPathLabel_ = nullptr;
    QPushButton* pathFolderButton_ = nullptr;
    QLabel* userNameTitleLabel_ = nullptr;
    QLineEdit* userNameBox_ = nullptr;
    QPushButton* copyUserNameButton_ = nullptr;
    QLabel* serialTitleLabel_ = nullptr;
    QLineEdit* serialBox_ = nullptr;
    QPushButton* copySerialButton_ = nullptr;
    QPushButton* previousPageButton_ = nullptr;
    QLabel* pageIndicator_ = nullptr;
    QPushButton* nextPageButton_ = nullptr;
    QPushButton* openCdButton_ = nullptr;

    QPointer<frmAbout> aboutBox_;
    QPointer<Dialog> entryEditor_;
    QPointer<frmOpt> optionsWindow_;
    std::unique_ptr<Printer> printer_;
};

} // namespace kz
