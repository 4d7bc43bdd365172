#include "console/ui/PictureLoader.h"

#include <QLabel>
#include <QPixmap>

void LoadDialogPicture(QLabel *label, const std::string &name)
{
    if (!label)
        return;
    label->clear();
    if (name.empty())
        return;
    QPixmap pix(QStringLiteral(":/img/%1.png").arg(QString::fromStdString(name)));
    if (!pix.isNull())
        label->setPixmap(pix);
}
