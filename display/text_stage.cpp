#include "text_stage.h"

#include <algorithm>

#include "help_texts.h"
#include "indicator_panel.h"
#include "numeric.h"
#include "pointer_targets.h"
#include "warnings.h"
#include "window_layout.h"

namespace zt40 {

namespace {

constexpr double statusLeft = 2200.0;   // mm, at the cab's scale
constexpr double statusTop = 1800.0;    // mm, at the cab's scale
constexpr double sideViewTop = 3000.0;  // mm: the top of the cylinder's pipes

// The regulator's feel shows at the lever.
constexpr layout::Point regulatorFeelAt{600, 550};  // design units of the cab

}  // namespace

StatusRoom statusRoom(const LocomotiveState& copy) {
    const double cab = cabScale(copy);
    const ButtonBarPlace bar = buttonBarPlace(copy);
    return {truncateTo<int>(statusLeft / cab), std::max(truncateTo<int>(statusTop / cab), bar.bottom()),
            rightHandPanelLeft(copy) - bar.cell.width, truncateTo<int>(sideViewTop / copy.displayScale)};
}

TextStage composeTextStage(const LocomotiveState& copy, const FrameState& rules, DisplayMemory& memory,
                           const AverageMeans& means, const TextLayer& taken) {
    TextStage text;
    if (copy.textHidden) return text;
    text.shown = true;
    TextLayer layer = taken;  // each text placed takes its box
    text.cell = layer.cell();
    const bool asMade = layoutAsMade(copy.clientWidth, copy.clientHeight);

    // Status lines under the button bar.
    text.statusLines = placeStatusLines(statusReadings(copy, rules.coalRate, rules.coalTotal), statusRoom(copy), layer);
    for (const PlacedLine& line : text.statusLines) layer.take(layer.extentOf(line.x, line.y, line.text));

    // Help for what is under the mouse; the regulator's feel shows on its key, at a place of its own.
    const bool feel = copy.hoverTarget == hover::regulatorMode;
    if ((copy.hoverHintVisible && copy.hoverTarget != 0) || feel) {
        int mouseX = copy.mouseX, mouseY = copy.mouseY;  // px
        if (feel) {
            const double cab = cabScale(copy);
            mouseX = truncateTo<std::int32_t>(regulatorFeelAt.x / cab);
            mouseY = truncateTo<std::int32_t>(regulatorFeelAt.y / cab);
        }
        const auto lines = helpLines(copy.hoverTarget, copy, rules, means);
        if (!lines[0].empty()) {
            const TextBox wanted = placeHelpBox(lines, mouseX, mouseY, copy.clientWidth, text.cell);
            // Under the pointer if there is room, else as near as there is; never left out.
            text.help = asMade ? wanted : freePlaceOf(wanted, layer).value_or(wanted);
            layer.take(outlineOf(*text.help, text.cell));
        }
    }

    // Warnings and hints, each clear of the texts before it; left out where there is no room.
    for (const TextBox& warning : warningBoxes(copy, rules, memory, means)) {
        if (const auto placed = asMade ? warning : freePlaceOf(warning, layer)) {
            text.warnings.push_back(*placed);
            layer.take(outlineOf(*placed, text.cell));
        }
    }
    return text;
}

}  // namespace zt40
