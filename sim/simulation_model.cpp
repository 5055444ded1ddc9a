#include "simulation_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "numeric.h"
#include "time_step.h"

namespace zt40 {

namespace {

constexpr double drainCocksOpenArea = 0.0001;  // m² per working space
constexpr double drainCocksShutArea = 1e-6;    // m², what a closed cock still lets by

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
    const IndicatorSampler keptIndicator = indicator_;
    *this = SimulationModel{};  // fresh loop state for the new run
    previousSuperheaterBaseVolume_ = keptSuperheaterVolume;
    indicator_ = keptIndicator;
    indicator_.restart();

    // Steam chest and exhaust passage start at the cylinder metal's temperature.
    block.steamChestPyrometer = block.cylinderWallTemp;
    for (GasSpace* space : {&block.steamChest, &block.exhaustSpace}) {
        space->temperature = block.cylinderWallTemp;
        space->volume = cylinder::chestVolume;
        space->pressure = pressureOf(*space, space->steamMass);
    }
    resetAtmosphere(atmosphere_, block.ambientTemp);
    boiler_.start(block, superheater_, previousSuperheaterBaseVolume_);

    // Both cylinder sides, side 1 leading by a quarter turn.
    bindSides(block);
    buildSide(side1_, block.wheelAngle + std::numbers::pi / 2.0, block.cylinderWallTemp);
    buildSide(side2_, block.wheelAngle, block.cylinderWallTemp);

    // Nothing indicated yet, nothing balanced.
    indicatedWork_.start(side1_, side2_);
    block.indication = EngineIndication{};
    block.boilerBalance = BoilerBalance{};
}

void SimulationModel::runExchange(SimulationBlock& block) {
    const SimSpeed speed(block.simSpeedCode);
    if (speed.stopped()) return;
    const double dt = subStepLength(block.stepInterval, block.fineTimer, speed);  // s

    prepareExchange(block);
    int subSteps = 0;
    for (; subSteps < speed.subSteps(); ++subSteps) {
        if (block.simHold) break;
        subStep(block, dt);
    }
    finishExchange(block, subSteps * dt);
}

void SimulationModel::bindSides(SimulationBlock& block) {
    side1_.spaceA = &block.cylinder1SpaceA;
    side1_.spaceB = &block.cylinder1SpaceB;
    side2_.spaceA = &cylinder2SpaceA_;
    side2_.spaceB = &cylinder2SpaceB_;
}

void SimulationModel::prepareExchange(SimulationBlock& block) {
    bindSides(block);  // the model may have been copied or handed another block
    block.primingRate = 0.0;
    block.wheelPower = 0.0;
    drainCockArea_ = block.drainCocksOpen ? drainCocksOpenArea : drainCocksShutArea;
    events_ = computeValveEvents(block);
    runningGear_.prepareExchange(block);
    indicator_.followSide(block);
    boiler_.beginBalance();
    beatWatch_.beginBatch(block.exhaustBeats);
    batchTime_ = 0.0;
}

void SimulationModel::subStep(SimulationBlock& block, double dt) {
    // Start of the sub-step: remember speed, fresh air, boiler on saturation,
    // working-space volumes as the starting point of the piston's movement.
    beginSubStep(block);

    // Boiler side: injection, feed, volumes, fire, regulator, level, superheat.
    if (block.fineTimer) injectCylinderWater(block, dt);
    boiler_.feedInjector(block, dt);
    boiler_.updateSuperheaterVolume(block, superheater_, previousSuperheaterBaseVolume_);
    boiler_.updateBoilerVolume(block);
    updateChestVolumes(block);
    boiler_.updateDraught(block, dt);
    boiler_.fireAndEvaporate(block, dt);
    boiler_.balance(block, superheater_, atmosphere_, dt);
    boiler_.updateWaterLevel(block, dt);
    boiler_.updateSuperheaterTemperature(block, superheater_, dt);

    // Engine side: steam chest, both cylinders with the indicator, exhaust.
    feedSteamChest(block, superheater_, atmosphere_, drainCockArea_, events_.compressorMode, dt);
    tractiveForce_ = runCylinders(block, dt);
    block.wheelPower = std::fabs(block.trainSpeed) * tractiveForce_ * 0.001;  // kW
    exhaustAndCool(block, superheater_, atmosphere_, side2_, events_.compressorMode, dt);

    // Rail side: the train's answer to the force, then the wheels turn.
    runningGear_.step(block, tractiveForce_, dt);
    lagPyrometer(block, dt);
    block.acceleration =
        block.fineTimer ? (std::fabs(block.trainSpeed) - std::fabs(speedAtSubStepStart_)) / dt : 0.0;
    turnWheels(block, dt);

    // The clock, and any reset order has been carried out.
    block.simTime += dt;
    batchTime_ += dt;
    block.resetSpaces = false;
}

void SimulationModel::finishExchange(SimulationBlock& block, double elapsed) {
    if (elapsed > 0.0) boiler_.publishBalance(block, elapsed);
    const double peak = std::max({block.cylinder1SpaceA.pressure, block.cylinder1SpaceB.pressure,
                                  cylinder2SpaceA_.pressure, cylinder2SpaceB_.pressure});  // Pa
    block.peakCylinderPressure = truncateTo<std::int8_t>(peak / steam::atmosphere);
    block.exhaustBeats.span = batchTime_;
}

void SimulationModel::beginSubStep(SimulationBlock& block) {
    speedAtSubStepStart_ = block.trainSpeed;
    resetAtmosphere(atmosphere_, block.ambientTemp);
    boiler_.saturateAtStart(block);
    for (CylinderSpace* space :
         {&block.cylinder1SpaceA, &block.cylinder1SpaceB, &cylinder2SpaceA_, &cylinder2SpaceB_}) {
        space->previousVolume = space->volume;
    }
}

void SimulationModel::injectCylinderWater(SimulationBlock& block, double dt) {
    if (block.cylinderWaterInjection < 1) return;
    // Boiler water sprayed into the exhaust passage, drawn into the cylinders.
    const double water = block.cylinderWaterInjection * dt / 1000.0;  // kg
    block.boilerSteam.waterMass -= water;
    boiler_.countWaterDrawn(water);
    block.exhaustSpace.waterMass += water;
    const double cooling = block.cylinderWaterInjection * dt * 50.0;  // K
    for (CylinderSpace* space :
         {&block.cylinder1SpaceA, &block.cylinder1SpaceB, &cylinder2SpaceA_, &cylinder2SpaceB_}) {
        coolTowardsSaturation(*space, cooling);
    }
}

void SimulationModel::updateChestVolumes(SimulationBlock& block) {
    for (GasSpace* space : {&block.steamChest, &block.exhaustSpace}) {
        space->volume = cylinder::chestVolume - space->waterMass * 0.001;
    }
}

double SimulationModel::runCylinders(SimulationBlock& block, double dt) {
    CylinderSurroundings around{block.steamChest, block.exhaustSpace,      atmosphere_, block.cylinderWallTemp,
                                dt,               block.resetSpaces, events_.compressorMode};

    // Side 1, a quarter turn ahead of side 2, then its drains and relief
    // valves; one sine and cosine of the wheel serve both cranks.
    const double wheelSine = std::sin(block.wheelAngle);
    const double wheelCosine = std::cos(block.wheelAngle);
    placeCrank(side1_, block.wheelAngle + std::numbers::pi / 2.0, wheelCosine, -wheelSine);
    beatWatch_.before(side1_, 0, block);
    const double force1 = runSide(side1_, block, events_, around);  // N
    indicatedWork_.addSide(0, side1_, around.steamTaken);
    beatWatch_.after(side1_, 0, block, events_.compressorMode, batchTime_, block.exhaustBeats);
    ventSide1(block, atmosphere_, drainCockArea_, dt);
    if (!block.indicatorSide) {
        indicator_.noticeSide1Wrap(block, side1_.crankAngle);
        indicator_.sample(block, side1_, force1, events_.compressorMode);
    }

    // Side 2; the two forces make the tractive force.
    placeCrank(side2_, block.wheelAngle, wheelSine, wheelCosine);
    around.steamTaken = 0.0;
    beatWatch_.before(side2_, 1, block);
    const double force = force1 + runSide(side2_, block, events_, around);  // N
    indicatedWork_.addSide(1, side2_, around.steamTaken);
    beatWatch_.after(side2_, 1, block, events_.compressorMode, batchTime_, block.exhaustBeats);
    ventSide2(block, side2_, atmosphere_, drainCockArea_, dt);
    if (block.indicatorSide) indicator_.sample(block, side2_, force, events_.compressorMode);
    return force;
}

void SimulationModel::turnWheels(SimulationBlock& block, double dt) {
    double stepDegrees = 0.0;
    const bool wrapped = runningGear_.turnWheels(block, dt, stepDegrees);
    if (wrapped && block.indicatorSide) indicator_.crankWrapped(block);
    indicator_.setStepDegrees(stepDegrees);
    indicatedWork_.addWheelTurn(block, tractiveForce_, block.wheelSpeed, dt);
}

}  // namespace zt40
