#pragma once
// The track table of the right-hand panel: the profile points around the
// train, from the snapshot the main thread took, one row of position,
// adhesion and gradient each, with the train's position marked between
// the point it passed last and the one ahead.

#include <string>
#include <vector>

#include "canvas.h"
#include "locomotive_state.h"
#include "track_list.h"

namespace zt40 {

struct TableText {
    int x, y;  // px
    std::string text;
    Rgb colour;
};

// Texts in drawing order, in the window's text cell, none over another.
std::vector<TableText> trackTableTexts(const TrackTableSnapshot& snapshot, const LocomotiveState& copy);

// The table's left edge, px: where the marker row starts.
int trackTableLeft(const LocomotiveState& copy);

void drawTrackTable(Canvas& canvas, const TrackTableSnapshot& snapshot, const LocomotiveState& copy);

}  // namespace zt40
