#pragma once

// The animation timer as the handlers see it: on or off, and the interval of its ticks in
// milliseconds (0: no ticks). The shell's clock delivers the ticks; see TickSchedule for
// how late ticks are made up.

namespace kentrikh {

class Timer
{
public:
    virtual ~Timer() = default;

    virtual void setEnabled(bool enabled) = 0;
    virtual bool enabled() const = 0;
    // Milliseconds; a negative interval counts as 0.
    virtual void setInterval(int milliseconds) = 0;
    virtual int interval() const = 0;
    // Something else held the program up (a handler, its message boxes): the ticks owed so
    // far are forgiven and the next one comes an interval from now.
    virtual void restartSchedule() = 0;
};

} // namespace kentrikh
