#include "console/ui/SkinPanel.h"

#include <QLinearGradient>
#include <QPainter>

TSkinPanel::TSkinPanel(QWidget *parent, QColor colour) : QWidget(parent), m_top(colour), m_bottom(colour)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TSkinPanel::SetColour(QColor colour)
{
    m_top = m_bottom = colour;
    m_gradient = false;
    update();
}

void TSkinPanel::SetGradient(QColor top, QColor bottom)
{
    m_top = top;
    m_bottom = bottom;
    m_gradient = true;
    update();
}

void TSkinPanel::SetBottomLine(QColor colour)
{
    m_line = colour;
    m_hasLine = true;
    update();
}

void TSkinPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_gradient) {
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, m_top);
        g.setColorAt(1, m_bottom);
        p.fillRect(rect(), g);
    } else {
        p.fillRect(rect(), m_top);
    }
    if (m_hasLine) {
        p.setPen(m_line);
        p.drawLine(0, height() - 1, width(), height() - 1);
    }
}
