#include "output/DiscImage.h"

#include "platform/Desktop.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

// libarchive's ISO 9660 writer, as set up here:
// - Joliet is on by default and keeps names of up to 64 UTF-16 characters
//   (a longer one is cut, extension and all; "joliet=long" would allow 103,
//   which Windows does not promise to read). Names are handed over as wide
//   strings, so Japanese names arrive intact on Windows and, through the
//   UTF-8 locale Qt sets up, on Linux.
// - Rock Ridge ("rockridge", default "useful") carries the names for Unix.
// - "volume-id" is one string for both volume descriptors, at most 32 bytes in
//   the locale's encoding, and the primary one turns every byte outside A-Z,
//   0-9 and _ into an underscore. So it gets the ASCII form of the label, and
//   the Joliet descriptor's 32 bytes are then overwritten with the label in
//   UTF-16 before the image is renamed into place.
// - "iso-level=3": files of 4 GiB and more are stored in several extents
//   instead of refused.
// - It cannot stream: every file's data is first written to a temporary file
//   of libarchive's own and copied into the image when the archive is closed,
//   because the directory records, which come first, are only known once every
//   entry is in. See TempFolderOverride for where that copy goes.

namespace kz {
namespace {

constexpr qsizetype kSector = 2048;
// Files are read, and the image handed on, a MiB at a time: the progress
// display moves once a MiB in both.
constexpr qint64 kChunk = 512 * kSector;

struct Entry {
    QString path;     // on disk
    QString relative; // in the image, '/'-separated
    bool folder;
    qint64 size;
    QDateTime modified;
};

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Every file and subfolder below `folder`, sorted, without `skip` (an image
// written into the folder it is made of does not go into itself).
std::vector<Entry> Collect(const QString& folder, const QString& skip) {
    std::vector<Entry> entries;
    const QDir root(folder);
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.absoluteFilePath() == skip)
            continue;
        entries.push_back(Entry{info.absoluteFilePath(), root.relativeFilePath(info.filePath()),
                                info.isDir(), info.isDir() ? 0 : info.size(), info.lastModified()});
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.relative < b.relative; });
    return entries;
}

// libarchive makes the temporary file for the data in the folder that TMPDIR
// (on Windows TMP or TEMP) names. For the length of one image it names the
// image's own folder: a DVD image then does not need its size free in the
// system's temporary folder (often a small RAM disk), and a full disk is met
// the same way by both copies. The file is unlinked (deleted on close on
// Windows) the moment it is made, so nothing of it outlives the writer.
class TempFolderOverride {
public:
    explicit TempFolderOverride(const QString& folder) {
        for (const char* name : kNames) {
            saved_.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
            qputenv(name, QFile::encodeName(Native(folder)));
        }
    }
    ~TempFolderOverride() {
        for (const Saved& s : saved_) {
            if (s.wasSet)
                qputenv(s.name, s.value);
            else
                qunsetenv(s.name);
        }
    }
    TempFolderOverride(const TempFolderOverride&) = delete;
    TempFolderOverride& operator=(const TempFolderOverride&) = delete;

private:
    static constexpr const char* kNames[] = {"TMPDIR", "TMP", "TEMP"};
    struct Saved {
        const char* name;
        bool wasSet;
        QByteArray value;
    };
    std::vector<Saved> saved_;
};

struct ArchiveFree {
    void operator()(archive* a) const { archive_write_free(a); }
};
struct EntryFree {
    void operator()(archive_entry* e) const { archive_entry_free(e); }
};

// One image being written: the image's temporary file, its first block kept
// for the label, and the progress display.
class ImageWriter {
public:
    ImageWriter(Desktop& desktop, const QString& image, qint64 contentBytes)
        : out_(image), total_(2 * contentBytes) { // read once, written once
        progress_ = desktop.startProgress(kDiscImageTitle, kDiscImageProgressText, total_);
    }

    QSaveFile& out() { return out_; }
    bool cancelled() const { return cancelled_; }
    const QString& writeError() const { return writeError_; }
    qint64 written() const { return written_; }

    // Counts `bytes` as done; false when the user asked to stop.
    bool advance(qint64 bytes) {
        done_ = std::min(done_ + bytes, total_);
        if (!progress_->update(done_))
            cancelled_ = true; // for good: libarchive may write again while closing
        return !cancelled_;
    }

    static la_ssize_t Write(archive* a, void* self, const void* buffer, size_t length) {
        return static_cast<ImageWriter*>(self)->write(a, static_cast<const char*>(buffer),
                                                      static_cast<qint64>(length));
    }

    // Puts the full label into the Joliet descriptor that libarchive wrote with
    // the ASCII one.
    bool writeJolietLabel(const QString& label) {
        for (qsizetype at = 0; at + kSector <= head_.size(); at += kSector) {
            // The supplementary descriptor (type 2) with the escape for UCS-2.
            if (head_[at] != 2 || head_.mid(at + 88, 3) != "%/E")
                continue;
            QByteArray field;
            for (const QChar c : label.leftJustified(kJolietLabelLength, QLatin1Char(' ')))
                field.append(static_cast<char>(c.unicode() >> 8))
                    .append(static_cast<char>(c.unicode() & 0xFF));
            return out_.seek(at + 40) && out_.write(field) == field.size();
        }
        return false;
    }

private:
    la_ssize_t write(archive* a, const char* data, qint64 length) {
        // The first block (a MiB, or the whole of a smaller image) holds the
        // volume descriptors, after the empty system area.
        if (head_.isEmpty())
            head_ = QByteArray(data, static_cast<qsizetype>(length));
        if (out_.write(data, length) != length) {
            writeError_ = out_.errorString();
            archive_set_error(a, EIO, "write failed");
            return ARCHIVE_FATAL; // any negative count is a failed write
        }
        written_ += length;
        if (!advance(length)) {
            archive_set_error(a, ECANCELED, "cancelled");
            return ARCHIVE_FATAL;
        }
        return static_cast<la_ssize_t>(length);
    }

    QSaveFile out_;
    std::unique_ptr<Progress> progress_;
    QByteArray head_;
    qint64 total_;
    qint64 done_{};
    qint64 written_{};
    bool cancelled_ = false;
    QString writeError_;
};

DiscImageResult Failed(const QString& error) {
    DiscImageResult result;
    result.outcome = DiscImageResult::Outcome::Failed;
    result.error = error;
    return result;
}

// libarchive's words, and the system's for the error behind them ("No space
// left on device" when its temporary copy of the data fills the disk).
QString ArchiveError(archive* a) {
    const char* text = archive_error_string(a);
    QString error = QString::fromLocal8Bit(text ? text : "");
    if (archive_errno(a) > 0)
        error += QStringLiteral(" (%1)").arg(qt_error_string(archive_errno(a)));
    return error;
}

std::unique_ptr<archive_entry, EntryFree> HeaderOf(const Entry& e) {
    std::unique_ptr<archive_entry, EntryFree> header(archive_entry_new());
    archive_entry_copy_pathname_w(header.get(), e.relative.toStdWString().c_str());
    archive_entry_set_filetype(header.get(), e.folder ? AE_IFDIR : AE_IFREG);
    archive_entry_set_perm(header.get(), e.folder ? 0755 : 0644);
    archive_entry_set_size(header.get(), e.size);
    // The disc records whole seconds.
    archive_entry_set_mtime(header.get(), e.modified.toSecsSinceEpoch(), 0);
    return header;
}

} // namespace

DiscLabel DiscLabelFor(const QString& folder, const QString& requested) {
    DiscLabel label;
    QString text = requested.trimmed();
    if (text.isEmpty())
        text = QFileInfo(QDir::cleanPath(folder)).fileName().trimmed();
    if (text.isEmpty())
        text = QStringLiteral("CDROM");
    if (text.size() > kJolietLabelLength) {
        label.cut = true;
        // Never half a character outside the basic plane.
        text.truncate(text[kJolietLabelLength - 1].isHighSurrogate() ? kJolietLabelLength - 1
                                                                     : kJolietLabelLength);
    }
    // Characters Joliet does not allow in identifiers.
    for (QChar& c : text)
        if (c.unicode() < 0x20 || QStringLiteral("*/:;?\\").contains(c))
            c = QLatin1Char('_');
    label.joliet = text;
    for (const QChar c : text.normalized(QString::NormalizationForm_KC).toUpper()) {
        const char16_t u = c.unicode();
        if (u >= 0x80)
            continue;
        const bool kept = (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_';
        label.primary.append(kept ? static_cast<char>(u) : '_');
    }
    if (label.primary.isEmpty())
        label.primary = "CDROM";
    label.primary.truncate(32);
    return label;
}

DiscImageResult WriteDiscImage(Desktop& desktop, const QString& folder, const QString& image,
                               const QString& label) {
    const QFileInfo source(folder);
    if (!source.isDir())
        return Failed(QStringLiteral("フォルダ %1 が見つかりません。").arg(Native(folder)));
    const QFileInfo target(image);
    if (target.isDir())
        return Failed(QStringLiteral("%1 はフォルダです。").arg(Native(image)));
    if (!target.absoluteDir().exists())
        return Failed(
            QStringLiteral("フォルダ %1 が見つかりません。").arg(Native(target.absolutePath())));

    const std::vector<Entry> entries =
        Collect(source.absoluteFilePath(), target.absoluteFilePath());
    qint64 content{};
    for (const Entry& e : entries)
        content += e.size;
    const DiscLabel discLabel = DiscLabelFor(source.absoluteFilePath(), label);

    ImageWriter writer(desktop, image, content);
    if (!writer.out().open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Failed(QStringLiteral("%1 を作成できません。\r%2")
                          .arg(Native(image), writer.out().errorString()));

    const TempFolderOverride tempFolder(target.absolutePath());
    std::unique_ptr<archive, ArchiveFree> a(archive_write_new());
    archive_write_set_format_iso9660(a.get());
    archive_write_set_format_option(a.get(), "iso9660", "iso-level", "3");
    archive_write_set_format_option(a.get(), "iso9660", "volume-id", discLabel.primary.constData());
    archive_write_set_bytes_per_block(a.get(), kChunk);
    archive_write_set_bytes_in_last_block(a.get(), kSector);

    // A failed or cancelled archive must not be closed by archive_write_free,
    // which would go on to write the rest of the image.
    auto fail = [&](const QString& error) {
        archive_write_fail(a.get());
        writer.out().cancelWriting();
        if (writer.cancelled()) {
            DiscImageResult cancelled;
            cancelled.outcome = DiscImageResult::Outcome::Cancelled;
            return cancelled;
        }
        return Failed(writer.writeError().isEmpty() ? error
                                                    : QStringLiteral("%1 に書き込めません。\r%2")
                                                          .arg(Native(image), writer.writeError()));
    };
    auto archiveFailure = [&] {
        return fail(QStringLiteral("CDイメージを作成できません。\r%1").arg(ArchiveError(a.get())));
    };

    if (archive_write_open(a.get(), &writer, nullptr, &ImageWriter::Write, nullptr) != ARCHIVE_OK)
        return archiveFailure();

    std::vector<char> buffer(static_cast<size_t>(kChunk));
    for (const Entry& e : entries) {
        if (archive_write_header(a.get(), HeaderOf(e).get()) != ARCHIVE_OK)
            return archiveFailure();
        if (e.folder)
            continue;
        QFile in(e.path);
        if (!in.open(QIODevice::ReadOnly))
            return fail(
                QStringLiteral("%1 を読み込めません。\r%2").arg(Native(e.path), in.errorString()));
        for (qint64 left = e.size; left > 0;) {
            const qint64 got = in.read(buffer.data(), std::min(left, kChunk));
            if (got <= 0)
                return fail(QStringLiteral("%1 を読み込めません。\r%2")
                                .arg(Native(e.path),
                                     got < 0 ? in.errorString()
                                             : QStringLiteral("読み込み中に短くなりました")));
            if (archive_write_data(a.get(), buffer.data(), static_cast<size_t>(got)) != got)
                return archiveFailure();
            left -= got;
            if (!writer.advance(got))
                return fail({});
        }
    }
    if (archive_write_close(a.get()) != ARCHIVE_OK)
        return archiveFailure();
    if (!writer.writeJolietLabel(discLabel.joliet))
        return fail(QStringLiteral("%1 に書き込めません。\r%2")
                        .arg(Native(image), writer.out().errorString()));
    const qint64 size = writer.written();
    if (!writer.out().commit())
        return Failed(QStringLiteral("%1 に書き込めません。\r%2")
                          .arg(Native(image), writer.out().errorString()));

    DiscImageResult result;
    result.outcome = DiscImageResult::Outcome::Written;
    result.size = size;
    if (discLabel.cut)
        result.warnings.append(DiscLabelCutWarning(discLabel));
    const QString sizeWarning = DiscSizeWarning(size);
    if (!sizeWarning.isEmpty())
        result.warnings.append(sizeWarning);
    return result;
}

QString DiscSizeText(qint64 bytes) {
    // Binary units under the names Windows shows them with.
    constexpr double kKilo = 1024.0;
    if (bytes < 1024)
        return QStringLiteral("%1 バイト").arg(bytes);
    const char* units[] = {"KB", "MB", "GB"};
    double value = static_cast<double>(bytes) / kKilo;
    int unit = 0;
    while (value >= kKilo && unit < 2) {
        value /= kKilo;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', 1).arg(QLatin1String(units[unit]));
}

QString DiscSizeWarning(qint64 bytes) {
    if (bytes > kDvdBytes)
        return QStringLiteral("イメージの大きさは %1 です。4.7 GB の DVD にも収まりません。")
            .arg(DiscSizeText(bytes));
    if (bytes > kCdrBytes)
        return QStringLiteral("イメージの大きさは %1 です。700 MB の CD-R には収まりません。")
            .arg(DiscSizeText(bytes));
    return {};
}

QString DiscLabelCutWarning(const DiscLabel& label) {
    return QStringLiteral("ボリュームラベルは%1文字までです。「%2」として書き込みました。")
        .arg(kJolietLabelLength)
        .arg(label.joliet);
}

QString DiscImageDoneText(const QString& image, const DiscImageResult& result) {
    QString text = QStringLiteral("CDイメージを作成しました。\r%1\r大きさ: %2")
                       .arg(Native(image), DiscSizeText(result.size));
    for (const QString& warning : result.warnings)
        text += QLatin1Char('\r') + warning;
    return text;
}

} // namespace kz
