#include "core/ui/PngResource.h"

#include "core/Log.h"

#include <QLabel>
#include <QPixmap>
#include <QString>

void LoadPngResource(QLabel *image, const QString &name)
{
    if (!image)
        return;
    image->clear();
    if (name.isEmpty())
        return;
    const QString path = QStringLiteral(":/img/") + name + QStringLiteral(".png");
    QPixmap picture;
    if (!picture.load(path, "PNG")) {
        WriteLog("res: no picture %s", name.toUtf8().constData());
        return;
    }
    image->setPixmap(picture);
}
