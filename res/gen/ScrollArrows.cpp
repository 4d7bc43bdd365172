// The arrows at both ends of the narrow scroll bar (12 x 12).
#include "Skin.h"

namespace skin {

void AddScrollArrows(Catalogue &cat)
{
    for (int up = 0; up < 2; ++up) {
        AddStates(cat, up ? "IMG_SCROLL_ARROW_UP" : "IMG_SCROLL_ARROW_DOWN", 12, 12, {Normal, Focused, Pressed},
                  [up](QPainter &p, const QRectF &r, const Look &l) {
                      if (l.state != Normal) {
                          p.setPen(Qt::NoPen);
                          p.setBrush(l.state == Pressed ? pal::kAccentDeep : QColor(0x35, 0xC2, 0xE8, 70));
                          p.drawRoundedRect(r, 2, 2);
                      }
                      QColor ink = l.state == Normal ? QColor(0x8F, 0xA3, 0xB0) : QColor(Qt::white);
                      QPolygonF tri;
                      if (up)
                          tri << QPointF(2.5, 8) << QPointF(6, 3.5) << QPointF(9.5, 8);
                      else
                          tri << QPointF(2.5, 4) << QPointF(6, 8.5) << QPointF(9.5, 4);
                      p.setPen(QPen(ink, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                      p.setBrush(ink);
                      p.drawPolygon(tri);
                  });
    }
}

} // namespace skin
