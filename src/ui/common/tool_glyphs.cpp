#include "common/tool_glyphs.h"

#include <QDirIterator>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <functional>

namespace rowsmith {

namespace {

// Pictures are drawn on a 16 by 16 grid and scaled to each pixmap size.
constexpr int kGridSize = 16;

// The colours of one picture: its own, or the greys of its disabled look.
struct Ink {
    bool disabled;
    QColor Pick(const QColor& normal, const QColor& grey) const { return disabled ? grey : normal; }
};

using Drawing = std::function<void(QPainter&, const Ink&)>;

QPixmap Render(const Drawing& draw, int size, bool disabled) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(double(size) / kGridSize, double(size) / kGridSize);
    draw(painter, Ink{disabled});
    return pixmap;
}

QIcon MakeIcon(const Drawing& draw, bool ownDisabledLook) {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        icon.addPixmap(Render(draw, size, false), QIcon::Normal);
        if (ownDisabledLook) {
            icon.addPixmap(Render(draw, size, true), QIcon::Disabled);
        }
    }
    return icon;
}

QPen Outline(const QColor& colour) {
    QPen pen(colour, 1.0);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void DrawPage(QPainter& p, const Ink& ink) {
    const QPolygonF page({{3.5, 1.5}, {10, 1.5}, {13.5, 5}, {13.5, 14.5}, {3.5, 14.5}});
    p.setPen(Outline(ink.Pick(QColor(60, 60, 60), QColor(150, 150, 150))));
    p.setBrush(ink.Pick(Qt::white, QColor(235, 235, 235)));
    p.drawPolygon(page);
    p.setBrush(ink.Pick(QColor(210, 210, 210), QColor(220, 220, 220)));
    p.drawPolygon(QPolygonF({{10, 1.5}, {10, 5}, {13.5, 5}}));
    p.setPen(Outline(ink.Pick(QColor(70, 110, 180), QColor(190, 190, 190))));
    for (double y : {7.5, 9.5, 11.5}) {
        p.drawLine(QPointF(5.5, y), QPointF(11.5, y));
    }
    // A spark at the corner: the page is new.
    p.setPen(Outline(ink.Pick(QColor(230, 160, 0), QColor(170, 170, 170))));
    p.drawLine(QPointF(2, 1), QPointF(2, 5));
    p.drawLine(QPointF(0, 3), QPointF(4, 3));
}

void DrawFolder(QPainter& p, const Ink&) {
    p.setPen(Outline(QColor(140, 100, 20)));
    p.setBrush(QColor(220, 170, 50));
    p.drawPolygon(
        QPolygonF({{1.5, 3.5}, {6, 3.5}, {7.5, 5}, {13.5, 5}, {13.5, 13.5}, {1.5, 13.5}}));
    p.setBrush(QColor(250, 215, 110));
    p.drawPolygon(QPolygonF({{4, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}}));
}

void DrawDisk(QPainter& p, const Ink&) {
    p.setPen(Outline(QColor(20, 40, 90)));
    p.setBrush(QColor(50, 90, 170));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
    p.setBrush(QColor(215, 215, 220));
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(20, 40, 90));
    p.drawRect(QRectF(9, 2.5, 1.5, 3));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 9, 9, 5.5));
}

void DrawGrid(QPainter& p, const Ink& ink, const QRectF& area, int rows) {
    const QColor line = ink.Pick(QColor(60, 60, 60), QColor(150, 150, 150));
    const double rowHeight = area.height() / rows;
    p.setPen(Outline(line));
    p.setBrush(ink.Pick(Qt::white, QColor(235, 235, 235)));
    p.drawRect(area);
    p.setBrush(ink.Pick(QColor(70, 130, 200), QColor(190, 190, 190)));
    p.drawRect(QRectF(area.left(), area.top(), area.width(), rowHeight));
    for (int row = 2; row < rows; ++row) {
        const double y = area.top() + row * rowHeight;
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
    const double x = area.left() + area.width() * 0.4;
    p.drawLine(QPointF(x, area.top() + rowHeight), QPointF(x, area.bottom()));
}

void DrawFillUp(QPainter& p, const Ink& ink) {
    DrawGrid(p, ink, QRectF(1.5, 6.5, 13, 8), 4);
    // An arrow pouring records into the table.
    const QColor green(30, 150, 60);
    p.setPen(Outline(QColor(20, 100, 40)));
    p.setBrush(green);
    p.drawPolygon(
        QPolygonF({{6.5, 0.5}, {9.5, 0.5}, {9.5, 3.5}, {12, 3.5}, {8, 8}, {4, 3.5}, {6.5, 3.5}}));
}

void DrawShowData(QPainter& p, const Ink& ink) {
    DrawGrid(p, ink, QRectF(1.5, 2.5, 13, 11), 5);
}

// A blue arrow pointing up with a grey shadow; the down arrow is its mirror image.
void DrawArrowUp(QPainter& p, const Ink&) {
    const QPolygonF arrow(
        {{8, 1.5}, {14, 7.5}, {10.5, 7.5}, {10.5, 13.5}, {5.5, 13.5}, {5.5, 7.5}, {2, 7.5}});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(128, 128, 128));
    p.drawPolygon(arrow.translated(1, 1));
    p.setPen(Outline(QColor(0, 0, 128)));
    p.setBrush(QColor(40, 90, 220));
    p.drawPolygon(arrow);
}

void DrawArrowDown(QPainter& p, const Ink& ink) {
    p.translate(0, kGridSize);
    p.scale(1, -1);
    DrawArrowUp(p, ink);
}

}  // namespace

QIcon NewScenarioGlyph() {
    return MakeIcon(DrawPage, true);
}

QIcon OpenScenarioGlyph() {
    return MakeIcon(DrawFolder, false);
}

QIcon SaveScenarioGlyph() {
    return MakeIcon(DrawDisk, false);
}

QIcon FillUpGlyph() {
    return MakeIcon(DrawFillUp, false);
}

QIcon ShowDataGlyph() {
    return MakeIcon(DrawShowData, true);
}

QIcon MoveUpGlyph() {
    return MakeIcon(DrawArrowUp, false);
}

QIcon MoveDownGlyph() {
    return MakeIcon(DrawArrowDown, false);
}

QIcon ApplicationIcon() {
    // The program's own SVG icon, rendered to each theme size at build time: the desktop shows
    // the same picture from the icon theme.
    QIcon icon;
    QDirIterator pictures(":/icons", {"rowsmith.png"}, QDir::Files, QDirIterator::Subdirectories);
    while (pictures.hasNext()) {
        icon.addFile(pictures.next());
    }
    return icon;
}

}  // namespace rowsmith
