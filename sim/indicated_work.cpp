#include "indicated_work.h"

#include <cmath>
#include <numbers>

#include "running_gear.h"

namespace zt40 {

namespace {

constexpr double fullTurn = 2.0 * std::numbers::pi;  // rad

// Figures from one side's (or both sides') sums over a turn that lasted
// `time` and was `perRevolution` of a revolution long.
IndicatedFigures figuresOf(double work, double steam, double time, double perRevolution, double sweptVolume) {
    IndicatedFigures f{};
    f.work = work * perRevolution;                     // J
    f.meanEffectivePressure = f.work / sweptVolume;    // Pa
    f.power = work / time;                             // W
    f.steamRate = steam / time;                        // kg/s
    if (work > 0.0 && steam > 0.0) f.steamPerKWh = steam / (work / indicated::joulesPerKWh);
    return f;
}

}  // namespace

void IndicatedWorkMeter::start(const CylinderSide& side1, const CylinderSide& side2) {
    *this = IndicatedWorkMeter{};
    remember(sides_[0], side1);
    remember(sides_[1], side2);
}

void IndicatedWorkMeter::addWheelTurn(ModelResults& results, double force, double wheelSpeed, double dt) {
    if (wheelSpeed == 0.0) {
        // Standing wheels: no power, no steam per kWh; a fresh turn when they move.
        if (results.indication.turnTime != 0.0) results.indication = EngineIndication{};
        clearSums();
        return;
    }
    rimWork_ += force * wheelSpeed * dt;
    time_ += dt;
    angle_ += std::fabs(wheelSpeed) * dt * (1.0 / running::drivingWheelRadius);
    if (angle_ >= fullTurn) closeTurn(results);
}

void IndicatedWorkMeter::closeTurn(ModelResults& results) {
    // The turn ends within a sub-step's angle past a whole revolution.
    const double perRevolution = fullTurn / angle_;
    EngineIndication& out = results.indication;
    const Side& s1 = sides_[0];
    const Side& s2 = sides_[1];
    out.side1 = figuresOf(s1.work, s1.steam, time_, perRevolution, indicated::sweptVolume);
    out.side2 = figuresOf(s2.work, s2.steam, time_, perRevolution, indicated::sweptVolume);
    out.engine = figuresOf(s1.work + s2.work, s1.steam + s2.steam, time_, perRevolution, 2.0 * indicated::sweptVolume);
    out.rimPower = rimWork_ / time_;
    out.turnTime = time_;
    clearSums();
}

void IndicatedWorkMeter::clearSums() {
    for (Side& s : sides_) s.work = s.steam = 0.0;
    rimWork_ = time_ = angle_ = 0.0;
}

}  // namespace zt40
