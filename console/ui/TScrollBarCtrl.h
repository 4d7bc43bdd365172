#pragma once
// The console's narrow skinned vertical scroll bar (14 wide): an arrow picture at each
// end, a track between them and a thumb on the track. It works in its owner's pixel
// units (range = content height, view = host height, line = one row) and calls the
// owner's scroll handler after every change of position.

#include "console/CtrlImageMap.h"
#include "console/ScrollBarModel.h"

#include <QWidget>

#include <functional>

class QLabel;

class TScrollBarCtrl : public QWidget {
    Q_OBJECT
public:
    using ScrollHandler = std::function<void(TScrollBarCtrl *sender)>;

    static constexpr int kWidth = 14;
    static constexpr int kInitialHeight = 24;

    explicit TScrollBarCtrl(QWidget *owner);

    void SetParams(int range, int view, int line, int position);
    int GetPosition() const { return model_.GetPosition(); }

    void ScrollLineUp();
    void ScrollLineDown();
    void ScrollPageUp();
    void ScrollPageDown();
    // Scrolls in whole pages until row (from 1, one line high) is visible.
    void ResetViewport(int row);

    void UpdateTrackPos();
    void ScrollChanged();
    void SetScrollHandler(ScrollHandler handler) { onScroll_ = std::move(handler); }

    // The arrow pictures' operations (-1 for a picture that is not an arrow).
    void SetImageCtrlStatus(QLabel *picture, int state);
    int GetImageCtrlStatus(const QLabel *picture) const;

    const ScrollBarModel &Model() const { return model_; }
    QLabel *UpArrow() const { return upArrow_; }
    QLabel *DownArrow() const { return downArrow_; }
    QWidget *Track() const { return track_; }
    QWidget *Thumb() const { return thumb_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void LayoutParts();
    void PlaceThumb();
    void Step(bool moved);

    ScrollBarModel model_;
    QLabel *upArrow_;
    QLabel *downArrow_;
    QWidget *track_;
    QWidget *thumb_;
    CtrlImageMapTable arrows_{2};
    ScrollHandler onScroll_;
    bool dragging_ = false;
    bool thumbHot_ = false;
    QLabel *armedArrow_ = nullptr;
};
