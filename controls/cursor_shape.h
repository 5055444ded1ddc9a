#pragma once

namespace zt40 {

// The window's cursors: its own hand; the busy cursor of the track walk;
// a pointing hand over what has a hint; a gripping hand over what is
// dragged; a mouse with minus and plus buttons over what the buttons lower
// and raise; the same mouse over the train-weight buttons.
enum class CursorShape { standard, busy, hint, grip, plusMinus, weight };

}  // namespace zt40
