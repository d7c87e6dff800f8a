#pragma once

#include "platform/Desktop.h"

#include <QHash>
#include <QList>

#include <deque>
#include <optional>

// A Desktop for tests: answers message boxes from a queue and records every
// question and shell action, so a test states which question was asked and
// what each answer does.
namespace kz {

class ScriptedDesktop : public Desktop {
public:
    struct Asked {
        QString text;
        QString title;
        MessageIcon icon = MessageIcon::None;
        MessageButtons buttons = MessageButtons::Ok;
        Answer answer = Answer::Ok;
    };

    // Answers for the next message boxes, in order. A box with no queued answer
    // gets Ok, or No when it has no Ok button, and is recorded as unanswered.
    void queueAnswer(Answer answer) { answers_.push_back(answer); }

    Answer message(const QString& text, const QString& title, MessageIcon icon,
                   MessageButtons buttons) override;

    void setClipboardText(const QString& text) override { clipboard_ = text; }
    QString clipboardText() const override { return clipboard_; }

    bool openDocument(const QString& target) override {
        opened.append(target);
        return openSucceeds;
    }

    void showHelp(const QString& helpFile) override { helpShown.append(helpFile); }
    QStringList helpShown;

    QString volumeLabel(const QString& path) override;
    QString volumeRoot(const QString& path) override;

    bool claimSingleInstance(const QString& workFolder) override {
        claimedFolders.append(workFolder);
        return !otherInstanceRunning;
    }

    std::unique_ptr<Progress> startProgress(const QString& title, const QString& text,
                                            qint64 total) override;

    void setBusy(bool busy) override { busyChanges.append(busy); }

    // File and folder dialogs answer from their own queues; an empty queue
    // cancels.
    void queueFile(const QString& path) { files_.push_back(path); }
    void queueFolder(const QString& path) { folders_.push_back(path); }
    QString openFile(const QString& title, const QString& filter, int filterIndex) override;
    QString chooseFolder(const QString& title) override;

    // The colour picker answers from its queue; an empty queue cancels.
    void queueColour(std::uint32_t colour) { colours_.push_back(colour); }
    std::uint32_t chooseColour(std::uint32_t initial) override;

    // The print dialog answers from its queue: the name of the chosen printer,
    // or a cancel. An empty queue cancels.
    void queuePrinter(const QString& name) { printers_.push_back(name); }
    void queuePrintCancel() { printers_.push_back(std::nullopt); }
    bool choosePrinter(PrintJobSetup& setup) override;
    QList<PrintJobSetup> printRequests; // every print dialog shown, as it was asked

    // The per-user store lives in memory: settings[application/section][name].
    QString userSetting(const QString& application, const QString& section,
                        const QString& name) override {
        return settings.value(application + QLatin1Char('/') + section).value(name);
    }
    void setUserSetting(const QString& application, const QString& section, const QString& name,
                        const QString& value) override {
        settings[application + QLatin1Char('/') + section].insert(name, value);
    }
    void removeUserSection(const QString& application, const QString& section) override {
        settings.remove(application + QLatin1Char('/') + section);
    }
    QHash<QString, QHash<QString, QString>> settings;
    QList<std::uint32_t> colourRequests; // initial colour of every picker shown

    // What happened.
    QList<Asked> asked;
    int unanswered = 0;
    QStringList opened;
    QStringList claimedFolders;
    QList<bool> busyChanges;
    QStringList progressTitles;
    QStringList fileFilters;  // filter of every file dialog shown
    QStringList folderTitles; // title of every folder browser shown

    // How the scripted system behaves.
    bool openSucceeds = true;
    bool otherInstanceRunning = false;
    QHash<QString, QString> labels; // volume root -> label
    QHash<QString, QString> roots;  // path prefix -> volume root

private:
    std::deque<Answer> answers_;
    std::deque<QString> files_;
    std::deque<QString> folders_;
    std::deque<std::uint32_t> colours_;
    std::deque<std::optional<QString>> printers_;
    QString clipboard_;
};

} // namespace kz
