// Chart paints against the cost of merely copying the pixels they cover.

#include "bench_support.h"

#include <QRegion>

#include <benchmark/benchmark.h>

#include <vector>

using namespace dim;
using namespace dim::bench;

namespace {

constexpr int kWindowWidth = 1652;
constexpr int kWindowHeight = 1050;

// One timed paint, in microseconds.
double TimedPaint(PaintScene &scene, bool full) {
    const PaintInputs inputs = scene.Inputs();
    const auto t0 = BenchClock::now();
    QRegion changed = PaintCurves(scene.surface, scene.state, inputs, full);
    benchmark::DoNotOptimize(changed);
    benchmark::DoNotOptimize(scene.surface.constBits());
    benchmark::ClobberMemory();
    const auto t1 = BenchClock::now();
    return MicrosecondsBetween(t0, t1);
}

bool SheetReady(benchmark::State &state) {
    if (SheetImage().isNull()) {
        state.SkipWithError("resources/sheet.jpg could not be read or decoded");
        return false;
    }
    return true;
}

void BM_FullPaint(benchmark::State &state) {
    if (!SheetReady(state))
        return;
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    PaintScene scene(width, height);
    TimedPaint(scene, true); // lays out the geometry, keeps the captions
    CopyFloor floor(width, height);

    std::vector<double> paint;
    std::vector<double> copy;
    for (auto _ : state) {
        paint.push_back(TimedPaint(scene, true));
        state.PauseTiming();
        copy.push_back(floor.Time(0, height));
        state.ResumeTiming();
    }

    const double paintUs = Median(std::move(paint));
    const double floorUs = Median(std::move(copy));
    const double ratio = paintUs / floorUs;
    state.SetLabel(floor.Describe(height));
    state.counters["paint_us"] = paintUs;
    state.counters["floor_us"] = floorUs;
    state.counters["ratio"] = ratio;
    state.counters["target_met"] = ratio <= 4.0 ? 1.0 : 0.0;
}

void BM_PartialPaintOneBand(benchmark::State &state) {
    if (!SheetReady(state))
        return;
    PaintScene scene(kWindowWidth, kWindowHeight);
    TimedPaint(scene, true);
    CopyFloor floor(kWindowWidth, kWindowHeight);
    const int bandHeight = scene.state.geometry.BandHeight;

    std::vector<double> paint;
    std::vector<double> copy;
    for (auto _ : state) {
        // The whole band is redrawn, as after the band below was painted over it; a band
        // whose levels moved in a few columns only costs a fraction of this.
        scene.state.BandDirty[1] = 1;
        scene.state.painted[2].valid = false;
        paint.push_back(TimedPaint(scene, false));
        state.PauseTiming();
        copy.push_back(floor.Time(bandHeight, bandHeight));
        state.ResumeTiming();
    }

    const double paintUs = Median(std::move(paint));
    const double floorUs = Median(std::move(copy));
    const double ratio = paintUs / floorUs;
    state.SetLabel(floor.Describe(bandHeight));
    state.counters["paint_us"] = paintUs;
    state.counters["floor_us"] = floorUs;
    state.counters["ratio"] = ratio;
    state.counters["target_met"] = ratio <= 4.0 ? 1.0 : 0.0;
}

void BM_PartialPaintClean(benchmark::State &state) {
    if (!SheetReady(state))
        return;
    PaintScene scene(kWindowWidth, kWindowHeight);
    TimedPaint(scene, true); // also clears every band's flag

    std::vector<double> paint;
    for (auto _ : state)
        paint.push_back(TimedPaint(scene, false));

    constexpr int kFullPaints = 21;
    std::vector<double> full;
    for (int i = 0; i < kFullPaints; ++i)
        full.push_back(TimedPaint(scene, true));

    const double paintUs = Median(std::move(paint));
    const double fullUs = Median(std::move(full));
    const double ratio = paintUs / fullUs;
    state.counters["paint_us"] = paintUs;
    state.counters["full_us"] = fullUs;
    state.counters["full_ratio"] = ratio;
    state.counters["target_met"] = ratio < 0.1 ? 1.0 : 0.0;
}

} // namespace

BENCHMARK(BM_FullPaint)
    ->Args({kWindowWidth, kWindowHeight})
    ->Args({3640, 2100})
    ->ArgNames({"w", "h"})
    ->MinTime(0.5)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PartialPaintOneBand)->MinTime(0.5)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PartialPaintClean)->MinTime(0.3)->UseRealTime()->Unit(benchmark::kMicrosecond);
