#include "bench_support.h"

#include "view/fonts.h"
#include "view/sheet.h"

#include <QFile>
#include <QGuiApplication>
#include <QPalette>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

double Median(std::vector<double> values) {
    if (values.empty())
        return 0.0;
    const auto mid = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), mid, values.end());
    if (values.size() % 2 != 0)
        return *mid;
    const double upper = *mid;
    const double lower = *std::max_element(values.begin(), mid);
    return (lower + upper) / 2.0;
}

double MemcpyMicroseconds(std::size_t bytes, int repetitions) {
    const auto src = std::make_unique<unsigned char[]>(bytes);
    const auto dst = std::make_unique<unsigned char[]>(bytes);
    // Fault every page in and give the source some content before timing anything.
    for (std::size_t i = 0; i < bytes; ++i)
        src[i] = static_cast<unsigned char>(i * 131u);
    std::memset(dst.get(), 0, bytes);
    std::memcpy(dst.get(), src.get(), bytes);
    benchmark::ClobberMemory();

    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(repetitions));
    for (int r = 0; r < repetitions; ++r) {
        unsigned char *const target = dst.get();
        const unsigned char *const source = src.get();
        benchmark::DoNotOptimize(target);
        benchmark::DoNotOptimize(source);
        const auto t0 = BenchClock::now();
        std::memcpy(target, source, bytes);
        benchmark::ClobberMemory();
        const auto t1 = BenchClock::now();
        times.push_back(MicrosecondsBetween(t0, t1));
    }
    benchmark::DoNotOptimize(dst[bytes / 2]);
    return Median(std::move(times));
}

const QByteArray &SheetBytes() {
    static const QByteArray bytes = [] {
        QFile file(QStringLiteral(DIM_SOURCE_DIR "/resources/sheet.jpg"));
        if (!file.open(QIODevice::ReadOnly))
            return QByteArray();
        return file.readAll();
    }();
    return bytes;
}

const QImage &SheetImage() {
    static const QImage sheet = DecodeJpeg(SheetBytes());
    return sheet;
}

void FillDaylightCurves(CurveData &data) {
    const auto bell = [](int column, double centre, double width, double peak) {
        const double d = (column - centre) / width;
        return peak * std::exp(-d * d);
    };
    for (int k = 0; k < FilePoints; ++k) {
        // White: from about 8:00 to 20:00, peaking at 14:00.
        double white = bell(k, 56.0, 13.0, 255.0);
        // Blue: earlier and wider, so it dawns before the white and lingers after it.
        double blue = bell(k, 52.0, 18.0, 200.0);
        // Clouds: the white bell cut by a few passing dips.
        double clouds = bell(k, 58.0, 11.0, 180.0) * (0.75 + 0.25 * std::cos(k * 1.7));
        // Moon: a low glow around midnight.
        double moon = std::max(bell(k, 0.0, 10.0, 40.0), bell(k, 96.0, 10.0, 40.0));
        const auto put = [&](int channel, double level) {
            data.Levels[static_cast<std::size_t>(channel)][static_cast<std::size_t>(k)] =
                std::clamp(static_cast<int>(std::lround(level)), 0, MaxLevel);
        };
        put(1, white < 3.0 ? 0.0 : white);
        put(2, blue < 3.0 ? 0.0 : blue);
        put(3, clouds < 3.0 ? 0.0 : clouds);
        put(4, moon);
    }
}

PaintScene::PaintScene(int width, int height)
    : surface(width, height, QImage::Format_RGB32), captionFont(CaptionFont()) {
    FillDaylightCurves(data);
    FillTexts(texts);
    const QPalette palette = QGuiApplication::palette();
    windowText = palette.color(QPalette::WindowText).rgb();
    buttonFace = palette.color(QPalette::Button).rgb();
    surface.fill(buttonFace);
}

PaintInputs PaintScene::Inputs() const {
    return PaintInputs{SheetImage(), data.Levels, FilePoints, FileChannels,
                       captionFont,  windowText,  buttonFace, BandCaptions(texts, 0)};
}
