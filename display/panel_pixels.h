#pragma once
// Pixels of the right-hand panel from values the model and the averages hand
// over. Such a value may be infinite (water per kilometre while the wheels
// spin at a standstill) or enormous (the mean tractive force at creep
// speed): a coordinate that is not finite is not drawn, and a finite one is
// kept within a few window extents of the window, where nothing shows and
// the painter's integer arithmetic stays safe.

#include <algorithm>
#include <cmath>
#include <optional>

#include "numeric.h"

namespace zt40 {

// How far beyond the window a drawn coordinate may lie, in window extents.
inline constexpr int offWindowReach = 4;

// An integer pixel kept within reach of a window `extent` pixels wide or high.
inline int keptNearWindow(int pixel, int extent) {
    const int reach = offWindowReach * std::max(extent, 1);
    return std::clamp(pixel, -reach, extent + reach);
}

// A pixel coordinate (already divided by the scale), truncated toward zero;
// none when not finite.
inline std::optional<int> guardedPixel(double pixel, int extent) {
    if (!std::isfinite(pixel)) return std::nullopt;
    return keptNearWindow(truncateTo<int>(pixel), extent);
}

}  // namespace zt40
