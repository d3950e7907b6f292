// Feeds arbitrary file names (bytes as the file system gives them) to the selection number
// of SEL.DAT and traps when it differs from the rule worked out here on its own: the
// Windows-1252 code of the name's second character minus 48, modulo 256; 1 for a name of one
// character; '?' for a character without a code.

#include "fuzz_support.h"
#include "model/dimfile.h"
#include "model/filesystem.h"

#include <cstddef>
#include <cstdint>
#include <utility>

using namespace dim;
using namespace dim::fuzz;

namespace {

// The characters Windows-1252 puts at 0x80..0x9f, by code.
constexpr std::pair<char16_t, uint8_t> kWindows1252High[] = {
    {u'€', 0x80}, {u'‚', 0x82}, {u'ƒ', 0x83}, {u'„', 0x84}, {u'…', 0x85}, {u'†', 0x86},
    {u'‡', 0x87}, {u'ˆ', 0x88}, {u'‰', 0x89}, {u'Š', 0x8a}, {u'‹', 0x8b}, {u'Œ', 0x8c},
    {u'Ž', 0x8e}, {u'‘', 0x91}, {u'’', 0x92}, {u'“', 0x93}, {u'”', 0x94}, {u'•', 0x95},
    {u'–', 0x96}, {u'—', 0x97}, {u'˜', 0x98}, {u'™', 0x99}, {u'š', 0x9a}, {u'›', 0x9b},
    {u'œ', 0x9c}, {u'ž', 0x9e}, {u'Ÿ', 0x9f}};

uint8_t Code(char16_t u) {
    if (u <= 0x7f || (u >= 0xa0 && u <= 0xff))
        return static_cast<uint8_t>(u);
    for (const auto &[character, code] : kWindows1252High) {
        if (character == u)
            return code;
    }
    return '?';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size) {
    const QString path = DecodePath(Bytes(bytes, size));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = path.mid(slash + 1);
    const uint8_t expected =
        name.size() < 2 ? 1 : static_cast<uint8_t>(Code(name[1].unicode()) - 48);
    Check(SelectionNumber(path) == expected);
    // A name taken as it is shown in SEL.DAT's first byte, as the save writes it.
    Check(static_cast<uint8_t>(SelFileBytes(path, TimeOfDay{}, Settings())[0]) == expected);
    return 0;
}
