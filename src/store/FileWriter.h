#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

namespace kz {

// The one way the program writes a file (the settings file, the archive, icon
// files, copies, the CD icon): into a temporary file beside it, which takes
// the file's name only once every byte is known to be there (written, flushed,
// no error). A write that fails leaves the old file byte for byte. Where the
// folder allows no temporary file but the file itself may be written (a
// shared folder), the file is written in place. An existing file that may not
// be written is refused.
class FileWriter {
public:
    explicit FileWriter(const QString& path);
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // False, with the reason in error(), when the file cannot be written.
    bool open();
    // False once any write has failed; what follows is not written.
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    // Puts the file in place. False, with the old file untouched, when any
    // byte did not arrive.
    bool commit();
    // Drops what was written; the old file stays.
    void discard();
    // The platform's words for what went wrong.
    QString error() const { return error_; }

private:
    bool fail(const QString& reason);

    QSaveFile file_;
    QString error_;
    bool failed_ = false;
};

// Makes `path` hold exactly `bytes` through a FileWriter. False, with the
// platform's reason in `error` when one is given, when it did not.
bool ReplaceFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace kz
