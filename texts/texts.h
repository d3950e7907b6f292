#pragma once

#include <QString>

#include <array>

namespace dim {

// The table of user-interface texts: one row per language, one slot per text role.
// Rows 0..3 are the languages of the language list; rows 4..9 hold copies of row 0
// and row 10 stays empty. Every text is made of Windows-1252 letters.
inline constexpr int TextRows = 11;
inline constexpr int TextSlots = 25;
inline constexpr int LanguageCount = 4;

enum TextSlot : int {
    SlotChannelName0 = 0, // slots 1..4: channels 1..4
    SlotCursorLabel = 5,
    SlotPointLabel = 6,
    SlotLoadButton = 7,
    SlotSaveButton = 8,
    SlotNewButton = 9,
    SlotCloudSpeedLabel = 10,
    SlotCloudIntensityLabel = 11,
    SlotMoonChangeLabel = 12,
    SlotNewQuestion = 13,
    SlotNewTitle = 15,
    SlotLoadError = 16,
    SlotBandCaption0 = 20, // slots 21..24: bands 1..4
};

struct TextTable {
    std::array<std::array<QString, TextSlots>, TextRows> Texts;
};

// The items of the language list, in row order.
const std::array<QString, LanguageCount> &LanguageNames();
// Their two-letter language codes, in the same order.
inline constexpr std::array<const char *, LanguageCount> LanguageCodes{"de", "en", "fr", "es"};

// Fills the table once, at start-up.
void FillTexts(TextTable &table);

// The text of a slot in the given row; an out-of-range row or slot gives an empty text.
QString GetText(const TextTable &table, int row, int slot);

// The captions of bands 1..4 (slots 21..24) in the given row.
std::array<QString, 4> BandCaptions(const TextTable &table, int row);

// The status-line name of a channel: the table's slots 0..4 for channels 0..4, and
// "<word for channel> n" padded to seven characters for channels 5..10.
QString ChannelName(const TextTable &table, int row, int channel);

// How a piece of outside input (a file's text, a command-line word, a file name) is shown in
// a message: control characters and bytes of names that are no UTF-8 escaped as \n, \t,
// \xNN or \uNNNN, and cut to at most limit characters with "..." when longer (no limit
// for a negative one).
QString ShownInput(const QString &text, int limit = 60);

} // namespace dim
