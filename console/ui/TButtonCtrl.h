#pragma once
// The captioned quick-action button of the main window: one stretched picture with a
// centred caption over it, following the picture states with the pointer.

#include "console/CtrlImageMap.h"
#include "core/Edition.h"

#include <QWidget>

#include <functional>

class QLabel;

class TButtonCtrl : public QWidget {
    Q_OBJECT
public:
    using ClickHandler = std::function<void(TButtonCtrl *sender)>;

    static constexpr int kWidth = zox::edition::kQuickActionWidth;
    static constexpr int kHeight = 36;

    TButtonCtrl(QWidget *owner, const QString &caption);

    // Enabled picture: shows the state's picture and keeps the state; disabled: shows
    // the disabled picture and keeps 0.
    void SetImageStatus(int state);
    int GetImageStatus() const;

    // Enables or disables the picture (the caption turns grey); nothing when unchanged.
    virtual void SetEnabled(bool enabled);
    bool IsPictureEnabled() const;

    void SetOnClick(ClickHandler handler) { onClick_ = std::move(handler); }

    QLabel *Picture() const { return picture_; }
    QLabel *Caption() const { return caption_; }

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QLabel *picture_;
    QLabel *caption_;
    TCtrlImageMap map_;
    ClickHandler onClick_;
    bool armed_ = false; // a left press began over the button
};
