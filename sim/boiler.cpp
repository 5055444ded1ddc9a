#include "boiler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "numeric.h"
#include "sim_speed.h"

namespace zt40 {

using namespace steam;

namespace {

constexpr double boilerVolume = 25.27;      // m³ of the barrel
constexpr double tubesVolume = 13.6;        // m³ taken by tubes and flues
constexpr double boilerLimit = 4.2;         // kg/s of evaporation
constexpr double safetyValveLift = 1450000.0;   // Pa
constexpr double safetyValveSeat = 1440000.0;   // Pa
constexpr double safetyValveArea = 0.002;       // m²
constexpr double feedWaterTemperature = 373.0;  // K
constexpr double bodyHeatCapacity = 495066.0;          // J/K of the boiler body
constexpr double perWorkingPressure = 0.000000714257;  // 1/Pa, one over 14 bar
// The smallest steam space: a boiler filled to the crown still holds this
// pocket of steam under the dome, and the injector stops feeding at it.
constexpr double steamPocketVolume = 0.01;  // m³

double superheaterBaseVolume(double superheaterPower) {
    return superheaterPower > 1000.0 ? 1.5 : 0.3;  // m³
}

// Area (m²) of the regulator: main valve, else pilot valve, else shut.
double regulatorArea(const SimulationBlock& block) {
    if (block.regulator >= 1) {
        const double diameter = (block.regulator + 15) * 0.001;  // m
        return std::numbers::pi / 4.0 * diameter * diameter;
    }
    if (block.pilotValve >= 1) return (block.pilotValve - 1) * 0.000028571;
    return 0.0;
}

void moveWater(GasSpace& space, double evaporated) {
    space.waterMass -= evaporated;
    space.steamMass += evaporated;
}

// Evaporation in the boiler: never more than the water lying there.
void evaporate(GasSpace& boiler, double mass) { moveWater(boiler, std::min(mass, std::max(boiler.waterMass, 0.0))); }

}  // namespace

double boilerSteamVolume(double waterMass) {
    // An overfilled boiler keeps its steam pocket; a dry one is all steam.
    const double volume = boilerVolume - waterMass * 0.001 - tubesVolume;  // m³
    return std::clamp(volume, steamPocketVolume, boilerVolume - tubesVolume);
}

void Boiler::start(SimulationBlock& block, GasSpace& superheater, double& previousSuperheaterBaseVolume) {
    *this = Boiler{};
    GasSpace& boiler = block.boilerSteam;
    boiler.volume = boilerSteamVolume(boiler.waterMass);
    boiler.temperature = saturationTemperature(boiler.pressure);
    massFromPressure(boiler);
    saturate(boiler, saturationRow_);

    superheater = GasSpace{};
    superheater.temperature = 900.0;
    previousSuperheaterBaseVolume = superheaterBaseVolume(block.superheaterPower);
    superheater.volume = previousSuperheaterBaseVolume;
    normalise(superheater);
}

void Boiler::saturateAtStart(SimulationBlock& block) {
    saturate(block.boilerSteam, saturationRow_);
    temperatureAtStart_ = block.boilerSteam.temperature;
    pressureAtStart_ = block.boilerSteam.pressure;
}

void Boiler::feedInjector(SimulationBlock& block, double dt) {
    GasSpace& boiler = block.boilerSteam;
    if (block.tankWater <= 1.0 || boiler.volume <= steamPocketVolume || block.injectorRate == 0) return;
    const double feed = block.injectorRate * dt * (1.0 / 60.0);  // kg
    block.tankWater -= feed;
    // Cold feed water cools the boiler, and the cooling condenses steam.
    const double before = boiler.temperature;  // K
    const double water = boiler.waterMass;      // kg
    boiler.temperature = (feed * feedWaterTemperature + water * before) / (feed + water);
    boiler.waterMass += feed;
    // The heat the boiling water and the steam give up, each with a heat
    // capacity straight in temperature over the working range (J/K per kg);
    // three tenths of it condenses steam.
    const double condensed = (before - boiler.temperature) *
                             ((before * 0.6966 + 3929.4958) * boiler.waterMass +
                              (75836.2692 - before * 131.4664) * boiler.steamMass) /
                             latentHeat(before) * 0.3;
    boiler.steamMass -= condensed;
    boiler.waterMass += condensed;
    saturate(boiler, saturationRow_);
    sums_.injector += condensed;  // the steam the injector costs
    sums_.waterGained += feed + condensed;
}

void Boiler::updateSuperheaterVolume(SimulationBlock& block, GasSpace& superheater, double& previousBaseVolume) {
    const double base = superheaterBaseVolume(block.superheaterPower);  // m³
    if (base != previousBaseVolume) {
        superheater.volume = base;
        massFromPressure(superheater);
        previousBaseVolume = base;
    }
    superheater.volume = base - superheater.waterMass * 0.001;
}

void Boiler::updateBoilerVolume(SimulationBlock& block) {
    GasSpace& boiler = block.boilerSteam;
    if (boiler.waterMass < 0.0) sums_.waterGained -= boiler.waterMass;  // drawn beyond the last drop: never there
    boiler.waterMass = std::max(boiler.waterMass, 0.0);  // kg, a dry boiler holds none
    boiler.volume = boilerSteamVolume(boiler.waterMass);
}

void Boiler::updateDraught(const SimulationBlock& block, double dt) {
    if (SimSpeed(block.simSpeedCode).stopped() || block.simHold || dt >= 1.0) return;
    // The blast pipe and the blower pull the fire; a tank near empty starves it.
    const double pull = block.blowerSteamFlow + (block.blastPipeClosed ? 0.0 : block.blastPipeFlow);  // kg/s
    if (block.tankWater <= 255.0) {
        if (draught_ > pull) draught_ -= 10.0 * dt;
        else if (draught_ < pull && block.tankWater > 150.0) draught_ += dt / 10.0;
    } else {
        if (draught_ > pull) draught_ -= 6.0 * dt;
        else if (draught_ < pull) draught_ += 10.0 * dt;
    }
    draught_ = std::max(draught_, 0.0);
}

void Boiler::fireAndEvaporate(SimulationBlock& block, double dt) {
    GasSpace& boiler = block.boilerSteam;
    double heat = 0.0;  // W
    if (!block.autoFiring) {
        // Hand firing follows the setpoint as far as the draught sustains it.
        const double wanted = block.fireSetpoint;       // %
        const double sustained = 45.0 * draught_ + 10.0;  // %
        if (fireLevel_ > wanted || fireLevel_ > sustained) {
            fireLevel_ = std::max(fireLevel_ - 1.5 * dt, 0.0);
        } else if (fireLevel_ < wanted && fireLevel_ < sustained) {
            fireLevel_ = std::min(fireLevel_ + 5.0 * dt, wanted);
        }
        block.fireShortfall = wanted > sustained ? truncateTo<std::int8_t>(wanted - sustained) : 0;
        heat = fireLevel_ / 100.0 * block.boilerPower;
    } else {
        // Automatic firing: full fire up to 13.9 bar, none from 14.3 bar.
        const double pressureFactor = std::clamp(35.75 - boiler.pressure * 0.000025, 0.0, 1.0);
        const double draughtFactor = std::min(0.1 + 0.45 * draught_, 1.0);
        heat = block.boilerPower * pressureFactor * draughtFactor;
        block.autoFiringShortfall = block.boilerPower * (1.0 - pressureFactor);
        fireLevel_ = block.fireRate;
        block.fireShortfall = 0;
    }
    block.fireRate = truncateTo<std::int8_t>(100.0 * heat / block.boilerPower);
    evaporated_ = heat * dt / latentHeat(boiler.temperature);  // kg
    evaporated_ = std::min(evaporated_, std::max(boiler.waterMass, 0.0));
    moveWater(boiler, evaporated_);
    saturate(boiler, saturationRow_);
    sums_.made += evaporated_;
    sums_.waterGained -= evaporated_;
}

void Boiler::balance(SimulationBlock& block, GasSpace& superheater, GasSpace& atmosphere, double dt) {
    GasSpace& boiler = block.boilerSteam;

    // Regulator: the main valve, or the pilot valve first; priming rides along.
    const double waterBeforeDraw = boiler.waterMass;  // kg
    const double area = regulatorArea(block);  // m²
    regulatorInflow_ = 0.0;
    block.boilerSteamDraw = 0.0;
    if (block.regulator >= 1 || block.pilotValve >= 1) {
        regulatorInflow_ = regulatorFlow(boiler, superheater, area, primingRate_, dt);
        block.boilerSteamDraw = regulatorInflow_;
        sums_.regulator += regulatorInflow_;
    }

    // Safety valve with its blow-down.
    if (boiler.pressure > safetyValveLift || block.safetyValveOpen) {
        block.safetyValveOpen = boiler.pressure >= safetyValveSeat;
        const double blown = regulatorFlow(boiler, atmosphere, safetyValveArea, 0.0, dt);  // kg
        block.boilerSteamDraw += blown;
        sums_.safetyValve += blown;
    }

    // Auxiliary blower.
    const double blower = regulatorFlow(boiler, atmosphere, block.blowerSetting * 0.000005, 0.0, dt);  // kg
    block.boilerSteamDraw += blower;
    block.blowerSteamFlow = blower / dt;
    sums_.blower += blower;
    sums_.waterGained += boiler.waterMass - waterBeforeDraw;  // carried over with the steam

    // What left is made good from the water; beyond the boiler limit part
    // of the surplus falls back, growing with its square.
    const double steamBeforeEvaporation = boiler.steamMass;  // kg
    evaporate(boiler, 0.95 * block.boilerSteamDraw);
    const double surplus = 0.95 * block.boilerSteamDraw + evaporated_ - boilerLimit * dt;  // kg
    if (surplus > 0.0) moveWater(boiler, -surplus * (surplus / dt) * 0.5);
    block.boilerSteamDraw /= dt;  // kg/s
    saturate(boiler, saturationRow_);

    // The boiler body gives off heat as the pressure falls and takes it up
    // as it rises: its heat capacity, in the share the present pressure
    // has of 14 bar.
    const double released = (temperatureAtStart_ - boiler.temperature) * bodyHeatCapacity * perWorkingPressure *
                            boiler.pressure / latentHeat(boiler.temperature);  // kg
    const GasSpace beforeRelease = boiler;
    evaporate(boiler, released);
    saturate(boiler, saturationRow_);
    settleNoFurtherThanStart(boiler, beforeRelease);

    // Only water turned into steam (or back) since the flows.
    const double evaporated = boiler.steamMass - steamBeforeEvaporation;  // kg
    sums_.made += evaporated;
    sums_.waterGained -= evaporated;
}

void Boiler::publishBalance(ModelResults& results, double elapsed) const {
    BoilerBalance& b = results.boilerBalance;
    b.steamMade = sums_.made / elapsed;
    b.regulatorSteam = sums_.regulator / elapsed;
    b.blowerSteam = sums_.blower / elapsed;
    b.injectorSteam = sums_.injector / elapsed;
    b.safetyValveSteam = sums_.safetyValve / elapsed;
    b.steamUsed = (sums_.regulator + sums_.blower + sums_.injector + sums_.safetyValve) / elapsed;
    b.waterTrend = sums_.waterGained / elapsed;
}

void Boiler::settleNoFurtherThanStart(GasSpace& boiler, const GasSpace& beforeRelease) const {
    // Heat flows only from the warmer side, so the body can bring the steam
    // back to the temperature of the sub-step's start but never past it. In
    // a small steam space (an overfilled boiler) its share would otherwise
    // outweigh the change it answers: the pressure would run away with the
    // safety valve blowing, and the space collapse.
    const bool overshot =
        (boiler.temperature - temperatureAtStart_) * (beforeRelease.temperature - temperatureAtStart_) < 0.0;
    if (!overshot) return;
    boiler.pressure = pressureAtStart_;
    boiler.temperature = temperatureAtStart_;
    massFromPressure(boiler);
    boiler.waterMass = beforeRelease.waterMass + beforeRelease.steamMass - boiler.steamMass;
}

void Boiler::updateWaterLevel(SimulationBlock& block, double dt) {
    // True level from the steam volume; the glass shows it foamed and tilted.
    block.trueWaterDepth = 154.87647 * std::pow(block.boilerSteam.volume, 0.68639404);  // mm
    const double apparent = block.trueWaterDepth - (25.8 - 0.129 * block.waterQuality) * block.boilerSteamDraw;
    if (block.gradient != slopeGradient_) {  // the line's inclination only changes with the gradient
        slopeGradient_ = block.gradient;
        slope_ = std::atan(block.gradient / 1000.0);
    }
    const double slope = slope_;  // rad
    const double tilt = block.trainSpeed > 0.0 ? slope + 0.03 * block.acceleration : slope - 0.03 * block.acceleration;
    const double target = apparent - 3000.0 * std::tan(tilt);  // mm

    // The glass follows slowly and sloshes after a jump.
    sloshPhase_ += 10.0 * dt;
    if (sloshPhase_ > 2.0 * std::numbers::pi) sloshPhase_ = 0.0;
    if (levelFilter_ < target) levelFilter_ = std::min(levelFilter_ + 0.005, target);
    else if (levelFilter_ > target) levelFilter_ = std::max(levelFilter_ - 0.005, target);
    const double jump = std::min(std::fabs(levelFilter_ - target), 150.0);  // mm
    if (jump > sloshAmplitude_ && pendingAmplitude_ == 0.0) pendingAmplitude_ = jump;
    const bool nearZero = sloshPhase_ > 6.11 || sloshPhase_ < 0.17 || (sloshPhase_ > 2.97 && sloshPhase_ < 3.31);
    if (pendingAmplitude_ > 0.0 && nearZero) {
        sloshAmplitude_ = pendingAmplitude_;
        block.waterSloshing = true;
        pendingAmplitude_ = 0.0;
    }
    // A still glass needs no sine: the wave adds a zero to the filtered level.
    const double wave = sloshAmplitude_ == 0.0 ? 0.0 : std::sin(sloshPhase_) * sloshAmplitude_;  // mm
    block.gaugeGlassLevel = wave + levelFilter_;
    if (sloshAmplitude_ <= 0.0) {
        sloshAmplitude_ = 0.0;
        block.waterSloshing = false;
    } else {
        sloshAmplitude_ -= 0.005;
    }

    // Priming: a high apparent level throws water over with the steam.
    primingRate_ = 35.0 - 0.15 * apparent;  // l/s
    if (primingRate_ < 0.0 || block.regulator < 10) primingRate_ = 0.0;
    block.primingRate = std::max(block.primingRate, primingRate_);
}

void Boiler::updateSuperheaterTemperature(SimulationBlock& block, GasSpace& superheater, double dt) {
    // The target follows the fire.
    const double goal = 1000.0 + 2.0 * block.fireRate;  // K
    if (superheaterTarget_ < goal) superheaterTarget_ = std::min(superheaterTarget_ + 4.0 * dt, goal);
    else if (superheaterTarget_ > goal) superheaterTarget_ = std::max(superheaterTarget_ - 4.0 * dt, goal);

    // Heating by the flue gases, mixed with the inflow from the boiler.
    const double tsh = superheater.temperature;  // K
    const double mass = superheater.steamMass;   // kg
    const double inflow = regulatorInflow_;      // kg
    const double g = superheaterTarget_ > tsh ? (superheaterTarget_ - tsh) / superheaterTarget_ : -1e-99;
    const double heating = g * (0.1 * draught_ + 0.5) * block.superheaterPower;  // W
    superheater.temperature =
        (heating * dt + mass * specificHeat * (tsh * mass + block.boilerSteam.temperature * inflow) / (inflow + mass)) /
        (specificHeat * mass);

    // Water in the superheater is dried off and holds the steam at saturation.
    const double saturation = saturationTemperature(superheater.pressure);  // K
    const double drying = block.superheaterPower <= 1000.0 ? 0.0 : heating * 1e-10;  // W
    if (superheater.waterMass > 0.0) {
        moveWater(superheater, drying * dt / latentHeat(saturation));
        const double wetness = superheater.waterMass / 1.5;
        if (wetness > 0.1) superheater.temperature = saturation;
        else superheater.temperature += (saturation - superheater.temperature) / 0.1 * wetness;
        if (superheater.waterMass < 0.0) superheater.waterMass = 0.0;
    } else {
        superheater.waterMass = 0.0;
    }
    superheater.temperature = std::min(superheater.temperature, 1200.0);
}

}  // namespace zt40
