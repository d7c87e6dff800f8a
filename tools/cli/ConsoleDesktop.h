#pragma once

#include "platform/SystemDesktop.h"

#include <QTextStream>

// The Desktop of the command-line tool: nothing is asked. Messages go to
// standard error, questions get their cautious answer (No) unless replaceAll,
// without a word, and shell actions that need a window do nothing.
namespace kz {

class ConsoleDesktop : public SystemDesktop {
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
    bool claimSingleInstance(const QString&) override { return true; }
    std::unique_ptr<Progress> startProgress(const QString&, const QString&, qint64) override;
    void setBusy(bool) override {}
    QString openFile(const QString&, const QString&, int) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    std::uint32_t chooseColour(std::uint32_t initial) override { return initial; }
    bool choosePrinter(PrintJobSetup&) override { return false; }

private:
    QTextStream& err_;
};

} // namespace kz
