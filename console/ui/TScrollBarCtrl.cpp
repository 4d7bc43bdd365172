#include "console/ui/TScrollBarCtrl.h"

#include "core/ui/PngResource.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

using namespace zox::skin;

namespace {
const QColor kBarColour(0x0D, 0x22, 0x2A);   // 0x2A220D as BGR
const QColor kThumbColour(0x35, 0x48, 0x50); // 0x504835 as BGR
const QColor kThumbHotColour(0x4A, 0x66, 0x72);
constexpr int kPadding = 1;

// The track and the thumb paint themselves through the bar.
class Part : public QWidget {
public:
    using QWidget::QWidget;
    std::function<void(QPainter &)> paint;

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!paint)
            return;
        QPainter p(this);
        paint(p);
    }
};
} // namespace

TScrollBarCtrl::TScrollBarCtrl(QWidget *owner)
    : QWidget(owner), upArrow_(new QLabel(this)), downArrow_(new QLabel(this)), track_(new Part(this)),
      thumb_(new Part(track_))
{
    resize(kWidth, kInitialHeight);
    setMinimumWidth(kWidth);
    for (QLabel *a : {upArrow_, downArrow_}) {
        a->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        a->setAttribute(Qt::WA_TranslucentBackground);
        a->installEventFilter(this);
    }
    track_->installEventFilter(this);
    thumb_->installEventFilter(this);
    static_cast<Part *>(thumb_)->paint = [this](QPainter &p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(thumbHot_ || dragging_ ? kThumbHotColour : kThumbColour);
        p.drawRoundedRect(QRectF(thumb_->rect()), 2, 2);
    };
    thumb_->setGeometry(1, 0, 10, 10);

    arrows_.Add(upArrow_, {"IMG_SCROLL_ARROW_UP_NORMAL", "IMG_SCROLL_ARROW_UP_NORMAL", "IMG_SCROLL_ARROW_UP_FOCUSED",
                           "IMG_SCROLL_ARROW_UP_PRESSED"});
    arrows_.Add(downArrow_, {"IMG_SCROLL_ARROW_DOWN_NORMAL", "IMG_SCROLL_ARROW_DOWN_NORMAL",
                             "IMG_SCROLL_ARROW_DOWN_FOCUSED", "IMG_SCROLL_ARROW_DOWN_PRESSED"});
    SetImageCtrlStatus(upArrow_, kPictureNormal);
    SetImageCtrlStatus(downArrow_, kPictureNormal);
    LayoutParts();
}

void TScrollBarCtrl::SetImageCtrlStatus(QLabel *picture, int state)
{
    if (!picture)
        return;
    arrows_.SetImageCtrlStatus(picture, state, picture->isEnabled(),
                               [](QObject *c, const std::string &n) { LoadPngResource(static_cast<QLabel *>(c), QString::fromStdString(n)); });
}

int TScrollBarCtrl::GetImageCtrlStatus(const QLabel *picture) const
{
    return arrows_.GetImageCtrlStatus(picture);
}

void TScrollBarCtrl::LayoutParts()
{
    const int w = width() - 2 * kPadding;
    const int arrow = ScrollBarModel::kArrowHeight;
    upArrow_->setGeometry(kPadding, kPadding, w, arrow);
    downArrow_->setGeometry(kPadding, height() - kPadding - arrow, w, arrow);
    const int trackHeight = std::max(height() - 2 * kPadding - 2 * arrow, 0);
    track_->setGeometry(kPadding, kPadding + arrow, w, trackHeight);
    model_.SetTrackHeight(trackHeight);
    PlaceThumb();
}

void TScrollBarCtrl::PlaceThumb()
{
    const int h = std::min(model_.ThumbHeight(), track_->height());
    thumb_->setGeometry(1, model_.ThumbTop(), 10, h);
}

void TScrollBarCtrl::resizeEvent(QResizeEvent *)
{
    LayoutParts();
}

void TScrollBarCtrl::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), kBarColour);
}

void TScrollBarCtrl::SetParams(int range, int view, int line, int position)
{
    const bool clamped = model_.SetParams(range, view, line, position);
    PlaceThumb();
    if (clamped)
        ScrollChanged();
}

void TScrollBarCtrl::UpdateTrackPos()
{
    model_.UpdateTrackPos();
    PlaceThumb();
}

void TScrollBarCtrl::ScrollChanged()
{
    if (onScroll_)
        onScroll_(this);
}

void TScrollBarCtrl::Step(bool moved)
{
    if (!moved)
        return;
    PlaceThumb();
    ScrollChanged();
}

void TScrollBarCtrl::ScrollLineUp() { Step(model_.ScrollLineUp()); }
void TScrollBarCtrl::ScrollLineDown() { Step(model_.ScrollLineDown()); }
void TScrollBarCtrl::ScrollPageUp() { Step(model_.ScrollPageUp()); }
void TScrollBarCtrl::ScrollPageDown() { Step(model_.ScrollPageDown()); }
void TScrollBarCtrl::ResetViewport(int row) { Step(model_.ResetViewport(row)); }

bool TScrollBarCtrl::eventFilter(QObject *watched, QEvent *event)
{
    auto show = [](QObject *c, const std::string &n) { LoadPngResource(static_cast<QLabel *>(c), QString::fromStdString(n)); };
    if (watched == upArrow_ || watched == downArrow_) {
        QLabel *arrow = static_cast<QLabel *>(watched);
        const bool enabled = arrow->isEnabled();
        switch (event->type()) {
        case QEvent::Enter:
            arrows_.OnPointer(arrow, PointerEvent::Enter, enabled, show);
            break;
        case QEvent::Leave:
            arrows_.OnPointer(arrow, PointerEvent::Leave, enabled, show);
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            arrows_.OnPointer(arrow, PointerEvent::Down, enabled, show);
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
                armedArrow_ = event->type() == QEvent::MouseButtonPress ? arrow : nullptr;
            return true;
        case QEvent::MouseButtonRelease: {
            auto *me = static_cast<QMouseEvent *>(event);
            arrows_.OnPointer(arrow, PointerEvent::Up, enabled, show);
            if (me->button() != Qt::LeftButton)
                return true;
            // A click: pressed and released over the same enabled arrow.
            const bool click = armedArrow_ == arrow && enabled && arrow->rect().contains(me->position().toPoint());
            armedArrow_ = nullptr;
            if (click)
                arrow == upArrow_ ? ScrollLineUp() : ScrollLineDown();
            return true;
        }
        default:
            break;
        }
        return false;
    }
    if (watched == track_) {
        if (event->type() == QEvent::MouseButtonRelease) {
            auto *me = static_cast<QMouseEvent *>(event);
            if (me->button() == Qt::LeftButton && track_->rect().contains(me->position().toPoint()))
                Step(model_.TrackClick(static_cast<int>(me->position().y())));
            return true;
        }
        return false;
    }
    if (watched == thumb_) {
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::Leave:
            thumbHot_ = event->type() == QEvent::Enter;
            thumb_->update();
            break;
        case QEvent::MouseButtonPress: {
            auto *me = static_cast<QMouseEvent *>(event);
            if (me->button() == Qt::LeftButton) {
                dragging_ = true;
                model_.BeginDrag(static_cast<int>(me->position().y()));
                thumb_->update();
            }
            return true;
        }
        case QEvent::MouseMove: {
            auto *me = static_cast<QMouseEvent *>(event);
            if (dragging_ && (me->buttons() & Qt::LeftButton)) {
                const bool changed = model_.DragTo(static_cast<int>(me->position().y()));
                PlaceThumb();
                if (changed)
                    ScrollChanged();
            }
            return true;
        }
        case QEvent::MouseButtonRelease:
            dragging_ = false;
            thumb_->update();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
