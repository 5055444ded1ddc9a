#pragma once
// A lumped steam volume with some liquid water lying in it: boiler steam
// space, superheater, steam chest, cylinder working spaces, exhaust passage
// and the open air. Steam is an ideal gas (R = 462 J/(kg K)) held on a
// piecewise linear saturation line; all operations are plain arithmetic,
// without allocation or locks, so they may run in the simulation's sub-step.

#include <cstdint>

namespace zt40 {

namespace steam {
inline constexpr double gasConstant = 462.0;                // J/(kg K)
inline constexpr double atmosphere = 100000.0;              // Pa absolute
inline constexpr double specificHeat = 1860.0;              // J/(kg K)
inline constexpr double wallHeatCapacity = 470.0 * 8000.0;  // J/K of cylinder metal
inline constexpr double atmosphereVolume = 1e300;           // m³ of the open air
// Any volume at least this large counts as the open air.
inline constexpr double atmosphereThreshold = 1e90;  // m³

// Latent heat of evaporation at temperature T (K), J/kg.
constexpr double latentHeat(double temperatureK) { return 3422011.74 - 3123.6897 * temperatureK; }
}  // namespace steam

struct GasSpace {
    bool initialised;    // the mass has been set from a pressure at least once
    double pressure;     // Pa over atmosphere
    double steamMass;    // kg of vapour
    double temperature;  // K of the vapour
    double volume;       // m³ free for the vapour (geometric volume less the water)
    double waterMass;    // kg of liquid water lying in the space
};

struct CylinderSpace : GasSpace {
    double previousVolume;  // m³ at the start of the current sub-step
    double pistonArea;      // m²
};

inline bool isAtmosphere(const GasSpace& space) { return space.volume >= steam::atmosphereThreshold; }

// Gauge pressure (Pa) that `steamMass` kg would have in this space.
double pressureOf(const GasSpace& space, double steamMass);
// Mass (kg) that gives zero gauge pressure at the space's volume and temperature.
double atmosphericMass(const GasSpace& space);
// Sets `steamMass` from `pressure`, `volume` and `temperature`.
void massFromPressure(GasSpace& space);
// Sets `pressure` from the mass; an empty or never initialised space is
// filled with air-pressure steam instead.
void normalise(GasSpace& space);
// Saturation temperature (K) at a gauge pressure (Pa).
double saturationTemperature(double gaugePressure);
// Puts the space on the saturation line; mass and volume stay, the pressure follows.
void saturate(GasSpace& space);
// The same for a space saturated again and again: `lineRow` names the piece
// of the line it last ended on, a guess that spares a look-up, and follows.
void saturate(GasSpace& space, int& lineRow);

// Nozzle flow through an opening of `area` m² during `dt` s, with water
// carried over. Returns the steam mass moved, kg, negative when it went
// from `to` to `from`.
double flow(GasSpace& from, GasSpace& to, double area, double dt, bool reverseCarry);
// The same flow, after which `from` is normalised; cheaper than `flow` and
// `normalise` where the flow has normalised it already.
double flowOut(GasSpace& from, GasSpace& to, double area, double dt, bool reverseCarry);
// The regulator's nozzle: water is carried at `primingRate` l/s instead of
// in proportion, and there is no large-step guard.
double regulatorFlow(GasSpace& from, GasSpace& to, double area, double primingRate, double dt);

// Mixes an inflow of `inflowMass` kg at `inflowTemperature` K into the
// space; called after the flow has already changed `steamMass`.
void mixTemperature(GasSpace& space, double inflowTemperature, double inflowMass);
// Heat exchange between the space and the cylinder metal at `wallTemperature`
// K, which changes as well; condensation and re-evaporation of water.
void wallHeatExchange(GasSpace& space, double& wallTemperature, double dt, bool resetSpaces,
                      bool compressorMode);
// Polytropic change from `previousVolume` to `volume` (exponent 1.3).
void polytropicStep(CylinderSpace& space);
// Lowers a superheated space's temperature by `drop` K, not below saturation.
void coolTowardsSaturation(GasSpace& space, double drop);
// Water running out of the space through its drains during `dt` s.
void drainWater(GasSpace& space, double dt);

}  // namespace zt40
