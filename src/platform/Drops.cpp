#include "platform/Drops.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

namespace kz {

QString FirstDroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return {};
    return QDir::toNativeSeparators(urls.first().toLocalFile());
}

} // namespace kz
