#include "frame_picture.h"

#include "bar_columns.h"
#include "cab_panel.h"
#include "credit_line.h"
#include "indicator_panel.h"
#include "side_view.h"
#include "strip_chart.h"
#include "text_panels.h"
#include "text_stage.h"
#include "track_table.h"

namespace zt40 {

void drawFramePicture(Canvas& canvas, const FrameView& view, DisplayMemory& memory, const AverageMeans& means) {
    const LocomotiveState& copy = view.record;
    const FramePreparation& frame = view.preparation;
    canvas.rectangle(-1, -1, copy.clientWidth + 1, copy.clientHeight + 1, Pen{}, Brush{});
    drawGradientAndPlumes(canvas, copy, frame);
    if (copy.stripShown && !copy.trackTableShown) drawStripPanel(canvas, copy, memory.strip);
    else drawRightHandPanel(canvas, copy, means);
    if (copy.trackTableShown) drawTrackTable(canvas, view.trackTable, copy);
    drawCabPanel(canvas, copy, view.rules, memory);
    drawButtonBar(canvas, copy);
    drawSideView(canvas, copy, view.rules, memory, frame);
    drawTextStage(canvas, composeTextStage(copy, view.rules, memory, means));
    canvas.text(0, copy.clientHeight - 17, creditLine(), black, white);
}

}  // namespace zt40
