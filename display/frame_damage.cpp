#include "frame_damage.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace zt40 {

namespace {

// Two boxes are drawn as one where the box round both is at most this many
// pixels larger than they are together.
constexpr long long mergeSlack = 32 * 32;  // px²

}  // namespace

std::vector<int> matchCalls(const DrawList& before, const DrawList& now) {
    // The calls of `before` by hash, in drawing order within one hash.
    std::vector<std::pair<std::size_t, std::size_t>> earlier;  // hash, index
    earlier.reserve(before.commands.size());
    for (std::size_t i = 0; i < before.commands.size(); ++i) earlier.emplace_back(before.commands[i].hash, i);
    std::sort(earlier.begin(), earlier.end());
    // Walk the new calls; each is matched to the first equal old call after
    // the last one matched, so the matched calls form the same sequence in
    // both lists.
    std::vector<int> match(now.commands.size(), -1);
    std::size_t next = 0;  // index into before.commands
    for (std::size_t n = 0; n < now.commands.size(); ++n) {
        const DrawCommand& c = now.commands[n];
        const std::size_t h = c.hash;
        for (auto it = std::lower_bound(earlier.begin(), earlier.end(), std::make_pair(h, next));
             it != earlier.end() && it->first == h; ++it) {
            if (before.commands[it->second] == c) {
                match[n] = static_cast<int>(it->second);
                next = it->second + 1;
                break;
            }
        }
    }
    return match;
}

std::vector<PixelRect> changedAreas(const DrawList& before, const DrawList& now) {
    return changedAreas(before, now, matchCalls(before, now));
}

std::vector<PixelRect> changedAreas(const DrawList& before, const DrawList& now, const std::vector<int>& match) {
    std::vector<bool> kept(before.commands.size(), false);
    std::vector<PixelRect> changed;
    for (std::size_t n = 0; n < now.commands.size(); ++n) {
        if (match[n] < 0) changed.push_back(now.commands[n].reach);
        else kept[static_cast<std::size_t>(match[n])] = true;
    }
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (!kept[i]) changed.push_back(before.commands[i].reach);
    }
    return mergedAreas(std::move(changed));
}

std::vector<PixelRect> mergedAreas(std::vector<PixelRect> areas) {
    std::erase_if(areas, [](const PixelRect& r) { return r.empty(); });
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t i = 0; i < areas.size(); ++i) {
            for (std::size_t j = i + 1; j < areas.size();) {
                const PixelRect both = areas[i].unitedWith(areas[j]);
                if (both.area() <= areas[i].area() + areas[j].area() + mergeSlack) {
                    areas[i] = both;
                    areas[j] = areas.back();
                    areas.pop_back();
                    merged = true;
                } else {
                    ++j;
                }
            }
        }
    }
    return areas;
}

}  // namespace zt40
