#pragma once

#include <QString>

namespace dim {

// The texts of the curve tools (the chart's menu, its dialogs and its notices) in the
// languages of the language list: rows 0 German, 1 English, 2 French, 3 Spanish.
enum class ToolText {
    Copy,
    Paste,
    ShiftEarlier,
    ShiftLater,
    ShiftHourEarlier,
    ShiftHourLater,
    Scale,
    Smooth,
    Fill,
    Clear,
    Daylight,
    ContinuousStrokes,
    ScaleTitle,
    ScalePercent,
    FillTitle,
    FillValue,
    FillPercentUnit,
    FillLevelUnit,
    DaylightTitle,
    DaylightStart,
    DaylightEnd,
    DaylightRamp,
    DaylightPeak,
    DaylightBase,
    DaylightTypedTimes, // the daylight dialog's choice: the times as typed, or the sun's
    DaylightFromSun,
    DaylightPlace,
    DaylightLatitude,
    DaylightLongitude,
    DaylightDate,
    DaylightUtcOffset,
    DaylightShift,
    DaylightSunTimes, // %1 sunrise, %2 sunset, %3 day length
    DaylightPolarDay,
    DaylightPolarNight,
    DecimalRange,      // a typed number refused: %1 the least, %2 the most
    PlaceLizardIsland, // the native places of the daylight dialog
    PlaceEilat,
    PlaceBelizeReef,
    PlaceLakeMalawi,
    PlaceLakeTanganyika,
    PlaceManaus,
    PlaceBali,
    PlaceOwn,
    Acclimation, // the chart menu's acclimation series, its dialog and its notice
    AcclimationTitle,
    AcclimationStart,
    AcclimationSteps,
    AcclimationFiles,   // %1 the first file's name, %2 the last one's
    AcclimationFolder,  // the title of the folder dialog
    AcclimationWritten, // %1 the number of files, %2 the folder; the files follow
    PasteRefused,       // the heading of a refused paste
    PasteEmpty,         // the clipboard holds no numbers
    PasteEmptyField,    // %1: the number of values before the empty field
    PasteEmptyFieldOne, // the same after one value
    PasteNotNumber,     // %1: the position of the value, %2: the value
    PasteOutOfRange,    // %1: the position of the value, %2: the value
    PasteTooFew,        // %1: the number of values found
    PasteTooFewOne,     // the same for one value
    PasteTooMany,
    ChartName,
    ChartDescription,
    PercentTooHigh,  // the typed percentage is above 100
    KeyLevel,        // the name of a level set from the keyboard, for the undo history
    CloseQuestion,   // closing with curves that no file holds
    RestoreQuestion, // at start, the curves an editor left unsaved when it was killed
    RestoreButton,
    RestoreStep,      // the name of the restored curves in the undo history
    NumberRange,      // a typed value refused: %1 the least, %2 the most
    LanguageListName, // what screen readers call the language list
    EditorPurpose,    // what screen readers hear for the window's start focus
    StepDraw,         // the names of steps in the undo history that no menu text names
    StepCloudSpeed,
    StepLoad,
    StepNew,
    PlayDay,     // the chart's menu: play, pause and resume the day
    LightBudget, // the chart's menu: the light budget window
    BudgetTitle, // the light budget window: its title, its columns, its notes
    BudgetChannel,
    BudgetLit,
    BudgetDark,
    BudgetHours,
    BudgetWatts,
    BudgetEnergy,
    BudgetPpfd,
    BudgetDli,
    BudgetTotal,
    BudgetLinear,  // how the levels count
    BudgetRefused, // a typed watts or PPFD value that is no number of 0 or more
    Count
};

// The text in a language; an unknown row gives the English one.
QString GetToolText(ToolText text, int language);

struct ClipboardRefusal;

// The notice of a refused paste: its heading, and why the clipboard holds no curve, with the
// value's position and text or the count in the language's singular or plural.
struct PasteRefusalText {
    QString heading;
    QString reason;
};
PasteRefusalText RefusedPasteText(const ClipboardRefusal &refusal, int language);

// The name of a step in the undo history: the text without its accelerator and dots.
QString StepText(ToolText text, int language);

} // namespace dim
