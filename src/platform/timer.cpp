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
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}

void SimTimer::onTimeout()
{
    if (!m_timer.isActive() || m_inTick || !m_tick)
        return;
    m_inTick = true;
    m_tick();
    m_inTick = false;
}

} // namespace kentrikh
