#pragma once

// A numerical solution of x'' = p x - q y', y'' = p y + q x' that shares nothing with the
// closed form, and the slider settings the physics tests sweep.
//
// The equations are linear with constant coefficients, so one time step h is the matrix
// exp(h M); summed as a Taylor series in double precision it is exact to about 1e-15 per
// step, far below the 32-bit rounding the closed form is checked against.

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace kentrikh::test {

inline constexpr float kR0 = 70.0f;

// The largest time step (VIMAXRO 2000) and a whole run of 1000 samples of it.
inline constexpr double kLargestStep = 2000 * 0.0001 / 100;
inline constexpr int kRunSamples = 1000;

struct OrbitPoint
{
    double x = 0;
    double y = 0;
    double vx = 0;
    double vy = 0;
};

class ReferenceOrbit
{
public:
    ReferenceOrbit(double p, double q, double u, double h, int steps)
    {
        // Rows of M for the state (x, y, vx, vy).
        const Matrix M = {{{0, 0, 1, 0}, {0, 0, 0, 1}, {p, 0, 0, -q}, {0, p, q, 0}}};
        Matrix step {};
        Matrix term {};
        for (int i = 0; i < 4; ++i)
            step[i][i] = term[i][i] = 1;
        for (int k = 1; k <= 60; ++k) {
            Matrix next {};
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j)
                    for (int l = 0; l < 4; ++l)
                        next[i][j] += term[i][l] * M[l][j] * h / k;
            term = next;
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j)
                    step[i][j] += term[i][j];
        }

        std::array<double, 4> state = {0, kR0, u, 0};
        m_points.reserve(steps + 1);
        for (int n = 0; n <= steps; ++n) {
            m_points.push_back({state[0], state[1], state[2], state[3]});
            m_maxDistance = std::max(m_maxDistance, std::hypot(state[0], state[1]));
            m_maxSpeed = std::max(m_maxSpeed, std::hypot(state[2], state[3]));
            std::array<double, 4> next {};
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j)
                    next[i] += step[i][j] * state[j];
            state = next;
        }
    }

    const OrbitPoint &at(int step) const { return m_points[step]; }
    double maxDistance() const { return m_maxDistance; }
    double maxSpeed() const { return m_maxSpeed; }

private:
    using Matrix = std::array<std::array<double, 4>, 4>;
    std::vector<OrbitPoint> m_points;
    double m_maxDistance = 0;
    double m_maxSpeed = 0;
};

struct Setting
{
    double p = 0;
    double q = 0;
    double u = 0;
};

// The start x velocities: the ends and middle of ARXIVX, and the Foucault start.
inline std::vector<double> startVelocities(double q)
{
    return {-200, 0, 200, -q * static_cast<double>(kR0) / 2};
}

// The spring (-1000 to 1000 in tens) and field (-100 to 100) ranges, every 7th spring and
// every 3rd field value, so that a sweep stays well under a second.
inline std::vector<Setting> controlRangeSettings()
{
    std::vector<Setting> settings;
    for (int p = -1000; p <= 1000; p += 70)
        for (int q = -100; q <= 100; q += 3)
            for (double u : startVelocities(q))
                settings.push_back({double(p), double(q), u});
    return settings;
}

// Every slider setting with p = q^2 / 4 exactly.
inline std::vector<Setting> criticalSettings()
{
    std::vector<Setting> settings;
    for (int q : {0, 20, -20, 40, -40, 60, -60})
        for (double u : startVelocities(q))
            settings.push_back({q * q / 4.0, double(q), u});
    return settings;
}

} // namespace kentrikh::test
