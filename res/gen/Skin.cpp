#include "Skin.h"

#include <QtMath>

#include <cstdio>
#include <cstdlib>

namespace skin {

const char *Suffix(State s)
{
    switch (s) {
    case Disabled:
        return "_DISABLED";
    case Normal:
        return "_NORMAL";
    case Focused:
        return "_FOCUSED";
    case Pressed:
        return "_PRESSED";
    }
    return "";
}

Look BarLook(State s, QColor ink)
{
    Look l;
    l.state = s;
    l.plate = Qt::transparent;
    l.ring = Qt::transparent;
    switch (s) {
    case Disabled:
        l.ink = pal::kInkOff;
        break;
    case Normal:
        l.ink = ink;
        break;
    case Focused:
        l.ink = Qt::white;
        l.plate = QColor(0x35, 0xC2, 0xE8, 60);
        l.ring = QColor(0x35, 0xC2, 0xE8, 150);
        break;
    case Pressed:
        l.ink = Qt::white;
        l.plate = QColor(0x15, 0x84, 0xA8, 170);
        l.ring = QColor(0x35, 0xC2, 0xE8, 200);
        l.shift = 1;
        break;
    }
    return l;
}

void Catalogue::Add(const QString &name, const QImage &image)
{
    if (pictures_.count(name)) {
        std::fprintf(stderr, "skin: picture %s drawn twice\n", qPrintable(name));
        std::exit(1);
    }
    pictures_[name] = image;
}

QImage NewImage(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void Prepare(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void AddStates(Catalogue &cat, const QString &stem, int w, int h, std::initializer_list<State> states,
               const StatePainter &paint, const std::function<Look(State)> &look)
{
    for (State s : states) {
        QImage img = NewImage(w, h);
        {
            QPainter p(&img);
            Prepare(p);
            paint(p, QRectF(0, 0, w, h), look(s));
        }
        cat.Add(stem + Suffix(s), img);
    }
}

void Plate(QPainter &p, const QRectF &r, const Look &look, qreal radius)
{
    if (look.plate.alpha() == 0 && look.ring.alpha() == 0)
        return;
    p.save();
    p.setPen(look.ring.alpha() ? QPen(look.ring, 1) : Qt::NoPen);
    p.setBrush(look.plate);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.restore();
}

void Grid24(QPainter &p, const QRectF &box, qreal side, qreal shift)
{
    p.save();
    const QPointF c = box.center();
    p.translate(c.x() - side / 2, c.y() - side / 2 + shift);
    p.scale(side / 24.0, side / 24.0);
}

QPen Stroke(const QColor &c, qreal width)
{
    QPen pen(c, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void Handset(QPainter &p, const QColor &c)
{
    // A handle bowing to the lower left between two thicker ends: the ear end upright
    // at the top left, the mouth end lying at the bottom right.
    const QPointF o(17.0, 7.0);
    auto arc = [&](qreal from, qreal to, qreal rad) {
        QPainterPath path;
        for (qreal d = from;; d -= 2) {
            if (d < to)
                d = to;
            const qreal a = qDegreesToRadians(d);
            const QPointF pt(o.x() + rad * std::cos(a), o.y() + rad * std::sin(a));
            if (d == from)
                path.moveTo(pt);
            else
                path.lineTo(pt);
            if (d == to)
                break;
        }
        return path;
    };
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(Stroke(c, 2.6));
    p.drawPath(arc(156, 114, 10.9));
    QPen pad = Stroke(c, 6.2);
    p.setPen(pad);
    p.drawPath(arc(184, 156, 9.3));
    p.drawPath(arc(114, 86, 9.3));
    p.restore();
}

void Person(QPainter &p, const QColor &c, qreal cx, qreal top, qreal scale)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(cx, top + 4.2 * scale), 4.2 * scale, 4.2 * scale);
    QPainterPath body;
    const qreal w = 8.0 * scale, y = top + 10.0 * scale, h = 9.0 * scale;
    body.moveTo(cx - w, y + h);
    body.cubicTo(cx - w, y + 1.0 * scale, cx - w * 0.55, y, cx, y);
    body.cubicTo(cx + w * 0.55, y, cx + w, y + 1.0 * scale, cx + w, y + h);
    body.closeSubpath();
    p.drawPath(body);
    p.restore();
}

void CctvCamera(QPainter &p, const QColor &c)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.translate(12, 10);
    p.rotate(18);
    p.drawRoundedRect(QRectF(-9, -4, 15, 8), 2, 2);
    QPainterPath lens;
    lens.moveTo(6, -3);
    lens.lineTo(10, -5);
    lens.lineTo(10, 5);
    lens.lineTo(6, 3);
    lens.closeSubpath();
    p.drawPath(lens);
    p.restore();
    p.save();
    p.setPen(Stroke(c, 2.2));
    p.drawLine(QPointF(8.5, 13.5), QPointF(6.5, 19));
    p.drawLine(QPointF(3.5, 20), QPointF(10.5, 20));
    p.restore();
}

void VideoCamera(QPainter &p, const QColor &c, const QRectF &body)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(body, 2, 2);
    QPainterPath lens;
    const qreal x = body.right() + 1;
    lens.moveTo(x, body.center().y() - 1.5);
    lens.lineTo(x + body.height() * 0.55, body.top());
    lens.lineTo(x + body.height() * 0.55, body.bottom());
    lens.lineTo(x, body.center().y() + 1.5);
    lens.closeSubpath();
    p.drawPath(lens);
    p.restore();
}

void Microphone(QPainter &p, const QColor &c)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(8.5, 2, 7, 12.5), 3.5, 3.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(Stroke(c, 1.8));
    p.drawArc(QRectF(5.5, 5.5, 13, 12), 200 * 16, 140 * 16);
    p.drawLine(QPointF(12, 17.6), QPointF(12, 21));
    p.drawLine(QPointF(8.5, 21.2), QPointF(15.5, 21.2));
    p.restore();
}

void Chevron(QPainter &p, const QColor &c, qreal cx, qreal cy, qreal size, int direction, qreal width)
{
    // direction: 0 left, 1 right, 2 up, 3 down
    QPolygonF pts;
    const qreal s = size / 2;
    switch (direction) {
    case 0:
        pts << QPointF(cx + s * 0.5, cy - s) << QPointF(cx - s * 0.5, cy) << QPointF(cx + s * 0.5, cy + s);
        break;
    case 1:
        pts << QPointF(cx - s * 0.5, cy - s) << QPointF(cx + s * 0.5, cy) << QPointF(cx - s * 0.5, cy + s);
        break;
    case 2:
        pts << QPointF(cx - s, cy + s * 0.5) << QPointF(cx, cy - s * 0.5) << QPointF(cx + s, cy + s * 0.5);
        break;
    default:
        pts << QPointF(cx - s, cy - s * 0.5) << QPointF(cx, cy + s * 0.5) << QPointF(cx + s, cy - s * 0.5);
        break;
    }
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(Stroke(c, width));
    p.drawPolyline(pts);
    p.restore();
}

void ArrowLine(QPainter &p, const QColor &c, QPointF from, QPointF to, qreal width, qreal head)
{
    p.save();
    p.setPen(Stroke(c, width));
    p.setBrush(Qt::NoBrush);
    p.drawLine(from, to);
    const QPointF d = to - from;
    const qreal len = std::hypot(d.x(), d.y());
    if (len > 0) {
        const QPointF u = d / len;
        const QPointF n(-u.y(), u.x());
        QPolygonF tip;
        tip << to - u * head + n * head * 0.8 << to << to - u * head - n * head * 0.8;
        p.drawPolyline(tip);
    }
    p.restore();
}

} // namespace skin
