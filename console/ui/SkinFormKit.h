#pragma once
// Pieces shared by the console's larger borderless forms (the contacts book, its two
// dialogs and the settings dialog): a title panel that drags its window, picture
// buttons with an optional caption that clicks like them, and the form's image map.
#include "core/Edition.h"

#include <QObject>
#include <QPoint>

#include <array>
#include <functional>
#include <string>

class QLabel;
class QWidget;
class SkinImageMap;
class TSkinPanel;

namespace zox::skin {

inline const std::array<std::string, 4> kCloseButton = {"IMG_BTN_CLOSE_NORMAL", "IMG_BTN_CLOSE_NORMAL",
                                                        "IMG_BTN_CLOSE_FOCUSED", "IMG_BTN_CLOSE_PRESSED"};
inline const std::array<std::string, 4> kGreenButton = {"IMG_BTN_GREEN_NORMAL", "IMG_BTN_GREEN_NORMAL",
                                                        "IMG_BTN_GREEN_FOCUSED", "IMG_BTN_GREEN_PRESSED"};
inline const std::array<std::string, 4> kGrayButton = {"IMG_BTN_GRAY_NORMAL", "IMG_BTN_GRAY_NORMAL",
                                                       "IMG_BTN_GRAY_FOCUSED", "IMG_BTN_GRAY_PRESSED"};

// Drags the window of the watched widgets while the left button is held on them.
class TitleDrag : public QObject {
public:
    explicit TitleDrag(QWidget *window);
    void Watch(QWidget *w);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    bool m_dragging = false;
    QPoint m_offset;
};

// A title panel (RGB #002D3E) across the top of the form with a bold 13-pixel caption
// in the face given (the forms' face unless a form names its own) and a 30 x 30 close
// picture at its right, hint "Exit"; both drag the window.
struct TitleBar {
    TSkinPanel *panel = nullptr;
    QLabel *caption = nullptr;
    QLabel *close = nullptr;
};
TitleBar MakeTitleBar(QWidget *form, SkinImageMap *map, const QString &caption, int captionLeft,
                      std::function<void()> onClose, const char *face = zox::edition::kFormFace);

// Gives the form the face of the forms' visible texts, keeping its size.
void UseFormFace(QWidget *form);

// A picture button with a white caption lying over it (the caption clicks like it).
QLabel *MakePictureButton(QWidget *parent, SkinImageMap *map, const QRect &rect,
                          const std::array<std::string, 4> &names, const QString &caption, QLabel **captionLabel,
                          std::function<void()> onClick);

// Centres the form on its owner's window, or on the screen without a visible owner.
void CentreOnOwner(QWidget *form);

} // namespace zox::skin
