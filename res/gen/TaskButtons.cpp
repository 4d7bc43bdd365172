// The task buttons of the dispatch control panel: their shared background plate and
// the chat, end-calls, speak and dial-pad pictures.
#include "Skin.h"

namespace skin {
namespace {

void PanelBg(QPainter &p, const QRectF &r, State s)
{
    const QRectF plate = r.adjusted(3, 3, -3, -3);
    QColor fill, border;
    switch (s) {
    case Disabled:
        fill = QColor(0, 0, 0, 30);
        border = QColor(255, 255, 255, 12);
        break;
    case Normal:
        fill = QColor(0, 0, 0, 55);
        border = QColor(255, 255, 255, 28);
        break;
    case Focused:
        fill = QColor(0x35, 0xC2, 0xE8, 55);
        border = QColor(0x35, 0xC2, 0xE8, 210);
        break;
    case Pressed:
        fill = QColor(0x15, 0x84, 0xA8, 150);
        border = QColor(0x35, 0xC2, 0xE8, 255);
        break;
    }
    p.setPen(QPen(border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(plate.adjusted(0.5, 0.5, -0.5, -0.5), 9, 9);
}

// A round badge with a glyph inside (48 x 48 picture).
void Disc(QPainter &p, const QColor &top, const QColor &bottom, qreal radius, bool glow)
{
    const QPointF c(24, 24);
    if (glow) {
        QRadialGradient halo(c, radius + 5);
        halo.setColorAt(0.75, QColor(top.red(), top.green(), top.blue(), 120));
        halo.setColorAt(1, QColor(top.red(), top.green(), top.blue(), 0));
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(c, radius + 5, radius + 5);
    }
    QLinearGradient g(QPointF(24, 24 - radius), QPointF(24, 24 + radius));
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(QColor(255, 255, 255, 50), 1));
    p.setBrush(g);
    p.drawEllipse(c, radius, radius);
}

QImage Chat(bool online, bool message)
{
    QImage img = NewImage(48, 48);
    QPainter p(&img);
    Prepare(p);
    const QColor body = online ? pal::kGreen : QColor(0x7D, 0x8A, 0x96);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(7, 10, 32, 23), 9, 9);
    QPainterPath tail;
    tail.moveTo(13, 29);
    tail.lineTo(11, 39);
    tail.lineTo(22, 32);
    tail.closeSubpath();
    bubble = bubble.united(tail);
    p.setPen(QPen(online ? pal::kGreenDeep.lighter(130) : QColor(0xA9, 0xB4, 0xBE), 1.2));
    QLinearGradient g(QPointF(0, 10), QPointF(0, 39));
    g.setColorAt(0, body.lighter(115));
    g.setColorAt(1, body.darker(115));
    p.setBrush(g);
    p.drawPath(bubble);
    p.setPen(Qt::NoPen);
    p.setBrush(online ? QColor(Qt::white) : QColor(0x2A, 0x31, 0x38));
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(15 + i * 8, 21.5), 2.4, 2.4);
    if (message) {
        p.setPen(QPen(QColor(0x1E, 0x22, 0x26), 1.5));
        p.setBrush(pal::kRed);
        p.drawEllipse(QPointF(38, 11), 7, 7);
        p.setPen(Stroke(Qt::white, 2.2));
        p.drawLine(QPointF(38, 7.5), QPointF(38, 11.5));
        p.drawPoint(QPointF(38, 14.6));
    }
    return img;
}

QImage EndCall(bool focused)
{
    QImage img = NewImage(48, 48);
    QPainter p(&img);
    Prepare(p);
    Disc(p, focused ? QColor(0xFF, 0x62, 0x62) : pal::kRed, focused ? QColor(0xC8, 0x34, 0x34) : pal::kRedDeep, 17,
         focused);
    p.save();
    p.translate(24, 25);
    p.rotate(135);
    p.scale(0.95, 0.95);
    p.translate(-11.5, -12.5);
    Handset(p, Qt::white);
    p.restore();
    return img;
}

QImage Speak(bool focused)
{
    QImage img = NewImage(48, 48);
    QPainter p(&img);
    Prepare(p);
    Disc(p, focused ? QColor(0xFF, 0xB1, 0x48) : pal::kAmber, focused ? QColor(0xF0, 0x78, 0x1E) : QColor(0xD0, 0x6A, 0x14),
         17, focused);
    Grid24(p, QRectF(0, 0, 48, 48), 24);
    Microphone(p, Qt::white);
    p.restore();
    return img;
}

QImage Dial(State s)
{
    QImage img = NewImage(48, 48);
    QPainter p(&img);
    Prepare(p);
    const QColor top = s == Normal ? QColor(0x55, 0x63, 0x70) : (s == Focused ? pal::kAccent : pal::kAccentDeep);
    const QColor bottom = s == Normal ? QColor(0x3A, 0x45, 0x4F) : (s == Focused ? pal::kAccentDeep : QColor(0x0F, 0x5E, 0x78));
    Disc(p, top, bottom, 17, s == Focused);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const qreal shift = s == Pressed ? 1 : 0;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) {
            if (r == 3 && c != 1)
                continue;
            p.drawEllipse(QPointF(17.5 + c * 6.5, 13.5 + r * 6.5 + shift), 2.1, 2.1);
        }
    }
    return img;
}

} // namespace

void AddTaskButtons(Catalogue &cat)
{
    for (State s : {Disabled, Normal, Focused, Pressed}) {
        QImage img = NewImage(64, 64);
        QPainter p(&img);
        Prepare(p);
        PanelBg(p, QRectF(0, 0, 64, 64), s);
        p.end();
        cat.Add(QString("IMG_PANEL_BG") + Suffix(s), img);
    }
    cat.Add("IMG_CHAT_OFFLINE_NORMAL", Chat(false, false));
    cat.Add("IMG_CHAT_OFFLINE_MESSAGE", Chat(false, true));
    cat.Add("IMG_CHAT_ONLINE_NORMAL", Chat(true, false));
    cat.Add("IMG_CHAT_ONLINE_MESSAGE", Chat(true, true));
    cat.Add("IMG_CALL_END_NORMAL", EndCall(false));
    cat.Add("IMG_CALL_END_FOCUSED", EndCall(true));
    cat.Add("IMG_BTN_SPEAK_NORMAL", Speak(false));
    cat.Add("IMG_BTN_SPEAK_FOCUSED", Speak(true));
    for (State s : {Normal, Focused, Pressed})
        cat.Add(QString("IMG_BTN_DIAL") + Suffix(s), Dial(s));
}

} // namespace skin
