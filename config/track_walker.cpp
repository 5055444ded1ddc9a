#include "track_walker.h"

#include <algorithm>
#include <cmath>

#include "numeric.h"
#include "track_list.h"

namespace zt40 {

namespace {

constexpr double reach = 5000.0;  // m of line kept ahead of (or behind) the train

void switchTrackOff(LocomotiveState& state) {
    state.trackAutomatic = false;
    state.trackListFailed = true;
}

TrackPoint* lastPoint(const LocomotiveState& state) { return state.trackTail ? state.trackTail->prev : nullptr; }

// Friction and position of a new stretch of line beyond `from`, in
// `direction` (+1 ahead, -1 behind): alternately the same rail for a long
// stretch, and a short stretch of other rail.
void drawStretch(TrackPoint& point, const TrackPoint& from, bool sameRail, double frictionFactor, Random15& random,
                 int direction) {
    const double edge = from.position;  // m
    if (sameRail) {
        const double f = from.friction;
        const double a = f * 4950.0 - 237.5;   // m
        const double b = f * 49750.0 - 2437.5;  // m
        point.friction = from.friction;
        point.position = edge + direction * (a + random.next() * (b - a) / 32767.0);
        if ((point.position - edge) * direction < 0.0) point.position = edge + direction * 50.0;
    } else {
        const int r = random.next();
        point.friction = static_cast<float>(r >= 10000 && frictionFactor >= 0.2 ? 0.05 + random.next() * 7.62963e-6
                                                                                : 0.2 + random.next() * 3.05185e-6);
        point.position = edge + direction * (10.0 + random.next() * 0.014954);
    }
}

}  // namespace

std::int8_t TrackWalker::Plan::valueAt(double position) const {
    return truncateTo<std::int8_t>(startGradient -
                                   (startGradient - planGradient) * (position - startPos) / (planPos - startPos));
}

bool TrackWalker::tick(LocomotiveState& state, Random15& random, TrackAllocator& allocator) {
    if (!state.trackAutomatic) {
        if (walkInitialised_) {
            state.gradient = 0;
            walkInitialised_ = false;
        }
        return false;
    }
    // Locate the train on the line, then extend the line the way it runs.
    if (!state.trackListFailed && lastPoint(state) && !walkInitialised_) {
        startLineAtTrain(state, allocator);
        if (!state.trackListFailed) locate(state);
    }
    if (!state.trackListFailed && lastPoint(state)) {
        if (beyondEnd_ || state.trainSpeed > 0.0) generateForward(state, random, allocator);
        else if (beforeStart_ || state.trainSpeed < 0.0) generateBackward(state, random, allocator);
    }
    interpolate(state);
    return walkInitialised_ && (beyondEnd_ || beforeStart_);
}

// Far beyond either end of the line (a distance from an old file, or the
// line switched off for a long run) the line starts again at the train:
// building it out to the train could take hours.
void TrackWalker::startLineAtTrain(LocomotiveState& state, TrackAllocator& allocator) {
    const double d = state.distance;  // m
    const TrackPoint* last = lastPoint(state);
    const TrackPoint* edge = d > last->position + reach     ? last
                             : d < state.trackHead->position - reach ? state.trackHead
                                                                     : nullptr;
    if (!edge) return;
    TrackPoint& trailing = *state.trackTail;
    trailing.friction = edge->friction;
    trailing.gradient = edge->gradient;
    trailing.position = d;
    insertTrackRow(state, allocator);
    if (state.trackTail) *state.trackTail = TrackPoint{0.0f, 0.0, 0, nullptr, state.trackTail->prev};
}

void TrackWalker::locate(LocomotiveState& state) {
    const double d = state.distance;  // m
    walkInitialised_ = true;
    beyondEnd_ = beforeStart_ = false;
    TrackPoint* point = state.trackHead;
    while (d >= point->position && point->next) point = point->next;
    state.trackCurrent = point;
    TrackPoint* last = lastPoint(state);
    if (d >= last->position) {
        beyondEnd_ = true;
        state.trackCurrent = last;
    }
    if (d < state.trackHead->position) {
        beforeStart_ = true;
        state.trackCurrent = state.trackHead;
    }
    // Outside the planned range: plan afresh from both ends of the line.
    if (d <= behind_.planPos || d >= ahead_.planPos) {
        ahead_.startGradient = last->gradient;
        ahead_.startPos = last->position;
        ahead_.planPos = last->position + 100.0;
        behind_.startGradient = state.trackHead->gradient;
        behind_.startPos = state.trackHead->position;
        behind_.planPos = state.trackHead->position - 100.0;
    }
}

void TrackWalker::generateForward(LocomotiveState& state, Random15& random, TrackAllocator& allocator) {
    const double d = state.distance;                 // m
    const double lineEnd = lastPoint(state)->position;  // m, L
    const double planned = ahead_.planPos;           // m, P
    const double limit = d + reach;                  // m

    if (planned <= lineEnd - 1.0 && planned < limit) {
        // The planned gradient point falls within the line: insert it, plan the next.
        if (insertPlannedPoint(state, allocator, ahead_, +1)) {
            planNext(ahead_, random, +1, state.maxGradient);
            TrackPoint* last = lastPoint(state);
            last->gradient = ahead_.planPos > last->position ? ahead_.valueAt(last->position) : ahead_.planGradient;
        }
    } else if ((planned > lineEnd - 1.0 && planned < limit) || (planned >= lineEnd && lineEnd < limit)) {
        // Extend the line: the trailing point becomes a profile point.
        ahead_.copyToggle = !ahead_.copyToggle;
        TrackPoint& fresh = *state.trackTail;
        drawStretch(fresh, *lastPoint(state), ahead_.copyToggle, state.frictionFactor, random, +1);
        fresh.gradient = planned > fresh.position ? ahead_.valueAt(fresh.position) : ahead_.planGradient;
        TrackPoint* trailing = allocator.allocate();
        if (trailing) {
            *trailing = TrackPoint{0.0f, 0.0, 0, nullptr, &fresh};
            fresh.next = trailing;
            state.trackTail = trailing;
        } else {
            switchTrackOff(state);
        }
    }

    // Advance along the line.
    if (d < lineEnd && beyondEnd_) {
        beyondEnd_ = false;
        walkInitialised_ = false;
    } else {
        followTrain(state);
    }
}

void TrackWalker::generateBackward(LocomotiveState& state, Random15& random, TrackAllocator& allocator) {
    const double d = state.distance;                   // m
    const double lineStart = state.trackHead->position;  // m
    const double planned = behind_.planPos;            // m
    const double limit = d - reach;                    // m

    if (planned >= lineStart + 1.0 && planned > limit) {
        if (insertPlannedPoint(state, allocator, behind_, -1)) {
            planNext(behind_, random, -1, state.maxGradient);
            TrackPoint* first = state.trackHead;
            first->gradient =
                behind_.planPos < first->position ? behind_.valueAt(first->position) : behind_.planGradient;
        }
    } else if ((planned < lineStart + 1.0 && planned > limit) || (planned <= lineStart && lineStart > limit)) {
        // Extend the line backwards: a new first point.
        behind_.copyToggle = !behind_.copyToggle;
        TrackPoint* fresh = allocator.allocate();
        if (fresh) {
            *fresh = TrackPoint{};
            drawStretch(*fresh, *state.trackHead, behind_.copyToggle, state.frictionFactor, random, -1);
            fresh->gradient = planned < fresh->position ? behind_.valueAt(fresh->position) : behind_.planGradient;
            fresh->next = state.trackHead;
            state.trackHead->prev = fresh;
            state.trackHead = fresh;
        } else {
            switchTrackOff(state);
        }
    }

    // Advance backwards along the line.
    if (d > lineStart && beforeStart_) {
        beforeStart_ = false;
        walkInitialised_ = false;
    } else {
        followTrain(state);
    }
}

// `trackCurrent` becomes the first point ahead of the train again, between
// the second point and the last: past as many points as the train has
// passed since the last tick, up to the last point of a long last stretch,
// and back behind a point the generator has put in between.
void TrackWalker::followTrain(LocomotiveState& state) const {
    const double d = state.distance;  // m
    TrackPoint* current = state.trackCurrent;
    const TrackPoint* last = lastPoint(state);
    if (!current || !last || current == state.trackTail) return;
    while (current != last && d > current->position) current = current->next;
    while (current->prev && current->prev != state.trackHead && d < current->prev->position) current = current->prev;
    state.trackCurrent = current;
}

// False only when a point could not be allocated.
bool TrackWalker::insertPlannedPoint(LocomotiveState& state, TrackAllocator& allocator, const Plan& plan,
                                     int direction) {
    // Neighbours of the planned position, sought from the end the generator
    // works at; the list stays in order even where the plan lies up to 1 m
    // past the neighbouring point.
    const double position = plan.planPos;  // m
    TrackPoint* after = state.trackHead;
    if (direction > 0) {
        after = state.trackTail;
        while (after->prev && after->prev->position >= position) after = after->prev;
    } else {
        while (after != state.trackTail && after->position < position) after = after->next;
    }
    if (after != state.trackTail && after->position == position) return true;  // a point is there already
    TrackPoint* before = after->prev;
    TrackPoint* point = allocator.allocate();
    if (!point) {
        switchTrackOff(state);
        return false;
    }
    float friction = before ? before->friction : after->friction;
    if (before && after != state.trackTail) {
        friction = static_cast<float>(before->friction - (before->friction - after->friction) *
                                                             (position - before->position) /
                                                             (after->position - before->position));
    }
    *point = TrackPoint{friction, position, plan.planGradient, after, before};
    if (before) before->next = point;
    else state.trackHead = point;
    after->prev = point;
    return true;
}

void TrackWalker::planNext(Plan& plan, Random15& random, int direction, std::int8_t maxGradient) {
    plan.startPos = plan.planPos;
    plan.startGradient = plan.planGradient;
    plan.holdToggle = !plan.holdToggle;
    if (plan.holdToggle) {
        // Hold the gradient for a stretch, shorter the steeper it is.
        const double g = std::abs(plan.planGradient);
        const double a = 100.0 - g / 2.0;    // m
        const double b = (125.0 - g) * 40.0;  // m
        plan.planPos += direction * (a + random.next() * (b - a) / 32767.0);
        if ((plan.planPos - plan.startPos) * direction < 0.0) plan.planPos = plan.startPos + direction * 50.0;
    } else {
        // A new gradient: mostly within the line's limit, sometimes nearly level.
        const int r = random.next();
        plan.planGradient = r < 10000 ? truncateTo<std::int8_t>(random.next() * 0.0001831111 - 3.0)
                                      : truncateTo<std::int8_t>(random.next() * 2.0 * maxGradient / 32767.0 - maxGradient);
        plan.planPos += direction * (50.0 + random.next() * 0.0289926);
    }
}

void TrackWalker::interpolate(LocomotiveState& state) const {
    const TrackPoint* next = state.trackCurrent;
    if (state.trackListFailed || beyondEnd_ || beforeStart_ || !next || next == state.trackHead ||
        next == state.trackTail || !next->prev) {
        state.gradient = 0;
        state.frictionFactor = 0.25;
        return;
    }
    const TrackPoint& before = *next->prev;
    const double d = state.distance;  // m
    // Between the two points; beyond the last one its values hold.
    const double share = std::clamp((d - before.position) / (next->position - before.position), 0.0, 1.0);
    state.frictionFactor = before.friction - (before.friction - next->friction) * share;

    double gradient = before.gradient - (before.gradient - next->gradient) * share;  // per mille
    if (ahead_.startPos < d && d < ahead_.planPos) {
        gradient = ahead_.startGradient - (ahead_.startGradient - ahead_.planGradient) * (d - ahead_.startPos) /
                                              (ahead_.planPos - ahead_.startPos);
    } else if (behind_.planPos < d && d < behind_.startPos) {
        gradient = behind_.planGradient - (behind_.planGradient - behind_.startGradient) * (d - behind_.planPos) /
                                              (behind_.startPos - behind_.planPos);
    }
    const int limit = std::abs(state.maxGradient);
    state.gradient = static_cast<std::int8_t>(std::clamp(truncateTo<int>(gradient), -limit, limit));
}

}  // namespace zt40
