#pragma once
// A plain panel of the skinned windows: a flat colour or a vertical gradient, with an
// optional one-pixel line along its bottom edge. Colours are given as RGB.
#include <QColor>
#include <QWidget>

class TSkinPanel : public QWidget {
public:
    explicit TSkinPanel(QWidget *parent = nullptr, QColor colour = QColor(0x35, 0x30, 0x26));

    void SetColour(QColor colour);
    void SetGradient(QColor top, QColor bottom);
    void SetBottomLine(QColor colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_top;
    QColor m_bottom;
    QColor m_line;
    bool m_gradient = false;
    bool m_hasLine = false;
};

// A VCL colour value (0x00BBGGRR) as a colour.
inline QColor VclColour(unsigned value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}
