#pragma once

#include "model/levels.h"
#include "texts/texts.h"
#include "view/chartpainter.h"

#include <QByteArray>
#include <QFont>
#include <QImage>

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace dim::bench {

using BenchClock = std::chrono::steady_clock;

inline double MicrosecondsBetween(BenchClock::time_point from, BenchClock::time_point to) {
    return std::chrono::duration<double, std::micro>(to - from).count();
}

// The middle value (the mean of the two middle ones for an even count); 0 when empty.
double Median(std::vector<double> values);

// The floor a chart paint is held against: copying the same pixels the way the paint must,
// row by row from a buffer as large as the sprite sheet (or the chart, where that is wider or
// taller) into one of the chart's size. Both buffers are allocated and touched beforehand,
// and each timed copy is meant to alternate with a timed paint, so that both run with the
// caches in the same state (each after the other) and under the same load.
class CopyFloor {
public:
    CopyFloor(int width, int height);
    // Copies `rows` rows of the chart's width to row `top`, the time in microseconds.
    double Time(int top, int rows);
    // What the floor is, for the benchmark's output.
    std::string Describe(int rows) const;

private:
    int m_width;
    int m_height;
    int m_sourceWidth;
    int m_sourceHeight;
    std::vector<unsigned char> m_source;
    std::vector<unsigned char> m_target;
};

// The sprite sheet file of the source tree, read once.
const QByteArray &SheetBytes();

// The sprite sheet decoded once; a null image when the file is missing or corrupt.
const QImage &SheetImage();

// Daylight curves for channels 1..4 over columns 0..95: a broad white bell, a wider and
// earlier blue one, a ragged cloud channel and a low moon at night.
void FillDaylightCurves(CurveData &data);

// Everything one chart paint needs, set up the way the editor's window does it.
struct PaintScene {
    explicit PaintScene(int width, int height);

    PaintInputs Inputs() const;

    QImage surface;
    ChartState state;
    CurveData data;
    TextTable texts;
    QFont captionFont;
    QRgb windowText = 0;
    QRgb buttonFace = 0;
};

} // namespace dim::bench
