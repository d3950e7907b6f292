#include "edit/dayplayer.h"

#include "edit/playback.h"

#include <QElapsedTimer>

#include <algorithm>

namespace dim {

namespace {

class SteadyClock final : public PlayClock {
public:
    SteadyClock() { m_timer.start(); }
    qint64 elapsedMs() const override { return m_timer.elapsed(); }

private:
    QElapsedTimer m_timer;
};

} // namespace

const PlayClock &SteadyPlayClock() {
    static const SteadyClock clock;
    return clock;
}

PlayReadout ReadoutAt(const LevelTable &levels, int minute) {
    PlayReadout readout;
    readout.minute = minute;
    for (int channel = 1; channel <= FileChannels; ++channel)
        readout.levels[static_cast<size_t>(channel - 1)] =
            LevelAtMinute(ChannelCurve(levels, channel), minute);
    const auto &[white, blue, clouds, moon] = readout.levels;
    readout.swatch = LightSwatch(white, blue, moon); // clouds darken nothing: shown as a number
    return readout;
}

DayPlayer::DayPlayer(QObject *parent) : QObject(parent), m_clock(&SteadyPlayClock()) {
    m_timer.setInterval(1000 / MinutesPerSecond);
    connect(&m_timer, &QTimer::timeout, this, &DayPlayer::tick);
}

void DayPlayer::setClock(const PlayClock &clock) {
    if (m_state == State::Stopped)
        m_clock = &clock;
}

void DayPlayer::toggle() {
    switch (m_state) {
    case State::Stopped:
        m_startMs = m_clock->elapsedMs();
        m_minute = -1;
        setState(State::Playing);
        tick();
        break;
    case State::Playing:
        m_pausedMs = playedMs();
        setState(State::Paused);
        break;
    case State::Paused:
        m_startMs = m_clock->elapsedMs() - m_pausedMs;
        setState(State::Playing);
        tick();
        break;
    }
}

void DayPlayer::stop() {
    if (m_state == State::Stopped)
        return;
    setState(State::Stopped);
    m_minute = -1;
    emit minuteChanged(-1);
}

void DayPlayer::tick() {
    if (m_state != State::Playing)
        return;
    const qint64 played = playedMs();
    if (played >= DayMs + EndHoldMs) {
        stop();
        return;
    }
    const int minute =
        static_cast<int>(std::min<qint64>(played * MinutesPerSecond / 1000, MinutesPerDay));
    if (minute == m_minute)
        return;
    m_minute = minute;
    emit minuteChanged(minute);
}

qint64 DayPlayer::playedMs() const {
    // A clock that went back counts as no time.
    return std::max<qint64>(0, m_clock->elapsedMs() - m_startMs);
}

void DayPlayer::setState(State state) {
    m_state = state;
    if (state == State::Playing)
        m_timer.start();
    else
        m_timer.stop();
    emit stateChanged(state);
}

} // namespace dim
