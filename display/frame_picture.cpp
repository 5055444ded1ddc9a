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
#include "window_layout.h"

namespace zt40 {

void drawFramePicture(Canvas& canvas, const FrameView& view, DisplayMemory& memory, const AverageMeans& means) {
    const LocomotiveState& copy = view.record;
    const FramePreparation& frame = view.preparation;
    // Every text in the window's cell; none over the buttons but their own,
    // nor over the credit line at the foot, a pixel above the window's edge.
    const TextCell cell = textCellFor(copy.clientWidth, copy.clientHeight);
    const int creditTop = copy.clientHeight - cell.height - 1;  // px
    canvas.startTexts(cell, copy.clientWidth, copy.clientHeight);
    canvas.keepClear(buttonBarArea(copy));
    canvas.keepClear(canvas.texts().extentOf(0, creditTop, creditLine()));
    canvas.rectangle(-1, -1, copy.clientWidth + 1, copy.clientHeight + 1, Pen{}, Brush{});
    drawGradientAndPlumes(canvas, copy, frame);
    if (copy.stripShown && !copy.trackTableShown) drawStripPanel(canvas, copy, memory.strip);
    else drawRightHandPanel(canvas, copy, means);
    if (copy.trackTableShown) drawTrackTable(canvas, view.trackTable, copy);
    drawCabPanel(canvas, copy, view.rules, memory);
    drawButtonBar(canvas, copy);
    drawSideView(canvas, copy, view.rules, memory, frame);
    drawTextStage(canvas, composeTextStage(copy, view.rules, memory, means, canvas.texts()));
    canvas.text(0, creditTop, creditLine(), black, white);
}

}  // namespace zt40
