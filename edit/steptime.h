#pragma once

#include "model/settings.h"

#include <QChar>
#include <QString>

namespace dim {

// Step factors: the time per step in milliseconds at the highest tempo.
inline constexpr int ActivationStepFactor = 830;
inline constexpr int FiveChannelStepFactor = 460;
inline constexpr int TenChannelStepFactor = 400;

// The time per step in milliseconds: 256 / (tempo + 1) * stepFactor, rounded half to even.
int StepTimeMs(int tempo, int stepFactor);

// The read-out "ca.<seconds> sec.", the seconds rounded half to even to two decimals and
// written in their shortest form with the given decimal separator.
QString StepTimeText(int tempo, int stepFactor, QChar decimalPoint);

enum class ChannelMode { Five, Ten };

// Applies a controller's limits to the channel- and point-count spinners and returns the
// step factor of that mode. The five-channel mode lowers a channel count above 5; no mode
// changes a minimum or the point count.
int ApplyChannelMode(Settings &settings, ChannelMode mode);

} // namespace dim
