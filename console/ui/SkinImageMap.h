#pragma once
// The image map of a skinned form, bound to its picture buttons (QLabel). It follows
// the pointer over every picture of the map (enter, leave, down, up), loads the
// picture of each state and reports clicks, presses and releases to the form.
//
// Every press reported to the form is followed by exactly one release: when the button
// comes up anywhere (also outside the picture), or when the picture is disabled,
// hidden or blocked by a modal window while the button is held.

#include "console/CtrlImageMap.h"

#include <QObject>

#include <functional>
#include <map>

class QLabel;
class QWidget;

class SkinImageMap : public QObject {
    Q_OBJECT
public:
    using PictureHandler = std::function<void(QLabel *picture)>;

    explicit SkinImageMap(std::size_t capacity, QObject *parent = nullptr);

    // Adds a picture (state 1, picture shown at once) and follows its pointer events.
    TCtrlImageMap *Add(QLabel *picture, const PictureNames &names);
    TCtrlImageMap *Add(QLabel *picture, const PictureNames &names, const PictureNames &alternateNames,
                       std::function<int()> useAlternate);

    void SetImageCtrlStatus(QLabel *picture, int state);
    int GetImageCtrlStatus(const QLabel *picture) const;

    // The four pointer handlers (also called by the event filter).
    void OnImageCtrlMouseEnter(QLabel *picture);
    void OnImageCtrlMouseLeave(QLabel *picture);
    void OnImageCtrlMouseDown(QLabel *picture);
    void OnImageCtrlMouseUp(QLabel *picture);

    // Left-button handlers of one picture: click (press and release over an enabled
    // picture), press, and the release that ends every press.
    void SetOnClick(QLabel *picture, PictureHandler handler);
    void SetOnPress(QLabel *picture, PictureHandler handler);
    void SetOnRelease(QLabel *picture, PictureHandler handler);

    // A caption lying over a picture clicks like it without changing its picture.
    void AddClickAlias(QWidget *caption, QLabel *picture);

    CtrlImageMapTable &Table() { return table_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Hooks {
        PictureHandler click, press, release;
        zox::skin::PressLatch latch;
        bool armed = false; // a left press began over the picture
    };
    void Show(QObject *control, const std::string &name);
    void EndPress(QLabel *picture);
    QLabel *PictureOf(QObject *watched) const;

    CtrlImageMapTable table_;
    std::map<const QObject *, Hooks> hooks_;
    std::map<const QObject *, QLabel *> aliases_;
};
