#include "console/ui/SkinPicture.h"

#include "core/Log.h"

#include <QFile>
#include <QLabel>
#include <QPixmap>

namespace zox::skin {

QString SkinPicturePath(const std::string &name)
{
    return QStringLiteral(":/img/") + QString::fromStdString(name) + QStringLiteral(".png");
}

bool SkinPictureExists(const std::string &name)
{
    return !name.empty() && QFile::exists(SkinPicturePath(name));
}

void LoadSkinPicture(QLabel *label, const std::string &name)
{
    if (!label)
        return;
    label->clear();
    if (name.empty())
        return;
    QPixmap pixmap;
    if (!pixmap.load(SkinPicturePath(name))) {
        WriteLog("skin: picture %s not found.", name.c_str());
        return;
    }
    label->setPixmap(pixmap);
}

} // namespace zox::skin
