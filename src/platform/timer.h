#pragma once

// The animation timer: ticks every interval milliseconds while it is enabled. An interval
// of 0 gives no ticks (a QTimer at 0 would fire on every pass of the event loop), and
// ticks never nest: a tick that arrives while the previous one is still being handled,
// for instance during a modal message box it opened, is dropped.
//
// Ticks keep time: when the underlying timer's event comes late, the handler runs once for
// every tick that fell due meanwhile (see TickSchedule), one after the other, as long as
// the timer stays on. The count starts afresh whenever the timer starts and when the
// owner says that something else held the program up (restartSchedule): time spent in a
// message box, say, is not made up afterwards.

#include "controller/tick_schedule.h"
#include "controller/timer.h"

#include <QTimer>
#include <functional>

namespace kentrikh {

class SimTimer : public Timer
{
public:
    SimTimer();

    void setEnabled(bool enabled) override;
    bool enabled() const override { return m_enabled; }
    // Milliseconds; a negative interval counts as 0.
    void setInterval(int milliseconds) override;
    int interval() const override { return m_interval; }
    void setTickHandler(std::function<void()> handler) { m_tick = std::move(handler); }

    // Whether the underlying timer runs, that is whether ticks will come.
    bool isTicking() const { return m_timer.isActive(); }
    // One tick, as the underlying timer's event on time delivers it, so that tests and
    // headless runs need not wait for it.
    void deliverTick() { deliver(1); }
    // The ticks owed so far are forgiven: the next event on time delivers one.
    void restartSchedule() override;

private:
    void update();
    void onTimeout();
    void deliver(int ticks);

    QTimer m_timer;
    std::function<void()> m_tick;
    bool m_enabled = false;
    int m_interval = 0;
    bool m_inTick = false;
    TickSchedule m_schedule;
};

} // namespace kentrikh
