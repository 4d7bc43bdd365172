// Pictures of the small windows: OK and Cancel faces, call and hang-up buttons, the
// contacts button, the unknown caller and the contacts list's phone icons.
#include "Skin.h"

namespace skin {
namespace {

QImage Face(State s, bool green)
{
    QImage img = NewImage(60, 24);
    QPainter p(&img);
    Prepare(p);
    QColor top, bottom, border;
    if (green) {
        top = s == Focused ? QColor(0x4F, 0xD8, 0x80) : (s == Pressed ? QColor(0x1E, 0x8A, 0x45) : QColor(0x37, 0xB8, 0x63));
        bottom = s == Focused ? QColor(0x2C, 0xA9, 0x5A) : (s == Pressed ? QColor(0x26, 0x9E, 0x50) : QColor(0x24, 0x8F, 0x4B));
        border = s == Normal ? QColor(0x5E, 0xD3, 0x87) : QColor(0xA6, 0xF0, 0xC0);
    } else {
        top = s == Focused ? QColor(0x62, 0x71, 0x7E) : (s == Pressed ? QColor(0x33, 0x3C, 0x45) : QColor(0x55, 0x61, 0x6C));
        bottom = s == Focused ? QColor(0x46, 0x52, 0x5D) : (s == Pressed ? QColor(0x3D, 0x47, 0x51) : QColor(0x3B, 0x45, 0x4F));
        border = s == Normal ? QColor(0x6B, 0x78, 0x84) : pal::kAccent;
    }
    const QRectF body(0.5, 0.5, 59, 23);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(border, 1));
    p.setBrush(g);
    p.drawRoundedRect(body, 4, 4);
    if (s != Pressed) {
        p.setPen(QPen(QColor(255, 255, 255, 45), 1));
        p.drawLine(QPointF(4, 2), QPointF(56, 2));
    }
    return img;
}

QImage CallButton(State s, bool hangup)
{
    QImage img = NewImage(48, 48);
    QPainter p(&img);
    Prepare(p);
    QColor base = hangup ? pal::kRed : pal::kGreen;
    QColor top = s == Focused ? base.lighter(118) : (s == Pressed ? base.darker(125) : base);
    QColor bottom = top.darker(135);
    const QPointF c(24, 24);
    if (s == Focused) {
        QRadialGradient halo(c, 23);
        halo.setColorAt(0.8, QColor(base.red(), base.green(), base.blue(), 110));
        halo.setColorAt(1, QColor(base.red(), base.green(), base.blue(), 0));
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(c, 23, 23);
    }
    QLinearGradient g(QPointF(0, 5), QPointF(0, 43));
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.setBrush(g);
    p.drawEllipse(c, 19.5, 19.5);
    p.save();
    const qreal shift = s == Pressed ? 1 : 0;
    if (hangup) {
        p.translate(24, 25 + shift);
        p.rotate(135);
        p.translate(-11.5, -12.5);
    } else {
        p.translate(12.5, 12 + shift);
    }
    Handset(p, Qt::white);
    p.restore();
    return img;
}

void Contact(QPainter &p, const QRectF &r, const Look &l)
{
    Plate(p, r, l, 5);
    Grid24(p, r, 20, l.shift);
    const QColor c = l.state == Normal ? pal::kInk : QColor(Qt::white);
    p.setPen(Stroke(c, 1.7));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(5, 2.5, 15, 19), 2, 2);
    p.setPen(Stroke(c, 1.7));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(3, 6.5 + i * 5.5), QPointF(6.5, 6.5 + i * 5.5));
    Person(p, c, 12.8, 6, 0.55);
    p.restore();
}

QImage UnknownPerson()
{
    QImage img = NewImage(60, 60);
    QPainter p(&img);
    Prepare(p);
    QLinearGradient g(QPointF(0, 0), QPointF(0, 60));
    g.setColorAt(0, QColor(0x6E, 0x7C, 0x89));
    g.setColorAt(1, QColor(0x47, 0x53, 0x5E));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0, 0, 60, 60), 10, 10);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(0, 0, 60, 60), 10, 10);
    p.setClipPath(clip);
    Person(p, QColor(0xE4, 0xEA, 0xEF), 30, 12, 1.75);
    return img;
}

QImage Mobile()
{
    QImage img = NewImage(16, 16);
    QPainter p(&img);
    Prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2B, 0x5F, 0x8A));
    p.drawRoundedRect(QRectF(4, 0.5, 8.5, 15), 1.8, 1.8);
    p.setBrush(QColor(0xCF, 0xE6, 0xF7));
    p.drawRect(QRectF(5.3, 2.3, 5.9, 9.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8.25, 13.6), 0.9, 0.9);
    return img;
}

QImage Telephone()
{
    QImage img = NewImage(16, 16);
    QPainter p(&img);
    Prepare(p);
    p.scale(16.0 / 24, 16.0 / 24);
    Handset(p, QColor(0x2E, 0x7D, 0x4F));
    return img;
}

} // namespace

void AddDialogButtons(Catalogue &cat)
{
    for (State s : {Normal, Focused, Pressed}) {
        cat.Add(QString("IMG_BTN_GREEN") + Suffix(s), Face(s, true));
        cat.Add(QString("IMG_BTN_GRAY") + Suffix(s), Face(s, false));
        cat.Add(QString("IMG_BTN_HUNGUP") + Suffix(s), CallButton(s, true));
        cat.Add(QString("IMG_BTN_CALL") + Suffix(s), CallButton(s, false));
    }
    AddStates(cat, "IMG_WX_BTN_CONTACT", 28, 28, {Normal, Focused, Pressed}, Contact);
    cat.Add("IMG_UNKNOWN_PERSON", UnknownPerson());
    cat.Add("IMG_MOBILE_PHONE_16", Mobile());
    cat.Add("IMG_TELEPHONE_16", Telephone());
}

} // namespace skin
