#include "text_panels.h"

#include "cab_controls.h"
#include "numeric.h"
#include "status_texts.h"
#include "text_format.h"

namespace zt40 {

namespace {

const Pen blackPen{};
const Brush whiteBrush{};

// A button: its outline and, 6 px in, its label, narrowed where the
// font's even 8 px a character would run it over the button's edge.
void button(Canvas& canvas, int left, int top, int right, int bottom, const char* label = nullptr) {
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
    const int bb = truncateTo<int>(2150.0 / copy.displayScale);  // px, left edge of the bar
    if (cab::trainStands(copy)) {
        // Train weight down and up, water and temperature: only while standing.
        button(canvas, bb, 6, bb + 24, 30);
        canvas.line({bb + 6, 18}, {bb + 18, 18}, blackPen);
        button(canvas, bb + 36, 6, bb + 60, 30);
        canvas.line({bb + 42, 18}, {bb + 54, 18}, blackPen);
        canvas.line({bb + 48, 12}, {bb + 48, 24}, blackPen);
        button(canvas, bb, 126, bb + 90, 150, "Temperatur");
        button(canvas, bb, 96, bb + 108, 120, "Wasser tanken");
    }
    canvas.text(bb + 72, 12, formatText("Zuggewicht=%i t", copy.trainWeight), black, white);
    button(canvas, bb, 36, bb + 192, 60, "Simulationsgeschwindigkeit");
    canvas.text(bb + 198, 42, simSpeedText(copy.simSpeedCode), black, white);
    button(canvas, bb, 66, bb + 120, 90, "Zeichenmodus");
    button(canvas, bb + 130, 66, bb + 192, 90, "Sound");
    button(canvas, bb + 130, 96, bb + 192, 120, "Dialog");
    button(canvas, bb + 100, 126, bb + 192, 150, copy.trackAutomatic ? "Strecke Auto" : "Strecke Man");
    button(canvas, bb, 156, bb + 108, 180, "Autosteuerung");
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
