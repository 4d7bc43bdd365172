// Pictures that forms show without states: the call status picture of the status
// bar, the window resize grip and the splash artwork.
#include "Skin.h"

#include <QFont>

namespace skin {
namespace {

QImage DispatchStatus()
{
    QImage img = NewImage(32, 24);
    QPainter p(&img);
    Prepare(p);
    p.save();
    p.translate(4, 0);
    Handset(p, pal::kGreen);
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(Stroke(pal::kGreen, 1.8));
    p.drawArc(QRectF(17, 2, 8, 8), 90 * 16, -90 * 16);
    p.drawArc(QRectF(15, -1, 14, 14), 90 * 16, -90 * 16);
    return img;
}

QImage ResizeGrip()
{
    QImage img = NewImage(10, 10);
    QPainter p(&img);
    Prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xA0, 0xAA, 0xB4));
    const QPointF dots[] = {{8, 8}, {8, 4.5}, {4.5, 8}, {8, 1}, {4.5, 4.5}, {1, 8}};
    for (const QPointF &d : dots)
        p.drawEllipse(d, 0.95, 0.95);
    return img;
}

QImage Splash()
{
    QImage img(482, 100, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    Prepare(p);
    QLinearGradient bg(QPointF(0, 0), QPointF(482, 100));
    bg.setColorAt(0, QColor(0x0B, 0x1D, 0x28));
    bg.setColorAt(1, QColor(0x00, 0x2D, 0x3E));
    p.fillRect(img.rect(), bg);
    // Radio waves rising from the right.
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        QColor c = pal::kAccent;
        c.setAlpha(120 - i * 18);
        p.setPen(QPen(c, 2));
        const qreal r = 18 + i * 16;
        p.drawArc(QRectF(420 - r, 62 - r, 2 * r, 2 * r), 100 * 16, 110 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(pal::kAccent);
    p.drawEllipse(QPointF(420, 62), 6, 6);
    // Avatar marks and the product name.
    p.save();
    p.translate(28, 22);
    p.scale(2.3, 2.3);
    Handset(p, pal::kGreen);
    p.restore();
    QFont title("DejaVu Sans");
    title.setPixelSize(26);
    title.setWeight(QFont::Bold);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(96, 22, 320, 34), Qt::AlignLeft | Qt::AlignVCenter, "ZoxClient");
    QFont sub("DejaVu Sans");
    sub.setPixelSize(13);
    p.setFont(sub);
    p.setPen(QColor(0x9F, 0xC4, 0xD4));
    p.drawText(QRectF(97, 56, 320, 20), Qt::AlignLeft | Qt::AlignVCenter, "Dispatch Console  ·  Voice · PTT · Video");
    return img;
}

} // namespace

void AddFormArt(Catalogue &cat)
{
    cat.Add("IMG_DISPATCH_STATUS", DispatchStatus());
    cat.Add("IMG_RESIZE_GRIP", ResizeGrip());
    cat.Add("IMG_SPLASH", Splash());
}

} // namespace skin
