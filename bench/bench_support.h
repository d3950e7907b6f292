#pragma once

#include "model/levels.h"
#include "texts/texts.h"
#include "view/chartpainter.h"

#include <QByteArray>
#include <QFont>
#include <QImage>

#include <chrono>
#include <cstddef>
#include <vector>

using BenchClock = std::chrono::steady_clock;

inline double MicrosecondsBetween(BenchClock::time_point from, BenchClock::time_point to) {
    return std::chrono::duration<double, std::micro>(to - from).count();
}

// The middle value (the mean of the two middle ones for an even count); 0 when empty.
double Median(std::vector<double> values);

// The median time, in microseconds, of `repetitions` memcpy calls of `bytes` bytes between
// two buffers allocated and touched beforehand.
double MemcpyMicroseconds(std::size_t bytes, int repetitions = 41);

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
