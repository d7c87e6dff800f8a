#include "tests/support/ScriptedDesktop.h"

namespace kz {
namespace {

class NullProgress : public Progress {
public:
    bool update(qint64) override { return true; }
};

} // namespace

Answer ScriptedDesktop::message(const QString& text, const QString& title, MessageIcon icon,
                                MessageButtons buttons) {
    Answer answer;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    } else {
        ++unanswered;
        answer = (buttons == MessageButtons::Ok || buttons == MessageButtons::OkCancel)
                     ? Answer::Ok
                     : Answer::No;
    }
    asked.append(Asked{text, title, icon, buttons, answer});
    return answer;
}

QString ScriptedDesktop::volumeRoot(const QString& path) {
    QString best;
    for (auto it = roots.cbegin(); it != roots.cend(); ++it) {
        if (path.startsWith(it.key()) && it.key().size() > best.size())
            best = it.key();
    }
    return best.isEmpty() ? QString() : roots.value(best);
}

QString ScriptedDesktop::volumeLabel(const QString& path) {
    if (labels.contains(path))
        return labels.value(path);
    return labels.value(volumeRoot(path));
}

std::unique_ptr<Progress> ScriptedDesktop::startProgress(const QString& title, const QString&,
                                                         qint64) {
    progressTitles.append(title);
    return std::make_unique<NullProgress>();
}

QString ScriptedDesktop::openFile(const QString&, const QString& filter, int) {
    fileFilters.append(filter);
    if (files_.empty())
        return {};
    QString path = files_.front();
    files_.pop_front();
    return path;
}

std::uint32_t ScriptedDesktop::chooseColour(std::uint32_t initial) {
    colourRequests.append(initial);
    if (colours_.empty())
        return initial;
    const std::uint32_t colour = colours_.front();
    colours_.pop_front();
    return colour;
}

bool ScriptedDesktop::choosePrinter(PrintJobSetup& setup) {
    printRequests.append(setup);
    if (printers_.empty())
        return false;
    const std::optional<QString> chosen = printers_.front();
    printers_.pop_front();
    if (!chosen)
        return false;
    setup.printerName = *chosen;
    return true;
}

QString ScriptedDesktop::chooseFolder(const QString& title) {
    folderTitles.append(title);
    if (folders_.empty())
        return {};
    QString path = folders_.front();
    folders_.pop_front();
    return path;
}

} // namespace kz
