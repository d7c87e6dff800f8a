#include "editor/modPicture.h"

#include <QImageReader>

#include "editor/IconResources.h"

#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>
#include <QMimeType>

#include <cstring>
#include <exception>
#include <filesystem>
#include <optional>

namespace kz::modPicture {

namespace {

// Text typed into the path box may hold a lone surrogate, which the
// conversion refuses; such a path names no file.
std::optional<icons::FileSource> Open(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    try {
        std::optional<icons::FileSource> source(std::in_place,
                                                std::filesystem::path(path.toStdU16String()));
        if (source->isOpen())
            return source;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

QImage FromPixels(const icons::Pixels& pixels) {
    QImage image(pixels.width, pixels.height, QImage::Format_ARGB32);
    if (image.isNull())
        return {};
    // Format_ARGB32 keeps each pixel as one native 0xAARRGGBB word, as decoded.
    const auto rowBytes = static_cast<std::size_t>(pixels.width) * sizeof(std::uint32_t);
    for (int y = 0; y < pixels.height; ++y)
        std::memcpy(image.scanLine(y),
                    pixels.argb.data() + static_cast<std::size_t>(y) * pixels.width, rowBytes);
    return image;
}

QImage Decode(const icons::Bytes& data) {
    if (icons::IsPng(data)) {
        // Check the announced size first: a small PNG may unpack to a huge image.
        if (!icons::PngSize(data))
            return {};
        return QImage::fromData(data.data(), static_cast<int>(data.size()), "PNG");
    }
    return FromPixels(icons::DecodeDib(data));
}

QImage AtIconSize(QImage image) {
    if (image.isNull())
        return {};
    if (image.width() != kIconSide || image.height() != kIconSide)
        image = image.scaled(kIconSide, kIconSide, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_ARGB32);
}

QIcon ThemeIcon(const QString& path) {
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    // The catch-all type means nothing on this desktop claims the file.
    if (!type.isValid() || type.isDefault())
        return {};
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    return icon;
}

} // namespace

int IconCount(const QString& path) {
    auto source = Open(path);
    return source ? icons::IconResources(*source).count() : 0;
}

QImage IconPicture(const QString& path, int index) {
    if (index < 0)
        return {};
    auto source = Open(path);
    if (!source)
        return {};
    const icons::IconResources resources(*source);
    if (index >= resources.count())
        return {};
    const auto best = resources.bestEntry(index, kIconSide);
    const auto data = best ? resources.imageData(*best) : std::nullopt;
    return data ? AtIconSize(Decode(*data)) : QImage();
}

bool HasAssociatedIcon(const QString& path) {
    return !ThemeIcon(path).isNull();
}

QImage AssociatedIcon(const QString& path) {
    const QIcon icon = ThemeIcon(path);
    if (icon.isNull())
        return {};
    return AtIconSize(icon.pixmap(QSize(kIconSide, kIconSide)).toImage());
}

QList<QImage> LoadAllPictures(const QString& path, int most) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QList<QImage> images;
    const int count = qBound(1, reader.imageCount(), most);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        QImage image = reader.read();
        if (image.isNull())
            break;
        images.append(std::move(image));
    }
    return images;
}

QImage LoadPicture(const QString& path) {
    const QList<QImage> images = LoadAllPictures(path);
    for (const QImage& image : images)
        if (image.size() == QSize(kIconSide, kIconSide))
            return image;
    return images.isEmpty() ? QImage() : images.first();
}

} // namespace kz::modPicture
