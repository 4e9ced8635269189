#pragma once
// Limits for the speed and pitch factors as the renderer and the permanent change
// use them. The factor fields clamp only when they lose the focus, so while the user
// types a factor can be 0, negative or huge for a moment; both engines clamp to the
// fields' ranges before use. Anything that is not a number counts as the minimum,
// as an unreadable field text does.

namespace sonvira {

inline constexpr double kMinSpeedFactor = 0.1;
inline constexpr double kMaxSpeedFactor = 10.0;
inline constexpr double kMinPitchFactor = 0.01;
inline constexpr double kMaxPitchFactor = 100.0;

inline double ClampFactor(double value, double lo, double hi) {
    if (!(value >= lo)) return lo;  // also NaN
    return value > hi ? hi : value;
}

inline double ClampSpeedFactor(double speed) {
    return ClampFactor(speed, kMinSpeedFactor, kMaxSpeedFactor);
}

inline double ClampPitchFactor(double pitch) {
    return ClampFactor(pitch, kMinPitchFactor, kMaxPitchFactor);
}

}  // namespace sonvira
