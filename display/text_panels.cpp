#include "text_panels.h"

#include "cab_controls.h"
#include "cab_layout.h"
#include "numeric.h"
#include "status_texts.h"
#include "text_format.h"
#include "window_layout.h"

namespace zt40 {

namespace {

const Pen blackPen{};
const Brush whiteBrush{};

constexpr int labelInset = 6;   // px of the 8 x 16 cell from a button's top left to its label
constexpr int labelRoom = 8;    // px of the 8 x 16 cell a button's label leaves of its width
constexpr int boxCorner = 10;   // px of the 8 x 16 cell: the rounded corners of the help and warning boxes

// A button: its outline and, a little in, its label, narrowed where the
// font's even cell a character would run it over the button's edge.
void drawButton(Canvas& canvas, const ButtonBarPlace::Outline& o, TextCell cell, const char* label) {
    canvas.rectangle(o.left, o.top, o.right, o.bottom, blackPen, whiteBrush);
    if (label) {
        canvas.fittedText(o.left + cell.scaled(labelInset), o.top + cell.scaled(labelInset), label,
                          o.right - o.left - cell.scaled(labelRoom), black, white);
    }
}

void textBox(Canvas& canvas, const TextBox& box, TextCell cell, Rgb colour) {
    const TextExtent o = outlineOf(box, cell);
    const int corner = cell.scaled(boxCorner);
    canvas.roundRect(o.left, o.top, o.right, o.bottom, corner, corner, blackPen, Brush{hintYellow});
    for (int i = 0; i < lineCount(box); ++i) {
        canvas.text(box.x, box.y + cell.height * i, box.lines[i], colour, hintYellow);
    }
}

}  // namespace

TextExtent buttonBarArea(const LocomotiveState& copy) {
    const ButtonBarPlace bar = buttonBarPlace(copy);
    return {bar.left, 0, bar.right(), bar.bottom()};
}

void drawButtonBar(Canvas& canvas, const LocomotiveState& copy) {
    const ButtonBarPlace bar = buttonBarPlace(copy);
    const TextCell cell = bar.cell;
    const auto button = [&](const layout::BarButton& b, const char* label = nullptr) {
        drawButton(canvas, bar.at(b), cell, label);
    };
    if (cab::trainStands(copy)) {
        // Train weight down and up, water and temperature: only while standing.
        const ButtonBarPlace::Outline minus = bar.at(layout::weightMinusButton), plus = bar.at(layout::weightPlusButton);
        const int middle = (minus.top + minus.bottom) / 2, reach = cell.scaled(6);  // px: the signs' half length
        button(layout::weightMinusButton);
        canvas.line({minus.left + reach, middle}, {minus.right - reach, middle}, blackPen);
        button(layout::weightPlusButton);
        const int centre = (plus.left + plus.right) / 2;
        canvas.line({plus.left + reach, middle}, {plus.right - reach, middle}, blackPen);
        canvas.line({centre, plus.top + reach}, {centre, plus.bottom - reach}, blackPen);
        button(layout::temperatureButton, "Temperatur");
        button(layout::waterButton, "Wasser tanken");
    }
    const layout::Point weight = bar.at(layout::weightText), speed = bar.at(layout::speedText);
    canvas.text(weight.x, weight.y, formatText("Zuggewicht=%i t", copy.trainWeight), black, white);
    button(layout::speedButton, "Simulationsgeschwindigkeit");
    canvas.text(speed.x, speed.y, simSpeedText(copy.simSpeedCode), black, white);
    button(layout::displayButton, "Zeichenmodus");
    button(layout::soundButton, "Sound");
    button(layout::dataButton, "Dialog");
    button(layout::trackModeButton, copy.trackAutomatic ? "Strecke Auto" : "Strecke Man");
    button(layout::autoControlButton, "Autosteuerung");
}

void drawTextStage(Canvas& canvas, const TextStage& text) {
    if (!text.shown) return;
    for (const PlacedLine& line : text.statusLines) canvas.text(line.x, line.y, line.text, black, white);
    if (text.help) textBox(canvas, *text.help, text.cell, helpBlue);
    for (const TextBox& warning : text.warnings) textBox(canvas, warning, text.cell, warningRed);
}

}  // namespace zt40
