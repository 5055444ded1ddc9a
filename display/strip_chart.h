#pragma once
// The speed recorder's strip ("Registrierstreifen"): the speed over the
// way travelled, as a recorder draws it on paper that moves with the
// wheels, with a mark for every minute of its clock, and below it the
// boiler pressure, the water in the glass, the cut-off and the regulator
// as further traces; German labels and units. The right-hand panel shows
// the last kilometres up to where the paper stands; a whole drive can be
// drawn onto one strip of any size for printing.

#include "canvas.h"
#include "locomotive_state.h"
#include "strip_log.h"

namespace zt40 {

enum class StripTrace { speed, boilerPressure, waterLevel, cutoff, regulator };
inline constexpr int stripTraceCount = 5;

// Where the strip is drawn, in pixels.
struct StripBox {
    int left, top, width, height;
};

// Where a value of the strip lies: x by the way travelled, y by the value
// within its trace's band, which holds its pen between the band's edges.
class StripLayout {
public:
    // The scales and labels in the text cell `cell`.
    StripLayout(StripBox box, double pathFrom, double pathTo, TextCell cell = referenceCell);  // m

    int x(double path) const;                      // px
    int y(StripTrace trace, double value) const;   // px

    struct Band {
        int top, bottom;    // px
        double low, high;   // the values at the bottom and the top
        double gridStep;    // a grid line every so much
        const char* name;   // German, with the unit
        Rgb colour;
    };
    const Band& band(StripTrace trace) const { return bands_[static_cast<int>(trace)]; }

    StripBox box;
    TextCell cell;
    int plotLeft, plotRight;     // px, the paper between the scales
    int titleY;                  // px, the title line's top
    int timeTop, timeBottom;     // px, the row of the minute marks
    int axisY;                   // px, the kilometre labels' top
    double pathFrom, pathTo;     // m

private:
    Band bands_[stripTraceCount];
};

inline constexpr double stripPanelLength = 3000.0;  // m of paper the panel shows

// A whole strip: the paper from `pathFrom` to `pathTo` m in `box`.
void drawStrip(Canvas& canvas, const StripLog& log, StripBox box, double pathFrom, double pathTo);

// The strip as the right-hand panel shows it: where the indicator diagram
// stands, the last kilometres up to the paper's place.
StripBox stripPanelBox(const LocomotiveState& copy);
void drawStripPanel(Canvas& canvas, const LocomotiveState& copy, const StripLog& log);

}  // namespace zt40
