// Page change and start-up of the main window on a full project: every one of
// the 100 slots with all its texts at 99 bytes.
//   QT_QPA_PLATFORM=offscreen build/bench/bench_mainwindow
#include "mainwindow/Form1.h"
#include "store/FileName.h"
#include "store/Ini.h"
#include "store/Profile.h"
#include "store/Slots.h"
#include "tests/support/ScriptedDesktop.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QTemporaryDir& FullProject() {
    static QTemporaryDir dir;
    static bool made = [] {
        kz::ScriptedDesktop desktop;
        const QString settings = kz::LocalPath(dir.path(), kz::kSettingsLiteral);
        for (int page = 0; page < kz::kPages; ++page)
            for (int button = 0; button < kz::kButtons; ++button)
                for (const kz::SlotField& f : kz::kSlotFields)
                    kz::WriteIni(desktop, settings, QString::fromUtf16(f.section),
                                 QString::fromUtf16(f.prefix) + kz::SlotKey(button, page),
                                 QString(33, QChar(0x3042)) + QString(33, QLatin1Char('x')));
        kz::WriteIni(desktop, settings, QStringLiteral("VolumeLabel"), QString(),
                     QStringLiteral("FULLCD"));
        return true;
    }();
    (void)made;
    return dir;
}

// The cost of reading the whole settings file once, for scale.
void BM_ParseSettingsFile(benchmark::State& state) {
    QFile file(kz::LocalPath(FullProject().path(), kz::kSettingsLiteral));
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    for (auto _ : state) {
        kz::profile::Document doc(std::string_view(bytes.constData(), bytes.size()));
        benchmark::DoNotOptimize(doc.find("AppName", "App_419"));
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_ParseSettingsFile)->Unit(benchmark::kMicrosecond);

// UP or Down: ShowPage with its five icons, names and the first slot's details.
void BM_PageChange(benchmark::State& state) {
    kz::ScriptedDesktop desktop;
    kz::Form1 window(desktop, FullProject().path(), FullProject().path());
    window.startUp();
    window.show();
    int page = 0;
    for (auto _ : state) {
        page = (page + 1) % kz::kPages;
        window.setCurrentPage(page);
        window.ShowPage();
    }
}
BENCHMARK(BM_PageChange)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// From nothing to the first page on screen, next to a bare window's start.
void BM_StartUpToFirstPage(benchmark::State& state) {
    kz::ScriptedDesktop desktop;
    for (auto _ : state) {
        kz::Form1 window(desktop, FullProject().path(), FullProject().path());
        window.startUp();
        window.show();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_StartUpToFirstPage)->Unit(benchmark::kMillisecond);

void BM_BareWindowStart(benchmark::State& state) {
    for (auto _ : state) {
        QMainWindow window;
        window.resize(280, 372);
        window.show();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_BareWindowStart)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
