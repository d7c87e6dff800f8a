#pragma once

#include "Desktop.h"

#include <QTextStream>

// The Desktop of the command-line tool: nothing is asked. Message texts go to
// standard error, questions get their cautious answer (No, or Cancel), and
// shell actions that need a window do nothing.
namespace kz {

class ConsoleDesktop : public Desktop {
public:
    explicit ConsoleDesktop(QTextStream& err) : err_(err) {}

    // Answer given to replace questions: --force says Yes to all.
    bool replaceAll = false;

    Answer message(const QString& text, const QString& title, MessageIcon icon,
                   MessageButtons buttons) override;
    void setClipboardText(const QString&) override {}
    QString clipboardText() const override { return {}; }
    bool openDocument(const QString&) override { return false; }
    void showHelp(const QString&) override {}
    QString volumeLabel(const QString& path) override;
    QString volumeRoot(const QString& path) override;
    bool claimSingleInstance(const QString&) override { return true; }
    std::unique_ptr<Progress> startProgress(const QString&, const QString&, qint64) override;
    void setBusy(bool) override {}
    QString openFile(const QString&, const QString&, int) override { return {}; }
    QString chooseFolder(const QString&) override { return {}; }
    std::uint32_t chooseColour(std::uint32_t initial) override { return initial; }
    bool choosePrinter(PrintJobSetup&) override { return false; }
    // The editor's own per-user store, so the command line sees the same lists.
    QString userSetting(const QString& application, const QString& section,
                        const QString& name) override;
    void setUserSetting(const QString& application, const QString& section, const QString& name,
                        const QString& value) override;
    void removeUserSection(const QString& application, const QString& section) override;

private:
    QTextStream& err_;
};

} // namespace kz
