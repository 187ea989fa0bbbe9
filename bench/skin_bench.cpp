// Benchmarks of the skin engine by kind: Preview/ (one preview refresh), Final/ (one final
// composition), Reference/ (the copy-by-copy loop), FirstDraw/ (a decoded picture made ready and
// drawn once) and Write/ (writing a skin file). Prints the speed-up of
// the fast tile renderer over the loop, and with --memory the peak memory while drawing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/gradient_rgba.h"
#include "platform/file_system.h"
#include "platform/picture_files.h"
#include "core/skin_layout.h"

using namespace tess;

namespace {

// A picture with smooth gradients and noise, so that averaging has real work to do.
std::vector<uint8_t> PhotoRgba(int32_t w, int32_t h) {
    return tess::testing::GradientRgba(w, h, false, static_cast<uint32_t>(w * 31 + h));
}

const Picture& CachedPicture(int32_t w, int32_t h) {
    static std::map<std::pair<int32_t, int32_t>, Picture> cache;
    auto key = std::make_pair(w, h);
    auto it = cache.find(key);
    if (it == cache.end()) {
        auto rgba = PhotoRgba(w, h);
        it = cache.emplace(key, Picture::FromRgba(w, h, rgba.data()).value()).first;
    }
    return it->second;
}

struct Layout {
    int32_t pictureW, pictureH;
    LayoutMode mode;
    int16_t size;
};

void RunPreview(benchmark::State& state, Layout l, TileDrawing drawing) {
    const Picture& picture = CachedPicture(l.pictureW, l.pictureH);
    const SourcePicture source{picture, picture.widthTwips(15), picture.heightTwips(15)};
    SkinLayout layout;
    layout.mode = l.mode;
    layout.values = {l.size, l.size, 13, -21};
    Surface target = MakePreviewSurface();
    for (auto _ : state) {
        target.clear();
        DrawPreview(layout, source, target, drawing);
        benchmark::DoNotOptimize(target.pixels().data());
    }
    if (l.mode == LayoutMode::Tile)
        state.counters["copies"] = static_cast<double>(TileGridOf(layout, target).copies());
}

void RunFinal(benchmark::State& state, Layout l) {
    const Picture& picture = CachedPicture(l.pictureW, l.pictureH);
    const SourcePicture source{picture, picture.widthTwips(15), picture.heightTwips(15)};
    SkinLayout layout;
    layout.mode = l.mode;
    layout.values = {l.size, l.size, 13, -21};
    Surface final;
    for (auto _ : state) {
        ApplyResolution(final, 3);
        ComposeFinal(layout, source, final);
        benchmark::DoNotOptimize(final.pixels().data());
    }
    if (l.mode == LayoutMode::Tile)
        state.counters["copies"] = static_cast<double>(TileGridOf(layout, final).copies());
}

const std::pair<const char*, Layout> kLayouts[] = {
    {"Tile200x40At100", {200, 40, LayoutMode::Tile, 100}},
    {"Tile32x32At5", {32, 32, LayoutMode::Tile, 5}},
    {"Tile1x1At5", {1, 1, LayoutMode::Tile, 5}},
    {"Stretch1600x1200", {1600, 1200, LayoutMode::Stretch, 100}},
    {"Single1600x1200At400", {1600, 1200, LayoutMode::Single, 400}},
    {"Tile1600x5000At5", {1600, 5000, LayoutMode::Tile, 5}},
};

void RegisterAll() {
    for (const auto& [name, layout] : kLayouts) {
        benchmark::RegisterBenchmark((std::string("Preview/") + name).c_str(),
                                     [layout = layout](benchmark::State& s) { RunPreview(s, layout, TileDrawing::Fast); })
            ->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.2);
        benchmark::RegisterBenchmark((std::string("Final/") + name).c_str(),
                                     [layout = layout](benchmark::State& s) { RunFinal(s, layout); })
            ->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.2);
    }
    for (const char* name : {"Tile32x32At5", "Tile1x1At5"}) {
        for (const auto& [n, layout] : kLayouts)
            if (std::strcmp(n, name) == 0)
                benchmark::RegisterBenchmark((std::string("Reference/") + name).c_str(),
                                             [layout = layout](benchmark::State& s) {
                                                 RunPreview(s, layout, TileDrawing::Reference);
                                             })
                    ->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.2);
    }
    for (auto [w, h] : {std::pair{1600, 1200}, std::pair{1600, 5000}}) {
        // From the decoder's buffer to the first preview: the picture takes the buffer over,
        // builds its column sums and is drawn stretched. Copying the decoded pixels into a fresh
        // buffer for each iteration is left out of the time.
        benchmark::RegisterBenchmark(("FirstDraw/" + std::to_string(w) + "x" + std::to_string(h)).c_str(),
                                     [w = w, h = h](benchmark::State& state) {
                                         const auto rgba = PhotoRgba(w, h);
                                         Surface target = MakePreviewSurface();
                                         SkinLayout layout;
                                         layout.mode = LayoutMode::Stretch;
                                         for (auto _ : state) {
                                             state.PauseTiming();
                                             PixelBuffer decoded = PixelBuffer::Allocate(w, h).value();
                                             std::memcpy(decoded.data(), rgba.data(), decoded.sizeBytes());
                                             state.ResumeTiming();
                                             const Picture picture = Picture::FromPixels(std::move(decoded)).value();
                                             DrawPreview(layout, {picture, picture.widthTwips(15), picture.heightTwips(15)}, target);
                                             benchmark::DoNotOptimize(target.pixels().data());
                                         }
                                     })
            ->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.2);
    }
    benchmark::RegisterBenchmark("Write/Skin1024", [](benchmark::State& state) {
        const Picture& picture = CachedPicture(200, 40);
        SkinLayout layout;
        Surface final;
        ApplyResolution(final, 3);
        ComposeFinal(layout, {picture, 3000, 600}, final);
        const auto path = (std::filesystem::temp_directory_path() / "tess-bench-Skin.bmp").string();
        for (auto _ : state)
            if (!platform::WriteBitmap(platform::SystemFileSystem(), final, path).ok())
                state.SkipWithError("the bitmap could not be written");
        std::filesystem::remove(path);
    })->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.2);
}

// Passes everything to the display reporter that Google Benchmark builds from its flags
// (--benchmark_format and the colour flags), and keeps every run's median (or only time) so that
// the reference ratios can be printed at the end: after the console table on standard output,
// and on standard error beside JSON or CSV, which must stay readable by their parsers.
class RatioReporter : public benchmark::BenchmarkReporter {
public:
    RatioReporter() : display_(benchmark::CreateDefaultDisplayReporter()) {}

    bool ReportContext(const Context& context) override { return display_->ReportContext(context); }
    void ReportRuns(const std::vector<Run>& runs) override {
        display_->ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && !times_.count(run.run_name.function_name)))
                times_[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }
    void Finalize() override { display_->Finalize(); }

    void PrintRatios() const {
        const bool console = dynamic_cast<const benchmark::ConsoleReporter*>(display_.get()) != nullptr;
        std::FILE* out = console ? stdout : stderr;
        for (const char* name : {"Tile32x32At5", "Tile1x1At5"}) {
            auto ref = times_.find(std::string("Reference/") + name);
            auto fast = times_.find(std::string("Preview/") + name);
            if (ref != times_.end() && fast != times_.end() && fast->second > 0)
                std::fprintf(out, "Reference/Preview ratio %s: %.0f\n", name, ref->second / fast->second);
        }
    }

private:
    std::unique_ptr<benchmark::BenchmarkReporter> display_;
    std::map<std::string, double> times_;
};

long PeakKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// Peak resident memory while the 1600 × 5000 picture is drawn, against the decoded size.
int MeasureMemory() {
    Picture picture;
    {
        const auto rgba = PhotoRgba(1600, 5000);
        picture = Picture::FromRgba(1600, 5000, rgba.data()).value();
    }
    const double decodedMiB = 1600.0 * 5000 * 4 / (1 << 20);
    std::ofstream("/proc/self/clear_refs") << "5";  // restart the peak from the current use
    const SourcePicture source{picture, 24000, 75000};
    for (LayoutMode mode : {LayoutMode::Tile, LayoutMode::Single, LayoutMode::Stretch}) {
        SkinLayout layout;
        layout.mode = mode;
        layout.values = {5, 5, 0, 0};
        Surface target = MakePreviewSurface();
        DrawPreview(layout, source, target);
        Surface final;
        ApplyResolution(final, 3);
        ComposeFinal(layout, source, final);
    }
    const double peakMiB = PeakKiB() / 1024.0;
    const double limitMiB = 3 * decodedMiB + 32;
    std::printf("Peak memory drawing 1600x5000: %.1f MiB (decoded RGBA %.1f MiB, picture %.1f MiB, "
                "%.2f bytes a pixel, limit %.1f MiB): %s\n",
                peakMiB, decodedMiB, picture.memoryBytes() / double(1 << 20),
                picture.memoryBytes() / (1600.0 * 5000), limitMiB,
                peakMiB <= limitMiB ? "within" : "OVER");
    return peakMiB <= limitMiB ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--memory") == 0)
            return MeasureMemory();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RegisterAll();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
