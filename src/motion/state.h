#pragma once

// The state of the simulation: the parameters, the particle now, the three switches,
// the window-frame ratios, the record of a run and the memory the step keeps between
// calls. Numbers are doubles; a comment says where a value is held narrowed.

#include <array>
#include <bitset>
#include <cstdint>

namespace kentrikh {

inline constexpr int TrackSize = 1001; // samples 0 to 1000
inline constexpr int LastSample = 1000;
inline constexpr float StartDistance = 70.0f;

struct MotionParams
{
    double K = 0; // spring constant, a 16-bit integer: STAKENTR x 10
    double B = 0; // magnetic field
    float R0 = 0; // start distance and radius of the reference circle
    double DT = 0; // time between samples
    double Pi = 0; // 4 atan 1, written by whoever needs it
};

struct MotionState
{
    double X = 0; // position; 32-bit floats after a step
    double Y = 0;
    double VX = 0; // velocity; 32-bit floats after a step
    double VY = 0;
    double VX0 = 0; // start x velocity handed to the closed form
    double VY0 = 0; // never assigned: the motion always starts with zero y velocity
    int SampleIndex = 0; // last sample taken, 0 to 1000; 0: the next step starts a run
    bool HasTrack = false; // a whole run has been recorded since the last START
};

struct Switches
{
    bool ShowForces = false;
    bool FoucaultMode = false;
    bool CurvatureCircle = false;
};

// One recorded quantity over a run. An entry never written is empty and reads as 0.
class TrackArray
{
public:
    double operator[](int index) const { return m_values[index]; }
    bool isSet(int index) const { return m_set[index]; }
    void store(int index, double value)
    {
        m_values[index] = value;
        m_set[index] = true;
    }

private:
    std::array<double, TrackSize> m_values {};
    std::bitset<TrackSize> m_set;
};

struct TrackRecord
{
    TrackArray TrackX, TrackY;
    TrackArray TrackRho;
    TrackArray TrackCentreX, TrackCentreY;
    TrackArray TrackSpringFX, TrackSpringFY;
    TrackArray TrackMagFX, TrackMagFY;
    TrackArray TrackNetFX, TrackNetFY;
    TrackArray TrackVX, TrackVY;
};

// What the step keeps from one call to the next; never reset while the program runs.
struct StepMemory
{
    double T = 0; // run time of the current sample
    double PrevX = 0, PrevY = 0;
    double PrevVX = 0, PrevVY = 0;
    double PrevNetFX = 0, PrevNetFY = 0;
    double PrevMagFX = 0, PrevMagFY = 0;
    double PrevSpringFX = 0, PrevSpringFY = 0;
    double PrevCentreX = 0, PrevCentreY = 0, PrevRho = 0;
};

// The values of the five parameter scroll bars.
struct SliderValues
{
    std::int16_t STAKENTR = -50;
    std::int16_t MAGNHTIO = 5;
    std::int16_t ARXIVX = 0;
    std::int16_t VIMAXRO = 500;
    std::int16_t klimaka = 1;
};

struct Simulation
{
    MotionParams params;
    MotionState state;
    Switches switches;
    float BorderRatioX = 0; // (outer - client) / client width of the main window
    float BorderRatioY = 0;
    TrackRecord track;
    StepMemory memory;
};

} // namespace kentrikh
