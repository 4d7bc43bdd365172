#pragma once
// The frame of the contacts book's two small dialogs: a title panel with its close
// picture, a middle panel for the fields and a bottom panel with "Ok" and "Cancel".
#include "core/Edition.h"

#include <QString>

class QDialog;
class QLabel;
class QLineEdit;
class QWidget;
class SkinImageMap;

namespace zox::contacts {

struct DialogFrame {
    QLabel *title = nullptr;
    QLabel *close = nullptr;
    QWidget *middle = nullptr;
    QLabel *ok = nullptr;
    QLabel *okCaption = nullptr;
    QLabel *cancel = nullptr;
    QLabel *cancelCaption = nullptr;
};

template <typename Form>
DialogFrame BuildDialogFrame(Form *form, SkinImageMap *map, int width, int height, const QString &title);

// Where a dialog's fields start and how wide they are (the Chinese-language build's
// fields start further left and are wider; in both builds they are drawn flat).
struct FieldColumn {
    int left;
    int width;
};
inline constexpr FieldColumn kUnitFields = {zox::edition::kChinese ? 59 : 95, zox::edition::kChinese ? 275 : 230};
inline constexpr FieldColumn kUserFields = {zox::edition::kChinese ? 62 : 95, zox::edition::kChinese ? 275 : 230};

// A white 12-pixel label in the forms' face, ending before the field of its column, and
// a field on RGB #001C27 holding at most 64 characters.
QLabel *FieldLabel(QWidget *parent, const QString &text, int y, FieldColumn column);
QLineEdit *FieldEdit(QWidget *parent, int y, FieldColumn column);
const char *FieldStyle();

} // namespace zox::contacts

#include "console/ui/SkinFormKit.h"
#include "console/ui/SkinPanel.h"
#include "core/EditionText.h"

#include <QDialog>
#include <QLabel>

namespace zox::contacts {

template <typename Form>
DialogFrame BuildDialogFrame(Form *form, SkinImageMap *map, int width, int height, const QString &title)
{
    DialogFrame f;
    form->setFixedSize(width, height);
    form->setModal(true);
    zox::skin::UseFormFace(form);
    auto t = zox::skin::MakeTitleBar(form, map, title, 10, [form] { form->OnImageCloseClick(); });
    t.panel->setGeometry(0, 0, width, 30);
    t.caption->resize(200, 30);
    t.close->move(width - 30, 0);
    f.title = t.caption;
    f.close = t.close;
    auto *middle = new TSkinPanel(form, QColor(0x00, 0x1C, 0x27));
    middle->setGeometry(0, 30, width, height - 30 - 40);
    f.middle = middle;
    auto *bottom = new TSkinPanel(form, QColor(0x00, 0x1C, 0x27));
    bottom->setGeometry(0, height - 40, width, 40);
    f.ok = zox::skin::MakePictureButton(bottom, map, QRect(width - 140, 8, 60, 24), zox::skin::kGreenButton,
                                        ZoxQText(EN_ZOX_TEXT::Ok), &f.okCaption, [form] { form->OnImageOkClick(); });
    f.cancel = zox::skin::MakePictureButton(bottom, map, QRect(width - 70, 8, 60, 24), zox::skin::kGrayButton,
                                            ZoxQText(EN_ZOX_TEXT::Cancel), &f.cancelCaption,
                                            [form] { form->OnImageCancelClick(); });
    return f;
}

} // namespace zox::contacts
