#include "model/clock.h"

#include <QTime>

namespace dim {

namespace {

class LocalClock final : public Clock {
public:
    TimeOfDay now() const override {
        const QTime time = QTime::currentTime();
        return {time.hour(), time.minute(), time.second()};
    }
};

} // namespace

const Clock &SystemClock() {
    static const LocalClock clock;
    return clock;
}

} // namespace dim
