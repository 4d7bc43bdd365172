#pragma once
// The line timer of the running console: a QTimer on the user-interface thread.
#include <QTimer>
#include <functional>
#include <memory>

#include "dispatch/DispatchLineTable.h"

class CQtLineTimer : public ILineTimer {
public:
    explicit CQtLineTimer(std::function<void()> onTimeout);
    void Start(int periodMs) override;
    void Stop() override { m_timer.stop(); }
    bool IsActive() const override { return m_timer.isActive(); }
    int Period() const override { return m_timer.interval(); }

private:
    QTimer m_timer;
};

inline std::unique_ptr<ILineTimer> MakeQtLineTimer(std::function<void()> onTimeout)
{
    return std::make_unique<CQtLineTimer>(std::move(onTimeout));
}
