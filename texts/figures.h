#pragma once

#include <QString>

#include <optional>

namespace dim {

// The figures the editor shows, written as the language in force writes them.

// A time of day in minutes as hours and minutes, "H:MM": 0 is "0:00", 390 "6:30", 1440 "24:00".
QString ClockTime(int minutes);

// A number with a fixed count of decimals, rounded to the nearest, and the decimal separator of
// a row of the language list: a comma in German, French and Spanish, a point in English.
QString DecimalFigure(double value, int decimals, int language);

// A number typed into a field: digits with at most one decimal point or comma, spaces around
// them allowed. Anything else (a sign, an exponent, a thousands separator, nothing) is
// refused: no value.
std::optional<double> ParseFigure(const QString &text);

} // namespace dim
