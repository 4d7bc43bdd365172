#pragma once
// Pieces shared by the call confirmation and the incoming-call alert: a coloured
// button panel whose caption label reacts like the panel, and dragging by a panel.
#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QString>

namespace zox::calldlg {

inline constexpr QColor kRed(0xFF, 0x61, 0x59);
inline constexpr QColor kRedHover(0xFF, 0x3E, 0x33);
inline constexpr QColor kGreen(0x6F, 0xDD, 0x81);
inline constexpr QColor kGreenHover(0x37, 0xD0, 0x52);

void SetPanelColour(QFrame *panel, const QColor &colour);
// A panel with a centred white caption; the label passes its mouse to the panel.
QFrame *MakeButtonPanel(QWidget *parent, const QRect &geometry, const QColor &colour, const QString &caption,
                        int pixelSize, bool bold, QLabel **captionOut);

} // namespace zox::calldlg
