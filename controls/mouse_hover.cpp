#include "mouse_hover.h"

#include <array>

#include "cab_controls.h"
#include "mouse_areas.h"

namespace zt40 {

namespace {

struct HoverArea {
    PixelArea area;
    PixelArea orArea;  // a second part, empty when there is none
    bool enabled;
    hover::Target target;
    CursorShape cursor;
};

constexpr PixelArea nowhere{0, 0, 0, 0};

// The hand wheels and the band that the buttons lower and raise, unless
// their automatic does it.
CursorShape adjustable(bool automatic) { return automatic ? CursorShape::hint : CursorShape::plusMinus; }

// All areas in the order they are tested.
std::array<HoverArea, 43> hoverAreas(const LocomotiveState& s) {
    const MouseLayout m(s);
    const auto hint = CursorShape::hint;
    const auto grip = CursorShape::grip;
    const bool standing = cab::wheelsStand(s);
    const bool columns = !s.indicatorShown && !s.stripShown && !s.trackTableShown;
    const bool textColumns = columns && !s.textHidden;
    const double piston = s.pistonX, rear = s.valveHeadRearX, front = s.valveHeadFrontX;  // px
    return {{
        // The engine drawing.
        {m.design(5960, 6260, 3550, 3850), nowhere, true, hover::blastPipeValveDrawing, hint},
        {m.design(4675, 4775, 3000, 3300), nowhere, true, hover::silencer, hint},
        {m.design(6035, 6185, 3300, 3552), nowhere, true, hover::blowerBlastPipe, hint},
        {m.design(4500, 4800, 3600, 3750), nowhere, true, hover::throttleDrawing, hint},
        {m.design(6258, 6600, 3625, 3775), nowhere, true, hover::airSuctionPipe, hint},
        {m.indicator(3000), nowhere, s.indicatorShown && !s.trackTableShown, hover::indicatorDiagram, hint},
        // Drags, the band and the first buttons.
        {m.regulatorLever(), nowhere, true, hover::regulatorLever, grip},
        {m.reverserWheel(), nowhere, true, hover::reverserWheel, grip},
        {m.brakeHandle(), nowhere, true, hover::brakeHandle, grip},
        {m.gradientBand(), nowhere, true, hover::gradientBand, adjustable(!cab::gradientByHand(s))},
        {m.speedButton(), nowhere, true, hover::speedButton, CursorShape::plusMinus},
        {m.temperatureButton(), nowhere, standing, hover::temperatureButton, CursorShape::plusMinus},
        {m.sandingLever(), nowhere, true, hover::sandingLever, hint},
        {m.drainCockLever(), nowhere, true, hover::drainCockLever, hint},
        {m.waterButton(), nowhere, standing, hover::waterButton, hint},
        {m.displayButton(), nowhere, true, hover::displayButton, hint},
        {m.soundButton(), nowhere, true, hover::soundButton, hint},
        {m.weightMinus(), m.weightPlus(), standing, hover::weightButtons, CursorShape::weight},
        // The dials.
        {m.dial(layout::boilerGauge), nowhere, true, hover::boilerGauge, hint},
        {m.dial(layout::pyrometer), nowhere, true, hover::steamChestPyrometer, hint},
        {m.dial(layout::brakeGauge), nowhere, true, hover::brakeGauge, hint},
        {m.dial(layout::steamChestGauge), nowhere, true, hover::steamChestGauge, hint},
        {m.dial(layout::speedometer), nowhere, true, hover::speedometer, hint},
        {m.cutOffScale(), nowhere, true, hover::cutOffScale, hint},
        // The bar columns, right to left.
        {m.column(300, 0), nowhere, columns, hover::blastPipeMassColumn, hint},
        {m.column(700, 400), nowhere, columns, hover::powerColumn, hint},
        {m.column(1100, 800), nowhere, textColumns, hover::firingColumn, hint},
        {m.column(1500, 1200), nowhere, textColumns, hover::waterColumn, hint},
        {m.column(1900, 1600), nowhere, textColumns, hover::accelerationColumn, hint},
        {m.firing(), nowhere, true, hover::firing, adjustable(s.autoFiring)},
        // The cylinder cut-away, split where the last frame drew piston and valve heads.
        {{5100 / m.scale(), piston, 4450 / m.scale(), 5150 / m.scale()}, nowhere, true, hover::rearWorkingSpace, hint},
        {{piston, 6100 / m.scale(), 4450 / m.scale(), 5150 / m.scale()}, nowhere, true, hover::frontWorkingSpace, hint},
        {{rear, front, 4030 / m.scale(), 4330 / m.scale()}, nowhere, true, hover::valveSteamChest, hint},
        {{4940 / m.scale(), rear, 4030 / m.scale(), 4330 / m.scale()},
         {front, 6260 / m.scale(), 4030 / m.scale(), 4330 / m.scale()}, true, hover::valveExhaust, hint},
        // The rest of the cab and the last buttons.
        {m.waterGauge(0), m.waterGauge(1), true, hover::waterGauges, hint},
        {m.blowerWheel(), nowhere, true, hover::blowerWheel, CursorShape::plusMinus},
        {m.injector(), nowhere, true, hover::injector, adjustable(s.injectorAutomatic)},
        {m.dataButton(), nowhere, true, hover::dataButton, hint},
        {m.trackModeButton(), nowhere, true, hover::trackModeButton, hint},
        {m.autoControlButton(), nowhere, true, hover::autoControlButton, hint},
        {m.throttleWheel(), nowhere, true, hover::throttleWheel, CursorShape::plusMinus},
        {m.injectionWheel(), nowhere, true, hover::injectionWheel, CursorShape::plusMinus},
        {m.blastPipeLever(), nowhere, true, hover::blastPipeLever, hint},
    }};
}

}  // namespace

HoverHit hoverHitAt(const LocomotiveState& s, int x, int y) {
    for (const HoverArea& a : hoverAreas(s)) {
        if (a.enabled && (a.area.contains(x, y) || a.orArea.contains(x, y))) return {a.target, a.cursor};
    }
    return {};
}

CursorShape hoverMouse(int x, int y, LocomotiveState& s) {
    s.mouseX = x;
    s.mouseY = y;
    s.hoverHintVisible = false;
    const HoverHit hit = hoverHitAt(s, x, y);
    if (hit.target != hover::none) s.hoverTarget = hit.target;
    return hit.cursor;
}

}  // namespace zt40
