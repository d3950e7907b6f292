#include "edit/pointer.h"

#include "texts/figures.h"

#include <algorithm>

namespace dim {

QString ColumnTime(int column) {
    return ClockTime(column * MinutesPerColumn);
}

QString StatusText(const CursorState &cursor, int storedLevel, const TextTable &texts,
                   int language) {
    if (cursor.CursorColumn >= 96)
        return {};
    QString text;
    text.reserve(64);
    text += QLatin1String("    ");
    text += ChannelName(texts, language, cursor.CursorChannel);
    text += QLatin1String("  ");
    text += ColumnTime(cursor.CursorColumn);
    text += QLatin1String("     ");
    text += GetText(texts, language, SlotCursorLabel);
    text += QLatin1String(": ");
    text += QString::number(LevelPercent(cursor.CursorLevel));
    text += QLatin1String("%     ");
    text += GetText(texts, language, SlotPointLabel);
    text += QLatin1String(": ");
    text += QString::number(LevelPercent(storedLevel));
    text += QLatin1Char('%');
    return text;
}

std::optional<QString> TrackPointer(CursorState &cursor, const Geometry &geometry,
                                    const LevelTable &levels, const TextTable &texts, int language,
                                    int x, int y) {
    const std::optional<PointerHit> hit = geometry.LocatePointer(x, y);
    if (!hit)
        return std::nullopt;
    // LocatePointer keeps an accepted hit inside the table: channel 1..ChannelCount (at
    // most 10), column 0..255.
    const int stored = levels[static_cast<size_t>(hit->channel)][static_cast<size_t>(hit->column)];
    QString text = StatusText(cursor, stored, texts, language);
    cursor.CursorColumn = hit->column;
    cursor.CursorChannel = hit->channel;
    cursor.CursorLevel = hit->level;
    return text;
}

PointerResult PointerEvent(CursorState &cursor, const Geometry &geometry, CurveDocument &document,
                           const TextTable &texts, int language, bool leftHeld, int x, int y) {
    PointerResult result;
    if (leftHeld)
        result.dirtyBand = std::clamp(y / geometry.BandHeight, 0, DirtyFlagCount - 1);
    result.status = TrackPointer(cursor, geometry, document.Levels(), texts, language, x, y);
    if (leftHeld && result.status) {
        document.writeStrokeCell(cursor.CursorChannel, cursor.CursorColumn, cursor.CursorLevel);
        result.wrote = true;
    }
    return result;
}

} // namespace dim
