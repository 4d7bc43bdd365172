#pragma once
// Loading the console's pictures by name. Every picture IMG_<...> is compiled into the
// program as :/img/IMG_<...>.png.

#include <QString>

#include <string>

class QLabel;

namespace zox::skin {

// The resource path of a picture name.
QString SkinPicturePath(const std::string &name);
bool SkinPictureExists(const std::string &name);

// Empties the label's picture, then shows the named picture; an empty name leaves it
// blank. A name that is not a picture of the program is logged and leaves it blank.
void LoadSkinPicture(QLabel *label, const std::string &name);

} // namespace zox::skin
