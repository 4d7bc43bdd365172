#include "console/PictureState.h"

namespace zox::skin {

const char *PictureStateSuffix(int state)
{
    switch (state) {
    case kPictureDisabled:
        return "_DISABLED";
    case kPictureNormal:
        return "_NORMAL";
    case kPictureFocused:
        return "_FOCUSED";
    case kPicturePressed:
        return "_PRESSED";
    default:
        return "";
    }
}

bool IsPictureState(int state)
{
    return state >= kPictureDisabled && state <= kPicturePressed;
}

int NextPictureState(int current, PointerEvent event, bool enabled)
{
    if (!enabled)
        return current;
    switch (event) {
    case PointerEvent::Enter:
        return kPictureFocused;
    case PointerEvent::Leave:
        return kPictureNormal;
    case PointerEvent::Down:
        return kPicturePressed;
    case PointerEvent::Up:
        return current == kPicturePressed ? kPictureFocused : current;
    }
    return current;
}

} // namespace zox::skin
