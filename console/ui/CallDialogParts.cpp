#include "console/ui/CallDialogParts.h"

#include "core/Edition.h"

#include <QFont>

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

} // namespace zox::calldlg
