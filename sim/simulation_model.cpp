#include "simulation_model.h"

#include <algorithm>
#include <cmath>

#include "numeric.h"
#include "time_step.h"

namespace zt40 {

namespace {

constexpr double drainCocksOpenArea = 0.0001;  // m² per working space
constexpr double drainCocksShutArea = 1e-6;    // m², what a closed cock still lets by
constexpr double chestVolume = 0.1;            // m³ of steam chest, as of exhaust space

void resetAtmosphere(GasSpace& air, std::int32_t ambientTemp) {
    air = GasSpace{};
    air.volume = steam::atmosphereVolume;
    air.temperature = ambientTemp;
    air.steamMass = atmosphericMass(air);
    air.initialised = true;
}

}  // namespace

void SimulationModel::start(SimulationBlock& block) {
    const double keptSuperheaterVolume = previousSuperheaterBaseVolume_;
    const double keptCrankAngle = lastSampledCrankAngle_;
    *this = SimulationModel{};  // fresh loop state for the new run
    previousSuperheaterBaseVolume_ = keptSuperheaterVolume;
    lastSampledCrankAngle_ = keptCrankAngle;

    // Steam chest and exhaust passage start at the cylinder metal's temperature.
    block.steamChestPyrometer = block.cylinderWallTemp;
    for (GasSpace* space : {&block.steamChest, &block.exhaustSpace}) {
        space->temperature = block.cylinderWallTemp;
        space->volume = chestVolume;
        space->pressure = pressureOf(*space, space->steamMass);
    }
    resetAtmosphere(atmosphere_, block.ambientTemp);
    initialiseBoiler(block);
    initialiseSuperheater(block);
    buildCylinderSides(block);
}

void SimulationModel::runExchange(SimulationBlock& block) {
    const auto step = speedStepFor(block.simSpeedCode);
    if (!step) return;
    const double dt = subStepLength(block.stepInterval, block.fineTimer, *step);  // s

    prepareExchange(block);
    for (int i = 0; i < step->subSteps; ++i) {
        if (block.simHold || block.simSpeedCode == simSpeedStop) break;
        subStep(block, dt);
    }
    finishExchange(block);
}

void SimulationModel::prepareExchange(SimulationBlock& block) {
    block.primingRate = 0.0;
    block.wheelPower = 0.0;
    drainCockArea_ = block.drainCocksOpen ? drainCocksOpenArea : drainCocksShutArea;
    computeValveEvents(block);
    computeTrainMass(block);
}

void SimulationModel::subStep(SimulationBlock& block, double dt) {
    // Start of the sub-step: remember speed, fresh air, boiler on saturation,
    // working-space volumes as the starting point of the piston's movement.
    beginSubStep(block);

    // Boiler side: injection, feed, volumes, fire, regulator, level, superheat.
    if (block.fineTimer) injectCylinderWater(block, dt);
    feedInjector(block, dt);
    updateSuperheaterVolume(block);
    updateSpaceVolumes(block);
    updateDraught(block, dt);
    fireAndEvaporate(block, dt);
    balanceBoiler(block, dt);
    updateWaterLevel(block, dt);
    updateSuperheaterTemperature(block, dt);

    // Engine side: steam chest, both cylinders with the indicator, exhaust.
    feedSteamChest(block, dt);
    runCylinderSide1(block, dt);
    if (!block.indicatorSide) sampleIndicator(block, 1);
    runCylinderSide2(block, dt);
    if (block.indicatorSide) sampleIndicator(block, 2);
    block.wheelPower = std::fabs(block.trainSpeed) * tractiveForce_ / 1000.0;  // kW
    exhaustAndCool(block, dt);

    // Rail side: the train's answer to the force, then the wheels turn.
    runRunningGear(block, dt);
    lagPyrometer(block, dt);
    block.acceleration =
        block.fineTimer ? (std::fabs(block.trainSpeed) - std::fabs(speedAtSubStepStart_)) / dt : 0.0;
    turnWheels(block, dt);

    // The clock, and any reset order has been carried out.
    block.simTime += dt;
    block.resetSpaces = false;
}

void SimulationModel::finishExchange(SimulationBlock& block) {
    const double peak = std::max({block.cylinder1SpaceA.pressure, block.cylinder1SpaceB.pressure,
                                  cylinder2SpaceA_.pressure, cylinder2SpaceB_.pressure});  // Pa
    block.peakCylinderPressure = truncateTo<std::int8_t>(peak / steam::atmosphere);
}

void SimulationModel::beginSubStep(SimulationBlock& block) {
    speedAtSubStepStart_ = block.trainSpeed;
    resetAtmosphere(atmosphere_, block.ambientTemp);
    saturateBoiler(block);
    for (CylinderSpace* space :
         {&block.cylinder1SpaceA, &block.cylinder1SpaceB, &cylinder2SpaceA_, &cylinder2SpaceB_}) {
        space->previousVolume = space->volume;
    }
}

// The sub-models of boiler, cylinders, running gear and counter-pressure
// brake follow. Until they are in place the engine stands cold and still.

void SimulationModel::initialiseBoiler(SimulationBlock&) {}
void SimulationModel::initialiseSuperheater(SimulationBlock&) {}
void SimulationModel::buildCylinderSides(SimulationBlock&) {}
void SimulationModel::computeValveEvents(SimulationBlock&) {}
void SimulationModel::computeTrainMass(SimulationBlock&) {}
void SimulationModel::saturateBoiler(SimulationBlock&) {}
void SimulationModel::injectCylinderWater(SimulationBlock&, double) {}
void SimulationModel::feedInjector(SimulationBlock&, double) {}
void SimulationModel::updateSuperheaterVolume(SimulationBlock&) {}
void SimulationModel::updateSpaceVolumes(SimulationBlock&) {}
void SimulationModel::updateDraught(SimulationBlock&, double) {}
void SimulationModel::fireAndEvaporate(SimulationBlock&, double) {}
void SimulationModel::balanceBoiler(SimulationBlock&, double) {}
void SimulationModel::updateWaterLevel(SimulationBlock&, double) {}
void SimulationModel::updateSuperheaterTemperature(SimulationBlock&, double) {}
void SimulationModel::feedSteamChest(SimulationBlock&, double) {}
void SimulationModel::runCylinderSide1(SimulationBlock&, double) {}
void SimulationModel::sampleIndicator(SimulationBlock&, int) {}
void SimulationModel::runCylinderSide2(SimulationBlock&, double) {}
void SimulationModel::exhaustAndCool(SimulationBlock&, double) {}
void SimulationModel::runRunningGear(SimulationBlock&, double) {}
void SimulationModel::lagPyrometer(SimulationBlock&, double) {}
void SimulationModel::turnWheels(SimulationBlock&, double) {}

}  // namespace zt40
