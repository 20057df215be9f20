#pragma once

#include <cmath>

// A percentage as the updater printed it, made fit for a progress bar: a
// value that is no number at all (NaN, infinite) is dropped, a finite one
// outside 0..100 is held at the nearer end. False when it is dropped.
inline bool boundedPercent(double percent, double* bounded)
{
    if (!std::isfinite(percent))
        return false;
    *bounded = percent < 0 ? 0.0 : (percent > 100 ? 100.0 : percent);
    return true;
}
