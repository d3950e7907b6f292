#pragma once

#include "model/levels.h"

#include <QObject>
#include <QRgb>
#include <QTimer>

#include <array>

namespace dim {

// Where the play of the day takes its time from: milliseconds gone by since some fixed start.
class PlayClock {
public:
    virtual ~PlayClock() = default;
    virtual qint64 elapsedMs() const = 0;
};

// The system's monotonic clock.
const PlayClock &SteadyPlayClock();

// What the play shows at its marker: the time, the four channels' levels there (white, blue,
// clouds, moon, as the chart's lines show them) and the colour of the light they make.
struct PlayReadout {
    int minute = -1; // -1 while the day is not being played
    std::array<int, FileChannels> levels{};
    QRgb swatch = 0;

    bool shown() const { return minute >= 0; }
};

// The readout of a table's channels 1..4 at a minute of the day (0..1440).
PlayReadout ReadoutAt(const LevelTable &levels, int minute);

// The day played fast: a marker goes from 0:00 to 24:00 at one hour a second, in whole
// minutes, and stays at 24:00 for a second before the play ends. It may be paused and
// resumed, and stopped at any time. While it plays, a timer of 60 ticks a second reads the
// clock; the marker moves only when the minute changes.
class DayPlayer : public QObject {
    Q_OBJECT

public:
    enum class State { Stopped, Playing, Paused };

    static constexpr int MinutesPerSecond = 60;
    static constexpr qint64 DayMs = qint64{MinutesPerDay} * 1000 / MinutesPerSecond;
    static constexpr qint64 EndHoldMs = 1000; // the marker's stay at 24:00

    explicit DayPlayer(QObject *parent = nullptr);

    // The clock to play by; taken when the play is stopped.
    void setClock(const PlayClock &clock);

    State state() const { return m_state; }
    bool active() const { return m_state != State::Stopped; }
    // The marker's minute of the day, 0..1440; -1 when stopped.
    int minute() const { return m_minute; }

    // Plays from 0:00 when stopped; pauses a play; resumes a paused one.
    void toggle();
    void stop();
    // Brings the marker to the clock's time: what the timer calls.
    void tick();

signals:
    // The marker moved to a minute, or went (-1).
    void minuteChanged(int minute);
    void stateChanged(dim::DayPlayer::State state);

private:
    qint64 playedMs() const;
    void setState(State state);

    const PlayClock *m_clock;
    QTimer m_timer;
    State m_state = State::Stopped;
    qint64 m_startMs = 0;  // the clock's time at 0:00 of a play under way
    qint64 m_pausedMs = 0; // the time played when paused
    int m_minute = -1;
};

} // namespace dim
