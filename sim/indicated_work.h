#pragma once
// The indicated work of the cylinders, read as an engineer reads an
// indicator card, but from the model itself and for all four working
// spaces at once: in every sub-step each space's pressure times the volume
// its piston sweeps, the steam each side takes from the steam chest, and
// the work the cylinders' force does at the wheel rim. Each whole turn of
// the driving wheels closes the sums into the record's figures.

#include "cylinders.h"
#include "locomotive_state.h"

namespace zt40 {

namespace indicated {
// Volume one side's piston sweeps in a revolution: both working spaces.
inline constexpr double sweptVolume = cylinder::stroke * (cylinder::pistonAreaA + cylinder::pistonAreaB);  // m³
inline constexpr double joulesPerKWh = 3.6e6;
}  // namespace indicated

class IndicatedWorkMeter {
public:
    // A new run: nothing measured, both pistons where they stand.
    void start(const CylinderSide& side1, const CylinderSide& side2);

    // After side `index` (0 or 1) has run its steam process in this
    // sub-step: the work its spaces did while the piston moved from where
    // it stood at the last sub-step, each at the pressure it had there,
    // and the steam (kg) the side took from the steam chest.
    void addSide(int index, const CylinderSide& side, double steamTaken) {
        Side& s = sides_[index];
        const double travel = side.pistonTravel - s.travel;  // m
        // Space B grows with the travel, space A shrinks.
        s.work += (s.forceB - s.forceA) * travel;
        s.steam += steamTaken;
        remember(s, side);
    }

    // After the wheels have turned under the total tractive force (N) at
    // `wheelSpeed` (m/s): the rim's work and the time; a whole turn puts
    // the figures into `results`. Standing wheels withdraw them.
    void addWheelTurn(ModelResults& results, double force, double wheelSpeed, double dt);

private:
    struct Side {
        double travel;  // m, where the piston stood at the last sub-step
        double forceA;  // N, space A's gauge pressure on its piston area there
        double forceB;  // N, space B's
        double work;    // J since the turn began
        double steam;   // kg since the turn began
    };

    static void remember(Side& s, const CylinderSide& side) {
        s.travel = side.pistonTravel;
        s.forceA = side.spaceA->pressure * side.spaceA->pistonArea;
        s.forceB = side.spaceB->pressure * side.spaceB->pistonArea;
    }
    void closeTurn(ModelResults& results);
    void clearSums();

    Side sides_[2]{};
    double rimWork_ = 0.0;  // J since the turn began
    double time_ = 0.0;     // s
    double angle_ = 0.0;    // rad the wheels have turned, either way
};

}  // namespace zt40
