#pragma once
// The Windows virtual-key numbers the window's logic works on, in one
// table: the Qt window translates Qt's keys into them, the key handler and
// the main window act on them. Letters and digits are their capitals in
// ASCII ('A', '0').

namespace zt40::vk {

inline constexpr int backspace = 0x08;
inline constexpr int tab = 0x09;
inline constexpr int enter = 0x0D;
inline constexpr int shift = 0x10;
inline constexpr int control = 0x11;
inline constexpr int menu = 0x12;  // Alt
inline constexpr int pause = 0x13;
inline constexpr int escape = 0x1B;
inline constexpr int space = 0x20;
inline constexpr int pageUp = 0x21;
inline constexpr int pageDown = 0x22;
inline constexpr int end = 0x23;
inline constexpr int home = 0x24;
inline constexpr int left = 0x25;
inline constexpr int up = 0x26;
inline constexpr int right = 0x27;
inline constexpr int down = 0x28;
inline constexpr int insert = 0x2D;
inline constexpr int deleteKey = 0x2E;
inline constexpr int r = 'R';
// The numeric pad: digits 0 to 9 from numpad0 on, then its operators.
inline constexpr int numpad0 = 0x60;
inline constexpr int multiply = 0x6A;
inline constexpr int add = 0x6B;
inline constexpr int subtract = 0x6D;
inline constexpr int decimal = 0x6E;
inline constexpr int divide = 0x6F;
// F1 to F24 from f1 on.
inline constexpr int f1 = 0x70;
// Punctuation of the main block.
inline constexpr int oemPlus = 0xBB;
inline constexpr int oemComma = 0xBC;
inline constexpr int oemMinus = 0xBD;
inline constexpr int oemPeriod = 0xBE;

}  // namespace zt40::vk
