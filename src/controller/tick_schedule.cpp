#include "controller/tick_schedule.h"

#include <algorithm>

namespace kentrikh {

void TickSchedule::restart(Clock::time_point now)
{
    m_start = now;
    m_delivered = 0;
}

int TickSchedule::ticksFor(Clock::time_point now, Clock::duration interval)
{
    if (interval <= Clock::duration::zero())
        return 1;
    const std::int64_t due = std::max<std::int64_t>((now - m_start) / interval, 0);
    const std::int64_t owed = due - m_delivered;
    if (owed > MaxTicksPerEvent) {
        restart(now);
        return MaxTicksPerEvent;
    }
    const int ticks = static_cast<int>(std::max<std::int64_t>(owed, 1));
    m_delivered += ticks;
    return ticks;
}

} // namespace kentrikh
