#include "output/CdCheck.h"

#include "output/Folders.h"
#include "output/Project.h"
#include "store/Cp932.h"
#include "store/FileName.h"
#include "store/Ini.h"
#include "store/Slots.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace kz {
namespace {

constexpr QDir::Filters kEverything =
    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

// True when a path relative to the CD root names something in the folder.
bool OnDisc(const QString& root, const QString& path) {
    QString at = root;
    for (const QString& part :
         path.split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts)) {
        const QString entry = DiscEntry(at, part);
        if (entry.isEmpty())
            return false;
        at = QDir(at).filePath(entry);
    }
    return true;
}

// Paths the launcher hands to the shell as they are: addresses ("http:"),
// drive and network paths.
bool OffDisc(const QString& path) {
    static const QRegularExpression pattern(
        QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*:|[\\\\/]{2})"));
    return pattern.match(path).hasMatch();
}

// The file an Autorun.inf value names: OPEN may carry arguments after the
// program, ICON an icon index after a comma.
QString InfTarget(QString value, bool icon) {
    if (icon)
        return value.section(QLatin1Char(','), 0, 0).trimmed();
    if (value.startsWith(QLatin1Char('"')))
        return value.section(QLatin1Char('"'), 1, 1);
    return value.section(QLatin1Char(' '), 0, 0);
}

QString SlotLabel(int row) {
    return QStringLiteral("%1/%2").arg((row - 1) % kButtons + 1).arg((row - 1) / kButtons + 1, 2);
}

void CheckArchive(const QString& folder, QStringList& findings) {
    const QString archive = DiscEntry(folder, kArchiveName);
    if (archive.isEmpty()) {
        findings << QStringLiteral("%1 がありません").arg(kArchiveName);
        return;
    }
    const auto table = ReadArchiveFile(QDir(folder).filePath(archive));
    if (!table || !IsProjectShape(*table)) {
        findings << QStringLiteral("%1 を読み込めません").arg(kArchiveName);
        return;
    }
    const QByteArray marker = ToCp932(kMarkerText);
    const int last = RowOf(kButtons - 1, kPages - 1);
    for (int row = 1; row <= last; ++row) {
        const auto* first =
            table->at(0, row) ? std::get_if<std::string>(table->at(0, row)) : nullptr;
        if (first && *first == marker.toStdString())
            break;
        const auto* path =
            table->at(1, row) ? std::get_if<std::string>(table->at(1, row)) : nullptr;
        const QString text =
            path ? FromCp932(path->data(), static_cast<qsizetype>(path->size())) : QString();
        if (!text.isEmpty() && !OffDisc(text) && !OnDisc(folder, text))
            findings << QStringLiteral("%1: %2 がありません").arg(SlotLabel(row), text);
    }
}

void CheckAutorunInf(const QString& folder, QStringList& findings) {
    const QString inf = DiscEntry(folder, kAutorunInfName);
    if (inf.isEmpty()) {
        findings << QStringLiteral("%1 がありません").arg(kAutorunInfName);
        return;
    }
    const QString path = QDir(folder).filePath(inf);
    for (const char* key : {"OPEN", "ICON"}) {
        const QString value = ReadIniFromDisk(path, QStringLiteral("autorun"), QLatin1String(key));
        const bool icon = key[0] == 'I';
        if (value.isEmpty() && icon)
            continue; // a CD without an icon of its own
        if (value.isEmpty())
            findings << QStringLiteral("%1 に %2 がありません").arg(inf, QLatin1String(key));
        else if (!OnDisc(folder, InfTarget(value, icon)))
            findings
                << QStringLiteral("%1 の %2=%3 がありません").arg(inf, QLatin1String(key), value);
    }
}

// Names the disc cannot hold or cannot tell apart, and the size of it all.
void CheckNames(const QString& folder, QStringList& findings) {
    qint64 total = 0;
    QStringList folders{folder};
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        folders << it.next();
    const QDir root(folder);
    for (const QString& at : folders) {
        QHash<QString, QString> seen; // folded name -> first spelling
        for (const QFileInfo& entry : QDir(at).entryInfoList(kEverything, QDir::Name)) {
            const QString relative =
                QDir::toNativeSeparators(root.relativeFilePath(entry.filePath()));
            if (entry.isFile())
                total += entry.size();
            if (entry.fileName().size() > kLongestDiscName)
                findings
                    << QStringLiteral("%1文字を超える名前: %2").arg(kLongestDiscName).arg(relative);
            const QString folded = entry.fileName().toCaseFolded();
            if (const auto twin = seen.constFind(folded); twin != seen.constEnd())
                findings << QStringLiteral("大文字と小文字だけが違う名前: %1, %2")
                                .arg(QDir::toNativeSeparators(root.relativeFilePath(*twin)),
                                     relative);
            else
                seen.insert(folded, entry.filePath());
        }
    }
    if (total > kCdBytes)
        findings << QStringLiteral("合計 %1 MB: 700 MB の CD-R に入りません")
                        .arg((total + (1 << 20) - 1) >> 20);
}

} // namespace

QStringList CheckCdFolder(const QString& folder) {
    QStringList findings;
    CheckArchive(folder, findings);
    CheckAutorunInf(folder, findings);
    CheckNames(folder, findings);
    return findings;
}

} // namespace kz
