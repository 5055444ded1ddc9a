#pragma once
// The window's cursors as 32 x 32 monochrome drawings: '#' black, '-'
// white, '.' clear, with the hotspot the pointer acts at. The busy cursor
// is the platform's own.

#include <array>

#include "platform.h"

namespace zt40 {

struct CursorDrawing {
    int hotX, hotY;  // px from the top left
    std::array<const char*, 32> rows;
};

// The drawing of a shape; the busy cursor has none and gives the standard one.
const CursorDrawing& cursorDrawing(CursorShape shape);

}  // namespace zt40
