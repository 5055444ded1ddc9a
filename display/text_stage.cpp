#include "text_stage.h"

#include "help_texts.h"
#include "numeric.h"
#include "pointer_targets.h"
#include "status_texts.h"
#include "warnings.h"

namespace zt40 {

TextStage composeTextStage(const LocomotiveState& copy, const FrameState& rules, DisplayMemory& memory,
                           const AverageMeans& means) {
    TextStage text;
    if (copy.textHidden) return text;
    text.shown = true;

    // Status lines under the button bar.
    text.statusX = truncateTo<int>(2200.0 / copy.displayScale);
    text.statusY = truncateTo<int>(1800.0 / copy.displayScale);
    text.statusLines = statusLines(copy, rules.coalRate, rules.coalTotal);

    // Help for what is under the mouse; the regulator's feel shows on its key, at a place of its own.
    const bool feel = copy.hoverTarget == hover::regulatorMode;
    if ((copy.hoverHintVisible && copy.hoverTarget != 0) || feel) {
        int mouseX = copy.mouseX, mouseY = copy.mouseY;  // px
        if (feel) {
            mouseX = truncateTo<std::int32_t>(600.0 / copy.displayScale);
            mouseY = truncateTo<std::int32_t>(550.0 / copy.displayScale);
        }
        const auto lines = helpLines(copy.hoverTarget, copy, rules, means);
        if (!lines[0].empty()) text.help = placeHelpBox(lines, mouseX, mouseY, copy.clientWidth);
    }

    // Warnings and hints.
    text.warnings = warningBoxes(copy, rules, memory, means);
    return text;
}

}  // namespace zt40
