#pragma once

// The animation timer: ticks every interval milliseconds while it is enabled. An interval
// of 0 gives no ticks (a QTimer at 0 would fire on every pass of the event loop), and
// ticks never nest: a tick that arrives while the previous one is still being handled,
// for instance during a modal message box it opened, is dropped.

#include <QTimer>
#include <functional>

namespace kentrikh {

class SimTimer
{
public:
    SimTimer();

    void setEnabled(bool enabled);
    bool enabled() const { return m_enabled; }
    // Milliseconds; a negative interval counts as 0.
    void setInterval(int milliseconds);
    int interval() const { return m_interval; }
    void setTickHandler(std::function<void()> handler) { m_tick = std::move(handler); }

    // Whether the underlying timer runs, that is whether ticks will come.
    bool isTicking() const { return m_timer.isActive(); }
    // Does what the underlying timer's timeout does, so that tests need not wait for it.
    void deliverTick() { onTimeout(); }

private:
    void update();
    void onTimeout();

    QTimer m_timer;
    std::function<void()> m_tick;
    bool m_enabled = false;
    int m_interval = 0;
    bool m_inTick = false;
};

} // namespace kentrikh
