#include "output/Project.h"

#include "output/ArchiveCodec.h"
#include "platform/Desktop.h"
#include "store/Cp932.h"
#include "store/FileName.h"
#include "store/FileWriter.h"
#include "store/Ini.h"
#include "store/Parts.h"
#include "store/Slots.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <string>

namespace kz {
namespace {

// Integer of a quotient, nearest, ties to even as the platform's conversions
// round. The quotients here are multiples of 0.2, so a tie never occurs.
int Nearest(double value) {
    return static_cast<int>(std::nearbyint(value));
}

std::string Cp932Bytes(const QString& text) {
    const QByteArray b = ToCp932(text);
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

const std::string& MarkerBytes() {
    static const std::string bytes = Cp932Bytes(kMarkerText);
    return bytes;
}

// Row number of the last slot in use, 0 when there is none.
int LastRowInUse(const QString& settings) {
    const QString section = QString::fromUtf16(kSlotFields[0].section);
    const QString prefix = QString::fromUtf16(kSlotFields[0].prefix);
    for (int page = kPages - 1; page >= 0; --page)
        for (int button = kButtons - 1; button >= 0; --button)
            if (!ReadIni(settings, section, prefix + SlotKey(button, page)).isEmpty())
                return RowOf(button, page);
    return 0;
}

// A field's value as the settings file takes it. A byte array is no text and
// gives nothing.
QString TextOf(const Cell* cell) {
    if (!cell)
        return {};
    if (const auto* s = std::get_if<std::string>(cell))
        return FromCp932(s->data(), static_cast<qsizetype>(s->size()));
    if (const auto* n = std::get_if<std::int32_t>(cell))
        return QString::number(*n);
    return {};
}

std::optional<std::uint32_t> ColourOf(const Cell* cell) {
    if (const auto* n = cell ? std::get_if<std::int32_t>(cell) : nullptr)
        return static_cast<std::uint32_t>(*n);
    return std::nullopt;
}

void Store(VariantTable& table, int field, int row, Cell value) {
    // Rows past the end of the table are read all the same and dropped here.
    if (Cell* c = table.at(field, row))
        *c = std::move(value);
}

} // namespace

QString ArchivePath(const QString& folder) {
    return LocalPath(folder, QLatin1Char('\\') + kArchiveName);
}

VariantTable BuildProjectTable(Desktop& desktop, const QString& workFolder,
                               std::uint32_t background, std::uint32_t text) {
    const QString settings = LocalPath(workFolder, kSettingsLiteral);
    const int lastRow = LastRowInUse(settings);
    const int rows = lastRow >= 1 ? lastRow + 5 : 0; // upper bound of the row dimension
    VariantTable table = VariantTable::Make(kTableFields, rows + 1);

    // The last page is rounded up when the last row sits late in its page, so
    // the loop may read a few slots past the table's end; it never stops short.
    const int lastPage = Nearest((rows - 1) / 5.0 - 1);
    for (int page = 0; page <= lastPage; ++page) {
        for (int button = 0; button < kButtons; ++button) {
            const int row = RowOf(button, page);
            const QString key = SlotKey(button, page);
            QByteArray icon;
            if (!ReadFileBytes(desktop, LocalPath(workFolder, IconLiteral(key)), icon))
                icon.clear();
            Store(table, 0, row, ByteArray(icon.begin(), icon.end()));
            for (int f = 0; f < static_cast<int>(kSlotFields.size()); ++f) {
                const SlotField& field = kSlotFields[static_cast<std::size_t>(f)];
                const QString value = ReadIni(settings, QString::fromUtf16(field.section),
                                              QString::fromUtf16(field.prefix) + key);
                Store(table, f + 1, row, Cp932Bytes(value));
            }
        }
    }

    // Fields 3 to 8 of the marker row keep whatever the loop left there.
    *table.at(0, rows) = MarkerBytes();
    *table.at(1, rows) = static_cast<std::int32_t>(background);
    *table.at(2, rows) = static_cast<std::int32_t>(text);
    return table;
}

bool WriteArchiveFile(Desktop& desktop, const QString& path, const VariantTable& table,
                      QString* error) {
    BusyPointer busy(desktop);
    const auto bytes = EncodeArchive(table);
    if (!bytes) {
        if (error)
            *error = QStringLiteral("The table cannot be stored");
        return false;
    }
    return ReplaceFile(path,
                       QByteArray(reinterpret_cast<const char*>(bytes->data()),
                                  static_cast<qsizetype>(bytes->size())),
                       error);
}

bool IsProjectShape(const VariantTable& table) {
    if (table.dimensions() != 2 || table.bounds()[0].count != kTableFields)
        return false;
    // Rows 0 to R: R is 0 for an empty project, else the last row in use
    // (1 to 100) plus 5.
    const std::int32_t rows = table.bounds()[1].count;
    return rows == 1 || (rows >= 7 && rows <= RowOf(kButtons - 1, kPages - 1) + 6);
}

std::optional<VariantTable> ReadArchiveFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return DecodeArchive(reinterpret_cast<const std::uint8_t*>(data.constData()),
                         static_cast<std::size_t>(data.size()));
}

bool PackProject(Desktop& desktop, const QString& workFolder, std::uint32_t background,
                 std::uint32_t text, VariantTable& table, QString* error) {
    table = BuildProjectTable(desktop, workFolder, background, text);
    return WriteArchiveFile(desktop, ArchivePath(workFolder), table, error);
}

std::optional<LauncherColours> UnpackProject(Desktop& desktop, const QString& workFolder,
                                             const QString& archivePath, VariantTable& table,
                                             UnpackReport* report) {
    table = VariantTable::Make(kTableFields, 1);
    UnpackReport found;
    if (report)
        *report = found;
    if (!FilePresent(archivePath))
        return std::nullopt;

    BusyPointer busy(desktop);
    if (const auto read = ReadArchiveFile(archivePath); read && IsProjectShape(*read)) {
        CopyTable(*read, table);
        found.archiveRead = true;
    }
    QDir().mkdir(LocalPath(workFolder, kIconFolderLiteral));

    // Every value goes into the settings file in one rewrite of it.
    const QString settingsPath = LocalPath(workFolder, kSettingsLiteral);
    IniBatch settings(desktop, settingsPath);
    std::optional<LauncherColours> colours;
    const int rows = static_cast<int>(table.upper(1).value_or(0));
    const int lastPage = Nearest(rows / 5.0);
    for (int page = 0; page <= lastPage && !colours; ++page) {
        for (int button = 0; button < kButtons && !colours; ++button) {
            const int row = RowOf(button, page);
            const Cell* first = table.at(0, row);
            if (const auto* s = first ? std::get_if<std::string>(first) : nullptr;
                s && *s == MarkerBytes()) {
                colours = LauncherColours{ColourOf(table.at(1, row)), ColourOf(table.at(2, row))};
                break;
            }
            const QString key = SlotKey(button, page);
            bool restored = false;
            if (const auto* icon = first ? std::get_if<ByteArray>(first) : nullptr) {
                const QByteArray bytes(reinterpret_cast<const char*>(icon->data()),
                                       static_cast<qsizetype>(icon->size()));
                const QString path = LocalPath(workFolder, IconLiteral(key));
                if (!WriteFileBytes(desktop, path, bytes))
                    found.notWritten.append(path);
                restored = true;
            }
            for (int f = 0; f < static_cast<int>(kSlotFields.size()); ++f) {
                const QString value = TextOf(table.at(f + 1, row));
                if (value.isEmpty())
                    continue; // an empty value keeps what the settings file holds
                const SlotField& field = kSlotFields[static_cast<std::size_t>(f)];
                settings.write(QString::fromUtf16(field.section),
                               QString::fromUtf16(field.prefix) + key, value);
                restored = true;
            }
            if (restored)
                found.slotKeys.append(key);
        }
    }
    if (!settings.commit())
        found.notWritten.append(settingsPath);
    if (report)
        *report = found;
    return colours;
}

} // namespace kz
