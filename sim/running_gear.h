#pragma once
// Moves the train: the trailing load taken up coupling by coupling, the
// gradient, the driving wheels holding or slipping on the rail, rolling
// resistance and coming to rest, the train brake with locking wheels, and
// the wheel angles that turn the cranks.

#include "locomotive_state.h"

namespace zt40 {

namespace running {
inline constexpr double locomotiveMass = 115400.0;  // kg
inline constexpr double adhesiveMass = 81500.0;     // kg on the driving wheels
inline constexpr double vehicleMass = 60000.0;      // kg taken up per coupling
inline constexpr double wheelsetMass = 10000.0;     // kg, equivalent of the driving wheelsets
inline constexpr double brakedMass = 95000.0;       // kg
inline constexpr double drivingWheelRadius = 0.7;   // m
inline constexpr double carryingWheelRadius = 0.425;  // m
}  // namespace running

// Breakaway resistance: below 0.1 m/s a force loses m/50 N of its
// magnitude, and never changes its sign for it.
double startResist(double force, double mass, double speed);

class RunningGear {
public:
    void restart() { *this = RunningGear{}; }

    // Once per exchange: train take-up, gradient force and adhesive weight.
    void prepareExchange(const SimulationBlock& block);

    // One sub-step under the total tractive force `force` (N).
    void step(SimulationBlock& block, double force, double dt);

    // Turns the wheels; true when the driving-wheel angle wrapped.
    // `stepDegrees` receives the magnitude of the angle change.
    bool turnWheels(SimulationBlock& block, double dt, double& stepDegrees) const;

    double coupledTrainMass() const { return coupledMass_; }  // kg
    double mass() const { return mass_; }                     // kg of the whole train
    double gradientForce() const { return gradientForce_; }   // N, positive uphill forward
    double adhesiveWeight() const { return adhesiveWeight_; }  // N

private:
    void slip(SimulationBlock& block, double force, double mu, double dt) const;
    void brake(SimulationBlock& block, double dt);

    double coupledMass_ = 0.0;  // kg of the trailing load taken up
    bool fullyCoupled_ = false;
    bool takeUpStarted_ = false;
    double takeUpDistance_ = 0.0;  // m at the last take-up
    double previousBrakeForce_ = 0.0;  // N
    double mass_ = running::locomotiveMass;  // kg
    double gradientForce_ = 0.0;   // N
    double adhesiveWeight_ = 0.0;  // N
};

}  // namespace zt40
