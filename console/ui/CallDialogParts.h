#pragma once
// Pieces shared by the call confirmation and the incoming-call alert: a coloured
// button panel whose caption label reacts like the panel, and dragging by a panel.
#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QPoint>
#include <QString>

#include <functional>

class QDialog;
class QEvent;
class QObject;

namespace zox::calldlg {

inline constexpr QColor kRed(0xFF, 0x61, 0x59);
inline constexpr QColor kRedHover(0xFF, 0x3E, 0x33);
inline constexpr QColor kGreen(0x6F, 0xDD, 0x81);
inline constexpr QColor kGreenHover(0x37, 0xD0, 0x52);

void SetPanelColour(QFrame *panel, const QColor &colour);
// A panel with a centred white caption; the label passes its mouse to the panel.
QFrame *MakeButtonPanel(QWidget *parent, const QRect &geometry, const QColor &colour, const QString &caption,
                        int pixelSize, bool bold, QLabel **captionOut);

// The events of a dialog with a red and a green button panel, moved by dragging its
// client panel: hover colours, a left-button release runs the panel's action (true: the
// event is taken), press-move-release on the client panel moves the dialog.
struct TwoButtonDialogParts {
    QDialog *dialog = nullptr;
    QFrame *red = nullptr;
    QFrame *green = nullptr;
    QFrame *client = nullptr;
    std::function<void()> onRed;
    std::function<void()> onGreen;
    bool dragging = false;
    QPoint dragOffset;

    bool Filter(QObject *watched, QEvent *event);
};

} // namespace zox::calldlg
