#include "dispatch/QtLineTimer.h"

CQtLineTimer::CQtLineTimer(std::function<void()> onTimeout)
{
    QObject::connect(&m_timer, &QTimer::timeout, std::move(onTimeout));
}

void CQtLineTimer::Start(int periodMs)
{
    m_timer.setInterval(periodMs);
    m_timer.start();
}
