#include "platform/timer.h"

#include <algorithm>

namespace kentrikh {

SimTimer::SimTimer()
{
    // The animation asks for 1 ms ticks: a coarse timer would run it at a fraction of
    // that rate.
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { onTimeout(); });
}

void SimTimer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    update();
}

void SimTimer::setInterval(int milliseconds)
{
    milliseconds = std::max(milliseconds, 0);
    if (milliseconds == m_interval)
        return;
    m_interval = milliseconds;
    update();
}

void SimTimer::update()
{
    if (m_enabled && m_interval > 0) {
        m_timer.start(m_interval);
        restartSchedule();
    } else {
        m_timer.stop();
    }
}

void SimTimer::restartSchedule()
{
    m_schedule.restart(TickSchedule::Clock::now());
}

void SimTimer::onTimeout()
{
    if (!m_timer.isActive() || m_inTick)
        return;
    deliver(m_schedule.ticksFor(TickSchedule::Clock::now(), std::chrono::milliseconds(m_interval)));
}

void SimTimer::deliver(int ticks)
{
    if (m_inTick || !m_tick)
        return;
    m_inTick = true;
    // A tick may switch the timer off (the end of a run, say): the ones after it are void.
    for (int i = 0; i < ticks && m_timer.isActive(); ++i)
        m_tick();
    m_inTick = false;
}

} // namespace kentrikh
