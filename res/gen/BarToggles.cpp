// Toggle pictures of the main window's bars: left column, video titles, full screen,
// camera menu, fold and extended display.
#include "Skin.h"

namespace skin {
namespace {

enum Kind { LeftHide, LeftShow, Title, NoTitle, Full, Reset, Camera, Fold, Open, Extend };

void Glyph(QPainter &p, Kind k, const Look &l)
{
    const QColor c = l.ink;
    QColor soft = c;
    soft.setAlpha(c.alpha() * 0.45);
    p.setBrush(Qt::NoBrush);
    switch (k) {
    case LeftHide:
    case LeftShow: {
        p.setPen(Stroke(c, 1.7));
        p.drawRoundedRect(QRectF(3, 4.5, 18, 15), 2, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(soft);
        p.drawRect(QRectF(4, 5.5, 5.5, 13));
        p.setPen(Stroke(c, 1.7));
        p.drawLine(QPointF(9.5, 5), QPointF(9.5, 19));
        Chevron(p, c, 15.5, 12, 6.5, k == LeftHide ? 0 : 1, 1.9);
        break;
    }
    case Title:
    case NoTitle: {
        p.setPen(Stroke(c, 1.7));
        p.drawRoundedRect(QRectF(3, 4.5, 18, 15), 2, 2);
        if (k == Title) {
            p.setPen(Qt::NoPen);
            p.setBrush(c);
            p.drawRect(QRectF(3.8, 5.3, 16.4, 3.6));
        } else {
            QPen dash = Stroke(c, 1.4);
            dash.setDashPattern({1.2, 1.6});
            p.setPen(dash);
            p.drawLine(QPointF(6, 8), QPointF(18, 8));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(soft);
        p.drawRect(QRectF(6, 11, 12, 6));
        break;
    }
    case Full:
    case Reset: {
        p.setPen(Stroke(c, 2.0));
        const qreal a = 3.5, b = 20.5, s = 5.5;
        auto corner = [&](QPointF at, qreal dx, qreal dy) {
            p.drawPolyline(QPolygonF() << at + QPointF(dx * s, 0) << at << at + QPointF(0, dy * s));
        };
        if (k == Full) {
            corner({a, a}, 1, 1);
            corner({b, a}, -1, 1);
            corner({a, b}, 1, -1);
            corner({b, b}, -1, -1);
        } else {
            corner({9, 9}, -1, -1);
            corner({15, 9}, 1, -1);
            corner({9, 15}, -1, 1);
            corner({15, 15}, 1, 1);
        }
        break;
    }
    case Camera:
        CctvCamera(p, c);
        p.setPen(Stroke(c, 1.7));
        p.drawLine(QPointF(18, 16.5), QPointF(23, 16.5));
        p.drawLine(QPointF(20.5, 14), QPointF(20.5, 19));
        break;
    case Fold:
    case Open:
        p.setPen(Stroke(c, 1.8));
        p.drawLine(QPointF(5, k == Fold ? 18.5 : 5.5), QPointF(19, k == Fold ? 18.5 : 5.5));
        Chevron(p, c, 12, k == Fold ? 10 : 14, 10, k == Fold ? 3 : 2, 2.0);
        break;
    case Extend:
        p.setPen(Stroke(c, 1.6));
        p.drawRoundedRect(QRectF(2.5, 4, 11, 8.5), 1.5, 1.5);
        p.setPen(Qt::NoPen);
        p.setBrush(soft);
        p.drawRoundedRect(QRectF(10.5, 11.5, 11, 8.5), 1.5, 1.5);
        p.setBrush(Qt::NoBrush);
        p.setPen(Stroke(c, 1.6));
        p.drawRoundedRect(QRectF(10.5, 11.5, 11, 8.5), 1.5, 1.5);
        ArrowLine(p, c, QPointF(16, 3.5), QPointF(20.5, 8), 1.5, 2.4);
        ArrowLine(p, c, QPointF(8, 20.5), QPointF(3.5, 16), 1.5, 2.4);
        break;
    }
}

void AddKind(Catalogue &cat, const QString &stem, Kind k, int w, int h, qreal side,
             std::initializer_list<State> states)
{
    AddStates(cat, stem, w, h, states, [k, side](QPainter &p, const QRectF &r, const Look &l) {
        const qreal pad = (r.height() - side) / 2 - 2;
        Plate(p, r.adjusted(pad + 1, pad, -pad - 1, -pad), l, 4);
        Grid24(p, r, side, l.shift);
        Glyph(p, k, l);
        p.restore();
    });
}

} // namespace

void AddBarToggles(Catalogue &cat)
{
    const auto all = {Disabled, Normal, Focused, Pressed};
    // Right top bar: 32 x 30.
    AddKind(cat, "IMG_BTN_LEFT_HIDE", LeftHide, 32, 30, 20, all);
    AddKind(cat, "IMG_BTN_LEFT_SHOW", LeftShow, 32, 30, 20, all);
    AddKind(cat, "IMG_BTN_FULL_SCREEN", Full, 32, 30, 18, all);
    AddKind(cat, "IMG_BTN_RESET_SCREEN", Reset, 32, 30, 18, all);
    AddKind(cat, "IMG_WINDOW_TITLE", Title, 32, 30, 20, {Normal, Focused, Pressed});
    AddKind(cat, "IMG_WINDOW_NOTITLE", NoTitle, 32, 30, 20, {Normal, Focused, Pressed});
    // Title panels of the user list: 26 x 25.
    AddKind(cat, "IMG_BTN_CAMERA", Camera, 26, 25, 19, all);
    AddKind(cat, "IMG_BTN_FOLD", Fold, 26, 25, 17, all);
    AddKind(cat, "IMG_BTN_OPEN", Open, 26, 25, 17, all);
    AddKind(cat, "IMG_EXTEND_WINDOW", Extend, 26, 25, 19, all);
}

} // namespace skin
