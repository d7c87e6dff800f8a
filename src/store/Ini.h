#pragma once

#include <QString>

#include <array>
#include <vector>

namespace kz {

class Desktop;

// Values are stored left-aligned in a field of this many characters, and the
// reader's buffer holds this many bytes (so at most one less come back).
inline constexpr int kIniField = 100;

// The value of `key` in `section` of the INI file, or "" when the file, the
// section or the key is missing. At most 99 code page 932 bytes come back. An
// empty key names the key line that starts with '='. A file that starts with a
// UTF-8 or UTF-16LE byte order mark is read as such.
QString ReadIni(const QString& file, const QString& section, const QString& key);

// ReadIni from the file as it is on disk now, for a check after writing: a
// cached reading could hide a file that did not arrive.
QString ReadIniFromDisk(const QString& file, const QString& section, const QString& key);

// Stores `value` padded (or cut) to 100 characters. A value of more than 100
// code page 932 bytes first draws the length warning through `desktop`. The
// file keeps its form: code page 932, or UTF-8 or UTF-16 when it starts with a
// byte order mark, and the line ends it has. It is replaced as a whole,
// never left half-written, and read and rewritten under a lock, so that values
// other processes store at the same time stay. False when the value was not
// stored (a read-only or unreadable file, a full disk); the file is then as
// it was.
bool WriteIni(Desktop& desktop, const QString& file, const QString& section, const QString& key,
              const QString& value);

// Several WriteIni calls on one file, stored in one replacement of the file
// when the batch commits (or goes out of scope). The length warning still comes
// at each write, in order. Reads of the file see the values only after commit.
class IniBatch {
public:
    IniBatch(Desktop& desktop, const QString& file);
    ~IniBatch();
    IniBatch(const IniBatch&) = delete;
    IniBatch& operator=(const IniBatch&) = delete;

    void write(const QString& section, const QString& key, const QString& value);
    // False when the values written since the last commit were not stored.
    bool commit();
    // Why the last commit failed, in the platform's words.
    QString error() const { return error_; }

private:
    Desktop& desktop_;
    QString file_;
    QString error_;
    std::vector<std::array<QString, 3>> edits_;
};

// The warning WriteIni shows for an oversized value.
inline const QString kLengthWarningText = QStringLiteral("文字数が100ﾊﾞｲﾄを超えています");
inline const QString kLengthWarningTitle = QStringLiteral("入力　エラー");

} // namespace kz
