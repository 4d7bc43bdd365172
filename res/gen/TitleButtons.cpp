// Window buttons of the title bars: settings, minimise, maximise, restore, close.
#include "Skin.h"

#include <QtMath>

namespace skin {
namespace {

void Gear(QPainter &p, const QColor &c)
{
    QPainterPath gear;
    const int teeth = 8;
    const QPointF o(12, 12);
    QPolygonF poly;
    for (int i = 0; i < teeth * 4; ++i) {
        const qreal a = qDegreesToRadians(360.0 * i / (teeth * 4) - 11.25 / 2);
        const qreal r = (i % 4 == 1 || i % 4 == 2) ? 8.6 : 6.4;
        poly << QPointF(o.x() + r * std::cos(a), o.y() + r * std::sin(a));
    }
    gear.addPolygon(poly);
    gear.closeSubpath();
    gear.addEllipse(o, 3.0, 3.0);
    gear.setFillRule(Qt::OddEvenFill);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(gear);
}

void Paint(QPainter &p, const QRectF &r, const Look &l, int kind)
{
    Look look = l;
    if (kind == 4 && l.state != Normal && l.state != Disabled) {
        // The close button warns in red.
        look.plate = l.state == Pressed ? QColor(0xB8, 0x2C, 0x2C, 230) : QColor(0xEE, 0x4B, 0x4B, 190);
        look.ring = Qt::transparent;
    }
    Plate(p, r.adjusted(1, 1, -1, -1), look, 4);
    Grid24(p, r, kind == 0 ? 19 : 16, look.shift);
    p.setBrush(Qt::NoBrush);
    switch (kind) {
    case 0:
        Gear(p, look.ink);
        break;
    case 1:
        p.setPen(Stroke(look.ink, 2.2));
        p.drawLine(QPointF(5, 17), QPointF(19, 17));
        break;
    case 2:
        p.setPen(Stroke(look.ink, 2.0));
        p.drawRoundedRect(QRectF(5, 5, 14, 14), 1.5, 1.5);
        p.drawLine(QPointF(5, 8), QPointF(19, 8));
        break;
    case 3:
        p.setPen(Stroke(look.ink, 1.9));
        p.drawRoundedRect(QRectF(4, 9, 11, 11), 1.5, 1.5);
        p.drawPolyline(QPolygonF() << QPointF(9, 9) << QPointF(9, 4.5) << QPointF(20, 4.5) << QPointF(20, 15)
                                   << QPointF(15, 15));
        break;
    case 4:
        p.setPen(Stroke(look.ink, 2.3));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
        break;
    }
    p.restore();
}

} // namespace

void AddTitleButtons(Catalogue &cat)
{
    const char *stems[] = {"IMG_BTN_SETTING", "IMG_BTN_MIN", "IMG_BTN_MAX", "IMG_BTN_MID", "IMG_BTN_CLOSE"};
    for (int k = 0; k < 5; ++k) {
        AddStates(cat, stems[k], 24, 24, {Normal, Focused, Pressed},
                  [k](QPainter &p, const QRectF &r, const Look &l) { Paint(p, r, l, k); });
    }
}

} // namespace skin
