#include "store/FileWriter.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace kz {

FileWriter::FileWriter(const QString& path) : file_(path) {
    file_.setDirectWriteFallback(true);
}

bool FileWriter::open() {
    const QFileInfo info(file_.fileName());
    // The temporary file would take the name of a read-only file all the same.
    if (info.exists() && !info.isDir() && !info.isWritable())
        return fail(QStringLiteral("Permission denied"));
    if (!file_.open(QIODevice::WriteOnly))
        return fail(file_.errorString());
    return true;
}

bool FileWriter::write(const char* data, qint64 size) {
    if (failed_ || !file_.isOpen())
        return false;
    errno = 0;
    if (file_.write(data, size) != size)
        return fail(file_.errorString());
    return true;
}

bool FileWriter::commit() {
    if (failed_ || !file_.isOpen()) {
        discard();
        return false;
    }
    // The buffer goes out now, so that a disk that is full shows here and not
    // after the rename.
    errno = 0;
    if (!file_.flush() || file_.error() != QFileDevice::NoError) {
        fail(file_.errorString());
        discard();
        return false;
    }
    if (!file_.commit())
        return fail(file_.errorString());
    return true;
}

void FileWriter::discard() {
    // A cancelled save file removes its temporary file at commit.
    if (file_.isOpen()) {
        file_.cancelWriting();
        file_.commit();
    }
}

bool FileWriter::fail(const QString& reason) {
    // Qt words a write that stopped half-way as an unknown error; the
    // system's own words say why (a full disk).
    if (!failed_)
        error_ = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : reason;
    failed_ = true;
    return false;
}

bool ReplaceFile(const QString& path, const QByteArray& bytes, QString* error) {
    FileWriter writer(path);
    const bool written = writer.open() && writer.write(bytes) && writer.commit();
    if (!written) {
        writer.discard();
        if (error)
            *error = writer.error();
    }
    return written;
}

} // namespace kz
