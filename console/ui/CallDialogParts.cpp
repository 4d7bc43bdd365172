#include "console/ui/CallDialogParts.h"

#include "core/Edition.h"

#include <QDialog>
#include <QEvent>
#include <QFont>
#include <QMouseEvent>

namespace zox::calldlg {

void SetPanelColour(QFrame *panel, const QColor &colour)
{
    panel->setStyleSheet(QStringLiteral("QFrame { background: %1; border: none; }").arg(colour.name()));
}

QFrame *MakeButtonPanel(QWidget *parent, const QRect &geometry, const QColor &colour, const QString &caption,
                        int pixelSize, bool bold, QLabel **captionOut)
{
    auto *panel = new QFrame(parent);
    panel->setGeometry(geometry);
    SetPanelColour(panel, colour);
    panel->setCursor(Qt::PointingHandCursor);
    auto *label = new QLabel(caption, panel);
    label->setGeometry(0, 0, geometry.width(), geometry.height());
    label->setAlignment(Qt::AlignCenter);
    QFont f(QString::fromUtf8(zox::edition::kFormFaceArial));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    label->setFont(f);
    label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    // The caption reacts like its panel: its mouse events go to the panel's filter.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    *captionOut = label;
    return panel;
}

bool TwoButtonDialogParts::Filter(QObject *watched, QEvent *event)
{
    const bool isRed = watched == red;
    if (isRed || watched == green) {
        auto *panel = static_cast<QFrame *>(watched);
        switch (event->type()) {
        case QEvent::Enter:
            SetPanelColour(panel, isRed ? kRedHover : kGreenHover);
            break;
        case QEvent::Leave:
            SetPanelColour(panel, isRed ? kRed : kGreen);
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                isRed ? onRed() : onGreen();
                return true;
            }
            break;
        default:
            break;
        }
    } else if (watched == client) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (event->type() == QEvent::MouseButtonPress && me->button() == Qt::LeftButton) {
            dragging = true;
            dragOffset = me->globalPosition().toPoint() - dialog->frameGeometry().topLeft();
        } else if (event->type() == QEvent::MouseMove && dragging) {
            dialog->move(me->globalPosition().toPoint() - dragOffset);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            dragging = false;
        }
    }
    return false;
}

} // namespace zox::calldlg
