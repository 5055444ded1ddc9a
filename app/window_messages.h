#pragma once
// The messages of the main window the logic handles, with the Windows
// virtual-key numbers the key handler works on.

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
inline constexpr int soundRestart = 7;
inline constexpr int renderOnly = 8;  // posted only
inline constexpr int trackWalk = 9;   // posted only
inline constexpr int calibration = 10;
inline constexpr int wheelRelease = 11;
inline constexpr int keyRelease = 12;
inline constexpr int autoControl = 13;
}  // namespace timer

namespace vk {
inline constexpr int shift = 0x10;
inline constexpr int control = 0x11;
inline constexpr int pageUp = 0x21;
inline constexpr int pageDown = 0x22;
inline constexpr int left = 0x25;
inline constexpr int up = 0x26;
inline constexpr int right = 0x27;
inline constexpr int down = 0x28;
inline constexpr int add = 0x6B;       // numeric pad +
inline constexpr int subtract = 0x6D;  // numeric pad -
inline constexpr int r = 0x52;
}  // namespace vk

}  // namespace zt40
