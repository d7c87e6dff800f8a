// Packing and unpacking a full project (100 slots, every text 99 bytes, every
// icon a 32 x 32 bitmap), each next to a plain copy of the same number of bytes
// with one read and one write, which is the floor for either.
#include "output/Project.h"
#include "store/Cp932.h"
#include "store/FileName.h"
#include "store/Slots.h"
#include "tests/support/ScriptedDesktop.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <memory>

namespace {

using namespace kz;

// A 24-bit 32 x 32 bitmap file: 54 bytes of headers and 32 rows of 96 bytes.
QByteArray Bitmap(int seed) {
    constexpr int kSide = 32;
    constexpr int kPixels = kSide * kSide * 3;
    QByteArray b;
    auto u16 = [&b](int v) { b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); };
    auto u32 = [&](int v) {
        u16(v & 0xFFFF);
        u16((v >> 16) & 0xFFFF);
    };
    b.append("BM");
    u32(54 + kPixels);
    u32(0);
    u32(54);
    u32(40);
    u32(kSide);
    u32(kSide);
    u16(1);
    u16(24);
    u32(0);
    u32(kPixels);
    u32(2835);
    u32(2835);
    u32(0);
    u32(0);
    for (int k = 0; k < kPixels; ++k)
        b.append(char((k * 31 + seed) & 0xFF));
    return b;
}

// 99 code page 932 bytes: one letter and 49 double-byte characters.
QString Text99(int field, const QString& key) {
    return QString::number(field % 10) + QString(49, QChar(0x3042 + (key.toInt() % 80)));
}

struct FullProject {
    QTemporaryDir dir;
    QString work;
    QString archive;
    qint64 archiveSize = 0;

    FullProject() {
        work = dir.filePath(QStringLiteral("work"));
        QDir().mkpath(LocalPath(work, kIconFolderLiteral));
        QString ini;
        for (std::size_t f = 0; f < kSlotFields.size(); ++f) {
            ini += QLatin1Char('[') + QString::fromUtf16(kSlotFields[f].section) +
                   QStringLiteral("]\r\n");
            for (int page = 0; page < kPages; ++page)
                for (int button = 0; button < kButtons; ++button) {
                    const QString key = SlotKey(button, page);
                    ini += QString::fromUtf16(kSlotFields[f].prefix) + key + QLatin1Char('=') +
                           Text99(int(f), key) + QStringLiteral("\r\n");
                }
        }
        QFile settings(LocalPath(work, kSettingsLiteral));
        settings.open(QIODevice::WriteOnly);
        settings.write(ToCp932(ini));
        settings.close();
        for (int page = 0; page < kPages; ++page)
            for (int button = 0; button < kButtons; ++button) {
                QFile icon(LocalPath(work, IconLiteral(SlotKey(button, page))));
                icon.open(QIODevice::WriteOnly);
                icon.write(Bitmap(page * 5 + button));
            }
        ScriptedDesktop desktop;
        VariantTable table;
        PackProject(desktop, work, 0x8000000F, 0x80000012, table);
        archive = ArchivePath(work);
        archiveSize = QFileInfo(archive).size();
    }
};

FullProject& Project() {
    static FullProject project;
    return project;
}

// The floor for both: one read of the archive and one replacing write of it,
// the same number of bytes that packing writes and unpacking reads.
void CopyOnce(const QString& from, const QString& to) {
    QFile in(from);
    in.open(QIODevice::ReadOnly);
    const QByteArray bytes = in.readAll();
    QSaveFile out(to);
    out.open(QIODevice::WriteOnly);
    out.write(bytes);
    out.commit();
}

void BM_Pack(benchmark::State& state) {
    FullProject& p = Project();
    ScriptedDesktop desktop;
    VariantTable table;
    for (auto _ : state) {
        const bool written = PackProject(desktop, p.work, 0x8000000F, 0x80000012, table);
        benchmark::DoNotOptimize(written);
        desktop.calls.clear();
    }
    state.SetBytesProcessed(state.iterations() * p.archiveSize);
    state.counters["archive_bytes"] = double(p.archiveSize);
}
BENCHMARK(BM_Pack)->Unit(benchmark::kMillisecond);

void BM_CopySameBytes(benchmark::State& state) {
    FullProject& p = Project();
    const QString copy = p.dir.filePath(QStringLiteral("copy.dat"));
    for (auto _ : state)
        CopyOnce(p.archive, copy);
    state.SetBytesProcessed(state.iterations() * p.archiveSize);
}
BENCHMARK(BM_CopySameBytes)->Unit(benchmark::kMillisecond);

// Each round unpacks into a fresh working folder, as Load into a new project.
void BM_Unpack(benchmark::State& state) {
    FullProject& p = Project();
    ScriptedDesktop desktop;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString target = p.dir.filePath(QStringLiteral("unpack%1").arg(round++));
        QDir().mkpath(target);
        state.ResumeTiming();
        VariantTable table;
        const auto colours = UnpackProject(desktop, target, p.archive, table);
        benchmark::DoNotOptimize(colours);
        state.PauseTiming();
        QDir(target).removeRecursively();
        desktop.calls.clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * p.archiveSize);
}
BENCHMARK(BM_Unpack)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
