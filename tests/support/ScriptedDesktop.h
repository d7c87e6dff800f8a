#pragma once

#include "platform/Desktop.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <deque>
#include <optional>

// A Desktop for tests. Every question and shell action is recorded the same
// way in `calls`, with what was answered; dialogs answer from queues that the
// test fills beforehand, and an empty queue gives the cautious answer (No or
// OK for a message box, cancel for every dialog). No test needs to subclass it.
namespace kz {

class ScriptedDesktop : public Desktop {
public:
    // kind: the method's name ("message", "openFile", ...), or "clipboard", "busy", "claim",
    // "progress". text: a message's text; else the target, file, folder or printer handed over,
    // or where a dialog opens. filter: a file dialog's as asked, or a print dialog's orientation
    // ("portrait", "landscape"). answer: "Yes", "No", "Ok", "Cancel", "YesToAll"; a path; a
    // colour in hex; a printer; "" for a cancelled dialog; "on"/"off" (busy pointer).
    struct Call {
        QString kind, title, text, filter; // title: the caption
        int filterIndex = -1;
        MessageIcon icon = MessageIcon::None;
        MessageButtons buttons = MessageButtons::Ok;
        QString answer;
    };
    QList<Call> calls;
    QList<Call> callsOf(const QString& kind) const;
    // The answers (or texts, or titles) of every call of one kind, in order.
    QStringList answersOf(const QString& kind) const { return partsOf(kind, &Call::answer); }
    QStringList textsOf(const QString& kind) const { return partsOf(kind, &Call::text); }
    QStringList titlesOf(const QString& kind) const { return partsOf(kind, &Call::title); }
    QStringList partsOf(const QString& kind, QString Call::*part) const;

    // Answers, in the order the questions come.
    void queueAnswer(Answer answer) { answers_.push_back(answer); }
    void queueFile(const QString& path) { files_.push_back(path); }
    void queueFolder(const QString& path) { folders_.push_back(path); }
    void queueColour(std::uint32_t colour) { colours_.push_back(colour); }
    void queuePrinter(const QString& name) { printers_.push_back(name); } // "": cancel

    // How the scripted system behaves.
    QHash<QString, QString> labels; // volume root (or path) -> label
    QHash<QString, QString> roots;  // path prefix -> volume root
    // A progress display reports "stop" after this many updates; -1 never.
    int cancelProgressAfter = -1;
    // The per-user store, in memory: settings[application/section][name].
    QHash<QString, QHash<QString, QString>> settings;

    Answer message(const QString& text, const QString& title, MessageIcon icon,
                   MessageButtons buttons) override;
    void setClipboardText(const QString& text) override {
        record("clipboard", {}, clipboard_ = text);
    }
    QString clipboardText() const override { return clipboard_; }
    bool openDocument(const QString& target) override {
        record("openDocument", {}, target).answer = "Ok";
        return true;
    }
    void showHelp(const QString& helpFile) override { record("showHelp", {}, helpFile); }
    QString volumeLabel(const QString& path) override {
        return labels.value(path, labels.value(volumeRoot(path)));
    }
    QString volumeRoot(const QString& path) override;
    bool claimSingleInstance(const QString& workFolder) override {
        record("claim", {}, workFolder).answer = "Ok";
        return true;
    }
    std::unique_ptr<Progress> startProgress(const QString& title, const QString& text,
                                            qint64 total) override;
    void setBusy(bool busy) override { record("busy", {}, {}).answer = busy ? "on" : "off"; }
    QString openFile(const QString& title, const QString& filter, int filterIndex) override {
        Call& call = record("openFile", title, {});
        call.filterIndex = filterIndex;
        return answerPath(call, filter, files_);
    }
    // Answered from the queueFile queue, like openFile; text is the suggested path.
    QString saveFile(const QString& title, const QString& filter,
                     const QString& suggested) override {
        return answerPath(record("saveFile", title, suggested), filter, files_);
    }
    QString chooseFolder(const QString& title, const QString& start) override {
        return answerPath(record("chooseFolder", title, start), {}, folders_);
    }
    std::uint32_t chooseColour(std::uint32_t initial) override;
    bool choosePrinter(PrintJobSetup& setup) override;
    QString userSetting(const QString& application, const QString& section,
                        const QString& name) override {
        return settings.value(application + '/' + section).value(name);
    }
    void setUserSetting(const QString& application, const QString& section, const QString& name,
                        const QString& value) override {
        settings[application + '/' + section].insert(name, value);
    }
    void removeUserSection(const QString& application, const QString& section) override {
        settings.remove(application + '/' + section);
    }

private:
    Call& record(const char* kind, const QString& title, const QString& text);
    // The next path (or printer) of a queue as the call's answer; "" when none is queued.
    QString answerPath(Call& call, const QString& filter, std::deque<QString>& queue);

    std::deque<Answer> answers_;
    std::deque<QString> files_;
    std::deque<QString> folders_;
    std::deque<std::uint32_t> colours_;
    std::deque<QString> printers_;
    QString clipboard_;
};

QString AnswerName(Answer answer);

} // namespace kz
