#pragma once
// Where the joints of the running gear and the outside valve gear stand,
// in client pixels, for a crank angle and a reverser setting: crank pin,
// crosshead and piston, return crank, expansion link, die block,
// combination lever, valve spindle, reversing and lifting arms. The side
// view draws them; the valve-head model and the mouse's hit tests use the
// valve spindle and the piston.

namespace zt40 {

struct JointPoint {
    double x;  // px
    double y;  // px
};

struct JointPositions {
    JointPoint crankPin;
    JointPoint crosshead;
    int pistonX;  // px, client x of the piston
    JointPoint returnCrankPin;
    JointPoint linkPivot;
    JointPoint linkFoot;
    double linkAngle;  // rad
    JointPoint linkCentre;
    JointPoint dieEstimate;
    JointPoint combinationTop;
    JointPoint combinationFoot;
    double rodX;           // px, the valve spindle
    JointPoint reversingArm;  // whole pixels
    JointPoint armMidpoint;   // whole pixels
    JointPoint liftingArm;
    JointPoint dieBlock;
};

// Joints for `scale` mm per pixel, the driving axle at (axleX, axleY) px,
// crank angle `wheelAngle` (rad, 0 pointing down) and `reverser`
// (half-percent steps).
JointPositions computeJoints(double scale, double axleX, double axleY, double wheelAngle, int reverser);

}  // namespace zt40
