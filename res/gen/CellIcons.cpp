// Pictures of the user and group cells: the two avatars and the presence, call and
// video state icons.
#include "Skin.h"

namespace skin {
namespace {

QImage Avatar(bool group)
{
    QImage img = NewImage(40, 40);
    QPainter p(&img);
    Prepare(p);
    const QPointF c(20, 20);
    QLinearGradient g(QPointF(0, 3), QPointF(0, 37));
    if (group) {
        g.setColorAt(0, QColor(0x5B, 0x8D, 0xEF));
        g.setColorAt(1, QColor(0x34, 0x5C, 0xB8));
    } else {
        g.setColorAt(0, QColor(0x2F, 0xB5, 0xC9));
        g.setColorAt(1, QColor(0x17, 0x7A, 0x8E));
    }
    p.setPen(QPen(QColor(255, 255, 255, 70), 1.2));
    p.setBrush(g);
    p.drawEllipse(c, 17, 17);
    QPainterPath clip;
    clip.addEllipse(c, 16.4, 16.4);
    p.setClipPath(clip);
    if (group) {
        Person(p, QColor(255, 255, 255, 150), 12, 11.5, 0.72);
        Person(p, QColor(255, 255, 255, 150), 28, 11.5, 0.72);
        Person(p, Qt::white, 20, 9, 0.95);
    } else {
        Person(p, Qt::white, 20, 8.5, 1.1);
    }
    return img;
}

QImage Icon(const std::function<void(QPainter &)> &glyph)
{
    QImage img = NewImage(24, 21);
    QPainter p(&img);
    Prepare(p);
    Grid24(p, QRectF(0, 0, 24, 21), 21);
    glyph(p);
    p.restore();
    return img;
}

void Presence(QPainter &p, bool online)
{
    const QPointF c(12, 12);
    if (online) {
        QRadialGradient g(QPointF(10, 10), 8);
        g.setColorAt(0, QColor(0x8C, 0xF5, 0xAE));
        g.setColorAt(1, pal::kGreenDeep);
        p.setPen(QPen(QColor(0xE8, 0xFF, 0xEF), 1.6));
        p.setBrush(g);
        p.drawEllipse(c, 7.0, 7.0);
    } else {
        p.setPen(QPen(QColor(0xA3, 0xAD, 0xB6), 2.2));
        p.setBrush(QColor(0x2A, 0x30, 0x36));
        p.drawEllipse(c, 6.6, 6.6);
    }
}

void CallGlyph(QPainter &p, const QColor &c, int kind)
{
    p.save();
    p.translate(-1.0, 4.0);
    p.scale(0.85, 0.85);
    Handset(p, c);
    p.restore();
    switch (kind) {
    case 0: // outgoing: an arrow leaving to the upper right
        ArrowLine(p, c, QPointF(13.5, 10.5), QPointF(21.5, 2.5), 2.2, 3.6);
        break;
    case 1: // incoming: an arrow arriving from the upper right
        ArrowLine(p, c, QPointF(21.5, 2.5), QPointF(13.5, 10.5), 2.2, 3.6);
        break;
    case 2: // in call: speech waves
        p.setBrush(Qt::NoBrush);
        p.setPen(Stroke(c, 2.0));
        for (qreal r : {5.0, 9.5})
            p.drawArc(QRectF(12.5 - r, 11.5 - r, 2 * r, 2 * r), 8 * 16, 74 * 16);
        break;
    }
}

void Radio(QPainter &p, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(6.5, 7, 11, 16), 2.5, 2.5);
    p.drawRoundedRect(QRectF(13.5, 0.5, 2.6, 8), 1.2, 1.2);
    p.setBrush(QColor(0x22, 0x28, 0x2E));
    p.drawRoundedRect(QRectF(8.6, 9.3, 6.8, 4.6), 1, 1);
    p.setPen(Stroke(QColor(0x22, 0x28, 0x2E), 1.2));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(9, 16.5 + i * 2.2), QPointF(15, 16.5 + i * 2.2));
    p.setPen(Stroke(c, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(17, 2, 6, 8), 60 * 16, -120 * 16);
}

void Video(QPainter &p, const QColor &c, int dir)
{
    VideoCamera(p, c, QRectF(1, 9.5, 12.5, 10));
    switch (dir) {
    case 0:
        ArrowLine(p, c, QPointF(19.5, 9), QPointF(19.5, 1), 2.0, 3.2);
        break;
    case 1:
        ArrowLine(p, c, QPointF(19.5, 1), QPointF(19.5, 9), 2.0, 3.2);
        break;
    default:
        ArrowLine(p, c, QPointF(17, 9), QPointF(17, 1), 1.8, 2.8);
        ArrowLine(p, c, QPointF(22, 1), QPointF(22, 9), 1.8, 2.8);
        break;
    }
}

} // namespace

void AddCellIcons(Catalogue &cat)
{
    cat.Add("IMG_USER_ICON_ONLINE", Avatar(false));
    cat.Add("IMG_GROUP_ICON_ONLINE", Avatar(true));
    cat.Add("IMG_PRESENCE_ONLINE", Icon([](QPainter &p) { Presence(p, true); }));
    cat.Add("IMG_PRESENCE_INVISIBLE", Icon([](QPainter &p) { Presence(p, false); }));
    cat.Add("IMG_PHONE_CALL_OUTGOING", Icon([](QPainter &p) { CallGlyph(p, pal::kBlue, 0); }));
    cat.Add("IMG_PHONE_CALL_INCOMING", Icon([](QPainter &p) { CallGlyph(p, pal::kAmber, 1); }));
    cat.Add("IMG_PHONE_CALL_BUSY", Icon([](QPainter &p) { CallGlyph(p, QColor(0xFF, 0x5F, 0x5F), 2); }));
    cat.Add("IMG_AUDIO_DISPATCH", Icon([](QPainter &p) { Radio(p, pal::kOrange); }));
    cat.Add("IMG_VIDEO_UPLOAD", Icon([](QPainter &p) { Video(p, pal::kViolet, 0); }));
    cat.Add("IMG_VIDEO_DOWNLOAD", Icon([](QPainter &p) { Video(p, pal::kViolet, 1); }));
    cat.Add("IMG_VIDEO_BOTHTRANS", Icon([](QPainter &p) { Video(p, pal::kViolet, 2); }));
}

} // namespace skin
