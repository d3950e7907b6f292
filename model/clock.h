#pragma once

namespace dim {

// The time of day, read from one reading of the local clock.
struct TimeOfDay {
    int hour;
    int minute;
    int second;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual TimeOfDay now() const = 0;
};

// The local clock of the system.
const Clock &SystemClock();

} // namespace dim
