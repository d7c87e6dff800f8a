#include "tests/support/ScriptedDesktop.h"

#include <tuple>

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
    static const char* const names[] = {"Ok", "Cancel", "Yes", "YesToAll", "No"};
    return QString::fromLatin1(names[int(answer)]);
}

QList<ScriptedDesktop::Call> ScriptedDesktop::callsOf(const QString& kind) const {
    QList<Call> found;
    for (const Call& c : calls)
        if (c.kind == kind)
            found.append(c);
    return found;
}

QStringList ScriptedDesktop::partsOf(const QString& kind, QString Call::*part) const {
    QStringList found;
    for (const Call& c : callsOf(kind))
        found.append(c.*part);
    return found;
}

ScriptedDesktop::Call& ScriptedDesktop::record(const char* kind, const QString& title,
                                               const QString& text) {
    Call& call = calls.emplaceBack();
    std::tie(call.kind, call.title, call.text) = std::tuple(QString::fromLatin1(kind), title, text);
    return call;
}

Answer ScriptedDesktop::message(const QString& text, const QString& title, MessageIcon icon,
                                MessageButtons buttons) {
    Call& call = record("message", title, text);
    call.icon = icon;
    call.buttons = buttons;
    const std::optional<Answer> queued = Next(answers_);
    const bool hasOk = buttons == MessageButtons::Ok || buttons == MessageButtons::OkCancel;
    const Answer answer = queued.value_or(hasOk ? Answer::Ok : Answer::No);
    call.answer = AnswerName(answer);
    return answer;
}

QString ScriptedDesktop::volumeRoot(const QString& path) {
    QString best;
    for (auto it = roots.cbegin(); it != roots.cend(); ++it)
        if (path.startsWith(it.key()) && it.key().size() > best.size())
            best = it.key();
    return roots.value(best);
}

std::unique_ptr<Progress> ScriptedDesktop::startProgress(const QString& title, const QString& text,
                                                         qint64) {
    record("progress", title, text);
    return std::make_unique<ScriptedProgress>(cancelProgressAfter);
}

QString ScriptedDesktop::answerPath(Call& call, const QString& filter, std::deque<QString>& queue) {
    call.filter = filter;
    const std::optional<QString> path = Next(queue);
    call.answer = path.value_or(QString());
    return call.answer;
}

std::uint32_t ScriptedDesktop::chooseColour(std::uint32_t initial) {
    Call& call = record("chooseColour", {}, QString::number(initial, 16));
    const std::optional<std::uint32_t> colour = Next(colours_);
    call.answer = colour ? QString::number(*colour, 16) : QString();
    return colour.value_or(initial);
}

bool ScriptedDesktop::choosePrinter(PrintJobSetup& setup) {
    const bool landscape = setup.orientation == PaperOrientation::Landscape;
    const QString chosen = answerPath(record("choosePrinter", setup.title, setup.printerName),
                                      landscape ? "landscape" : "portrait", printers_);
    setup.printerName = chosen.isEmpty() ? setup.printerName : chosen;
    return !chosen.isEmpty();
}

} // namespace kz
