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

namespace dim::bench {

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

CopyFloor::CopyFloor(int width, int height)
    : m_width(width), m_height(height), m_sourceWidth(std::max(width, SheetWidth)),
      m_sourceHeight(std::max(height, SheetHeight)),
      m_source(static_cast<std::size_t>(m_sourceWidth) * m_sourceHeight * 4u),
      m_target(static_cast<std::size_t>(width) * height * 4u) {
    // Fault every page in and give the source some content before timing anything.
    for (std::size_t i = 0; i < m_source.size(); ++i)
        m_source[i] = static_cast<unsigned char>(i * 131u);
    std::memset(m_target.data(), 0, m_target.size());
    Time(0, height);
}

double CopyFloor::Time(int top, int rows) {
    const std::size_t sourcePitch = static_cast<std::size_t>(m_sourceWidth) * 4u;
    const std::size_t targetPitch = static_cast<std::size_t>(m_width) * 4u;
    rows = std::min(rows, m_height - top);
    unsigned char *const target = m_target.data() + static_cast<std::size_t>(top) * targetPitch;
    const unsigned char *const source =
        m_source.data() + static_cast<std::size_t>(top) * sourcePitch;
    benchmark::DoNotOptimize(target);
    benchmark::DoNotOptimize(source);
    const auto t0 = BenchClock::now();
    for (int y = 0; y < rows; ++y)
        std::memcpy(target + static_cast<std::size_t>(y) * targetPitch,
                    source + static_cast<std::size_t>(y) * sourcePitch, targetPitch);
    benchmark::ClobberMemory();
    const auto t1 = BenchClock::now();
    return MicrosecondsBetween(t0, t1);
}

std::string CopyFloor::Describe(int rows) const {
    return "floor=row memcpy of " + std::to_string(m_width) + "x" + std::to_string(rows) + " px, " +
           std::to_string(m_sourceWidth) + "x" + std::to_string(m_sourceHeight) + " source to " +
           std::to_string(m_width) + "x" + std::to_string(m_height) +
           " target, alternating with the paints";
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
    // As the editor paints: default view settings (96 points, 4 channels), German captions.
    return EditorPaintInputs(SheetImage(), data.Levels, Settings(), texts, 0,
                             QGuiApplication::palette());
}

} // namespace dim::bench
