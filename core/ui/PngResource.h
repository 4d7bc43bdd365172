#pragma once
// Loads one of the program's own pictures, the resource ":/img/<name>.png", into an
// image control.
class QLabel;
class QString;

// The control is emptied first; an empty name leaves it blank. A name that is not
// a picture of the program is logged and leaves the control blank.
void LoadPngResource(QLabel *image, const QString &name);
