#include "model/curvetext.h"

#include "texts/texts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

#include <array>
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
QString TimeProblem(const QString &text, int column) {
    const std::optional<int> minutes = ParseTimeOfDay(text);
    if (!minutes)
        return QStringLiteral("malformed time \"%1\" (expected HH:MM)").arg(ShownInput(text));
    if (*minutes != column * MinutesPerColumn)
        return QStringLiteral("expected time %1, found %2")
            .arg(QuarterHourText(column), ShownInput(text));
    return {};
}

// A level or the problem with it.
using LevelOrProblem = std::variant<int, QString>;

LevelOrProblem RangeChecked(const QString &what, double value, const QString &shown, int min,
                            int max) {
    if (!std::isfinite(value) || value != std::trunc(value))
        return QStringLiteral("%1 %2 is not an integer").arg(what, shown);
    if (value < min || value > max)
        return QStringLiteral("%1 %2 is out of range %3..%4").arg(what, shown).arg(min).arg(max);
    return static_cast<int>(value);
}

LevelOrProblem CsvLevel(const QString &channel, const QString &text) {
    const QString what = channel + QStringLiteral(" level");
    const LevelField field = ReadLevelField(text);
    switch (field.problem) {
    case LevelProblem::None:
        break;
    case LevelProblem::NotNumber:
        return QStringLiteral("%1 \"%2\" is not an integer").arg(what, ShownInput(text));
    case LevelProblem::OutOfRange:
        return QStringLiteral("%1 %2 is out of range 0..%3")
            .arg(what, ShownInput(text))
            .arg(MaxLevel);
    }
    return field.value;
}

// The fields of a CSV line, trimmed; one empty field after the last (a trailing comma, as
// some spreadsheets write) is dropped.
QStringList CsvFields(const QString &line, int expected) {
    QStringList fields = line.split(QLatin1Char(','));
    for (QString &field : fields)
        field = field.trimmed();
    if (fields.size() == expected + 1 && fields.back().isEmpty())
        fields.removeLast();
    return fields;
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

LevelOrProblem JsonInteger(const QString &what, const QJsonValue &value, int min, int max) {
    if (!value.isDouble())
        return QStringLiteral("%1 %2 is not an integer").arg(what, Shown(value));
    return RangeChecked(what, value.toDouble(), Shown(value), min, max);
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

std::optional<int> ParseTimeOfDay(const QString &text) {
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{2}):([0-9]{2})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int hour = match.captured(1).toInt();
    const int minute = match.captured(2).toInt();
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
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xfeff))) // a byte-order mark some spreadsheets write
        text.remove(0, 1);
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return AtLine(
            1, QStringLiteral("the file is empty; expected the header \"%1\"").arg(kCsvHeader));

    const QStringList header = CsvFields(lines.front(), 1 + FileChannels);
    if (header.join(QLatin1Char(',')).compare(kCsvHeader, Qt::CaseInsensitive) != 0)
        return AtLine(1, QStringLiteral("bad header \"%1\"; expected \"%2\"")
                             .arg(ShownInput(lines.front().trimmed()), kCsvHeader));

    DimContent content;
    content.settings = FileSettings(); // CSV carries none: the defaults
    const int rows = static_cast<int>(lines.size()) - 1;
    for (int k = 0; k < rows; ++k) {
        const int line = k + 2;
        if (k == FilePoints)
            return AtLine(line, QStringLiteral("more than %1 data rows").arg(FilePoints));
        const QStringList fields = CsvFields(lines[k + 1], 1 + FileChannels);
        if (fields.size() != 1 + FileChannels)
            return AtLine(line, QStringLiteral("expected %1 columns, found %2")
                                    .arg(1 + FileChannels)
                                    .arg(fields.size()));
        if (const QString problem = TimeProblem(fields[0], k); !problem.isEmpty())
            return AtLine(line, problem);
        for (size_t n = 0; n < FileChannels; ++n) {
            const LevelOrProblem level =
                CsvLevel(kChannelNames[n], fields[static_cast<int>(n) + 1]);
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
        const LevelOrProblem value =
            JsonInteger(stored.key, root.value(stored.key), setting.Min, setting.Max);
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
        const QString where = QStringLiteral("points[%1]").arg(k);
        if (!points.at(k).isObject())
            return ImportError{where, QStringLiteral("not an object")};
        const QJsonObject point = points.at(k).toObject();
        const QString timeKey = QStringLiteral("time");
        if (!point.contains(timeKey))
            return ImportError{where, QStringLiteral("missing key \"time\"")};
        if (!point.value(timeKey).isString())
            return ImportError{
                where,
                QStringLiteral("time %1 is not a text \"HH:MM\"").arg(Shown(point.value(timeKey)))};
        if (const QString problem = TimeProblem(point.value(timeKey).toString(), k);
            !problem.isEmpty())
            return ImportError{where, problem};
        for (size_t n = 0; n < FileChannels; ++n) {
            const QString &name = kChannelNames[n];
            if (!point.contains(name))
                return ImportError{where, QStringLiteral("missing key \"%1\"").arg(name)};
            const LevelOrProblem level =
                JsonInteger(name + QStringLiteral(" level"), point.value(name), 0, MaxLevel);
            if (const auto *problem = std::get_if<QString>(&level))
                return ImportError{where, *problem};
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
    QByteArray text = kCsvHeader.toLatin1() + '\n';
    for (int k = 0; k < FilePoints; ++k) {
        text += QuarterHourText(k).toLatin1();
        for (size_t n = 1; n <= FileChannels; ++n)
            text += ',' + QByteArray::number(data.Levels[n][static_cast<size_t>(k)]);
        text += '\n';
    }
    return text;
}

QByteArray CurveJson(const CurveData &data, const FileSettings &settings) {
    QJsonObject root;
    for (const StoredSetting &stored : kStoredSettings)
        root.insert(stored.key, (settings.*stored.member).position());
    QJsonArray points;
    for (int k = 0; k < FilePoints; ++k) {
        QJsonObject point;
        point.insert(QStringLiteral("time"), QuarterHourText(k));
        for (size_t n = 0; n < FileChannels; ++n)
            point.insert(kChannelNames[n], data.Levels[n + 1][static_cast<size_t>(k)]);
        points.append(point);
    }
    root.insert(QStringLiteral("points"), points);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace dim
