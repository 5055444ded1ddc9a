#include "qt_canvas.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPolygon>
#include <cmath>
#include <numbers>

namespace zt40 {

namespace {

QColor qtColour(Rgb c) { return QColor(c.r, c.g, c.b); }

QPen qtPen(const Pen& pen) {
    QPen result(qtColour(pen.colour), std::max(pen.width, 1));
    result.setStyle(pen.dotted ? Qt::DotLine : Qt::SolidLine);
    // A wide pen has round ends and joins, so a short thick stroke is a boss;
    // a hairline or dotted one keeps square ends.
    const bool wide = pen.width > 1 && !pen.dotted;
    result.setCapStyle(wide ? Qt::RoundCap : Qt::FlatCap);
    result.setJoinStyle(wide ? Qt::RoundJoin : Qt::MiterJoin);
    return result;
}

QBrush qtBrush(const Brush& brush) {
    switch (brush.fill) {
        case Fill::solid: return QBrush(qtColour(brush.colour));
        case Fill::backDiagonal: return QBrush(qtColour(brush.colour), Qt::BDiagPattern);
        default: return QBrush(Qt::NoBrush);
    }
}

// GDI boxes exclude their right and bottom edge; the pen runs inside.
QRectF box(int left, int top, int right, int bottom) {
    return QRectF(QPointF(std::min(left, right) + 0.5, std::min(top, bottom) + 0.5),
                  QPointF(std::max(left, right) - 0.5, std::max(top, bottom) - 0.5));
}

// Angle (Qt's 1/16 degrees, counter-clockwise from 3 o'clock) of the ray
// from the box's centre through `p`.
int rayAngle(const QRectF& r, PixelPoint p) {
    const double dx = p.x - r.center().x();
    const double dy = r.center().y() - p.y;
    return static_cast<int>(std::lround(std::atan2(dy, dx) * 180.0 / std::numbers::pi * 16.0));
}

int span(int start, int end) {
    int sweep = end - start;
    while (sweep <= 0) sweep += 360 * 16;  // coinciding rays: the full circle
    return sweep;
}

QPolygon qtPolygon(const std::vector<PixelPoint>& points) {
    QPolygon polygon;
    polygon.reserve(static_cast<int>(points.size()));
    for (const PixelPoint& p : points) polygon << QPoint(p.x, p.y);
    return polygon;
}

// DejaVu Sans Mono's line is 1.16 of its pixel size and a character 0.6
// of it: 14 pixels set an 8 x 16 cell, 7 pixels of font for every 4 of cell width.
constexpr int fontPixelsPerFourCellPixels = 7;

// The font in `pixels`, its advance made exactly `cellWidth` pixels: where
// hinting leaves a fraction or a pixel more, the spacing makes it whole.
QFont sizedFont(const QFont& family, int pixels, int cellWidth) {
    QFont font = family;
    font.setPixelSize(pixels);
    const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('M'));
    if (advance != cellWidth) font.setLetterSpacing(QFont::AbsoluteSpacing, cellWidth - advance);
    return font;
}

QFont loadTextFont() {
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSansMono.ttf"));
    QFont font(QFontDatabase::applicationFontFamilies(id).value(0, QStringLiteral("monospace")));
    font.setStyleHint(QFont::TypeWriter);
    font.setHintingPreference(QFont::PreferFullHinting);
    return sizedFont(font, referenceCell.width * fontPixelsPerFourCellPixels / 4, referenceCell.width);
}

}  // namespace

const QFont& textFont() {
    static const QFont font = loadTextFont();
    return font;
}

QFont textFont(TextCell cell) {
    if (cell == referenceCell) return textFont();
    // The largest size whose line fits the cell.
    for (int pixels = cell.width * fontPixelsPerFourCellPixels / 4; pixels > 1; --pixels) {
        QFont font = sizedFont(textFont(), pixels, cell.width);
        if (QFontMetrics(font).height() <= cell.height) return font;
    }
    return textFont();
}

// A few cells at a time: the window's and what a resize passes through.
constexpr std::size_t maxCells = 8;

const QFont& TextFonts::forCell(TextCell cell) {
    for (const auto& [known, font] : fonts_) {
        if (known == cell) return font;
    }
    if (fonts_.size() >= maxCells) fonts_.clear();  // a window resized again and again
    return fonts_.emplace_back(cell, textFont(cell)).second;
}

void QtCanvas::use(const Pen& pen, const Brush& brush) {
    painter_.setPen(qtPen(pen));
    painter_.setBrush(qtBrush(brush));
}

void QtCanvas::line(PixelPoint from, PixelPoint to, const Pen& pen) {
    painter_.setPen(qtPen(pen));
    painter_.drawLine(from.x, from.y, to.x, to.y);
}

void QtCanvas::polyline(const std::vector<PixelPoint>& points, const Pen& pen) {
    painter_.setPen(qtPen(pen));
    painter_.drawPolyline(qtPolygon(points));
}

void QtCanvas::rectangle(int left, int top, int right, int bottom, const Pen& pen, const Brush& brush) {
    use(pen, brush);
    painter_.drawRect(box(left, top, right, bottom));
}

void QtCanvas::ellipse(int left, int top, int right, int bottom, const Pen& pen, const Brush& brush) {
    use(pen, brush);
    painter_.drawEllipse(box(left, top, right, bottom));
}

void QtCanvas::roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight, const Pen& pen,
                         const Brush& brush) {
    use(pen, brush);
    painter_.drawRoundedRect(box(left, top, right, bottom), cornerWidth / 2.0, cornerHeight / 2.0);
}

void QtCanvas::polygon(const std::vector<PixelPoint>& points, const Pen& pen, const Brush& brush) {
    use(pen, brush);
    painter_.drawPolygon(qtPolygon(points));
}

void QtCanvas::arc(int left, int top, int right, int bottom, PixelPoint start, PixelPoint end, const Pen& pen) {
    painter_.setPen(qtPen(pen));
    const QRectF r = box(left, top, right, bottom);
    const int from = rayAngle(r, start);
    painter_.drawArc(r, from, span(from, rayAngle(r, end)));
}

void QtCanvas::chord(int left, int top, int right, int bottom, PixelPoint start, PixelPoint end, const Pen& pen,
                     const Brush& brush) {
    use(pen, brush);
    const QRectF r = box(left, top, right, bottom);
    const int from = rayAngle(r, start);
    painter_.drawChord(r, from, span(from, rayAngle(r, end)));
}

void QtCanvas::drawText(int x, int y, std::string_view utf8, int width, Rgb colour, Rgb background) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const QFontMetrics metrics = painter_.fontMetrics();
    const int natural = metrics.horizontalAdvance(text);  // px
    const bool narrowed = natural > width && natural > 0;
    const int cellHeight = textCell().height;             // px
    // The line stands in the middle of its cell.
    const int baseline = (cellHeight - metrics.height()) / 2 + metrics.ascent();
    if (narrowed) {
        painter_.save();
        painter_.translate(x, y);
        painter_.scale(static_cast<qreal>(std::max(width, 1)) / natural, 1.0);
        x = y = 0;
    }
    painter_.fillRect(QRect(x, y, natural, cellHeight), qtColour(background));
    painter_.setPen(qtColour(colour));
    painter_.drawText(QPoint(x, y + baseline), text);
    if (narrowed) painter_.restore();
}

}  // namespace zt40
