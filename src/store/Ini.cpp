#include "store/Ini.h"

#include "platform/Desktop.h"
#include "store/Cp932.h"
#include "store/FileWriter.h"
#include "store/Profile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QStandardPaths>

#include <memory>
#include <mutex>

namespace kz {
namespace {

// A profile file as the platform reads it: code page 932, or Unicode when it
// starts with a byte order mark, kept in the form it came in.
enum class TextForm { Ansi, Utf8, Utf16 };

struct ProfileText {
    TextForm form = TextForm::Ansi;
    std::string bytes; // code page 932 for Ansi, else UTF-8 without the mark
};

const QByteArray kUtf8Mark("\xEF\xBB\xBF");
const QByteArray kUtf16Mark("\xFF\xFE");

std::string StdBytes(const QByteArray& b) {
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

ProfileText Decode(const QByteArray& file) {
    if (file.startsWith(kUtf16Mark)) {
        const QByteArray body = file.mid(2);
        const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(body.constData()),
                                                body.size() / 2);
        return {TextForm::Utf16, StdBytes(text.toUtf8())};
    }
    if (file.startsWith(kUtf8Mark))
        return {TextForm::Utf8, StdBytes(file.mid(3))};
    return {TextForm::Ansi, StdBytes(file)};
}

QByteArray Encode(TextForm form, const std::string& bytes) {
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (form == TextForm::Utf8)
        return kUtf8Mark + raw;
    if (form == TextForm::Utf16) {
        const QString text = QString::fromUtf8(raw);
        return kUtf16Mark +
               QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    }
    return raw;
}

// Text in the encoding of a file's form.
std::string InForm(TextForm form, const QString& text) {
    return StdBytes(form == TextForm::Ansi ? ToCp932(text) : text.toUtf8());
}

// What the reader parses: always code page 932, as the platform's reader hands
// values back in it.
std::string ForReading(const ProfileText& text) {
    if (text.form == TextForm::Ansi)
        return text.bytes;
    return InForm(TextForm::Ansi,
                  QString::fromUtf8(text.bytes.data(), static_cast<qsizetype>(text.bytes.size())));
}

// Parsed settings files, kept while the file on disk is unchanged: a page of
// the main window reads a dozen values, and one parse serves them all.
class ProfileCache {
public:
    struct Stamp {
        qint64 size = -1;
        qint64 modified = 0;
        qint64 changed = 0;
        bool operator==(const Stamp&) const = default;
    };

    static Stamp StampOf(const QString& path) {
        const QFileInfo info(path);
        if (!info.exists() || info.isDir())
            return {};
        return {info.size(), info.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch(),
                info.fileTime(QFileDevice::FileMetadataChangeTime).toMSecsSinceEpoch()};
    }

    std::shared_ptr<const profile::Document> load(const QString& path) {
        const Stamp stamp = StampOf(path);
        std::lock_guard lock(mutex_);
        auto it = entries_.find(path);
        if (it != entries_.end() && it->stamp == stamp)
            return it->document;
        std::string bytes;
        if (stamp.size >= 0) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                return nullptr; // there, but unreadable: not the same as empty
            bytes = ForReading(Decode(file.readAll()));
        }
        auto document = std::make_shared<const profile::Document>(bytes);
        entries_.insert(path, Entry{stamp, document});
        return document;
    }

    void store(const QString& path, const ProfileText& text) {
        auto document = std::make_shared<const profile::Document>(ForReading(text));
        const Stamp stamp = StampOf(path);
        std::lock_guard lock(mutex_);
        entries_.insert(path, Entry{stamp, std::move(document)});
    }

private:
    struct Entry {
        Stamp stamp;
        std::shared_ptr<const profile::Document> document;
    };
    std::mutex mutex_;
    QHash<QString, Entry> entries_;
};

ProfileCache& Cache() {
    static ProfileCache cache;
    return cache;
}

// The lock of a settings file lives in the user's cache folder, not beside the
// file: the file's folder may be read-only (only the file writable), and a
// lock left by a crash must never end up on a CD.
QString LockPathOf(const QString& file) {
    const QFileInfo info(file);
    QString canonical = QFileInfo(info.absolutePath()).canonicalFilePath();
    canonical = canonical.isEmpty() ? info.absoluteFilePath()
                                    : canonical + QLatin1Char('/') + info.fileName();
    const QByteArray name =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex();
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                     QStringLiteral("/kazanoro-locks");
    if (!QDir().mkpath(folder))
        folder = QDir::tempPath();
    return folder + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral(".lock");
}

QString ValueIn(const profile::Document& document, const QString& section, const QString& key) {
    const std::string value =
        document.get(InForm(TextForm::Ansi, section), InForm(TextForm::Ansi, key), kIniField);
    return FromCp932(value.data(), static_cast<qsizetype>(value.size()));
}

} // namespace

QString ReadIni(const QString& file, const QString& section, const QString& key) {
    const auto document = Cache().load(file);
    return document ? ValueIn(*document, section, key) : QString();
}

QString ReadIniFromDisk(const QString& file, const QString& section, const QString& key) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    return ValueIn(profile::Document(ForReading(Decode(in.readAll()))), section, key);
}

bool WriteIni(Desktop& desktop, const QString& file, const QString& section, const QString& key,
              const QString& value) {
    IniBatch batch(desktop, file);
    batch.write(section, key, value);
    return batch.commit();
}

IniBatch::IniBatch(Desktop& desktop, const QString& file) : desktop_(desktop), file_(file) {}

IniBatch::~IniBatch() {
    commit();
}

void IniBatch::write(const QString& section, const QString& key, const QString& value) {
    if (AnsiLen(value) > kIniField)
        desktop_.message(kLengthWarningText, kLengthWarningTitle, MessageIcon::Exclamation,
                         MessageButtons::Ok);
    const QString field = value.size() >= kIniField
                              ? value.left(kIniField)
                              : value + QString(kIniField - value.size(), QLatin1Char(' '));
    edits_.push_back({section, key, field});
}

bool IniBatch::commit() {
    if (edits_.empty())
        return true;
    error_.clear();
    const auto edits = std::move(edits_);
    edits_.clear();
    auto fail = [this](const QString& reason) {
        error_ = reason;
        return false;
    };

    const QFileInfo info(file_);
    // A read-only settings file stays untouched, as the platform leaves it.
    if (info.isDir())
        return fail(QStringLiteral("Is a directory"));
    if (info.exists() && !info.isWritable())
        return fail(QStringLiteral("Permission denied"));

    // Another process may store values in the same file at the same time:
    // read, change and write it while no one else does. Without a place for
    // the lock at all, the value is still stored.
    QLockFile lock(LockPathOf(file_));
    if (!lock.tryLock(10000) && lock.error() == QLockFile::LockFailedError)
        return fail(QStringLiteral("The file is in use by another program"));

    // From the disk, not the cache: a value stored a moment ago by another
    // process must stay.
    ProfileText current;
    if (info.exists()) {
        QFile in(file_);
        // Rewriting a file we cannot read would lose everything else in it.
        if (!in.open(QIODevice::ReadOnly))
            return fail(in.errorString());
        current = Decode(in.readAll());
        if (in.error() != QFileDevice::NoError)
            return fail(in.errorString());
    }
    std::vector<profile::Document::Edit> changes;
    changes.reserve(edits.size());
    for (const auto& e : edits)
        changes.push_back(
            {InForm(current.form, e[0]), InForm(current.form, e[1]), InForm(current.form, e[2])});
    ProfileText updated{current.form, profile::Document(current.bytes).withValues(changes)};
    if (info.exists() && updated.bytes == current.bytes)
        return true;
    QString reason;
    if (!ReplaceFile(file_, Encode(updated.form, updated.bytes), &reason))
        return fail(reason);
    Cache().store(file_, updated);
    return true;
}

} // namespace kz
