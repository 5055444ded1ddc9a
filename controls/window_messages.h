#pragma once
// The messages of the main window the logic handles, and its timers. The
// keys come as virtual-key numbers (virtual_keys.h).

#include "virtual_keys.h"

namespace zt40 {

enum class KeyMessage { keyDown, keyUp, sysKeyDown, sysKeyUp };

enum class MouseMessage { move, leftDown, leftUp, leftDoubleClick, rightDown, rightUp, wheel, repeat };

namespace timer {
inline constexpr int mainTick = 1;
inline constexpr int mouseRepeat = 2;
inline constexpr int dragMove = 3;
inline constexpr int brakeStep = 4;
inline constexpr int waterFill = 5;
inline constexpr int hoverHint = 6;
inline constexpr int renderOnly = 8;  // posted only
inline constexpr int trackWalk = 9;   // posted only
inline constexpr int calibration = 10;
inline constexpr int wheelRelease = 11;
inline constexpr int keyRelease = 12;
inline constexpr int autoControl = 13;
}  // namespace timer

}  // namespace zt40
