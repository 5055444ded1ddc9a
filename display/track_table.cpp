#include "track_table.h"

#include <algorithm>

#include "text_format.h"
#include "window_layout.h"

namespace zt40 {

namespace {

constexpr Rgb green{0, 255, 0};
constexpr Rgb red{255, 0, 0};
constexpr Rgb blue{0, 0, 255};
constexpr int firstRowY = 5;  // px of the 8 x 16 cell
// The columns and the marker row, px of the 8 x 16 cell in from the window's right edge.
constexpr int positionColumn = 350, frictionColumn = 220, gradientColumn = 140;
constexpr int markerFrom = 360, markerTo = 8, markerLabelAt = 308;

void addRow(std::vector<TableText>& texts, const TrackTableRow& row, int width, TextCell cell, int y, Rgb colour) {
    texts.push_back({width - cell.scaled(positionColumn), y, formatText("Weg = %1.2f", row.position), colour});
    texts.push_back({width - cell.scaled(frictionColumn), y, formatText("µ = %1.3f", row.friction), colour});
    texts.push_back({width - cell.scaled(gradientColumn), y, formatText("Steigung = %i", row.gradient), colour});
}

// The train's place between two rows: the distance over an arrow from the
// table's left to its right, its heads left and right of the distance.
void addMarker(std::vector<TableText>& texts, double distance, int width, TextCell cell, int y) {
    const int left = width - cell.scaled(markerFrom), label = width - cell.scaled(markerLabelAt);
    const int right = width - cell.scaled(markerTo);
    const std::string text = formatText(" %1.1f m = Aktuelle Position ", distance);
    const int labelEnd = label + cell.across(static_cast<int>(characterCount(text)));
    const int tail = std::max((label - left) / cell.width, 1);   // characters
    const int head = std::max((right - labelEnd) / cell.width, 1);  // characters
    std::string tailText = "<";
    tailText.append(static_cast<std::size_t>(tail - 1), '-');
    texts.push_back({left, y, tailText, red});
    texts.push_back({label, y, text, red});
    texts.push_back({right - cell.across(head), y, std::string(head - 1, '-') + ">", red});
}

}  // namespace

int trackTableLeft(const LocomotiveState& copy) {
    return copy.clientWidth - textCellFor(copy.clientWidth, copy.clientHeight).scaled(markerFrom);
}

std::vector<TableText> trackTableTexts(const TrackTableSnapshot& snapshot, const LocomotiveState& copy) {
    std::vector<TableText> texts;
    const int width = copy.clientWidth;
    const TextCell cell = textCellFor(copy.clientWidth, copy.clientHeight);
    const bool automatic = copy.trackAutomatic;
    Rgb colour = black;  // carried from row to row, as a pen colour is
    int y = cell.scaled(firstRowY);
    for (int i = 0; i < snapshot.rowCount; ++i, y += cell.height) {
        const TrackTableRow& row = snapshot.rows[i];
        // Around the train green (the walk follows the track), the ends of the profile blue.
        bool coloured = false;
        if (automatic && (row.isBeforeCurrent || row.isCurrent)) {
            colour = green;
            coloured = true;
        }
        if (row.isFirst || row.isBeforeLast) {
            colour = blue;
            coloured = true;
        }
        addRow(texts, row, width, cell, y, colour);
        if (coloured) colour = black;
        if (automatic && row.isBeforeCurrent) {
            // The train stands between this point and the next: a red marker line of its own.
            y += cell.height;
            colour = red;
            addMarker(texts, copy.distance, width, cell, y);
        }
    }
    return texts;
}

void drawTrackTable(Canvas& canvas, const TrackTableSnapshot& snapshot, const LocomotiveState& copy) {
    // Each text where it covers no other; on a window too narrow for the table beside the buttons, a row's
    // texts that would cover them are left out.
    for (const TableText& t : trackTableTexts(snapshot, copy)) {
        if (canvas.texts().isFree(canvas.texts().extentOf(t.x, t.y, t.text))) canvas.text(t.x, t.y, t.text, t.colour, white);
    }
}

}  // namespace zt40
