#include "running_gear.h"

#include <cmath>

#include "cylinders.h"

namespace zt40 {

using namespace running;

namespace {

constexpr double rollingResistance = 0.003 * 9.81;  // m/s²

double directionOf(double force) { return force > 0.0 ? 1.0 : -1.0; }

// What the rail gives the wheels: a friction factor or a sand bonus is never
// negative, whatever a track or a file says (a NaN counts as none).
double onRail(double value) { return value > 0.0 ? value : 0.0; }

// Lowers a speed's magnitude by `drop` m/s without passing through zero.
double slowDown(double speed, double drop) {
    if (speed > 0.0) return std::fmax(speed - drop, 0.0);
    return std::fmin(speed + drop, 0.0);
}

}  // namespace

double startResist(double force, double mass, double speed) {
    if (speed >= 0.1 || force == 0.0) return force;
    const double reduced = std::fabs(force) - mass / 50.0;  // N
    return reduced <= 0.0 ? 0.0 : std::copysign(reduced, force);
}

void RunningGear::prepareExchange(const SimulationBlock& block) {
    const double load = 1000.0 * block.trainWeight;  // kg
    // Take-up: on a rising line the couplings are already stretched; on the
    // level each 5 mm of travel takes up the next vehicle.
    if (!fullyCoupled_) {
        const bool climbing = (block.gradient > 4 && block.trainSpeed > 0.0) || (block.gradient < -4 && block.trainSpeed < 0.0);
        if (climbing) {
            coupledMass_ = load;
            fullyCoupled_ = takeUpStarted_ = true;
        } else {
            if (!takeUpStarted_) {
                coupledMass_ = 0.0;
                takeUpDistance_ = block.distance;
                takeUpStarted_ = true;
            }
            if (std::fabs(block.distance - takeUpDistance_) > 0.005) {
                coupledMass_ += vehicleMass;
                takeUpDistance_ = block.distance;
                if (coupledMass_ > load) {
                    coupledMass_ = load;
                    fullyCoupled_ = true;
                }
            }
        }
    }
    if (fullyCoupled_) coupledMass_ = load;
    if (block.trainSpeed == 0.0 && takeUpStarted_) fullyCoupled_ = takeUpStarted_ = false;

    // Gradient force along the line and weight on the driving wheels.
    mass_ = block.tankWater + locomotiveMass + coupledMass_;
    // The gradient's right triangle scaled to a run of 10: rise slope =
    // gradient/100 (per mille over 100), hypotenuse c, so slope/c is sin α
    // and 10/c is cos α, and 98.1 below is ten times g.
    const double slope = block.gradient / 100.0;
    const double c = std::sqrt(100.0 + slope * slope);
    gradientForce_ = mass_ * 9.81 * slope / c;                     // N, M·g·sin α
    adhesiveWeight_ = (block.tankWater + adhesiveMass) * 98.1 / c;  // N, on the driving wheels: m·g·cos α
}

void RunningGear::step(SimulationBlock& block, double force, double dt) {
    const double n = adhesiveWeight_;  // N
    const double g = gradientForce_;   // N

    // Holding at standstill: what the brake holds does not move the engine.
    if (std::fabs(block.wheelSpeed) < 0.1) {
        if ((force <= 0.0 && force + previousBrakeForce_ > 0.0) || (force > 0.0 && force - previousBrakeForce_ < 0.0)) {
            force = 0.0;
        }
    }

    // Adhesion, less with water from the drain cocks on the rail.
    const double friction = onRail(block.frictionFactor);
    const double sand = onRail(block.sandBonus);
    double mu = friction;
    if (block.drainCocksOpen && block.valvesEngaged) {
        mu = block.trainSpeed > 0.0 ? 0.75 * friction : std::fmin(0.75 - 0.04 * block.trainSpeed, 0.99) * friction;
    }

    // Slip or grip, with hysteresis.
    bool slipping = std::fabs(force) > (sand + mu) * n;
    if (block.wheelSlip) {
        slipping = std::fabs(force) > (0.68 * mu + sand) * n ||
                   std::fabs(block.wheelSpeed) > std::fabs(block.trainSpeed) + 2.0;
    }
    if (slipping) {
        slip(block, force, mu, dt);
    } else {
        block.trainSpeed += startResist(force, mass_, std::fabs(block.trainSpeed)) * dt / mass_;
        block.wheelSpeed = block.trainSpeed;
        block.wheelSlip = false;
    }

    // Gradient.
    if (g < 0.0) block.trainSpeed += startResist(-g, mass_, std::fabs(block.trainSpeed)) * dt / mass_;
    if (g > 0.0) block.trainSpeed -= startResist(g, mass_, std::fabs(block.trainSpeed)) * dt / mass_;
    if (!block.wheelSlip) block.wheelSpeed = block.trainSpeed;

    // Rolling resistance, or the train comes to rest.
    if (std::fabs(block.trainSpeed) >= 0.01 || std::fabs(force) > g || block.acceleration >= 0.0) {
        if (std::fabs(block.trainSpeed) > 0.00001) block.trainSpeed = slowDown(block.trainSpeed, dt * rollingResistance);
    } else {
        block.trainSpeed = block.wheelSpeed = 0.0;
    }

    brake(block, dt);
}

void RunningGear::slip(SimulationBlock& block, double force, double mu, double dt) const {
    block.wheelSlip = true;
    const double transmitted = (onRail(block.sandBonus) + 0.68 * mu) * adhesiveWeight_;  // N, sliding adhesion
    const double direction = directionOf(force);
    const double a = startResist(transmitted, mass_, std::fabs(block.trainSpeed)) * dt / mass_;  // m/s
    block.trainSpeed += direction * a;
    if (std::fabs(force) <= transmitted) {
        block.wheelSpeed -= direction * transmitted * dt / wheelsetMass;  // the rail brakes the wheels
    } else {
        block.wheelSpeed += direction * ((std::fabs(force) - transmitted) * dt / wheelsetMass + a);
    }
}

void RunningGear::brake(SimulationBlock& block, double dt) {
    if (block.brake == 0) {
        previousBrakeForce_ = 0.0;
        return;
    }
    const double v = std::fabs(block.trainSpeed);  // m/s
    const double shoeFriction = 0.3 - 0.01 * v;
    double force = 1400.0 * block.brake;  // N
    if (v < 20.0) force += 50000.0 - 2500.0 * v;
    previousBrakeForce_ = force;
    if (block.trainSpeed == 0.0) return;

    // The wheels roll while the rail holds them, else they lock and slide.
    block.wheelSlip = false;
    const double f = onRail(block.frictionFactor);
    const bool rolling = force <= (onRail(block.sandBonus) + 0.8 * f) * adhesiveWeight_;
    const double deceleration = ((rolling ? 0.8 : 0.72) * f + shoeFriction) * force / brakedMass;  // m/s²
    // A brake never reverses the train: it stops at zero.
    block.trainSpeed = slowDown(block.trainSpeed, deceleration * dt);
    block.wheelSpeed = rolling ? block.trainSpeed : 0.0;
}

bool RunningGear::turnWheels(SimulationBlock& block, double dt, double& stepDegrees) const {
    block.carryingWheelAngle = wrapOnce(block.carryingWheelAngle - block.trainSpeed * dt * (1.0 / carryingWheelRadius));
    const double change = -block.wheelSpeed * dt * (1.0 / drivingWheelRadius);  // rad
    stepDegrees = std::fabs(change * 57.29577951);
    const double turned = block.wheelAngle + change;
    block.wheelAngle = wrapOnce(turned);
    return block.wheelAngle != turned;
}

}  // namespace zt40
