#include "qt_canvas.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPolygon>
#include <cmath>
#include <limits>
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

constexpr int charWidth = 8;   // px: the box geometry counts 8 pixels a character
constexpr int fontPixels = 14;  // px: DejaVu Sans Mono's 16-pixel line, 8.4 pixels wide unhinted

QFont loadTextFont() {
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSansMono.ttf"));
    QFont font(QFontDatabase::applicationFontFamilies(id).value(0, QStringLiteral("monospace")));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(fontPixels);
    font.setHintingPreference(QFont::PreferFullHinting);
    // Where hinting leaves a fraction, the spacing makes it whole.
    const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('M'));
    if (advance != charWidth) font.setLetterSpacing(QFont::AbsoluteSpacing, charWidth - advance);
    return font;
}

}  // namespace

const QFont& textFont() {
    static const QFont font = loadTextFont();
    return font;
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

void QtCanvas::text(int x, int y, std::string_view utf8, Rgb colour, Rgb background) {
    fittedText(x, y, utf8, std::numeric_limits<int>::max(), colour, background);
}

void QtCanvas::fittedText(int x, int y, std::string_view utf8, int maxWidth, Rgb colour, Rgb background) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const QFontMetrics metrics = painter_.fontMetrics();
    const int width = metrics.horizontalAdvance(text);  // px
    const bool narrowed = width > maxWidth && width > 0;
    if (narrowed) {
        painter_.save();
        painter_.translate(x, y);
        painter_.scale(static_cast<qreal>(std::max(maxWidth, 1)) / width, 1.0);
        x = y = 0;
    }
    painter_.fillRect(QRect(x, y, width, metrics.height()), qtColour(background));
    painter_.setPen(qtColour(colour));
    painter_.drawText(QPoint(x, y + metrics.ascent()), text);
    if (narrowed) painter_.restore();
}

}  // namespace zt40
