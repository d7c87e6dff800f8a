// Icons of a small program and of a 300 MB installer whose icons lie at its
// end, side by side: counting and extracting must cost about the same, since
// only headers, the resource directory and the chosen images are read. Also
// what a path that names no file costs (every keystroke in the path box).
//   build/bench/bench_icons
#include "editor/modPicture.h"
#include "tests/support/PeWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// Five icon groups as a typical program has them: 16, 32 and 48 pixels at
// 4, 8 and 32 bits, and a 256-pixel PNG.
kz::test::PeOptions Program(qint64 padding) {
    kz::test::PeOptions options;
    options.pe64 = true;
    options.padding = padding;
    for (int g = 0; g < 5; ++g) {
        kz::test::IconGroup group;
        for (const int side : {16, 32, 48})
            for (const int bits : {4, 8, 32}) {
                QImage image(side, side, QImage::Format_ARGB32);
                image.fill(qRgba(40 * g, 200, 60, 255));
                image.setPixel(0, 0, 0);
                group.images.push_back({image, bits});
            }
        QImage large(256, 256, QImage::Format_ARGB32);
        large.fill(qRgba(10, 20, 40 * g, 200));
        group.images.push_back({large, 32, kz::test::Encoding::Png});
        options.groups.push_back(group);
    }
    return options;
}

// Writes the executable with the zero gap left to the file system (sparse).
bool Write(const kz::test::PeFile& pe, const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(pe.head) == pe.head.size() && file.resize(pe.size) &&
           file.seek(pe.layout.resourceSection) && file.write(pe.resources) == pe.resources.size();
}

struct Files {
    QTemporaryDir dir;
    QString small = dir.filePath(QStringLiteral("small.exe"));
    QString large = dir.filePath(QStringLiteral("installer.exe"));
    Files() {
        Write(kz::test::BuildPe(Program(0)), small);
        // Sparse: the 300 MB of padding cost no disk space.
        Write(kz::test::BuildPe(Program(qint64(300) << 20)), large);
    }
};

const Files& TestFiles() {
    static const Files files;
    return files;
}

const QString& PathOf(const benchmark::State& state) {
    return state.range(0) == 0 ? TestFiles().small : TestFiles().large;
}

void Label(benchmark::State& state) {
    const qint64 size = QFileInfo(PathOf(state)).size();
    state.SetLabel((state.range(0) == 0 ? "small " : "large ") + std::to_string(size >> 10) +
                   " KB");
}

void BM_IconCount(benchmark::State& state) {
    const QString path = PathOf(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(kz::modPicture::IconCount(path));
    Label(state);
}
BENCHMARK(BM_IconCount)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// What the entry editor does for a file: count, then every picture.
void BM_ExtractAllIcons(benchmark::State& state) {
    const QString path = PathOf(state);
    for (auto _ : state) {
        const int count = kz::modPicture::IconCount(path);
        for (int i = 0; i < count; ++i)
            benchmark::DoNotOptimize(kz::modPicture::IconPicture(path, i));
    }
    Label(state);
}
BENCHMARK(BM_ExtractAllIcons)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A partially typed path.
void BM_IconCountNoFile(benchmark::State& state) {
    const QString path = TestFiles().dir.filePath(QStringLiteral("insta"));
    for (auto _ : state)
        benchmark::DoNotOptimize(kz::modPicture::IconCount(path));
}
BENCHMARK(BM_IconCountNoFile)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
