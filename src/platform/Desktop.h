#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

// The one seam between the program and modal UI or the operating system's
// shell. Windows and core functions ask the Desktop; the editor runs on the Qt
// implementation, tests on a scripted one that answers from a queue and
// records every question, so no test ever waits on a real dialog.
namespace kz {

enum class MessageIcon { None, Information, Exclamation, Question, Critical };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, YesAllNoCancel };
enum class Answer { Ok, Cancel, Yes, YesToAll, No };

// Paper orientation, numbered as the printer settings number it.
enum class PaperOrientation { Portrait = 1, Landscape = 2 };

// What the print dialog is asked for, and the printer the user chose in it.
struct PrintJobSetup {
    QString title;
    PaperOrientation orientation = PaperOrientation::Portrait; // shown first
    QString printerName; // in: the printer selected first; out: the one chosen
};

// A running progress display for a long operation.
class Progress {
public:
    virtual ~Progress() = default;
    // Reports how much is done; false when the user asked to stop.
    virtual bool update(qint64 done) = 0;
};

class Desktop {
public:
    virtual ~Desktop() = default;

    // Message box over the active window; waits for the answer.
    virtual Answer message(const QString& text, const QString& title, MessageIcon icon,
                           MessageButtons buttons) = 0;

    // Clipboard. setClipboardText with an empty text leaves the clipboard empty.
    virtual void setClipboardText(const QString& text) = 0;
    virtual QString clipboardText() const = 0;

    // Opens a folder, document or web address with the desktop's default action.
    // False when nothing could be started.
    virtual bool openDocument(const QString& target) = 0;

    // Shows the program's help document at its contents page.
    virtual void showHelp(const QString& helpFile) = 0;

    // Label of the volume whose root (or any path on it) is given; empty when it
    // has none or cannot be read.
    virtual QString volumeLabel(const QString& path) = 0;

    // Root folder of the mounted volume that holds the path.
    virtual QString volumeRoot(const QString& path) = 0;

    // Claims the working folder for this process. False when another running
    // copy of the program already holds it. Repeated calls by the holder are true.
    virtual bool claimSingleInstance(const QString& workFolder) = 0;

    // Progress display for a long operation of `total` units.
    virtual std::unique_ptr<Progress> startProgress(const QString& title, const QString& text,
                                                    qint64 total) = 0;

    // Busy pointer while a long step runs.
    virtual void setBusy(bool busy) = 0;

    // File-open dialog for an existing file. The filter reads
    // "description|patterns|description|patterns" (patterns separated by ';'),
    // with entry filterIndex (from 0) selected. Empty when cancelled.
    virtual QString openFile(const QString& title, const QString& filter, int filterIndex) = 0;

    // File-save dialog, with the filter as for openFile, starting at
    // `suggested` (a folder, or a file path whose name is offered). It asks
    // before an existing file is replaced. Empty when cancelled.
    virtual QString saveFile(const QString& title, const QString& filter,
                             const QString& suggested) = 0;

    // Folder browser, opened at `start` (empty: wherever the platform opens
    // it). Empty when cancelled.
    virtual QString chooseFolder(const QString& title, const QString& start) = 0;

    // Colour picker with its custom colours shown, starting from `initial`
    // (a 0x00BBGGRR or system colour value). The picked colour, or `initial`
    // when the user cancels.
    virtual std::uint32_t chooseColour(std::uint32_t initial) = 0;

    // Print dialog (no printing to a file). True when the user chose a printer,
    // which is then in setup.printerName; false when cancelled.
    virtual bool choosePrinter(PrintJobSetup& setup) = 0;

    // The per-user settings store, values addressed by application, section
    // and name. A missing value reads as "".
    virtual QString userSetting(const QString& application, const QString& section,
                                const QString& name) = 0;
    virtual void setUserSetting(const QString& application, const QString& section,
                                const QString& name, const QString& value) = 0;
    virtual void removeUserSection(const QString& application, const QString& section) = 0;
};

// Shows the busy pointer for the lifetime of the guard.
class BusyPointer {
public:
    explicit BusyPointer(Desktop& desktop) : desktop_(desktop) { desktop_.setBusy(true); }
    ~BusyPointer() { desktop_.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Desktop& desktop_;
};

} // namespace kz
