#pragma once

// Which ticks of a periodic timer fell due. A timer event that comes late (the machine was
// busy drawing, or the system's timer is coarse) stands for every tick that fell due since
// the last one, so that a run of n ticks lasts n intervals; none is ever left out.
//
// The schedule counts from restart(): tick k falls due k intervals after it. An event
// stands for the ticks that fell due since the previous event, and for one at least, as a
// timer event always did. It makes up at most MaxTicksPerEvent: a machine that cannot keep
// up runs as fast as it can instead of catching up for ever, and the schedule counts
// afresh from that event.

#include <chrono>
#include <cstdint>

namespace kentrikh {

class TickSchedule
{
public:
    using Clock = std::chrono::steady_clock;

    static constexpr int MaxTicksPerEvent = 50;

    void restart(Clock::time_point now);
    // The number of ticks the timer event at now stands for, 1 to MaxTicksPerEvent.
    int ticksFor(Clock::time_point now, Clock::duration interval);

private:
    Clock::time_point m_start;
    std::int64_t m_delivered = 0;
};

} // namespace kentrikh
