#include "edit/steptime.h"

#include <cmath>

namespace dim {

int StepTimeMs(int tempo, int stepFactor) {
    // Default rounding mode: to nearest, ties to even.
    const long double t = 256.0L / (tempo + 1) * stepFactor;
    return static_cast<int>(std::nearbyint(t));
}

QString StepTimeText(int tempo, int stepFactor, QChar decimalPoint) {
    const int t = StepTimeMs(tempo, stepFactor);
    const auto hundredths = static_cast<long long>(std::nearbyint(t / 10.0L));
    const double seconds = static_cast<double>(hundredths) / 100.0;
    QString number = QString::number(seconds, 'g', 15);
    number.replace(QLatin1Char('.'), decimalPoint);
    return QStringLiteral("ca.") + number + QStringLiteral(" sec.");
}

int ApplyChannelMode(Settings &settings, ChannelMode mode) {
    if (mode == ChannelMode::Five) {
        if (settings.udnk.position() > 5)
            settings.udnk.setPosition(5);
        settings.udnk.setMax(5);
        settings.udn.setMax(24);
        return FiveChannelStepFactor;
    }
    settings.udnk.setMax(10);
    settings.udn.setMax(92);
    return TenChannelStepFactor;
}

} // namespace dim
