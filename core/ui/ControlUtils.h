#pragma once
// Small helpers on controls and lists of controls; a list's equality is pointer
// identity.
#include <cstddef>
#include <vector>

class QWidget;

using ControlList = std::vector<QWidget *>;

// Exchanges the two controls' positions and sizes; nothing when either is missing.
void SwapControlBounds(QWidget *a, QWidget *b);
// Empties the destination and appends the source's controls in order; the count.
std::size_t CopyControlList(const ControlList &source, ControlList &destination);
// True when both lists hold the same controls in the same order.
bool SameControlList(ControlList a, ControlList b);
