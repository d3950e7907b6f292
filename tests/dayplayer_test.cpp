#include "edit/dayplayer.h"
#include "edit/playback.h"
#include "editor_fixture.h"
#include "texts/figures.h"
#include "view/playmark.h"

#include <gtest/gtest.h>

using namespace dim;

namespace {

// A player on the hand clock, with the minutes it announced.
struct PlayerOnHandClock {
    PlayerOnHandClock() {
        player.setClock(clock);
        QObject::connect(&player, &DayPlayer::minuteChanged,
                         [this](int minute) { announced.push_back(minute); });
    }
    // Moves the clock on and lets the player's timer tick.
    void After(qint64 ms) {
        clock.now += ms;
        player.tick();
    }
    HandClock clock;
    DayPlayer player;
    std::vector<int> announced;
};

TEST(DayPlayer, TheMarkerCrossesTheDayInTwentyFourSecondsAndThenStops) {
    PlayerOnHandClock p;
    p.player.toggle();
    EXPECT_EQ(p.player.minute(), 0);
    struct Case {
        qint64 ms; // since the play began
        int minute;
    };
    const Case cases[] = {
        {0, 0},        {16, 0},      {17, 1},       {999, 59},     {1000, 60},
        {6500, 390},   {12000, 720}, {23999, 1439}, {24000, 1440}, // 24:00 after 24 s
        {24999, 1440}, {25000, -1}, // a second at 24:00, then the play ends
    };
    qint64 at = 0;
    for (const Case &c : cases) {
        p.After(c.ms - at);
        at = c.ms;
        EXPECT_EQ(p.player.minute(), c.minute) << c.ms;
    }
    EXPECT_EQ(p.player.state(), DayPlayer::State::Stopped);
    // Only a new minute is told: the ticks within 0 and within 24:00 tell nothing.
    EXPECT_EQ(p.announced, (std::vector<int>{0, 1, 59, 60, 390, 720, 1439, 1440, -1}));
}

TEST(DayPlayer, PauseAndResumeKeepTheTime) {
    PlayerOnHandClock p;
    p.player.toggle();
    p.After(5000);
    EXPECT_EQ(p.player.minute(), 300);
    p.player.toggle(); // pause
    EXPECT_EQ(p.player.state(), DayPlayer::State::Paused);
    p.After(10000);
    EXPECT_EQ(p.player.minute(), 300);
    p.player.toggle(); // resume where it was
    EXPECT_EQ(p.player.minute(), 300);
    p.After(1000);
    EXPECT_EQ(p.player.minute(), 360);
    p.player.stop();
    EXPECT_EQ(p.player.minute(), -1);
    p.player.toggle(); // a new play starts the day again
    EXPECT_EQ(p.player.minute(), 0);
}

// The chart editor plays the day over the document's levels.
class PlayEditorTest : public EditorTest {
protected:
    PlayEditorTest() {
        editor.player().setClock(clock);
        QObject::connect(&editor, &ChartEditor::playChanged,
                         [this](const PlayReadout &r) { readout = r; });
    }
    void After(qint64 ms) {
        clock.now += ms;
        editor.player().tick();
    }
    HandClock clock;
    PlayReadout readout;
};

TEST_F(PlayEditorTest, AtEveryQuarterHourTheBoxShowsTheTablesLevels) {
    CurveData curves;
    for (int channel = 1; channel <= 4; ++channel)
        for (int column = 0; column < FilePoints; ++column)
            curves.Levels[static_cast<size_t>(channel)][static_cast<size_t>(column)] =
                (column * 37 + channel * 61) % 256;
    SetLevels(curves);
    editor.togglePlay();
    for (int column = 0; column < FilePoints; ++column) {
        if (column > 0)
            After(250); // a quarter-hour of the day
        ASSERT_EQ(readout.minute, column * MinutesPerColumn);
        for (int channel = 1; channel <= 4; ++channel)
            EXPECT_EQ(readout.levels[static_cast<size_t>(channel - 1)], Level(channel, column))
                << channel << " " << column;
        EXPECT_EQ(readout.swatch,
                  LightSwatch(Level(1, column), Level(2, column), Level(4, column)));
    }
}

TEST_F(PlayEditorTest, TheBoxFollowsAnEditAndItsUndo) {
    editor.togglePlay();
    After(1000); // 1:00, column 4
    EXPECT_EQ(readout.levels[1], 0);
    SetLevels({{2, 4, 200}});
    EXPECT_EQ(readout.levels[1], 200);
    document.undo();
    EXPECT_EQ(readout.levels[1], 0);
    editor.togglePlay(); // paused: still followed
    SetLevels({{4, 4, 90}});
    EXPECT_EQ(readout.levels[3], 90);
}

TEST_F(PlayEditorTest, APressStopsThePlayAndDrawsNothing) {
    struct Case {
        Qt::MouseButtons buttons;
        bool stops;
    };
    const Case cases[] = {
        {Qt::RightButton, false}, // it opens the menu, where the play is paused
        {Qt::MiddleButton, true},
        {Qt::LeftButton, true}, // its release lets the next press draw
    };
    for (const Case &c : cases) {
        editor.togglePlay();
        After(100);
        const QPoint at = At(2, 10, 200);
        Press(at, c.buttons);
        Move(At(2, 11, 180), c.buttons);
        EXPECT_EQ(editor.player().active(), !c.stops) << c.buttons.toInt();
        EXPECT_EQ(readout.shown(), !c.stops) << c.buttons.toInt();
        Release(Qt::MouseButton(c.buttons.toInt()));
        editor.stopPlay();
    }
    EXPECT_EQ(Row(2), LevelRow{});
    EXPECT_EQ(Steps(), 0);
    const QPoint again = At(2, 10, 200);
    Drag({again}); // the next press draws again
    EXPECT_EQ(Level(2, 10), geometry.LocatePointer(again.x(), again.y())->level);
}

TEST(PlayMark, TheMarkerStandsAtItsMinuteAndTheBoxBesideIt) {
    Geometry g;
    g.UpdateLayout(1652, 1050, FilePoints, FileChannels); // columns 17 wide, bands 250 high
    const QSize box(121, 100);
    struct Case {
        int minute;
        int lineX;   // the line's centre: 10 + minute x 17 / 15
        int boxLeft; // right of the line, or left of it near the chart's end
    };
    const Case cases[] = {
        {0, 10, 20},        {390, 452, 462},
        {721, 827, 837},    {1334, 1521, 1531}, // the box just fits: 1531 + 121 = 1652
        {1335, 1523, 1393},                     // it would not: to the left, 8 pixels away
        {1440, 1642, 1512},                     // 24:00 at the end of the day's last segment
    };
    for (const Case &c : cases) {
        const PlayMarkRects rects = PlayMarkPlace(g, c.minute, box);
        EXPECT_EQ(rects.line, QRect(c.lineX - 1, 0, 3, 1000)) << c.minute;
        EXPECT_EQ(rects.box, QRect(c.boxLeft, 8, 121, 100)) << c.minute;
    }
}

TEST(Figures, TimesOfDayAndDecimalsAsTheLanguageWritesThem) {
    const std::pair<int, const char *> times[] = {{0, "0:00"},    {9, "0:09"},     {390, "6:30"},
                                                  {615, "10:15"}, {1439, "23:59"}, {1440, "24:00"}};
    for (const auto &[minutes, text] : times)
        EXPECT_EQ(ClockTime(minutes), QLatin1String(text)) << minutes;
    struct Decimal {
        double value;
        int decimals;
        int language;
        const char *text;
    };
    const Decimal decimals[] = {
        {10.0012, 2, 0, "10,00"}, {10.4, 2, 1, "10.40"}, {29.2667, 2, 2, "29,27"},
        {611.84, 1, 3, "611,8"},  {0, 1, 1, "0.0"},
    };
    for (const Decimal &d : decimals)
        EXPECT_EQ(DecimalFigure(d.value, d.decimals, d.language), QLatin1String(d.text)) << d.text;
}

TEST(Figures, ATypedNumberIsTakenOrRefused) {
    const std::pair<const char *, std::optional<double>> cases[] = {
        {"40", 40}, {" 2.5 ", 2.5}, {"2,5", 2.5}, {"0", 0},    {".5", 0.5},   {"7.", 7},
        {"", {}},   {".", {}},      {"-1", {}},   {"1e3", {}}, {"1.2.3", {}},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(ParseFigure(QString::fromUtf8(text)), value) << text;
}

} // namespace
