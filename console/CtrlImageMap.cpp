#include "console/CtrlImageMap.h"

#include "core/Log.h"

using namespace zox::skin;

ImageMapPicture ResolveImageMapPicture(const TCtrlImageMap &entry, int state, bool enabled)
{
    ImageMapPicture out;
    out.storedState = entry.state;
    if (!IsPictureState(state))
        return out;
    out.valid = true;
    if (!enabled) {
        out.name = entry.names[kPictureDisabled];
        return out;
    }
    const bool alternate = entry.hasAlternate && entry.useAlternate && entry.useAlternate() == 1;
    out.name = alternate ? entry.alternateNames[state] : entry.names[state];
    out.storedState = state;
    return out;
}

CtrlImageMapTable::CtrlImageMapTable(std::size_t capacity) : entries_(capacity) {}

TCtrlImageMap *CtrlImageMapTable::Add(QObject *control, const PictureNames &names)
{
    return Add(control, names, PictureNames{}, nullptr);
}

TCtrlImageMap *CtrlImageMapTable::Add(QObject *control, const PictureNames &names,
                                      const PictureNames &alternateNames, std::function<int()> useAlternate)
{
    if (!control)
        return nullptr;
    for (TCtrlImageMap &e : entries_) {
        if (e.control)
            continue;
        e.control = control;
        e.state = kPictureNormal;
        e.names = names;
        e.hasAlternate = static_cast<bool>(useAlternate);
        e.alternateNames = alternateNames;
        e.useAlternate = std::move(useAlternate);
        return &e;
    }
    WriteLog("skin: image map full (%zu entries), picture not added.", entries_.size());
    return nullptr;
}

void CtrlImageMapTable::SetImageCtrlStatus(QObject *control, int state, bool enabled, const ShowFn &show)
{
    if (!control)
        return;
    for (TCtrlImageMap &e : entries_) {
        if (e.control != control)
            continue;
        ImageMapPicture p = ResolveImageMapPicture(e, state, enabled);
        if (!p.valid) {
            WriteLog("skin: picture state %d out of range, ignored.", state);
            continue;
        }
        e.state = p.storedState;
        if (show)
            show(control, p.name);
    }
}

int CtrlImageMapTable::GetImageCtrlStatus(const QObject *control) const
{
    if (!control)
        return -1;
    for (const TCtrlImageMap &e : entries_) {
        if (e.control == control)
            return e.state;
    }
    return -1;
}

void CtrlImageMapTable::OnPointer(QObject *control, PointerEvent event, bool enabled, const ShowFn &show)
{
    const int current = GetImageCtrlStatus(control);
    if (current < 0 || !enabled)
        return;
    const int next = NextPictureState(current, event, enabled);
    // A button-up that finds the picture not pressed leaves it as it is.
    if (event == PointerEvent::Up && current != kPicturePressed)
        return;
    SetImageCtrlStatus(control, next, enabled, show);
}

void CtrlImageMapTable::Remove(const QObject *control)
{
    for (TCtrlImageMap &e : entries_) {
        if (e.control == control && control)
            e = TCtrlImageMap{};
    }
}
