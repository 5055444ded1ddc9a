#pragma once
// The whole picture of one frame, in drawing order: background, gradient
// line and plumes, the right-hand panel, the track table, the cab, the
// button bar, the side view, the texts and the credit line.

#include "canvas.h"
#include "display_memory.h"
#include "frame_sink.h"

namespace zt40 {

void drawFramePicture(Canvas& canvas, const FrameView& view, DisplayMemory& memory, const AverageMeans& means);

}  // namespace zt40
