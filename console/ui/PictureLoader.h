#pragma once
// Shows a program picture (IMG_...) by name in a label; an empty or unknown name
// leaves the label blank.
#include <string>

class QLabel;

void LoadDialogPicture(QLabel *label, const std::string &name);
