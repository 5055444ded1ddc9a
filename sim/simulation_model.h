#pragma once
// The locomotive model: one exchange's batch of sub-steps on a simulation
// block, fire to rail. It knows nothing of threads; the simulation thread,
// the headless runner, tests and benchmarks all drive it through
// runExchange(). Everything the model keeps between exchanges lives here,
// so two models never share state.

#include "boiler.h"
#include "cylinders.h"
#include "exhaust_beats.h"
#include "exchange_runner.h"
#include "gas_space.h"
#include "indicated_work.h"
#include "indicator.h"
#include "locomotive_state.h"
#include "running_gear.h"

namespace zt40 {

class SimulationModel final : public ExchangeRunner {
public:
    // Prepares the working objects for a run on `block`, as at the start of
    // the simulation thread. Resets all loop state but the two values that
    // persist for the life of the program.
    void start(SimulationBlock& block) override;

    // Runs one exchange's sub-steps on `block`.
    void runExchange(SimulationBlock& block) override;

    const RunningGear& runningGear() const { return runningGear_; }
    const GasSpace& superheater() const { return superheater_; }
    const CylinderSpace& cylinder2SpaceA() const { return cylinder2SpaceA_; }
    const CylinderSpace& cylinder2SpaceB() const { return cylinder2SpaceB_; }
    double draught() const { return boiler_.draught(); }  // kg/s

private:
    void bindSides(SimulationBlock& block);
    void prepareExchange(SimulationBlock& block);
    void subStep(SimulationBlock& block, double dt);
    void finishExchange(SimulationBlock& block, double elapsed);

    void beginSubStep(SimulationBlock& block);
    void injectCylinderWater(SimulationBlock& block, double dt);
    void updateChestVolumes(SimulationBlock& block);
    double runCylinders(SimulationBlock& block, double dt);
    void turnWheels(SimulationBlock& block, double dt);

    // Working objects of the run.
    Boiler boiler_;
    GasSpace superheater_{};
    GasSpace atmosphere_{};
    CylinderSpace cylinder2SpaceA_{};
    CylinderSpace cylinder2SpaceB_{};
    CylinderSide side1_{};
    CylinderSide side2_{};
    ValveEvents events_{};
    RunningGear runningGear_;
    IndicatorSampler indicator_;  // keeps the last sampled crank angle across restarts
    IndicatedWorkMeter indicatedWork_;
    BeatWatch beatWatch_;

    // Loop state across sub-steps and exchanges.
    double drainCockArea_ = 0.0;        // m² vented by each working space
    double speedAtSubStepStart_ = 0.0;  // m/s
    double tractiveForce_ = 0.0;        // N at the rim, both sides
    double batchTime_ = 0.0;            // s of simulated time into the batch

    // Kept for the life of the program, across restarts.
    double previousSuperheaterBaseVolume_ = 0.0;  // m³
};

}  // namespace zt40
