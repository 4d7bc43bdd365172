#pragma once
// A picture over a background picture (the main window's task buttons). Both follow
// the picture states together; the owner gets click, press and release of the left
// button. Every press is followed by exactly one release, also when the button comes
// up outside the control or the control is disabled, hidden or blocked while held.

#include "console/CtrlImageMap.h"

#include <QList>
#include <QWidget>

#include <functional>

class QGestureEvent;
class QLabel;

class TMultiImageCtrl : public QWidget {
    Q_OBJECT
public:
    // Handlers receive the foreground picture as sender.
    using Handler = std::function<void(QLabel *sender)>;
    using GestureHandler = std::function<void(QLabel *sender, QGestureEvent *event)>;

    static constexpr int kSize = 64;

    explicit TMultiImageCtrl(QWidget *owner);

    // Resource names, stored into slots 1, 2, 3 and 0.
    void SetForegroundImage(const std::string &normal, const std::string &focused, const std::string &pressed,
                            const std::string &disabled);
    void SetBackgroundImage(const std::string &normal, const std::string &focused, const std::string &pressed,
                            const std::string &disabled);
    // Stores like SetForegroundImage, then redraws the current state.
    void UpdateForegroundImage(const std::string &normal, const std::string &focused, const std::string &pressed,
                               const std::string &disabled);

    // The state becomes v when the foreground is enabled, else 0; both pictures follow.
    void SetImageStatus(int v);
    int GetImageStatus() const { return state_; }

    // Enables or disables the foreground picture; nothing when unchanged.
    virtual void SetEnabled(bool enabled);
    bool IsPictureEnabled() const;

    // Hint of the foreground picture, shown only when not empty.
    void SetHint(const QString &text);

    void SetOnClick(Handler h) { onClick_ = std::move(h); }
    void SetOnMouseDown(Handler h) { onMouseDown_ = std::move(h); }
    void SetOnMouseUp(Handler h) { onMouseUp_ = std::move(h); }
    void SetOnGesture(GestureHandler h) { onGesture_ = std::move(h); }
    // The gestures the control takes (tap and hold, pan, ...); an empty list is ignored.
    void SetGestureManager(const QList<Qt::GestureType> &gestures);

    QLabel *Foreground() const { return foreground_; }
    QLabel *Background() const { return background_; }
    const PictureNames &ForegroundNames() const { return foregroundNames_; }

protected:
    bool event(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void Press(bool countsAsClick);
    void EndPress();

    QLabel *background_;
    QLabel *foreground_;
    PictureNames backgroundNames_;
    PictureNames foregroundNames_;
    int state_ = 1;
    zox::skin::PressLatch latch_;
    bool armed_ = false;
    Handler onClick_, onMouseDown_, onMouseUp_;
    GestureHandler onGesture_;
};
