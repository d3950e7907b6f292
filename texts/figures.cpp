#include "texts/figures.h"

#include <cmath>

namespace dim {

QString ClockTime(int minutes) {
    // Written out by hand: the status line asks for it on every pointer move.
    const int minute = minutes % 60;
    QString text = QString::number(minutes / 60);
    text += QLatin1Char(':');
    text += QLatin1Char(static_cast<char>('0' + minute / 10));
    text += QLatin1Char(static_cast<char>('0' + minute % 10));
    return text;
}

QString DecimalFigure(double value, int decimals, int language) {
    QString text = QString::number(value, 'f', decimals);
    if (language != 1)
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

std::optional<double> ParseFigure(const QString &text) {
    QString number = text.trimmed();
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    int digits = 0;
    int points = 0;
    for (const QChar c : number) {
        if (c == QLatin1Char('.'))
            ++points;
        else if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            ++digits;
        else
            return std::nullopt;
    }
    if (digits == 0 || points > 1)
        return std::nullopt;
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace dim
