// The twelve keys of the dial pad (72 x 45).
#include "Skin.h"

#include <QFont>

namespace skin {
namespace {

void KeyFace(QPainter &p, const QColor &top, const QColor &bottom, const QColor &border)
{
    const QRectF body(3.5, 3.5, 65, 38);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(border, 1));
    p.setBrush(g);
    p.drawRoundedRect(body, 6, 6);
    p.setPen(QPen(QColor(255, 255, 255, 35), 1));
    p.drawLine(QPointF(9, 5), QPointF(63, 5));
}

QImage Digit(int d)
{
    static const char *letters[] = {"+", "", "ABC", "DEF", "GHI", "JKL", "MNO", "PQRS", "TUV", "WXYZ"};
    QImage img = NewImage(72, 45);
    QPainter p(&img);
    Prepare(p);
    KeyFace(p, QColor(0x5C, 0x62, 0x69), QColor(0x47, 0x4C, 0x52), QColor(0x6C, 0x73, 0x7A));
    QFont f("DejaVu Sans");
    f.setPixelSize(19);
    f.setWeight(QFont::DemiBold);
    p.setFont(f);
    p.setPen(Qt::white);
    const bool hasLetters = letters[d][0] != 0;
    p.drawText(QRectF(0, hasLetters ? 4 : 3, 72, hasLetters ? 26 : 39), Qt::AlignCenter, QString::number(d));
    if (hasLetters) {
        QFont small("DejaVu Sans");
        small.setPixelSize(8);
        small.setLetterSpacing(QFont::AbsoluteSpacing, 1);
        p.setFont(small);
        p.setPen(QColor(0xB4, 0xBD, 0xC6));
        p.drawText(QRectF(0, 28, 72, 10), Qt::AlignCenter, letters[d]);
    }
    return img;
}

QImage CallKey()
{
    QImage img = NewImage(72, 45);
    QPainter p(&img);
    Prepare(p);
    KeyFace(p, QColor(0x3F, 0xC7, 0x6D), QColor(0x24, 0x93, 0x4C), QColor(0x62, 0xD8, 0x8A));
    p.save();
    p.translate(24, 10.5);
    p.scale(1.0, 1.0);
    Handset(p, Qt::white);
    p.restore();
    return img;
}

QImage DeleteKey()
{
    QImage img = NewImage(72, 45);
    QPainter p(&img);
    Prepare(p);
    KeyFace(p, QColor(0x50, 0x55, 0x5B), QColor(0x3E, 0x42, 0x47), QColor(0x62, 0x68, 0x6E));
    QPainterPath tag;
    tag.moveTo(25, 22.5);
    tag.lineTo(31, 15);
    tag.lineTo(48, 15);
    tag.quadTo(50, 15, 50, 17);
    tag.lineTo(50, 28);
    tag.quadTo(50, 30, 48, 30);
    tag.lineTo(31, 30);
    tag.closeSubpath();
    p.setPen(Stroke(QColor(0xE6, 0xEA, 0xEE), 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tag);
    p.drawLine(QPointF(36, 19), QPointF(43, 26));
    p.drawLine(QPointF(43, 19), QPointF(36, 26));
    return img;
}

} // namespace

void AddDialPad(Catalogue &cat)
{
    for (int d = 0; d <= 9; ++d)
        cat.Add(QString("IMG_DIAL_PAD_NUM%1").arg(d), Digit(d));
    cat.Add("IMG_DIAL_PAD_CALL", CallKey());
    cat.Add("IMG_DIAL_PAD_DEL", DeleteKey());
}

} // namespace skin
