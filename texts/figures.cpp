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
    bool digits = false;
    for (const QChar c : number) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits = true;
        else if (c != QLatin1Char('.'))
            return std::nullopt;
    }
    if (!digits)
        return std::nullopt;
    // A second point is refused here.
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace dim
