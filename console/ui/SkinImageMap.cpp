#include "console/ui/SkinImageMap.h"

#include "core/ui/PngResource.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>

using namespace zox::skin;

SkinImageMap::SkinImageMap(std::size_t capacity, QObject *parent) : QObject(parent), table_(capacity) {}

TCtrlImageMap *SkinImageMap::Add(QLabel *picture, const PictureNames &names)
{
    return Add(picture, names, PictureNames{}, nullptr);
}

TCtrlImageMap *SkinImageMap::Add(QLabel *picture, const PictureNames &names, const PictureNames &alternateNames,
                                 std::function<int()> useAlternate)
{
    TCtrlImageMap *e = table_.Add(picture, names, alternateNames, std::move(useAlternate));
    if (!e)
        return nullptr;
    picture->installEventFilter(this);
    picture->setAttribute(Qt::WA_Hover, true);
    connect(picture, &QObject::destroyed, this, [this](QObject *o) {
        table_.Remove(o);
        hooks_.erase(o);
    });
    SetImageCtrlStatus(picture, kPictureNormal);
    return e;
}

void SkinImageMap::Show(QObject *control, const std::string &name)
{
    LoadPngResource(static_cast<QLabel *>(control), QString::fromStdString(name));
}

void SkinImageMap::SetImageCtrlStatus(QLabel *picture, int state)
{
    if (!picture)
        return;
    table_.SetImageCtrlStatus(picture, state, picture->isEnabled(),
                              [this](QObject *c, const std::string &n) { Show(c, n); });
}

int SkinImageMap::GetImageCtrlStatus(const QLabel *picture) const
{
    return table_.GetImageCtrlStatus(picture);
}

void SkinImageMap::OnImageCtrlMouseEnter(QLabel *picture)
{
    if (picture)
        table_.OnPointer(picture, PointerEvent::Enter, picture->isEnabled(),
                         [this](QObject *c, const std::string &n) { Show(c, n); });
}

void SkinImageMap::OnImageCtrlMouseLeave(QLabel *picture)
{
    if (picture)
        table_.OnPointer(picture, PointerEvent::Leave, picture->isEnabled(),
                         [this](QObject *c, const std::string &n) { Show(c, n); });
}

void SkinImageMap::OnImageCtrlMouseDown(QLabel *picture)
{
    if (picture)
        table_.OnPointer(picture, PointerEvent::Down, picture->isEnabled(),
                         [this](QObject *c, const std::string &n) { Show(c, n); });
}

void SkinImageMap::OnImageCtrlMouseUp(QLabel *picture)
{
    if (picture)
        table_.OnPointer(picture, PointerEvent::Up, picture->isEnabled(),
                         [this](QObject *c, const std::string &n) { Show(c, n); });
}

void SkinImageMap::SetOnClick(QLabel *picture, PictureHandler handler)
{
    hooks_[picture].click = std::move(handler);
}

void SkinImageMap::SetOnPress(QLabel *picture, PictureHandler handler)
{
    hooks_[picture].press = std::move(handler);
}

void SkinImageMap::SetOnRelease(QLabel *picture, PictureHandler handler)
{
    hooks_[picture].release = std::move(handler);
}

void SkinImageMap::AddClickAlias(QWidget *caption, QLabel *picture)
{
    if (!caption || !picture)
        return;
    aliases_[caption] = picture;
    caption->installEventFilter(this);
    connect(caption, &QObject::destroyed, this, [this](QObject *o) { aliases_.erase(o); });
}

QLabel *SkinImageMap::PictureOf(QObject *watched) const
{
    auto a = aliases_.find(watched);
    if (a != aliases_.end())
        return a->second;
    if (table_.Contains(watched))
        return static_cast<QLabel *>(watched);
    return nullptr;
}

void SkinImageMap::EndPress(QLabel *picture)
{
    auto it = hooks_.find(picture);
    if (it == hooks_.end())
        return;
    it->second.armed = false;
    if (it->second.latch.TakeRelease() && it->second.release)
        it->second.release(picture);
}

bool SkinImageMap::eventFilter(QObject *watched, QEvent *event)
{
    QLabel *picture = PictureOf(watched);
    if (!picture)
        return QObject::eventFilter(watched, event);
    const bool alias = watched != picture;
    switch (event->type()) {
    case QEvent::Enter:
        if (!alias)
            OnImageCtrlMouseEnter(picture);
        break;
    case QEvent::Leave:
        if (!alias)
            OnImageCtrlMouseLeave(picture);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto *me = static_cast<QMouseEvent *>(event);
        if (!alias)
            OnImageCtrlMouseDown(picture);
        if (me->button() == Qt::LeftButton && picture->isEnabled()) {
            Hooks &h = hooks_[picture];
            // The second press of a double click is no new click.
            h.armed = event->type() == QEvent::MouseButtonPress;
            if (!h.latch.IsHeld()) {
                h.latch.Press();
                if (h.press)
                    h.press(picture);
            }
        }
        // A picture takes its own presses: passed on to its parent (a title bar that
        // drags the window), the press would start a window move that swallows the
        // release, and the click would never come.
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *me = static_cast<QMouseEvent *>(event);
        if (!alias)
            OnImageCtrlMouseUp(picture);
        if (me->button() != Qt::LeftButton)
            break;
        auto it = hooks_.find(picture);
        if (it == hooks_.end())
            break;
        QWidget *w = static_cast<QWidget *>(watched);
        const bool inside = w->rect().contains(me->position().toPoint());
        PictureHandler click;
        if (it->second.armed && inside && picture->isEnabled())
            click = it->second.click;
        // Either handler may free the form and this map with it.
        QPointer<SkinImageMap> self(this);
        QPointer<QLabel> alive(picture);
        EndPress(picture);
        if (self && alive && click)
            click(picture);
        return true;
    }
    case QEvent::EnabledChange:
        if (!alias && !picture->isEnabled())
            EndPress(picture);
        break;
    case QEvent::Hide:
    case QEvent::WindowBlocked:
        EndPress(picture);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
