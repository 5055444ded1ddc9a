#pragma once
// Where two frames' pictures can differ: the boxes of the drawing calls
// that one frame makes and the other does not. A pixel outside them is
// touched by the same calls in the same order in both frames, so it is the
// same in both pictures.

#include <vector>

#include "draw_list.h"

namespace zt40 {

// For each call of `now`, the index of the same call in `before`, or -1
// where `before` has none; the calls found keep their order in both lists.
std::vector<int> matchCalls(const DrawList& before, const DrawList& now);

// The areas where a picture drawn from `now` can differ from one drawn from
// `before`, merged into a few boxes; none when the pictures are the same.
std::vector<PixelRect> changedAreas(const DrawList& before, const DrawList& now);
// The same, with the calls already matched (matchCalls(before, now)).
std::vector<PixelRect> changedAreas(const DrawList& before, const DrawList& now, const std::vector<int>& match);

// Boxes that lie so close that one box round both costs little more to
// draw merged into one.
std::vector<PixelRect> mergedAreas(std::vector<PixelRect> areas);

}  // namespace zt40
