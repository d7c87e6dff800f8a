#include "tests/support/ScriptedDesktop.h"

namespace kz {
namespace {

class ScriptedProgress : public Progress {
public:
    explicit ScriptedProgress(int stopAfter) : left_(stopAfter) {}
    bool update(qint64) override { return left_ < 0 || left_-- > 0; }

private:
    int left_;
};

template <typename T> std::optional<T> Next(std::deque<T>& queue) {
    if (queue.empty())
        return std::nullopt;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

} // namespace

QString AnswerName(Answer answer) {
    switch (answer) {
    case Answer::Ok:
        return QStringLiteral("Ok");
    case Answer::Cancel:
        return QStringLiteral("Cancel");
    case Answer::Yes:
        return QStringLiteral("Yes");
    case Answer::YesToAll:
        return QStringLiteral("YesToAll");
    case Answer::No:
        return QStringLiteral("No");
    }
    return {};
}

QList<ScriptedDesktop::Call> ScriptedDesktop::callsOf(const QString& kind) const {
    QList<Call> found;
    for (const Call& c : calls)
        if (c.kind == kind)
            found.append(c);
    return found;
}

QStringList ScriptedDesktop::answersOf(const QString& kind) const {
    QStringList found;
    for (const Call& c : calls)
        if (c.kind == kind)
            found.append(c.answer);
    return found;
}

QStringList ScriptedDesktop::textsOf(const QString& kind) const {
    QStringList found;
    for (const Call& c : calls)
        if (c.kind == kind)
            found.append(c.text);
    return found;
}

QStringList ScriptedDesktop::titlesOf(const QString& kind) const {
    QStringList found;
    for (const Call& c : calls)
        if (c.kind == kind)
            found.append(c.title);
    return found;
}

int ScriptedDesktop::unanswered() const {
    int n = 0;
    for (const Call& c : calls)
        n += c.kind == QLatin1String("message") && !c.scripted;
    return n;
}

ScriptedDesktop::Call& ScriptedDesktop::record(const QString& kind, const QString& title,
                                               const QString& text) {
    calls.append(Call{kind, title, text, {}, -1, MessageIcon::None, MessageButtons::Ok, {}, true});
    return calls.last();
}

Answer ScriptedDesktop::message(const QString& text, const QString& title, MessageIcon icon,
                                MessageButtons buttons) {
    Call& call = record(QStringLiteral("message"), title, text);
    call.icon = icon;
    call.buttons = buttons;
    const std::optional<Answer> queued = Next(answers_);
    call.scripted = queued.has_value();
    const bool hasOk = buttons == MessageButtons::Ok || buttons == MessageButtons::OkCancel;
    const Answer answer = queued.value_or(hasOk ? Answer::Ok : Answer::No);
    call.answer = AnswerName(answer);
    return answer;
}

void ScriptedDesktop::setClipboardText(const QString& text) {
    record(QStringLiteral("clipboard"), {}, text);
    clipboard_ = text;
}

bool ScriptedDesktop::openDocument(const QString& target) {
    record(QStringLiteral("openDocument"), {}, target).answer =
        openSucceeds ? QStringLiteral("Ok") : QString();
    return openSucceeds;
}

void ScriptedDesktop::showHelp(const QString& helpFile) {
    record(QStringLiteral("showHelp"), {}, helpFile);
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

bool ScriptedDesktop::claimSingleInstance(const QString& workFolder) {
    record(QStringLiteral("claim"), {}, workFolder).answer =
        otherInstanceRunning ? QString() : QStringLiteral("Ok");
    return !otherInstanceRunning;
}

std::unique_ptr<Progress> ScriptedDesktop::startProgress(const QString& title, const QString& text,
                                                         qint64) {
    record(QStringLiteral("progress"), title, text);
    return std::make_unique<ScriptedProgress>(cancelProgressAfter);
}

void ScriptedDesktop::setBusy(bool busy) {
    record(QStringLiteral("busy"), {}, {}).answer =
        busy ? QStringLiteral("on") : QStringLiteral("off");
}

QString ScriptedDesktop::openFile(const QString& title, const QString& filter, int filterIndex) {
    Call& call = record(QStringLiteral("openFile"), title, {});
    call.filter = filter;
    call.filterIndex = filterIndex;
    const std::optional<QString> path = Next(files_);
    call.scripted = path.has_value();
    call.answer = path.value_or(QString());
    return call.answer;
}

QString ScriptedDesktop::saveFile(const QString& title, const QString& filter,
                                  const QString& suggested) {
    Call& call = record(QStringLiteral("saveFile"), title, suggested);
    call.filter = filter;
    const std::optional<QString> path = Next(files_);
    call.scripted = path.has_value();
    call.answer = path.value_or(QString());
    return call.answer;
}

QString ScriptedDesktop::chooseFolder(const QString& title, const QString& start) {
    Call& call = record(QStringLiteral("chooseFolder"), title, start);
    const std::optional<QString> path = Next(folders_);
    call.scripted = path.has_value();
    call.answer = path.value_or(QString());
    return call.answer;
}

std::uint32_t ScriptedDesktop::chooseColour(std::uint32_t initial) {
    Call& call = record(QStringLiteral("chooseColour"), {}, QString::number(initial, 16));
    const std::optional<std::uint32_t> colour = Next(colours_);
    call.scripted = colour.has_value();
    call.answer = colour ? QString::number(*colour, 16) : QString();
    return colour.value_or(initial);
}

bool ScriptedDesktop::choosePrinter(PrintJobSetup& setup) {
    Call& call = record(QStringLiteral("choosePrinter"), setup.title, setup.printerName);
    call.filter = setup.orientation == PaperOrientation::Landscape ? QStringLiteral("landscape")
                                                                   : QStringLiteral("portrait");
    const std::optional<std::optional<QString>> chosen = Next(printers_);
    call.scripted = chosen.has_value();
    if (!chosen || !*chosen)
        return false;
    setup.printerName = **chosen;
    call.answer = setup.printerName;
    return true;
}

QString ScriptedDesktop::userSetting(const QString& application, const QString& section,
                                     const QString& name) {
    return settings.value(application + QLatin1Char('/') + section).value(name);
}

void ScriptedDesktop::setUserSetting(const QString& application, const QString& section,
                                     const QString& name, const QString& value) {
    settings[application + QLatin1Char('/') + section].insert(name, value);
}

void ScriptedDesktop::removeUserSection(const QString& application, const QString& section) {
    settings.remove(application + QLatin1Char('/') + section);
}

} // namespace kz
