#include "store/FileName.h"

#include <QDir>

namespace kz {

QString FileNameOf(const QString& path) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path[i];
        if ((IsSeparator(c) || c == QLatin1Char(':')) && i + 1 < path.size() &&
            !IsSeparator(path[i + 1]))
            start = i + 1;
    }
    return path.mid(start);
}

QString RemoveExtension(const QString& path) {
    qsizetype dot = -1;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path[i];
        if (IsSeparator(c) || c == QLatin1Char(' '))
            dot = -1;
        else if (c == QLatin1Char('.'))
            dot = i;
    }
    return dot < 0 ? path : path.left(dot);
}

QString ParentFolder(const QString& path) {
    qsizetype i = 0;
    qsizetype cut = 0;
    // A leading separator (or two, for a network path) is part of the root.
    if (i < path.size() && IsSeparator(path[i]))
        cut = ++i;
    if (i < path.size() && IsSeparator(path[i]))
        cut = ++i;
    while (i < path.size()) {
        const QChar c = path[i];
        if (IsSeparator(c)) {
            cut = i;
        } else if (c == QLatin1Char(':')) {
            cut = ++i;
            // The drive's own separator belongs to the root: step over it too.
            if (i < path.size() && IsSeparator(path[i]))
                cut = ++i;
            continue;
        }
        ++i;
    }
    if (cut >= path.size())
        return {};
    return path.left(cut);
}

QString AddBackslash(const QString& path) {
    if (!path.isEmpty() && IsSeparator(path.back()))
        return path;
    return path + QLatin1Char('\\');
}

QString LocalPath(const QString& folder, const QString& literal) {
    QString relative = literal;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (relative.startsWith(QLatin1Char('/')))
        relative.remove(0, 1);
    QString base = QDir::fromNativeSeparators(folder);
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return QDir::toNativeSeparators(base + relative);
}

} // namespace kz
