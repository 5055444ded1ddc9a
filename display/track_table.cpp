#include "track_table.h"

#include "text_format.h"

namespace zt40 {

namespace {

constexpr Rgb green{0, 255, 0};
constexpr Rgb red{255, 0, 0};
constexpr Rgb blue{0, 0, 255};
constexpr int rowHeight = 16;  // px
constexpr int firstRowY = 5;   // px

void addRow(std::vector<TableText>& texts, const TrackTableRow& row, int width, int y, Rgb colour) {
    texts.push_back({width - 350, y, formatText("Weg = %1.2f", row.position), colour});
    texts.push_back({width - 220, y, formatText("µ = %1.3f", row.friction), colour});
    texts.push_back({width - 140, y, formatText("Steigung = %i", row.gradient), colour});
}

}  // namespace

std::vector<TableText> trackTableTexts(const TrackTableSnapshot& snapshot, const LocomotiveState& copy) {
    std::vector<TableText> texts;
    const int width = copy.clientWidth;
    const bool automatic = copy.trackAutomatic;
    Rgb colour = black;  // carried from row to row, as a pen colour is
    int y = firstRowY;
    for (int i = 0; i < snapshot.rowCount; ++i, y += rowHeight) {
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
        addRow(texts, row, width, y, colour);
        if (coloured) colour = black;
        if (automatic && row.isBeforeCurrent) {
            // The train stands between this point and the next: a red marker line of its own.
            y += rowHeight;
            colour = red;
            texts.push_back({width - 360, y, "<" + std::string(80, '-') + ">", colour});
            texts.push_back({width - 308, y, formatText(" %1.1f m = Aktuelle Position ", copy.distance), colour});
        }
    }
    return texts;
}

void drawTrackTable(Canvas& canvas, const TrackTableSnapshot& snapshot, const LocomotiveState& copy) {
    for (const TableText& t : trackTableTexts(snapshot, copy)) canvas.text(t.x, t.y, t.text, t.colour, white);
}

}  // namespace zt40
