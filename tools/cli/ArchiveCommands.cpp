// The project archive verbs: pack a working folder, unpack an archive into one,
// and dump an archive's table.
#include "tools/cli/Commands.h"

#include "output/ArchiveCodec.h"
#include "output/Project.h"
#include "store/Cp932.h"
#include "store/Parts.h"
#include "store/Slots.h"
#include "tools/cli/ConsoleDesktop.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>

namespace kz::cli {
namespace {

// Defaults as a new project has them: button face and button text.
constexpr std::uint32_t kDefaultBackground = 0x8000000F;
constexpr std::uint32_t kDefaultText = 0x80000012;

// CRC-32 (the zip polynomial), enough to tell icons apart in a dump.
std::uint32_t Crc32(const ByteArray& bytes) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t b : bytes)
        crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

QString SlotOfRow(std::int64_t row) {
    if (row < 1)
        return {};
    return SlotKey(static_cast<int>((row - 1) % kButtons), static_cast<int>((row - 1) / kButtons));
}

QJsonObject CellJson(const Cell& cell) {
    if (const auto* s = std::get_if<std::string>(&cell))
        return {{QStringLiteral("type"), QStringLiteral("text")},
                {QStringLiteral("value"), FromCp932(s->data(), static_cast<qsizetype>(s->size()))}};
    if (const auto* n = std::get_if<std::int32_t>(&cell))
        return {{QStringLiteral("type"), QStringLiteral("int32")},
                {QStringLiteral("value"), *n},
                {QStringLiteral("hex"), Hex32(static_cast<std::uint32_t>(*n))}};
    if (const auto* a = std::get_if<ByteArray>(&cell))
        return {{QStringLiteral("type"), QStringLiteral("bytes")},
                {QStringLiteral("length"), static_cast<qint64>(a->size())},
                {QStringLiteral("crc32"), Hex32(Crc32(*a))}};
    return {{QStringLiteral("type"), QStringLiteral("empty")}};
}

QString CellText(const Cell& cell) {
    if (const auto* s = std::get_if<std::string>(&cell)) {
        QString t = FromCp932(s->data(), static_cast<qsizetype>(s->size()));
        t.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char('"'), QLatin1String("\\\""));
        return QStringLiteral("text \"%1\"").arg(t);
    }
    if (const auto* n = std::get_if<std::int32_t>(&cell))
        return QStringLiteral("int32 %1 (%2)").arg(*n).arg(Hex32(static_cast<std::uint32_t>(*n)));
    if (const auto* a = std::get_if<ByteArray>(&cell))
        return QStringLiteral("bytes %1 crc32 %2").arg(a->size()).arg(Hex32(Crc32(*a)));
    return QStringLiteral("empty");
}

} // namespace

QString Hex32(std::uint32_t v) {
    return QStringLiteral("0x") +
           QString::number(v, 16).rightJustified(8, QLatin1Char('0')).toUpper();
}

// "0x8000000F" or "8000000F": at most 8 hex digits.
std::optional<std::uint32_t> ParseColour(QString text) {
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        text.remove(0, 2);
    if (text.isEmpty() || text.size() > 8)
        return std::nullopt;
    for (const QChar c : text)
        if (!c.isDigit() && !QStringLiteral("abcdefABCDEF").contains(c))
            return std::nullopt;
    bool ok = false;
    const uint v = text.toUInt(&ok, 16);
    return ok ? std::optional<std::uint32_t>(v) : std::nullopt;
}

bool IsFolder(const QString& path, QTextStream& err) {
    if (QFileInfo(path).isDir())
        return true;
    err << "no such folder: " << QDir::toNativeSeparators(path) << Qt::endl;
    return false;
}

int RunPack(const QStringList& args, QTextStream& out, QTextStream& err) {
    auto usage = [&err] {
        err << "usage: kazanoro-cli pack WORKDIR OUT.dat [--background COLOUR] [--text COLOUR]\n"
               "       COLOUR: 0x00BBGGRR or a system colour such as 0x8000000F"
            << Qt::endl;
        return kUsage;
    };
    QStringList positional;
    std::uint32_t background = kDefaultBackground;
    std::uint32_t text = kDefaultText;
    for (qsizetype k = 0; k < args.size(); ++k) {
        const QString& a = args[k];
        if (a == QLatin1String("--background") || a == QLatin1String("--text")) {
            const auto colour = k + 1 < args.size() ? ParseColour(args[k + 1]) : std::nullopt;
            if (!colour)
                return usage();
            (a == QLatin1String("--background") ? background : text) = *colour;
            ++k;
        } else if (a.startsWith(QLatin1String("--"))) {
            return usage();
        } else {
            positional << a;
        }
    }
    if (positional.size() != 2)
        return usage();
    const QString& work = positional[0];
    const QString& target = positional[1];
    if (!IsFolder(work, err))
        return kFailed;

    ConsoleDesktop desktop(err);
    const VariantTable table = BuildProjectTable(desktop, work, background, text);
    if (!WriteArchiveFile(desktop, target, table)) {
        err << "cannot write the archive: " << QDir::toNativeSeparators(target) << Qt::endl;
        return kFailed;
    }
    const std::int64_t lastRow = table.upper(1).value_or(0);
    out << "packed " << lastRow + 1 << (lastRow == 0 ? " row" : " rows");
    if (lastRow >= 6)
        out << " (last slot in use " << SlotOfRow(lastRow - 5) << ")";
    else
        out << " (no slot in use)";
    out << " into " << QDir::toNativeSeparators(target) << Qt::endl;
    return kOk;
}

int RunUnpack(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() != 2 || args[0].startsWith(QLatin1String("--")) ||
        args[1].startsWith(QLatin1String("--"))) {
        err << "usage: kazanoro-cli unpack ARCHIVE WORKDIR" << Qt::endl;
        return kUsage;
    }
    const QString& archive = args[0];
    const QString& work = args[1];
    if (!FilePresent(archive)) {
        err << "no such archive: " << QDir::toNativeSeparators(archive) << Qt::endl;
        return kFailed;
    }
    if (!IsFolder(work, err))
        return kFailed;
    // Refuse a bad file before the working folder is touched at all.
    if (const auto table = ReadArchiveFile(archive); !table || !IsProjectShape(*table)) {
        err << "not a project archive: " << QDir::toNativeSeparators(archive) << Qt::endl;
        return kFailed;
    }

    ConsoleDesktop desktop(err);
    VariantTable table;
    UnpackReport report;
    const auto colours = UnpackProject(desktop, work, archive, table, &report);
    if (!report.archiveRead) {
        err << "cannot read the archive: " << QDir::toNativeSeparators(archive) << Qt::endl;
        return kFailed;
    }
    out << "restored slots:";
    if (report.slotKeys.isEmpty())
        out << " none";
    for (const QString& key : report.slotKeys)
        out << ' ' << key;
    out << Qt::endl;
    if (colours) {
        auto show = [](const std::optional<std::uint32_t>& c) {
            return c ? Hex32(*c) : QStringLiteral("unchanged (not a number)");
        };
        out << "background colour: " << show(colours->background) << Qt::endl;
        out << "text colour: " << show(colours->text) << Qt::endl;
    } else {
        out << "marker row not reached: colours unchanged" << Qt::endl;
    }
    for (const QString& path : report.notWritten)
        err << "not written: " << QDir::toNativeSeparators(path) << Qt::endl;
    return report.notWritten.isEmpty() ? kOk : kFailed;
}

int RunDump(const QStringList& args, QTextStream& out, QTextStream& err) {
    const bool json = args.contains(QLatin1String("--json"));
    QStringList rest = args;
    rest.removeAll(QLatin1String("--json"));
    if (rest.size() != 1 || rest[0].startsWith(QLatin1String("--"))) {
        err << "usage: kazanoro-cli dump ARCHIVE [--json]" << Qt::endl;
        return kUsage;
    }
    const QString& archive = rest[0];
    if (!FilePresent(archive)) {
        err << "no such archive: " << QDir::toNativeSeparators(archive) << Qt::endl;
        return kFailed;
    }
    const auto table = ReadArchiveFile(archive);
    if (!table) {
        err << "not a project archive: " << QDir::toNativeSeparators(archive) << Qt::endl;
        return kFailed;
    }
    const std::int64_t fields = table->bounds()[0].count;
    const std::int64_t rows = table->bounds()[1].count;

    if (json) {
        QJsonArray rowArray;
        for (std::int64_t r = 0; r < rows; ++r) {
            QJsonArray cells;
            for (std::int64_t f = 0; f < fields; ++f)
                cells.append(CellJson(*table->at(f, r)));
            const QString slot = SlotOfRow(r);
            rowArray.append(QJsonObject{
                {QStringLiteral("row"), static_cast<qint64>(r)},
                {QStringLiteral("slot"), slot.isEmpty() ? QJsonValue() : QJsonValue(slot)},
                {QStringLiteral("cells"), cells}});
        }
        const QJsonObject doc{{QStringLiteral("fields"), static_cast<qint64>(fields)},
                              {QStringLiteral("rows"), static_cast<qint64>(rows)},
                              {QStringLiteral("table"), rowArray}};
        out << QString::fromUtf8(QJsonDocument(doc).toJson(QJsonDocument::Indented));
        out.flush();
        return kOk;
    }

    out << "archive: " << fields << " fields x " << rows << " rows" << Qt::endl;
    for (std::int64_t r = 0; r < rows; ++r) {
        out << "row " << r;
        const auto* first = std::get_if<std::string>(table->at(0, r));
        const bool marker =
            first && FromCp932(first->data(), static_cast<qsizetype>(first->size())) == kMarkerText;
        if (r >= 1)
            out << " (slot " << SlotOfRow(r) << (marker ? ", marker)" : ")");
        else if (marker)
            out << " (marker)";
        bool empty = true;
        for (std::int64_t f = 0; f < fields && empty; ++f)
            empty = std::holds_alternative<std::monostate>(*table->at(f, r));
        if (empty) {
            out << ": empty" << Qt::endl;
            continue;
        }
        out << ':' << Qt::endl;
        for (std::int64_t f = 0; f < fields; ++f)
            out << "  " << f << ' ' << CellText(*table->at(f, r)) << Qt::endl;
    }
    return kOk;
}

} // namespace kz::cli
