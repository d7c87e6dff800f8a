#pragma once

#include "platform/SystemDesktop.h"

#include <QLockFile>
#include <QPointer>
#include <QWidget>

#include <memory>

// The Desktop of the running editor: Qt's dialogs, clipboard and shell services.
namespace kz {

class QtDesktop : public SystemDesktop {
public:
    QtDesktop();
    ~QtDesktop() override;

    Answer message(const QString& text, const QString& title, MessageIcon icon,
                   MessageButtons buttons) override;
    void setClipboardText(const QString& text) override;
    QString clipboardText() const override;
    bool openDocument(const QString& target) override;
    void showHelp(const QString& helpFile) override;
    bool claimSingleInstance(const QString& workFolder) override;
    std::unique_ptr<Progress> startProgress(const QString& title, const QString& text,
                                            qint64 total) override;
    void setBusy(bool busy) override;
    QString openFile(const QString& title, const QString& filter, int filterIndex) override;
    QString saveFile(const QString& title, const QString& filter,
                     const QString& suggested) override;
    QString chooseFolder(const QString& title, const QString& start) override;
    std::uint32_t chooseColour(std::uint32_t initial) override;
    bool choosePrinter(PrintJobSetup& setup) override;

private:
    std::unique_ptr<QLockFile> instanceLock_;
    QPointer<QWidget> helpViewer_;
    QString claimedFolder_;
};

} // namespace kz
