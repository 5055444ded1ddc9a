#include "joint_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "numeric.h"

namespace zt40 {

namespace {

using std::numbers::pi;

// The leg of a right triangle from its hypotenuse and other leg. Where the
// drawn linkage cannot close (a rounding of the design at its extremes) the
// joint stands at the end of its reach instead of nowhere.
double leg(double hypotenuse, double other) { return std::sqrt(std::max(hypotenuse * hypotenuse - other * other, 0.0)); }

// A point at angle θ (0 pointing down) and radius r around (x, y).
JointPoint around(double x, double y, double angle, double radius) {
    return {x + std::sin(angle) * radius, y + std::cos(angle) * radius};
}

}  // namespace

JointPositions computeJoints(double s, double u, double axleY, double a, int r) {
    JointPositions j{};
    // Crank, connecting rod and crosshead.
    j.crankPin = around(u, axleY, a, 330.0 / s);
    j.crosshead = {j.crankPin.x + leg(3250.0 / s, axleY - j.crankPin.y), axleY};
    j.pistonX = truncateTo<int>(j.crosshead.x + 1555.0 / s);

    // Return crank, eccentric rod and expansion link.
    j.returnCrankPin = around(u, axleY, a + pi / 2.0 + 0.105249, 180.0 / s);
    j.linkPivot = {u + 2022.0 / s, axleY - 740.0 / s};
    j.linkFoot.x = j.returnCrankPin.x + leg(2040.0 / s, axleY - 248.0 / s - j.returnCrankPin.y);
    j.linkFoot.y = j.linkPivot.y + leg(530.0 / s, j.linkFoot.x - j.linkPivot.x);
    j.linkAngle = pi / 2.0 - std::atan((j.linkPivot.x - j.linkFoot.x) / (j.linkFoot.y - j.linkPivot.y));
    j.linkCentre = around(j.linkPivot.x, j.linkPivot.y, j.linkAngle, 1700.0 / s);

    // Die block in the link, set by the reverser; combination lever and valve spindle.
    j.dieEstimate = around(j.linkCentre.x, j.linkCentre.y, j.linkAngle + pi - r * 0.00125, 1700.0 / s);
    j.combinationTop.x = j.dieEstimate.x + leg(1790.0 / s, j.linkPivot.y - j.dieEstimate.y);
    j.combinationFoot = {j.crosshead.x + 540.0 / s, 0.0};
    j.combinationFoot.y = j.linkPivot.y + leg(920.0 / s, j.combinationFoot.x - j.combinationTop.x);
    j.rodX = j.combinationFoot.x + (j.combinationTop.x - j.combinationFoot.x) * 0.8695652173913043;
    j.combinationTop.y = (axleY - 620.0 / s) - leg(120.0 / s, j.combinationTop.x - j.rodX);

    // Reversing shaft: reversing arm, its midpoint, lifting arm.
    const double rho = r / 220.0;  // rad
    const JointPoint arm = around(j.linkPivot.x, j.linkPivot.y, rho + pi, 400.0 / s);
    j.reversingArm = {std::trunc(arm.x), std::trunc(arm.y)};
    j.armMidpoint = {std::trunc((j.linkPivot.x + j.reversingArm.x) / 2.0),
                     std::trunc((j.linkPivot.y + j.reversingArm.y) / 2.0)};
    j.liftingArm = around(j.linkPivot.x, j.linkPivot.y, rho + pi / 2.0, 400.0 / s);

    // The die block where the radius rod holds it.
    const double span = j.liftingArm.x - j.combinationTop.x;
    j.dieBlock.y = span == 0.0 ? j.combinationTop.y
                               : j.combinationTop.y + (j.liftingArm.y - j.combinationTop.y) *
                                                          (j.dieEstimate.x - j.combinationTop.x) / span;
    const double cosine = std::clamp((j.dieBlock.y - j.linkCentre.y) / (1700.0 / s), -1.0, 1.0);
    j.dieBlock.x = j.linkCentre.x + std::sin(-std::acos(cosine)) * 1700.0 / s;
    return j;
}

}  // namespace zt40
