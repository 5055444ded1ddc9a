#pragma once
// What the mouse points at (`hoverTarget`) and what it drags (`dragTarget`,
// `handleOf`): the numbers the main window writes and the display reads to
// show a hint or to report the knob of a dragged control.

#include <cstdint>

namespace zt40 {

namespace hover {
enum Target : std::int8_t {
    none = 0,
    regulatorLever = 1,
    reverserWheel = 2,
    brakeHandle = 3,
    gradientBand = 4,
    speedButton = 5,
    temperatureButton = 6,
    sandingLever = 7,
    drainCockLever = 8,
    waterButton = 9,
    displayButton = 10,
    weightButtons = 11,
    boilerGauge = 12,
    steamChestPyrometer = 13,
    brakeGauge = 14,
    steamChestGauge = 15,
    speedometer = 16,
    cutOffScale = 17,
    blastPipeMassColumn = 18,
    powerColumn = 19,
    firingColumn = 20,
    accelerationColumn = 21,
    firing = 22,
    soundButton = 23,
    rearWorkingSpace = 24,
    frontWorkingSpace = 25,
    valveSteamChest = 26,
    valveExhaust = 27,
    waterGauges = 28,
    injector = 29,
    blowerWheel = 30,
    indicatorDiagram = 31,
    dataButton = 32,
    trackModeButton = 33,
    waterColumn = 34,
    throttleWheel = 35,
    injectionWheel = 36,
    blastPipeLever = 37,
    blastPipeValveDrawing = 38,
    silencer = 39,
    throttleDrawing = 40,
    blowerBlastPipe = 41,
    airSuctionPipe = 42,
    regulatorMode = 43,  // set by the key R, not by the mouse
    autoControlButton = 44,
};
}  // namespace hover

namespace drag {
enum Control : std::int8_t {
    none = 0,
    reverserWheel = 100,
    regulatorLever = 101,
    brakeHandle = 102,
};
}  // namespace drag

}  // namespace zt40
