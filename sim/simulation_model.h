#pragma once
// The locomotive model: one exchange's batch of sub-steps on a simulation
// block, fire to rail. It knows nothing of threads; the simulation thread,
// the headless runner, tests and benchmarks all drive it through
// runExchange(). Everything the model keeps between exchanges lives here,
// so two models never share state.

#include "gas_space.h"
#include "locomotive_state.h"

namespace zt40 {

// What the simulation thread runs: a preparation at thread start, then one
// batch of sub-steps per exchange.
class ExchangeRunner {
public:
    virtual ~ExchangeRunner() = default;
    virtual void start(SimulationBlock& block) = 0;
    virtual void runExchange(SimulationBlock& block) = 0;
};

class SimulationModel final : public ExchangeRunner {
public:
    // Prepares the working objects for a run on `block`, as at the start of
    // the simulation thread. Resets all loop state but the two values that
    // persist for the life of the program.
    void start(SimulationBlock& block) override;

    // Runs one exchange's sub-steps on `block`.
    void runExchange(SimulationBlock& block) override;

private:
    void prepareExchange(SimulationBlock& block);
    void subStep(SimulationBlock& block, double dt);
    void finishExchange(SimulationBlock& block);

    // Thread-start preparation of the later sub-models.
    void initialiseBoiler(SimulationBlock& block);
    void initialiseSuperheater(SimulationBlock& block);
    void buildCylinderSides(SimulationBlock& block);

    // Per-exchange preparation.
    void computeValveEvents(SimulationBlock& block);
    void computeTrainMass(SimulationBlock& block);

    // Sub-step phases, in the order they run.
    void beginSubStep(SimulationBlock& block);
    void saturateBoiler(SimulationBlock& block);
    void injectCylinderWater(SimulationBlock& block, double dt);
    void feedInjector(SimulationBlock& block, double dt);
    void updateSuperheaterVolume(SimulationBlock& block);
    void updateSpaceVolumes(SimulationBlock& block);
    void updateDraught(SimulationBlock& block, double dt);
    void fireAndEvaporate(SimulationBlock& block, double dt);
    void balanceBoiler(SimulationBlock& block, double dt);
    void updateWaterLevel(SimulationBlock& block, double dt);
    void updateSuperheaterTemperature(SimulationBlock& block, double dt);
    void feedSteamChest(SimulationBlock& block, double dt);
    void runCylinderSide1(SimulationBlock& block, double dt);
    void sampleIndicator(SimulationBlock& block, int side);
    void runCylinderSide2(SimulationBlock& block, double dt);
    void exhaustAndCool(SimulationBlock& block, double dt);
    void runRunningGear(SimulationBlock& block, double dt);
    void lagPyrometer(SimulationBlock& block, double dt);
    void turnWheels(SimulationBlock& block, double dt);

    // Working objects of the run.
    GasSpace superheater_{};
    GasSpace atmosphere_{};
    CylinderSpace cylinder2SpaceA_{};
    CylinderSpace cylinder2SpaceB_{};

    // Loop state across sub-steps and exchanges.
    double drainCockArea_ = 0.0;              // m² vented by each working space
    double speedAtSubStepStart_ = 0.0;        // m/s
    double boilerTemperatureAtStart_ = 0.0;   // K after the sub-step's saturation
    double tractiveForce_ = 0.0;              // N at the rim, both sides
    double superheaterTargetTemperature_ = 0.0;  // K

    // Kept for the life of the program, across restarts.
    double previousSuperheaterBaseVolume_ = 0.0;  // m³
    double lastSampledCrankAngle_ = 0.0;          // rad
};

}  // namespace zt40
