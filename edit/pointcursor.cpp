#include "edit/pointcursor.h"

#include "edit/curvetools.h"
#include "edit/pointer.h"

#include <algorithm>

namespace dim {

PointKeyResult ApplyPointKey(PointCursor &cursor, int key, bool shift, const LevelTable &levels) {
    const int level =
        levels[static_cast<size_t>(cursor.channel)][static_cast<size_t>(cursor.column)];
    PointKeyResult result{true, std::nullopt};
    auto moveTo = [&cursor](int channel, int column) {
        cursor.channel = std::clamp(channel, 1, FileChannels);
        cursor.column = std::clamp(column, 0, FilePoints - 1);
        cursor.typed.clear();
    };
    auto setLevel = [&result](int value) { result.level = std::clamp(value, 0, MaxLevel); };
    cursor.refused = false;
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        if (cursor.typed.size() < 3)
            cursor.typed += QChar(u'0' + (key - Qt::Key_0));
        return result;
    }
    switch (key) {
    case Qt::Key_Left:
        moveTo(cursor.channel, cursor.column - 1);
        break;
    case Qt::Key_Right:
        moveTo(cursor.channel, cursor.column + 1);
        break;
    case Qt::Key_PageUp:
        moveTo(cursor.channel - 1, cursor.column);
        break;
    case Qt::Key_PageDown:
        moveTo(cursor.channel + 1, cursor.column);
        break;
    case Qt::Key_Up:
        setLevel(level + (shift ? 10 : 1));
        break;
    case Qt::Key_Down:
        setLevel(level - (shift ? 10 : 1));
        break;
    case Qt::Key_Home:
        setLevel(MaxLevel);
        break;
    case Qt::Key_End:
        setLevel(0);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (cursor.typed.isEmpty())
            return {false, std::nullopt};
        if (cursor.typed.toInt() > 100)
            cursor.refused = true;
        else
            setLevel(LevelOfPercent(cursor.typed.toInt()));
        cursor.typed.clear();
        break;
    case Qt::Key_Escape:
        if (cursor.typed.isEmpty())
            return {false, std::nullopt};
        cursor.typed.clear();
        break;
    default:
        return {false, std::nullopt};
    }
    return result;
}

PointCursor StartPointCursor(int channel, int column) {
    PointCursor cursor;
    if (IsFilePoint(channel, column)) {
        cursor.channel = channel;
        cursor.column = column;
    }
    return cursor;
}

QString PointDescription(const TextTable &texts, int language, int channel, int column, int level) {
    return ChannelName(texts, language, channel).trimmed() + QLatin1Char(' ') + ColumnTime(column) +
           QLatin1Char(' ') + QString::number(LevelPercent(level)) + QLatin1Char('%');
}

} // namespace dim
