#include "core/ui/ControlUtils.h"

#include <QRect>
#include <QWidget>

void SwapControlBounds(QWidget *a, QWidget *b)
{
    if (!a || !b)
        return;
    const QRect ra = a->geometry();
    const QRect rb = b->geometry();
    a->setGeometry(rb);
    b->setGeometry(ra);
}

std::size_t CopyControlList(const ControlList &source, ControlList &destination)
{
    if (&source == &destination)
        return source.size();
    destination.clear();
    destination.insert(destination.end(), source.begin(), source.end());
    return source.size();
}

bool SameControlList(ControlList a, ControlList b) { return a == b; }
