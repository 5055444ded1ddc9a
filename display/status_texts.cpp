#include "status_texts.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "numeric.h"
#include "sim_speed.h"
#include "text_format.h"

namespace zt40 {

namespace {

// The lines by how much the driver needs them, most first.
constexpr std::array<int, statusLineCount> byNeed{2, 1, 0, 5, 3, 4, 6};

std::string joined(const std::vector<std::string>& readings) {
    std::string line;
    for (const std::string& reading : readings) line += (line.empty() ? "" : " ") + reading;
    return line;
}

// Whether a line at (x, y) stays in the room and over nothing taken.
bool fits(const std::string& text, int x, int y, const StatusRoom& room, const TextLayer& layer) {
    const TextExtent box = layer.extentOf(x, y, text);
    return box.right <= room.right && box.bottom <= room.bottom && layer.isFree(box);
}

// The rows of a line in a room `width` px wide: the whole line, or each
// reading that fits on a row of its own.
std::vector<std::string> rowsOf(const std::vector<std::string>& readings, int width, TextCell cell) {
    const auto fitsWidth = [&](const std::string& text) {
        return cell.across(static_cast<int>(characterCount(text))) <= width;
    };
    const std::string line = joined(readings);
    if (fitsWidth(line)) return {line};
    std::vector<std::string> rows;
    std::copy_if(readings.begin(), readings.end(), std::back_inserter(rows), fitsWidth);
    return rows;
}

}  // namespace

std::string simSpeedText(int simSpeedCode) {
    return std::string(SimSpeed(truncateTo<std::int8_t>(simSpeedCode)).label());
}

StatusReadings statusReadings(const LocomotiveState& c, double coalRate, double coalTotal) {
    const double minutes = std::floor(c.simTime / 60.0);
    const double seconds = (c.simTime / 60.0 - minutes) * 60.0;
    return {{
        {formatText("Steigung=%i %%o", c.gradient), formatText("Strecke=%1.3f Meter", c.distance)},
        // The main valve's opening in millimetres, under the name the driver knows.
        {formatText("Hauptventil=%i %%", c.regulator), formatText("Füllung=%0.1f %%", -c.reverser * 0.5)},
        {formatText("Geschw. Schiene=%1.1f km/h", c.trainSpeed * 3.6), formatText("Rad=%1.1f km/h", c.wheelSpeed * 3.6)},
        {formatText("Zylindertemp %1.1f °C", c.cylinderWallTemp - 273.0), formatText("Feuer %i %%", c.fireSetpoint)},
        {formatText("Zeit= %3.0f : %5.2f min : sec.hsec", minutes, seconds)},
        {formatText("Wasser=%1.2f l", c.tankWater), formatText("Sand=%1.1f s", c.sandSeconds)},
        {formatText("Kohleverbr.=%1.1f kg/min", coalRate * 60.0), formatText("Insgesamt=%1.1f kg", coalTotal)},
    }};
}

std::array<std::string, statusLineCount> statusLines(const LocomotiveState& copy, double coalRate, double coalTotal) {
    const StatusReadings readings = statusReadings(copy, coalRate, coalTotal);
    std::array<std::string, statusLineCount> lines;
    for (int i = 0; i < statusLineCount; ++i) lines[i] = joined(readings[i]);
    return lines;
}

std::vector<PlacedLine> placeStatusLines(const StatusReadings& readings, const StatusRoom& room,
                                         const TextLayer& layer) {
    const TextCell cell = layer.cell();
    // As laid out, where the room takes them.
    std::vector<PlacedLine> placed;
    for (int i = 0; i < statusLineCount; ++i) {
        placed.push_back({room.left, room.top + cell.scaled(statusLineOffsets[i]), joined(readings[i])});
    }
    if (std::all_of(placed.begin(), placed.end(),
                    [&](const PlacedLine& line) { return fits(line.text, line.x, line.y, room, layer); })) {
        return placed;
    }

    // Otherwise a cell high each, split where too wide, the least needed left out where too low.
    std::array<std::vector<std::string>, statusLineCount> rows;
    for (int i = 0; i < statusLineCount; ++i) rows[i] = rowsOf(readings[i], room.right - room.left, cell);
    const int rowsInRoom = std::max(0, (room.bottom - room.top) / cell.height);
    const auto rowCount = [&] {
        int count = 0;
        for (const auto& line : rows) count += static_cast<int>(line.size());
        return count;
    };
    for (int least = statusLineCount - 1; least >= 0 && rowCount() > rowsInRoom; --least) rows[byNeed[least]].clear();
    placed.clear();
    int y = room.top;
    for (const auto& line : rows) {
        for (const std::string& row : line) {
            if (fits(row, room.left, y, room, layer)) placed.push_back({room.left, y, row});
            y += cell.height;
        }
    }
    return placed;
}

}  // namespace zt40
