#pragma once
// The dialogs' layouts are given in dialog units, as the dialogs were first
// drawn; these turn them into pixels for the font the dialog shows.

#include <QFontMetrics>
#include <QRect>
#include <algorithm>

namespace zt40 {

// Where a control sits, in dialog units.
struct Place {
    int x, y, width, height;
};

// Dialog units to pixels for the dialog's font: a quarter of its average
// character width across, an eighth of its height down. Our fonts run wider
// than the one the layout was drawn for, so the unit across grows where a
// text would otherwise be cut off.
class DialogUnits {
public:
    explicit DialogUnits(const QFontMetrics& metrics)
        : across_(metrics.horizontalAdvance(
                      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                  52.0 / 4.0),
          down_(metrics.height() / 8.0) {}
    void fit(int widthPx, int units) { across_ = std::max(across_, double(widthPx) / units); }
    QRect operator()(const Place& p) const { return {x(p.x), y(p.y), x(p.width), y(p.height)}; }
    int x(int units) const { return qRound(units * across_); }
    int y(int units) const { return qRound(units * down_); }

private:
    double across_;  // px per unit
    double down_;    // px per unit
};

}  // namespace zt40
