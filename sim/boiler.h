#pragma once
// The steam generator: fire and draught, evaporation with the boiler limit,
// injector feed, regulator and pilot valve with priming, safety valve,
// auxiliary blower, true and apparent water level, and the superheater
// between regulator and steam chest. One method per phase of the sub-step.

#include "gas_space.h"
#include "locomotive_state.h"

namespace zt40 {

class Boiler {
public:
    // Thread start: the boiler on its saturation line, an empty superheater.
    void start(SimulationBlock& block, GasSpace& superheater, double& previousSuperheaterBaseVolume);

    // Sub-step phases, in the order they run.
    void saturateAtStart(SimulationBlock& block);
    void feedInjector(SimulationBlock& block, double dt);
    void updateSuperheaterVolume(SimulationBlock& block, GasSpace& superheater, double& previousBaseVolume);
    void updateBoilerVolume(SimulationBlock& block);
    void updateDraught(const SimulationBlock& block, double dt);
    void fireAndEvaporate(SimulationBlock& block, double dt);
    void balance(SimulationBlock& block, GasSpace& superheater, GasSpace& atmosphere, double dt);
    void updateWaterLevel(SimulationBlock& block, double dt);
    void updateSuperheaterTemperature(SimulationBlock& block, GasSpace& superheater, double dt);

    double draught() const { return draught_; }  // kg/s, smoothed

    // The boiler's balance: sums from the exchange's start, published as
    // rates over the `elapsed` seconds its sub-steps covered.
    void beginBalance() { sums_ = BalanceSums{}; }
    void countWaterDrawn(double mass) { sums_.waterGained -= mass; }  // kg of boiler water taken elsewhere
    void publishBalance(ModelResults& results, double elapsed) const;

private:
    struct BalanceSums {
        double made;         // kg evaporated
        double regulator;    // kg of steam through the regulator
        double blower;       // kg
        double injector;     // kg of steam condensed by the feed
        double safetyValve;  // kg
        double waterGained;  // kg of water, all ways
    };

    // The boiler body's heat brings the steam no further than the sub-step's start.
    void settleNoFurtherThanStart(GasSpace& boiler, const GasSpace& beforeRelease) const;

    double draught_ = 0.0;            // kg/s of exhaust and blower steam, smoothed
    double fireLevel_ = 0.0;          // % of the hand-fired fire
    double levelFilter_ = 454.0;      // mm on the depth scale
    double sloshAmplitude_ = 0.0;     // mm
    double pendingAmplitude_ = 0.0;   // mm, released at the next zero crossing
    double sloshPhase_ = 0.0;         // rad
    std::int8_t slopeGradient_ = 0;   // per mille the slope below was taken for
    double slope_ = 0.0;              // rad, inclination of the line
    double primingRate_ = 0.0;        // l/s, used by the next sub-step's regulator flow
    double superheaterTarget_ = 900.0;  // K
    double temperatureAtStart_ = 0.0;   // K after the sub-step's first saturation
    double pressureAtStart_ = 0.0;      // Pa over atmosphere, with it
    double evaporated_ = 0.0;           // kg in this sub-step
    double regulatorInflow_ = 0.0;      // kg into the superheater in this sub-step
    int saturationRow_ = 0;             // piece of the saturation line the steam last ended on
    BalanceSums sums_{};
};

// Steam volume (m³) of the boiler holding `waterMass` kg of water.
double boilerSteamVolume(double waterMass);

}  // namespace zt40
