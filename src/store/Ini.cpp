#include "store/Ini.h"

#include "platform/Desktop.h"
#include "store/Cp932.h"
#include "store/Profile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <memory>
#include <mutex>

namespace kz {
namespace {

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
            const QByteArray data = file.readAll();
            bytes.assign(data.constData(), static_cast<std::size_t>(data.size()));
        }
        auto document = std::make_shared<const profile::Document>(bytes);
        entries_.insert(path, Entry{stamp, document});
        return document;
    }

    void store(const QString& path, std::shared_ptr<const profile::Document> document) {
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

std::string Bytes(const QString& text) {
    const QByteArray b = ToCp932(text);
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

} // namespace

QString ReadIni(const QString& file, const QString& section, const QString& key) {
    const auto document = Cache().load(file);
    if (!document)
        return {};
    const std::string value = document->get(Bytes(section), Bytes(key), kIniField);
    return FromCp932(value.data(), static_cast<qsizetype>(value.size()));
}

void WriteIni(Desktop& desktop, const QString& file, const QString& section, const QString& key,
              const QString& value) {
    IniBatch batch(desktop, file);
    batch.write(section, key, value);
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
    edits_.push_back({Bytes(section), Bytes(key), Bytes(field)});
}

void IniBatch::commit() {
    if (edits_.empty())
        return;
    std::vector<profile::Document::Edit> edits;
    edits.reserve(edits_.size());
    for (auto& e : edits_)
        edits.push_back({std::move(e[0]), std::move(e[1]), std::move(e[2])});
    edits_.clear();

    const QFileInfo info(file_);
    if (info.exists() && (info.isDir() || !info.isWritable()))
        return; // a read-only settings file stays untouched, as the platform leaves it

    const auto current = Cache().load(file_);
    if (!current)
        return; // rewriting a file we cannot read would lose everything else in it
    auto updated = std::make_shared<const profile::Document>(current->withValues(edits));
    if (updated->bytes() == current->bytes())
        return;

    QSaveFile out(file_);
    if (!out.open(QIODevice::WriteOnly))
        return;
    const std::string& bytes = updated->bytes();
    if (out.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
        out.cancelWriting();
        return;
    }
    if (out.commit())
        Cache().store(file_, std::move(updated));
}

} // namespace kz
