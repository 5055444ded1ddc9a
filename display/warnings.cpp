#include "warnings.h"

#include <cmath>
#include <cstdlib>

#include "numeric.h"
#include "text_format.h"

namespace zt40 {

namespace {

constexpr double overspeedWarning = 21.0;           // m/s at the rim
constexpr double chestTooHot = 673.0;               // K: the compressed air gets too warm
constexpr double boilerLimitWarning = 70.0;          // kg/(m² h) of steam drawn
constexpr double boilerLimitClear = 65.0;            // kg/(m² h)
constexpr double waterTooLow = 469.0;                // mm on the depth scale
constexpr double overpressureClear = 1400000.0;      // Pa: the safety valve has done its work
constexpr double chestPressureHigh = 1000000.0;      // Pa
constexpr double chestPressureLow = 800000.0;        // Pa
constexpr double cutOffHintSpeed = 19.4;             // m/s
constexpr std::uint8_t counterLimit = 254;
constexpr std::uint8_t cutOffHintDelay = 100;        // frames
constexpr std::uint8_t equalizeHintDelay = 200;      // frames

struct Place {
    int x, y;  // px
};

// A position of the design in millimetres, in pixels of this frame.
Place at(const LocomotiveState& copy, double x, double y) {
    return {truncateTo<int>(x / copy.displayScale), truncateTo<int>(y / copy.displayScale)};
}

void add(std::vector<TextBox>& boxes, Place place, std::string first, std::string second = {},
         std::string third = {}) {
    boxes.push_back(TextBox{place.x, place.y, {std::move(first), std::move(second), std::move(third)}});
}

// Driving in the running direction with less than 25 % cut-off at speed.
bool cutOffTooShort(const LocomotiveState& c) {
    const int r = c.reverser;
    return std::fabs(c.trainSpeed) > cutOffHintSpeed && c.valvesEngaged &&
           ((r > 0 && r < 50 && c.wheelSpeed < 0.0) || (r >= -49 && r < 0 && c.wheelSpeed > 0.0));
}

// The warning state the frame logic raised, in its box.
void stateWarning(std::vector<TextBox>& boxes, const LocomotiveState& c, const FrameState& frame) {
    if (frame.shownWarningFrames <= 0) return;
    const int sandY = at(c, 0, 2400).y;  // the sand warnings stand at the left edge
    switch (frame.shownWarning) {
        case Warning::valveMayBreak: add(boxes, at(c, 4700, 3800), "Kolbeschieber kann brechen !"); break;
        case Warning::sandIntoSlip: add(boxes, {15, sandY}, "Ins schleudernde Rad gesandet !"); break;
        case Warning::sandTooShort: add(boxes, {15, sandY}, "Mindestens 1 Umdrehung Sanden !"); break;
        case Warning::valveFlutter: add(boxes, at(c, 4800, 3800), "Kolbenschieber flattert !"); break;
        case Warning::cylinderRelief: add(boxes, at(c, 4800, 3800), "Überdruck in den Zylindern"); break;
        case Warning::spittingWater: add(boxes, at(c, 4800, 2800), "Maschine spuckt Wasser"); break;
        case Warning::priming: add(boxes, at(c, 4800, 2800), primingText(c.primingRate)); break;
        case Warning::blastPipeSuction: add(boxes, at(c, 4800, 3800), "Blasrohr saugt Lösche an"); break;
        case Warning::none: break;
    }
}

// The counter-pressure brake: air too hot, or the steam chest too full to open the regulator.
void counterPressureHints(std::vector<TextBox>& boxes, const LocomotiveState& c, const FrameState& frame,
                          DisplayMemory& memory) {
    if (!frame.counterPressureMode || c.regulator != 0) return;
    if (c.steamChestPyrometer > chestTooHot) {
        add(boxes, at(c, 500, 2800), "Mehr Wasser einspritzen", "Die Luft wird zu warm");
    }
    if (c.steamChest.pressure > chestPressureHigh) memory.steamChestHighLatch = true;
    if (c.steamChest.pressure < chestPressureLow) memory.steamChestHighLatch = false;
    if (memory.steamChestHighLatch) {
        add(boxes, at(c, 3000, 2800), "Schieberkastendruck senken", "Regler kann aufgedrückt", "werden");
    }
}

// Above the boiler's rated output; once shown it stays until the average is clearly lower.
void boilerLimit(std::vector<TextBox>& boxes, const LocomotiveState& c, DisplayMemory& memory, float load) {
    if (!((load > boilerLimitWarning && !memory.boilerOverpressureLatch && !c.safetyValveOpen) ||
          memory.boilerLimitLatch)) {
        return;
    }
    add(boxes, at(c, 200, 3000), "Gefahr von Kesselschäden!", "Kesselgrenzleistung von 57 kg/m²h voll überschritten",
        formatText("Es wird mit %1.0f kg/m²h zuviel Dampf entnommen.", load));
    memory.boilerLimitLatch = load >= boilerLimitClear;
}

// Too little cut-off at speed, or the engine braking itself by compression.
void equalizeHints(std::vector<TextBox>& boxes, const LocomotiveState& c, const FrameState& frame,
                   DisplayMemory& memory) {
    std::uint8_t& counter = memory.equalizeCounter;
    if (cutOffTooShort(c)) {
        if (counter < counterLimit) ++counter;
        if (counter > cutOffHintDelay) {
            add(boxes, at(c, 1800, 3800), formatText("Füllung auf min. 25 %% erhöhen,"),
                "um die Kolbenmassen am Todpunkt", "besser abfangen zu können.");
        }
    } else if (frame.equalizeFlag) {
        if (counter < counterLimit) ++counter;
        if (counter > equalizeHintDelay) {
            add(boxes, at(c, 4800, 3350), "Druckausgleich herstellen !", "Maschine wird gebremst.");
        }
    } else {
        counter = 0;
    }
}

}  // namespace

std::string primingText(double primingRate) {
    return primingRate > 1.0 ? formatText("Wasserübereißen %1.3f l/s", primingRate)
                             : formatText("Wasserübereißen %1.0f ml/s", primingRate * 1000.0);
}

std::vector<TextBox> warningBoxes(const LocomotiveState& c, const FrameState& frame, DisplayMemory& memory,
                                  const AverageMeans& means) {
    std::vector<TextBox> boxes;
    // Speed and adhesion.
    if (std::fabs(c.wheelSpeed) > overspeedWarning) add(boxes, at(c, 300, 4800), "Langsamer fahren !");
    if (c.wheelSlip) add(boxes, at(c, 5300, 5300), "Schleudern!");

    // Sand and fire share a place: the fire covers the sand.
    if (c.sandingOn && !c.sandRunning && c.sandSeconds < 0.5) add(boxes, at(c, 200, 2500), "Kein Sand mehr vorhanden !");
    if (c.fireShortfall > 0) add(boxes, at(c, 200, 2500), "Unvollständige Verbrennung");

    // The safety valve blew: shown until the pressure is down or the automatic firing holds it.
    if (c.safetyValveOpen) memory.boilerOverpressureLatch = true;
    if (c.boilerSteam.pressure < overpressureClear || c.autoFiring) memory.boilerOverpressureLatch = false;
    if (memory.boilerOverpressureLatch) add(boxes, at(c, 200, 2800), "Überdruck im Kessel");

    stateWarning(boxes, c, frame);
    counterPressureHints(boxes, c, frame, memory);
    boilerLimit(boxes, c, memory, means.heatingSurfaceLoad);
    if (c.trueWaterDepth > waterTooLow) {
        add(boxes, at(c, 100, 2800), "GEFAHR !!!", "Niedriger Wasserstand", "im Kessel !!!");
    }
    equalizeHints(boxes, c, frame, memory);
    return boxes;
}

}  // namespace zt40
