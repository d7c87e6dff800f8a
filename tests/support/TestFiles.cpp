#include "tests/support/TestFiles.h"

#include "store/Ini.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace kz::test {

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool Backdate(const QString& path, const QDateTime& when) {
    QFile file(path);
    return file.open(QIODevice::ReadWrite) &&
           file.setFileTime(when, QFileDevice::FileModificationTime);
}

QDateTime Modified(const QString& path) {
    return QFileInfo(path).fileTime(QFileDevice::FileModificationTime).toUTC();
}

QImage Solid(const QColor& colour, int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QColor CentreOf(const QImage& image) {
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
}

qsizetype CountOf(const QImage& image, const QColor& colour) {
    qsizetype count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

QByteArray Utf16(const QString& text) {
    return "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

bool Drop(QWidget* target, const QString& payload) {
    QMimeData data;
    QList<QUrl> files;
    for (const QString& line : payload.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        files.append(QUrl::fromLocalFile(line));
    if (QDir::isAbsolutePath(payload.section(QLatin1Char('\n'), 0, 0)))
        data.setUrls(files);
    else
        data.setText(payload);
    QDragEnterEvent drag(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    if (!target->acceptDrops())
        return false;
    QApplication::sendEvent(target, &drag);
    QApplication::sendEvent(target, &drop);
    return drag.isAccepted() && drop.isAccepted();
}

void WorkFolder::set(const QString& section, const QString& key, const QString& value) {
    WriteIni(quiet_, settings(), section, key, value);
}

QString WorkFolder::get(const QString& section, const QString& key) const {
    return ReadIni(settings(), section, key);
}

void WorkFolder::setSlot(const QString& slotKey, const QString& section, const QString& value) {
    for (const SlotField& field : kSlotFields)
        if (section == QString::fromUtf16(field.section))
            return set(section, QString::fromUtf16(field.prefix) + slotKey, value);
    qFatal("no slot field %s", qPrintable(section));
}

bool WorkFolder::writeIcon(const QString& slotKey, const QColor& colour) {
    QDir().mkpath(file(kIconFolderLiteral));
    return Solid(colour).convertToFormat(QImage::Format_RGB32).save(icon(slotKey), "BMP");
}

} // namespace kz::test
