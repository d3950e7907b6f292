// Feeds arbitrary text to the three curve text readers (CSV, JSON, the clipboard line) and
// traps when one accepts something that, written back in its format, does not read again to
// the same curves (and settings), or refuses it with a refusal that points outside the text.

#include "edit/curvetools.h"
#include "fuzz_support.h"
#include "model/curvetext.h"

#include <cstddef>
#include <cstdint>

using namespace dim;
using namespace dim::fuzz;

namespace {

const DimContent *Accepted(const ImportResult &result) {
    return std::get_if<DimContent>(&result);
}

// A text that a reader accepted, written back with write and read again with parse: the
// same levels and settings (and so, written once more, the same text).
template <typename Parse, typename Write>
void CheckRoundTrip(const DimContent &content, Parse parse, Write write) {
    Check(content.settings.has_value());
    CurveData data;
    FileSettings settings;
    ApplyDimContent(content, data, settings);
    const ImportResult again = parse(write(data, settings));
    const DimContent *reread = Accepted(again);
    Check(reread != nullptr);
    Check(reread->levels == content.levels);
    Check(reread->settings == content.settings);
}

void FuzzCsv(const QByteArray &bytes) {
    const ImportResult parsed = ParseCurveCsv(bytes);
    if (const DimContent *content = Accepted(parsed)) {
        Check(content->settings == FileSettings()); // CSV carries no settings
        CheckRoundTrip(*content, ParseCurveCsv,
                       [](const CurveData &data, const FileSettings &) { return CurveCsv(data); });
    } else {
        Check(!std::get<ImportError>(parsed).problem.isEmpty());
    }
}

void FuzzJson(const QByteArray &bytes) {
    const ImportResult parsed = ParseCurveJson(bytes);
    if (const DimContent *content = Accepted(parsed))
        CheckRoundTrip(*content, ParseCurveJson, CurveJson);
    else
        Check(!std::get<ImportError>(parsed).problem.isEmpty());
}

void FuzzClipboard(const QByteArray &bytes) {
    const QString text = QString::fromUtf8(bytes);
    const auto parsed = ParseCurveClipboard(text);
    if (const auto *refusal = std::get_if<ClipboardRefusal>(&parsed)) {
        Check(refusal->count >= 0 && refusal->count <= FilePoints);
        Check(refusal->position >= 0 && refusal->position <= text.size());
        Check(refusal->token.size() <= MaxLevelField);
        Check(text.mid(refusal->position).startsWith(refusal->token));
        return;
    }
    const DayCurve &curve = std::get<DayCurve>(parsed);
    for (const int level : curve)
        Check(level >= 0 && level <= MaxLevel);
    const QString written = CurveClipboardText(curve);
    const auto again = ParseCurveClipboard(written);
    Check(std::holds_alternative<DayCurve>(again) && std::get<DayCurve>(again) == curve);
    Check(CurveClipboardText(std::get<DayCurve>(again)) == written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size) {
    const QByteArray text = Bytes(bytes, size);
    FuzzCsv(text);
    FuzzJson(text);
    FuzzClipboard(text);
    return 0;
}
