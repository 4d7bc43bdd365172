#pragma once
// A key of the dial pad: one picture, a key text and a callback that receives the
// owner and the key text on every click and every double click (so a fast double click
// enters the key twice).

#include <QWidget>

#include <string>

class QLabel;

class TDialBtnCtrl : public QWidget {
    Q_OBJECT
public:
    using Callback = int (*)(const void *context, const std::string &key);

    static constexpr int kWidth = 72;
    static constexpr int kHeight = 45;

    // owner is both the parent and the context passed to the callback.
    TDialBtnCtrl(QWidget *owner, const std::string &picture, const std::string &key, Callback callback);

    // Looks: normal and focused show the key plainly, pressed draws a 1-pixel black
    // frame around it.
    void SetNormalState();
    void SetFocusedState();
    void SetPressedState();
    bool IsPressedLook() const { return pressed_; }

    // Enables or disables the picture only.
    virtual void SetEnabled(bool enabled);
    bool IsPictureEnabled() const;

    const std::string &Key() const { return key_; }
    QLabel *Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void Fire();

    QLabel *picture_;
    std::string key_;
    Callback callback_;
    const void *context_;
    bool pressed_ = false;
    bool armed_ = false;
};
