// Pointer handling over the chart: one whole event, and the two mappings under it.

#include "bench_support.h"

#include "edit/charteditor.h"
#include "edit/document.h"
#include "edit/pointer.h"
#include "view/chartpainter.h"
#include "view/geometry.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <random>

using namespace dim;
using namespace dim::bench;

namespace {

constexpr int kWindowWidth = 1652;
constexpr int kWindowHeight = 1050;
constexpr std::size_t kPositions = 1024; // a power of two, for the cycling mask

struct Position {
    int x;
    int y;
};

// Fixed pseudo-random positions within the given box.
std::array<Position, kPositions> Positions(int width, int height) {
    std::mt19937 random(20240611u);
    std::uniform_int_distribution<int> xs(0, width - 1);
    std::uniform_int_distribution<int> ys(0, height - 1);
    std::array<Position, kPositions> positions{};
    for (Position &p : positions)
        p = {xs(random), ys(random)};
    return positions;
}

Geometry WindowGeometry() {
    Geometry g;
    g.UpdateLayout(kWindowWidth, kWindowHeight, FilePoints, FileChannels);
    return g;
}

// Sets counter `name` to the mean time per iteration of the loop between t0 and t1.
double ReportNanoseconds(benchmark::State &state, BenchClock::time_point t0,
                         BenchClock::time_point t1, const char *name) {
    const double ns =
        MicrosecondsBetween(t0, t1) * 1000.0 / static_cast<double>(state.iterations());
    state.counters[name] = ns;
    return ns;
}

// One pointer move with the left button through the chart editor, as the window hands it on:
// mapping, status text, one table write, and the band's repaint flag.
void BM_PointerEvent(benchmark::State &state) {
    ChartState chart;
    chart.geometry = WindowGeometry();
    Settings settings;
    CurveData data;
    FillDaylightCurves(data);
    // The edits go into the document's open stroke, as a drag's do.
    CurveDocument document;
    document.change(data.Levels, FileSettings(), ToolText::Paste);
    TextTable texts;
    FillTexts(texts);
    CursorState cursor;
    ChartEditor editor(document, cursor, chart.geometry, settings, texts);
    QObject::connect(&editor, &ChartEditor::bandTouched,
                     [&chart](int flag) { chart.BandDirty[static_cast<std::size_t>(flag)] = 1; });
    QString status;
    QObject::connect(&editor, &ChartEditor::statusTextChanged,
                     [&status](const QString &text) { status = text; });
    // Over the plotted columns and the bands, as a drag across the curves would go.
    const auto positions =
        Positions(chart.geometry.ChartWidth, FileChannels * chart.geometry.BandHeight);

    std::size_t i = 0;
    const auto t0 = BenchClock::now();
    for (auto _ : state) {
        const Position p = positions[i];
        i = (i + 1) & (kPositions - 1);
        editor.pointerMoved(Qt::LeftButton, Qt::NoModifier, p.x, p.y, true);
        benchmark::DoNotOptimize(status);
    }
    const auto t1 = BenchClock::now();
    document.endStroke();
    const double ns = ReportNanoseconds(state, t0, t1, "ns_per_event");
    state.counters["target_met"] = ns < 5000.0 ? 1.0 : 0.0;
}

void BM_LocatePointer(benchmark::State &state) {
    const Geometry g = WindowGeometry();
    // The whole chart box, the axis strip and the spare rows below it included, so that
    // some positions are rejected.
    const auto positions = Positions(kWindowWidth, kWindowHeight);

    std::size_t i = 0;
    const auto t0 = BenchClock::now();
    for (auto _ : state) {
        const Position p = positions[i];
        i = (i + 1) & (kPositions - 1);
        auto hit = g.LocatePointer(p.x, p.y);
        benchmark::DoNotOptimize(hit);
    }
    const auto t1 = BenchClock::now();
    ReportNanoseconds(state, t0, t1, "ns");
}

void BM_MapPoint(benchmark::State &state) {
    Geometry g = WindowGeometry();
    CurveData data;
    FillDaylightCurves(data);

    int channel = 1;
    int column = 0;
    const auto t0 = BenchClock::now();
    for (auto _ : state) {
        g.MapPoint(
            channel, column,
            data.Levels[static_cast<std::size_t>(channel)][static_cast<std::size_t>(column)]);
        benchmark::DoNotOptimize(g.PointX);
        benchmark::DoNotOptimize(g.PointY);
        if (++column == FilePoints) {
            column = 0;
            channel = channel == FileChannels ? 1 : channel + 1;
        }
    }
    const auto t1 = BenchClock::now();
    ReportNanoseconds(state, t0, t1, "ns");
}

} // namespace

BENCHMARK(BM_PointerEvent)->MinTime(0.3);
BENCHMARK(BM_LocatePointer)->MinTime(0.2);
BENCHMARK(BM_MapPoint)->MinTime(0.2);
