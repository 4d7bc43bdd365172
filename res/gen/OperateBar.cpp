// The quick-action button face and the slide arrows of the operate bar.
#include "Skin.h"

namespace skin {
namespace {

struct Face {
    QColor top, bottom, border, highlight;
};

Face FaceOf(State s)
{
    switch (s) {
    case Disabled:
        return {QColor(0x33, 0x39, 0x3F), QColor(0x2C, 0x31, 0x36), QColor(0x40, 0x47, 0x4E), QColor(0, 0, 0, 0)};
    case Normal:
        return {QColor(0x4A, 0x57, 0x62), QColor(0x31, 0x3A, 0x43), QColor(0x5A, 0x68, 0x74),
                QColor(255, 255, 255, 40)};
    case Focused:
        return {QColor(0x2F, 0x7D, 0x9C), QColor(0x22, 0x55, 0x6C), QColor(0x35, 0xC2, 0xE8),
                QColor(255, 255, 255, 55)};
    case Pressed:
        return {QColor(0x16, 0x55, 0x6E), QColor(0x1D, 0x6F, 0x8E), QColor(0x35, 0xC2, 0xE8), QColor(0, 0, 0, 60)};
    }
    return {};
}

void PaintFace(QPainter &p, const QRectF &r, State s, qreal radius)
{
    const Face f = FaceOf(s);
    const QRectF body = r.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, f.top);
    g.setColorAt(1, f.bottom);
    p.setPen(QPen(f.border, 1));
    p.setBrush(g);
    p.drawRoundedRect(body, radius, radius);
    if (f.highlight.alpha()) {
        p.setPen(QPen(f.highlight, 1));
        p.drawLine(QPointF(body.left() + radius, body.top() + 1.5), QPointF(body.right() - radius, body.top() + 1.5));
    }
}

void PaintArrow(QPainter &p, const QRectF &r, State s, int direction)
{
    const QRectF plate(r.center().x() - 15, r.center().y() - 21, 30, 42);
    if (s != Normal && s != Disabled)
        PaintFace(p, plate, s, 6);
    const QColor ink = s == Disabled ? pal::kInkOff : (s == Normal ? pal::kInk : QColor(Qt::white));
    const qreal shift = s == Pressed ? 1 : 0;
    Chevron(p, ink, plate.center().x() + (direction == 0 ? -1 : 1), plate.center().y() + shift, 16, direction, 3.0);
}

} // namespace

void AddOperateBar(Catalogue &cat)
{
    auto face = [](State s) {
        QImage img = NewImage(90, 36);
        QPainter p(&img);
        Prepare(p);
        PaintFace(p, QRectF(0, 0, 90, 36), s, 5);
        return img;
    };
    cat.Add("IMG_TASK_OPERATE_NORMAL", face(Normal));
    cat.Add("IMG_BTN_OPERATE_DISABLED", face(Disabled));
    cat.Add("IMG_BTN_OPERATE_FOCUSED", face(Focused));
    cat.Add("IMG_BTN_OPERATE_PRESSED", face(Pressed));

    const char *sides[] = {"LEFT", "RIGHT"};
    for (int d = 0; d < 2; ++d) {
        auto arrow = [d](State s) {
            QImage img = NewImage(45, 54);
            QPainter p(&img);
            Prepare(p);
            PaintArrow(p, QRectF(0, 0, 45, 54), s, d);
            return img;
        };
        cat.Add(QString("IMG_TASK_ARROW_%1_NORMAL").arg(sides[d]), arrow(Normal));
        for (State s : {Disabled, Focused, Pressed})
            cat.Add(QString("IMG_BTN_ARROW_%1").arg(sides[d]) + Suffix(s), arrow(s));
    }
}

} // namespace skin
