#include "text_panels.h"

#include "cab_controls.h"
#include "cab_layout.h"
#include "numeric.h"
#include "status_texts.h"
#include "text_format.h"

namespace zt40 {

namespace {

const Pen blackPen{};
const Brush whiteBrush{};

// A button: its outline and, 6 px in, its label, narrowed where the
// font's even 8 px a character would run it over the button's edge.
void drawButton(Canvas& canvas, int left, int top, int right, int bottom, const char* label) {
    canvas.rectangle(left, top, right, bottom, blackPen, whiteBrush);
    if (label) canvas.fittedText(left + 6, top + 6, label, right - left - 8, black, white);
}

void textBox(Canvas& canvas, const TextBox& box, Rgb colour) {
    const BoxOutline o = outlineOf(box);
    canvas.roundRect(o.left, o.top, o.right, o.bottom, 10, 10, blackPen, Brush{hintYellow});
    for (int i = 0; i < lineCount(box); ++i) canvas.text(box.x, box.y + 16 * i, box.lines[i], colour, hintYellow);
}

}  // namespace

void drawButtonBar(Canvas& canvas, const LocomotiveState& copy) {
    const int bb = truncateTo<int>(layout::barLeft / copy.displayScale);  // px, left edge of the bar
    const auto button = [&](const layout::BarButton& b, const char* label = nullptr) {
        drawButton(canvas, bb + b.left, b.top, bb + b.right, b.bottom, label);
    };
    if (cab::trainStands(copy)) {
        // Train weight down and up, water and temperature: only while standing.
        const int minus = bb + layout::weightMinusButton.left, plus = bb + layout::weightPlusButton.left;
        button(layout::weightMinusButton);
        canvas.line({minus + 6, 18}, {minus + 18, 18}, blackPen);
        button(layout::weightPlusButton);
        canvas.line({plus + 6, 18}, {plus + 18, 18}, blackPen);
        canvas.line({plus + 12, 12}, {plus + 12, 24}, blackPen);
        button(layout::temperatureButton, "Temperatur");
        button(layout::waterButton, "Wasser tanken");
    }
    const layout::Point weight = layout::weightText, speed = layout::speedText;
    canvas.text(bb + weight.x, weight.y, formatText("Zuggewicht=%i t", copy.trainWeight), black, white);
    button(layout::speedButton, "Simulationsgeschwindigkeit");
    canvas.text(bb + speed.x, speed.y, simSpeedText(copy.simSpeedCode), black, white);
    button(layout::displayButton, "Zeichenmodus");
    button(layout::soundButton, "Sound");
    button(layout::dataButton, "Dialog");
    button(layout::trackModeButton, copy.trackAutomatic ? "Strecke Auto" : "Strecke Man");
    button(layout::autoControlButton, "Autosteuerung");
}

void drawTextStage(Canvas& canvas, const TextStage& text) {
    if (!text.shown) return;
    for (int i = 0; i < statusLineCount; ++i) {
        canvas.text(text.statusX, text.statusY + statusLineOffsets[i], text.statusLines[i], black, white);
    }
    if (text.help) textBox(canvas, *text.help, helpBlue);
    for (const TextBox& warning : text.warnings) textBox(canvas, warning, warningRed);
}

}  // namespace zt40
