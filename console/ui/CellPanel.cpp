#include "console/ui/CellPanel.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
// Colours of the tiles (0x56534B and 0x353026 as BGR).
const QColor kTop(0x4B, 0x53, 0x56);
const QColor kBottom(0x26, 0x30, 0x35);
const QColor kBorder(0x26, 0x30, 0x35);
const QColor kSelection(0xFF, 0xFF, 0x00); // 0xFFFF as BGR
} // namespace

CellPanel::CellPanel(QWidget *owner) : QWidget(owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
}

void CellPanel::SetSelected(bool selected)
{
    if (IsSelected() == selected)
        return;
    SetSelectedLook(selected);
}

void CellPanel::SetSelectedLook(bool selected)
{
    selected_ = selected;
    update();
}

void CellPanel::SetRaised(bool raised)
{
    if (raised_ == raised)
        return;
    raised_ = raised;
    update();
}

void CellPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, raised_ ? kTop.lighter(112) : kTop);
    g.setColorAt(1, raised_ ? kBottom.lighter(112) : kBottom);
    p.fillRect(r, g);
    p.setPen(kBorder);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    if (raised_) {
        // A raised bevel while the button is held.
        p.setPen(QColor(255, 255, 255, 90));
        p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
        p.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
        p.setPen(QColor(0, 0, 0, 140));
        p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    }
    if (selected_) {
        QPen pen(kSelection, 2);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(r).adjusted(2, 2, -2, -2));
    }
}

void CellPanel::OnMouseDownHandler(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        SetRaised(true);
}

void CellPanel::OnMouseUpHandler(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        SetRaised(false);
}

void CellPanel::mousePressEvent(QMouseEvent *event)
{
    OnMouseDownHandler(event->button());
    if (event->button() == Qt::LeftButton)
        armed_ = true;
}

void CellPanel::mouseReleaseEvent(QMouseEvent *event)
{
    OnMouseUpHandler(event->button());
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = armed_ && rect().contains(event->position().toPoint());
    armed_ = false;
    if (click)
        OnClickHandler(this);
}

void CellPanel::mouseDoubleClickEvent(QMouseEvent *event)
{
    OnMouseDownHandler(event->button());
}
