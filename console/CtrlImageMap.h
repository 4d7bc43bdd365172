#pragma once
// The image map of a skinned form: one entry per picture button, naming the picture
// of each state (and optionally a second set that a test of the form selects). The
// map decides which picture a button shows; the form's windows load it.

#include "console/PictureState.h"

#include <QObject>

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

using PictureNames = std::array<std::string, zox::skin::kPictureStateCount>;

struct TCtrlImageMap {
    QObject *control = nullptr;           // the picture button; null in an empty entry
    bool hasAlternate = false;            // the entry has a second picture set
    int state = zox::skin::kPictureNormal; // current picture state
    PictureNames names;                   // pictures for states 0, 1, 2, 3
    PictureNames alternateNames;          // the second set, same order
    std::function<int()> useAlternate;    // returns 1 while the second set is shown
};

// What an entry shows when it is set to a state: the picture name and the state the
// entry keeps. An enabled picture shows the name of the state from the set in force
// and keeps the state; a disabled one shows its first name and keeps its old state.
// A state outside 0..3 shows nothing new: valid is false and the entry is unchanged.
struct ImageMapPicture {
    bool valid = false;
    std::string name;
    int storedState = zox::skin::kPictureNormal;
};
ImageMapPicture ResolveImageMapPicture(const TCtrlImageMap &entry, int state, bool enabled);

// A form's fixed array of image-map entries.
class CtrlImageMapTable {
public:
    using ShowFn = std::function<void(QObject *control, const std::string &name)>;

    explicit CtrlImageMapTable(std::size_t capacity);

    std::size_t Capacity() const { return entries_.size(); }
    TCtrlImageMap &Entry(std::size_t index) { return entries_.at(index); }
    const TCtrlImageMap &Entry(std::size_t index) const { return entries_.at(index); }

    // Fills the first empty entry (state 1); null when the table is full or the
    // control is null.
    TCtrlImageMap *Add(QObject *control, const PictureNames &names);
    TCtrlImageMap *Add(QObject *control, const PictureNames &names, const PictureNames &alternateNames,
                       std::function<int()> useAlternate);

    // Shows the picture of every entry of the control for a state (see
    // ResolveImageMapPicture); enabled is the control's own enabled flag.
    void SetImageCtrlStatus(QObject *control, int state, bool enabled, const ShowFn &show);
    // The stored state of the control's entry, -1 when it has none.
    int GetImageCtrlStatus(const QObject *control) const;
    bool Contains(const QObject *control) const { return GetImageCtrlStatus(control) >= 0; }

    // The four pointer handlers of the form: enter -> 2, leave -> 1, down -> 3,
    // up -> 2 only from 3; all ignored while the picture is disabled.
    void OnPointer(QObject *control, zox::skin::PointerEvent event, bool enabled, const ShowFn &show);

    // Clears a control out of the map (for pictures freed before their form).
    void Remove(const QObject *control);

private:
    std::vector<TCtrlImageMap> entries_;
};
