#pragma once
// Picture states of the console's skinned pictures and the mouse transitions between
// them. Every clickable picture shows one of four pictures; the numbers are shared by
// every form and control.

#include <string>

namespace zox::skin {

inline constexpr int kPictureDisabled = 0;
inline constexpr int kPictureNormal = 1;
inline constexpr int kPictureFocused = 2;
inline constexpr int kPicturePressed = 3;
inline constexpr int kPictureStateCount = 4;

// Resource-name suffix of a state: "_DISABLED", "_NORMAL", "_FOCUSED", "_PRESSED";
// empty for a number outside 0..3.
const char *PictureStateSuffix(int state);

// True for 0..3.
bool IsPictureState(int state);

enum class PointerEvent { Enter, Leave, Down, Up };

// The state a picture moves to when the pointer does something over it.
//   enter -> focused, leave -> normal, button down -> pressed,
//   button up -> focused, but only when the picture was pressed.
// A disabled picture keeps its state whatever happens.
int NextPictureState(int current, PointerEvent event, bool enabled);

// Keeps the promise that every press gets its release. A control marks the press it
// reported to its owner and asks, at every possible end of that press (button up
// anywhere, the control disabled or hidden while held), whether a release is still
// owed. Each press yields exactly one release.
class PressLatch {
public:
    // A press was reported to the owner.
    void Press() { held_ = true; }
    // True once for the press that is outstanding; false when none is.
    bool TakeRelease()
    {
        bool owed = held_;
        held_ = false;
        return owed;
    }
    bool IsHeld() const { return held_; }

private:
    bool held_ = false;
};

} // namespace zox::skin
