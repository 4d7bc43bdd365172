// Icons of the video tile's tool buttons (16 x 16, on the tile's dark title bar).
#include "Skin.h"

namespace skin {
namespace {

QImage Tool(const std::function<void(QPainter &)> &glyph)
{
    QImage img = NewImage(16, 16);
    QPainter p(&img);
    Prepare(p);
    Grid24(p, QRectF(0, 0, 16, 16), 16);
    glyph(p);
    p.restore();
    return img;
}

void Speaker(QPainter &p, const QColor &c)
{
    QPainterPath s;
    s.moveTo(3, 9);
    s.lineTo(7, 9);
    s.lineTo(12, 4);
    s.lineTo(12, 20);
    s.lineTo(7, 15);
    s.lineTo(3, 15);
    s.closeSubpath();
    p.setPen(QPen(c, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(c);
    p.drawPath(s);
}

} // namespace

void AddVideoTools(Catalogue &cat)
{
    const QColor ink = pal::kInk;
    cat.Add("IMG_WND_MAX_NORMAL", Tool([&](QPainter &p) {
                p.setPen(Stroke(ink, 2.2));
                p.setBrush(Qt::NoBrush);
                p.drawRoundedRect(QRectF(4, 4, 16, 16), 2, 2);
                p.drawLine(QPointF(4, 8), QPointF(20, 8));
            }));
    cat.Add("IMG_WND_RESET_NORMAL", Tool([&](QPainter &p) {
                p.setPen(Stroke(ink, 2.0));
                p.setBrush(Qt::NoBrush);
                p.drawRoundedRect(QRectF(3, 9, 12, 12), 1.5, 1.5);
                p.drawPolyline(QPolygonF() << QPointF(9, 9) << QPointF(9, 3.5) << QPointF(21, 3.5)
                                           << QPointF(21, 15) << QPointF(15, 15));
            }));
    cat.Add("IMG_BTN_STOP_NORMAL", Tool([&](QPainter &p) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(0xFF, 0x6B, 0x6B));
                p.drawRoundedRect(QRectF(5, 5, 14, 14), 2.5, 2.5);
            }));
    cat.Add("IMG_BTN_SHARE_NORMAL", Tool([&](QPainter &p) {
                p.setPen(Stroke(ink, 2.2));
                p.setBrush(Qt::NoBrush);
                QPainterPath path;
                path.moveTo(3, 20);
                path.cubicTo(3, 12, 8, 9, 15, 9);
                p.drawPath(path);
                p.drawPolyline(QPolygonF() << QPointF(13, 3.5) << QPointF(20, 9) << QPointF(13, 14.5));
            }));
    for (int active = 0; active < 2; ++active) {
        const QColor c = active ? pal::kAccent : ink;
        cat.Add(active ? "IMG_BTN_STRETCH_ACTIVED" : "IMG_BTN_STRETCH_NORMAL", Tool([c](QPainter &p) {
                    ArrowLine(p, c, QPointF(10, 14), QPointF(3.5, 20.5), 2.0, 4.5);
                    ArrowLine(p, c, QPointF(14, 10), QPointF(20.5, 3.5), 2.0, 4.5);
                }));
    }
    cat.Add("IMG_BTN_RECORD_STOPPED", Tool([&](QPainter &p) {
                p.setPen(Stroke(ink, 2.0));
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(QPointF(12, 12), 8.5, 8.5);
                p.setPen(Qt::NoPen);
                p.setBrush(ink);
                p.drawEllipse(QPointF(12, 12), 4, 4);
            }));
    cat.Add("IMG_BTN_RECORD_STARTED", Tool([&](QPainter &p) {
                p.setPen(QPen(QColor(0xFF, 0xC2, 0xC2), 2.0));
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(QPointF(12, 12), 8.5, 8.5);
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(0xFF, 0x3B, 0x3B));
                p.drawEllipse(QPointF(12, 12), 5.5, 5.5);
            }));
    cat.Add("IMG_BTN_VOLUME_NORMAL", Tool([&](QPainter &p) {
                Speaker(p, ink);
                p.setPen(Stroke(ink, 1.8));
                p.setBrush(Qt::NoBrush);
                p.drawArc(QRectF(10, 7, 8, 10), 60 * 16, -120 * 16);
                p.drawArc(QRectF(10, 3.5, 12, 17), 60 * 16, -120 * 16);
            }));
    cat.Add("IMG_BTN_VOLUME_MUTE_NORMAL", Tool([&](QPainter &p) {
                Speaker(p, pal::kInkDim);
                p.setPen(Stroke(QColor(0xFF, 0x6B, 0x6B), 2.0));
                p.drawLine(QPointF(15, 9), QPointF(21, 15));
                p.drawLine(QPointF(21, 9), QPointF(15, 15));
            }));
}

} // namespace skin
