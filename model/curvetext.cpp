#include "model/curvetext.h"

#include "texts/texts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>

namespace dim {

namespace {

// The channels of a curve file in file order (rows 1..4 of the level table), under the
// names the text formats give them.
const std::array<QString, FileChannels> kChannelNames{
    QStringLiteral("white"), QStringLiteral("blue"), QStringLiteral("clouds"),
    QStringLiteral("moon")};

const QString kCsvHeader = QStringLiteral("time,white,blue,clouds,moon");

// The three settings a curve file stores, under their JSON keys.
struct StoredSetting {
    QString key;
    ScrollSetting FileSettings::*member;
};
const std::array<StoredSetting, 3> kStoredSettings{
    StoredSetting{QStringLiteral("cloudSpeed"), &FileSettings::SBWolkenT},
    StoredSetting{QStringLiteral("cloudIntensity"), &FileSettings::SBWolkenA},
    StoredSetting{QStringLiteral("moonChange"), &FileSettings::SBMondA}};

// The problem with the time of row `column`, empty when it is the expected quarter-hour.
QString TimeProblem(QStringView text, int column) {
    const std::optional<int> minutes = ParseTimeOfDay(text);
    if (!minutes)
        return QStringLiteral("malformed time \"%1\" (expected HH:MM)")
            .arg(ShownInput(text.toString()));
    if (*minutes != column * MinutesPerColumn)
        return QStringLiteral("expected time %1, found %2")
            .arg(QuarterHourText(column), ShownInput(text.toString()));
    return {};
}

// A level or the problem with it.
using LevelOrProblem = std::variant<int, QString>;

// The name of a level in a message: "white level".
QString LevelName(size_t channel) {
    return kChannelNames[channel] + QStringLiteral(" level");
}

LevelOrProblem CsvLevel(size_t channel, QStringView text) {
    const LevelField field = ReadLevelField(text);
    switch (field.problem) {
    case LevelProblem::None:
        break;
    case LevelProblem::NotNumber:
        return QStringLiteral("%1 \"%2\" is not an integer")
            .arg(LevelName(channel), ShownInput(text.toString()));
    case LevelProblem::OutOfRange:
        return QStringLiteral("%1 %2 is out of range 0..%3")
            .arg(LevelName(channel), ShownInput(text.toString()))
            .arg(MaxLevel);
    }
    return field.value;
}

// The fields of a CSV line, trimmed, as views into the line: a row costs no allocation. One
// empty field after the last (a trailing comma, as some spreadsheets write) is dropped; past
// the one after that, fields are only counted.
struct CsvRow {
    std::array<QStringView, 1 + FileChannels + 1> fields;
    qsizetype count = 0;
    QStringView operator[](qsizetype i) const { return fields[static_cast<size_t>(i)]; }
};
CsvRow CsvFields(QStringView line) {
    CsvRow row;
    for (;;) {
        const qsizetype comma = line.indexOf(QLatin1Char(','));
        if (row.count < static_cast<qsizetype>(row.fields.size()))
            row.fields[static_cast<size_t>(row.count)] =
                line.left(comma < 0 ? line.size() : comma).trimmed();
        ++row.count;
        if (comma < 0)
            break;
        line = line.mid(comma + 1);
    }
    if (row.count == 1 + FileChannels + 1 && row.fields.back().isEmpty())
        --row.count;
    return row;
}

// How a JSON value is named in a message.
QString Shown(const QJsonValue &value) {
    switch (value.type()) {
    case QJsonValue::Double:
        return QString::number(value.toDouble(), 'g', 17);
    case QJsonValue::String:
        return QLatin1Char('"') + ShownInput(value.toString()) + QLatin1Char('"');
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Array:
        return QStringLiteral("(an array)");
    case QJsonValue::Object:
        return QStringLiteral("(an object)");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("(undefined)");
}

// An integer min..max, or the problem with it; `what` names the value in a message, and is
// only made for one.
template <typename What>
LevelOrProblem JsonInteger(const What &what, const QJsonValue &value, int min, int max) {
    const double number = value.toDouble();
    if (!value.isDouble() || !std::isfinite(number) || number != std::trunc(number))
        return QStringLiteral("%1 %2 is not an integer").arg(what(), Shown(value));
    if (number < min || number > max)
        return QStringLiteral("%1 %2 is out of range %3..%4")
            .arg(what(), Shown(value))
            .arg(min)
            .arg(max);
    return static_cast<int>(number);
}

// Appends a decimal number.
void AppendNumber(QByteArray &text, int value) {
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text.append(digits, end - digits);
}

// Appends "HH:MM" of quarter-hour column k.
void AppendQuarterHour(QByteArray &text, int column) {
    const int hour = ColumnHour(column), minute = ColumnMinute(column);
    const char time[5] = {static_cast<char>('0' + hour / 10), static_cast<char>('0' + hour % 10),
                          ':', static_cast<char>('0' + minute / 10),
                          static_cast<char>('0' + minute % 10)};
    text.append(time, 5);
}

bool IsSeparator(QChar ch) {
    return ch.isSpace() || ch == QLatin1Char(',') || ch == QLatin1Char(';');
}

bool IsDigit(QChar ch) {
    return ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
}

// The field starting at start: up to the next separator, at most limit characters.
QString FieldAt(const QString &text, qsizetype start, qsizetype limit = MaxLevelField) {
    qsizetype end = start;
    while (end < text.size() && end - start < limit && !IsSeparator(text[end]))
        ++end;
    return text.mid(start, end - start);
}

qsizetype SkipSpace(const QString &text, qsizetype i) {
    while (i < text.size() && text[i].isSpace())
        ++i;
    return i;
}

ImportError AtLine(int line, const QString &problem) {
    return ImportError{QStringLiteral("line %1").arg(line), problem};
}

} // namespace

LevelField ReadLevelField(QStringView text) {
    qsizetype i = 0;
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative || text.startsWith(QLatin1Char('+')))
        ++i;
    if (i == text.size())
        return {LevelProblem::NotNumber, 0};
    int value = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i]))
            return {LevelProblem::NotNumber, 0};
        value = std::min(value * 10 + (text[i].unicode() - u'0'), MaxLevel + 1);
    }
    if (text.size() > MaxLevelField || value > MaxLevel || (negative && value > 0))
        return {LevelProblem::OutOfRange, 0};
    return {LevelProblem::None, value};
}

QString ImportError::message() const {
    return location.isEmpty() ? problem : location + QStringLiteral(": ") + problem;
}

std::optional<int> ParseTimeOfDay(QStringView text) {
    if (text.size() != 5 || text[2] != QLatin1Char(':'))
        return std::nullopt;
    for (const qsizetype i : {0, 1, 3, 4}) {
        if (!IsDigit(text[i]))
            return std::nullopt;
    }
    const auto digit = [&](qsizetype i) { return text[i].unicode() - u'0'; };
    const int hour = digit(0) * 10 + digit(1);
    const int minute = digit(3) * 10 + digit(4);
    if (hour > 23 || minute > 59)
        return std::nullopt;
    return hour * 60 + minute;
}

QString QuarterHourText(int column) {
    return QStringLiteral("%1:%2")
        .arg(ColumnHour(column), 2, 10, QLatin1Char('0'))
        .arg(ColumnMinute(column), 2, 10, QLatin1Char('0'));
}

ImportResult ParseCurveCsv(const QByteArray &bytes) {
    const QString decoded = QString::fromUtf8(bytes);
    QStringView text(decoded);
    if (text.startsWith(QChar(0xfeff))) // a byte-order mark some spreadsheets write
        text = text.mid(1);
    QList<QStringView> lines = text.split(QLatin1Char('\n'));
    for (QStringView &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return AtLine(
            1, QStringLiteral("the file is empty; expected the header \"%1\"").arg(kCsvHeader));

    const CsvRow header = CsvFields(lines.front());
    bool headerMatches = header.count == 1 + FileChannels &&
                         header[0].compare(QLatin1String("time"), Qt::CaseInsensitive) == 0;
    for (size_t n = 0; headerMatches && n < FileChannels; ++n)
        headerMatches = header[static_cast<qsizetype>(n) + 1].compare(kChannelNames[n],
                                                                      Qt::CaseInsensitive) == 0;
    if (!headerMatches)
        return AtLine(1, QStringLiteral("bad header \"%1\"; expected \"%2\"")
                             .arg(ShownInput(lines.front().trimmed().toString()), kCsvHeader));

    DimContent content;
    content.settings = FileSettings(); // CSV carries none: the defaults
    const int rows = static_cast<int>(lines.size()) - 1;
    for (int k = 0; k < rows; ++k) {
        const int line = k + 2;
        if (k == FilePoints)
            return AtLine(line, QStringLiteral("more than %1 data rows").arg(FilePoints));
        const CsvRow fields = CsvFields(lines[k + 1]);
        if (fields.count != 1 + FileChannels)
            return AtLine(line, QStringLiteral("expected %1 columns, found %2")
                                    .arg(1 + FileChannels)
                                    .arg(fields.count));
        if (const QString problem = TimeProblem(fields[0], k); !problem.isEmpty())
            return AtLine(line, problem);
        for (size_t n = 0; n < FileChannels; ++n) {
            const LevelOrProblem level = CsvLevel(n, fields[static_cast<qsizetype>(n) + 1]);
            if (const auto *problem = std::get_if<QString>(&level))
                return AtLine(line, *problem);
            content.levels[n][static_cast<size_t>(k)] = static_cast<uint8_t>(std::get<int>(level));
        }
    }
    if (rows < FilePoints)
        return AtLine(static_cast<int>(lines.size()) + 1,
                      QStringLiteral("the file ends after %1 data rows; expected %2")
                          .arg(rows)
                          .arg(FilePoints));
    return content;
}

ImportResult ParseCurveJson(const QByteArray &bytes) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return ImportError{QStringLiteral("offset %1").arg(parseError.offset),
                           QStringLiteral("bad JSON: ") + parseError.errorString()};
    if (!document.isObject())
        return ImportError{{}, QStringLiteral("the JSON document is not an object")};
    const QJsonObject root = document.object();

    DimContent content;
    FileSettings settings;
    for (const StoredSetting &stored : kStoredSettings) {
        if (!root.contains(stored.key))
            return ImportError{{}, QStringLiteral("missing key \"%1\"").arg(stored.key)};
        ScrollSetting &setting = settings.*stored.member;
        const LevelOrProblem value = JsonInteger([&] { return stored.key; }, root.value(stored.key),
                                                 setting.Min, setting.Max);
        if (const auto *problem = std::get_if<QString>(&value))
            return ImportError{{}, *problem};
        setting.setPosition(std::get<int>(value));
    }
    content.settings = settings;

    const QString pointsKey = QStringLiteral("points");
    if (!root.contains(pointsKey))
        return ImportError{{}, QStringLiteral("missing key \"points\"")};
    if (!root.value(pointsKey).isArray())
        return ImportError{pointsKey, QStringLiteral("not an array")};
    const QJsonArray points = root.value(pointsKey).toArray();
    if (points.size() != FilePoints)
        return ImportError{
            pointsKey,
            QStringLiteral("expected %1 points, found %2").arg(FilePoints).arg(points.size())};
    for (int k = 0; k < FilePoints; ++k) {
        // The location of a problem, made only for one.
        const auto where = [k] { return QStringLiteral("points[%1]").arg(k); };
        if (!points.at(k).isObject())
            return ImportError{where(), QStringLiteral("not an object")};
        const QJsonObject point = points.at(k).toObject();
        const QString timeKey = QStringLiteral("time");
        if (!point.contains(timeKey))
            return ImportError{where(), QStringLiteral("missing key \"time\"")};
        if (!point.value(timeKey).isString())
            return ImportError{
                where(),
                QStringLiteral("time %1 is not a text \"HH:MM\"").arg(Shown(point.value(timeKey)))};
        if (const QString problem = TimeProblem(point.value(timeKey).toString(), k);
            !problem.isEmpty())
            return ImportError{where(), problem};
        for (size_t n = 0; n < FileChannels; ++n) {
            const QString &name = kChannelNames[n];
            const QJsonValue value = point.value(name);
            if (value.isUndefined())
                return ImportError{where(), QStringLiteral("missing key \"%1\"").arg(name)};
            const LevelOrProblem level =
                JsonInteger([n] { return LevelName(n); }, value, 0, MaxLevel);
            if (const auto *problem = std::get_if<QString>(&level))
                return ImportError{where(), *problem};
            content.levels[n][static_cast<size_t>(k)] = static_cast<uint8_t>(std::get<int>(level));
        }
    }
    return content;
}

QString CurveClipboardText(const DayCurve &curve) {
    QString text;
    text.reserve(FilePoints * 4);
    for (int c = 0; c < FilePoints; ++c) {
        if (c > 0)
            text += QLatin1Char(',');
        text += QString::number(curve[c]);
    }
    return text;
}

std::variant<DayCurve, ClipboardRefusal> ParseCurveClipboard(const QString &text) {
    DayCurve curve{};
    int count = 0;
    const auto refuse = [&](ClipboardProblem problem, qsizetype at, QString token = {}) {
        return ClipboardRefusal{problem, count, at, std::move(token)};
    };
    qsizetype i = SkipSpace(text, 0);
    if (i == text.size())
        return refuse(ClipboardProblem::Empty, 0);
    for (;;) {
        // A field is expected at i.
        if (i == text.size() || IsSeparator(text[i]))
            return refuse(ClipboardProblem::EmptyField, i);
        if (count == FilePoints)
            return refuse(ClipboardProblem::TooMany, i, FieldAt(text, i));
        // One character more than a field may have tells a field that is too long.
        const QString field = FieldAt(text, i, MaxLevelField + 1);
        const LevelField level = ReadLevelField(field);
        if (level.problem != LevelProblem::None)
            return refuse(level.problem == LevelProblem::NotNumber ? ClipboardProblem::NotNumber
                                                                   : ClipboardProblem::OutOfRange,
                          i, field.left(MaxLevelField));
        curve[count++] = level.value;
        // A separator: whitespace, or one comma or semicolon with optional whitespace around,
        // also after the last number.
        i = SkipSpace(text, i + field.size());
        if (i < text.size() && (text[i] == QLatin1Char(',') || text[i] == QLatin1Char(';')))
            i = SkipSpace(text, i + 1);
        if (i == text.size())
            break;
    }
    if (count < FilePoints)
        return refuse(ClipboardProblem::TooFew, text.size());
    return curve;
}

QByteArray CurveCsv(const CurveData &data) {
    QByteArray text;
    text.reserve(kCsvHeader.size() + 1 + FilePoints * (6 + FileChannels * 4 + 1));
    text += kCsvHeader.toLatin1() + '\n';
    for (int k = 0; k < FilePoints; ++k) {
        AppendQuarterHour(text, k);
        for (size_t n = 1; n <= FileChannels; ++n) {
            text += ',';
            AppendNumber(text, data.Levels[n][static_cast<size_t>(k)]);
        }
        text += '\n';
    }
    return text;
}

// Written as Qt's indented JSON writes the same document (keys in sorted order, four spaces
// a level), without building the document first.
QByteArray CurveJson(const CurveData &data, const FileSettings &settings) {
    QByteArray text;
    text.reserve(80 + FilePoints * 120);
    text += "{\n";
    const auto member = [&](const char *indent, const char *key, int value, const char *end) {
        text += indent;
        text += '"';
        text += key;
        text += "\": ";
        AppendNumber(text, value);
        text += end;
    };
    member("    ", "cloudIntensity", settings.SBWolkenA.position(), ",\n");
    member("    ", "cloudSpeed", settings.SBWolkenT.position(), ",\n");
    member("    ", "moonChange", settings.SBMondA.position(), ",\n");
    text += "    \"points\": [\n";
    const char *const inner = "            ";
    for (size_t k = 0; k < FilePoints; ++k) {
        text += "        {\n";
        member(inner, "blue", data.Levels[2][k], ",\n");
        member(inner, "clouds", data.Levels[3][k], ",\n");
        member(inner, "moon", data.Levels[4][k], ",\n");
        text += inner;
        text += "\"time\": \"";
        AppendQuarterHour(text, static_cast<int>(k));
        text += "\",\n";
        member(inner, "white", data.Levels[1][k], "\n");
        text += k + 1 < FilePoints ? "        },\n" : "        }\n";
    }
    text += "    ]\n}\n";
    return text;
}

} // namespace dim
