// Every recorded number of a run, bit for bit, against a second computation written here
// from the formulas alone. The program's numbers are defined by where they are rounded to
// 32-bit floats (the roots, r R0, r1 - r2, each result, each force once), so a rounding
// lost or added anywhere changes some of them by a unit in the last place; tolerances
// would not notice. The settings cover the three root cases, both start kinds, the
// shortest and longest time steps and an escaping run.

#include "motion/reset.h"
#include "motion/step.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kentrikh {
namespace {

double narrow(double v)
{
    return static_cast<float>(v);
}

struct Setting
{
    int stakentr, magnhtio, arxivx, vimaxro;
    bool foucault;
};

// x, y, vx, vy, the six forces, rho, the centre: the order of the exported columns.
using Row = std::array<double, 13>;
constexpr const char *Columns[] = {"x", "y", "vx", "vy", "spring_fx", "spring_fy", "mag_fx",
    "mag_fy", "net_fx", "net_fy", "rho", "centre_x", "centre_y"};

struct Motion
{
    double x, y, vx, vy;
};

Motion exactMotion(double p, double q, double t, double u, double R0)
{
    const double D = 4 * p - q * q;
    if (D < 0) {
        const double S = std::sqrt(q * q - 4 * p);
        const double r1 = narrow((q + S) / 2), r2 = narrow((q - S) / 2);
        const double gap = narrow(r1 - r2);
        const double A = (u + narrow(r2 * R0)) / gap;
        const double C = -(u + narrow(r1 * R0)) / gap;
        const double s1 = std::sin(r1 * t), c1 = std::cos(r1 * t);
        const double s2 = std::sin(r2 * t), c2 = std::cos(r2 * t);
        return {narrow(A * s1 + C * s2), narrow(-A * c1 - C * c2),
            narrow(A * r1 * c1 + C * r2 * c2), narrow(A * r1 * s1 + C * r2 * s2)};
    }
    const double h = u + q * R0 / 2;
    const double th = q * t / 2;
    if (D == 0) {
        const double w = (q / 2) * h * t;
        return {narrow(h * t * std::cos(th) - R0 * std::sin(th)),
            narrow(h * t * std::sin(th) + R0 * std::cos(th)),
            narrow(u * std::cos(th) - w * std::sin(th)),
            narrow(u * std::sin(th) + w * std::cos(th))};
    }
    const double pi = 4 * std::atan(1.0);
    const double mu = 0.5 * std::sqrt(D);
    double phi = h == 0 ? pi / 2 : std::atan(mu * R0 / h);
    if (phi < 0)
        phi += pi;
    const double a = 0.5 * std::sqrt(R0 * R0 + h * h / (mu * mu));
    const double ep = std::exp(mu * t), em = std::exp(-mu * t);
    const double cp = std::cos(th + phi), sp = std::sin(th + phi);
    const double cm = std::cos(th - phi), sm = std::sin(th - phi);
    return {narrow(a * (ep * cp - em * cm)), narrow(a * (ep * sp - em * sm)),
        narrow(a * (ep * (mu * cp - q / 2 * sp) + em * (mu * cm + q / 2 * sm))),
        narrow(a * (ep * (mu * sp + q / 2 * cp) + em * (mu * sm - q / 2 * cm)))};
}

// The rows of samples 1 to 1000; a row without curvature has rho and the centre NaN.
std::vector<Row> expectedRun(const Setting &s)
{
    const double R0 = 70.0f;
    const double K = s.stakentr * 10, B = s.magnhtio;
    const double DT = s.vimaxro * 0.0001 / 100;
    const double u = s.foucault ? -B * R0 / 2 : s.arxivx;
    std::vector<Row> rows;
    double t = 0;
    for (int k = 1; k <= 1000; ++k, t += DT) {
        const Motion m = exactMotion(K, B, t, u, R0);
        Row row {m.x, m.y, m.vx, m.vy, narrow(K * m.x), narrow(K * m.y), narrow(m.vy * -B),
            narrow(B * m.vx), narrow(K * m.x - B * m.vy), narrow(K * m.y + B * m.vx), NAN, NAN,
            NAN};
        if (m.vx != 0 && m.vy != 0) {
            const double cross = m.vx * (K * m.y + B * m.vx) - m.vy * (K * m.x - B * m.vy);
            const double speed = std::sqrt(m.vy * m.vy + m.vx * m.vx);
            const double rho = cross == 0 ? 0 : std::pow(speed, 3) / std::abs(cross);
            const double phi = std::atan(-m.vx / m.vy);
            const double dx = std::abs(std::cos(phi)) * rho, dy = std::abs(std::sin(phi)) * rho;
            row[10] = rho;
            row[11] = cross * -m.vy > 0 ? m.x + dx : m.x - dx;
            row[12] = cross * m.vx > 0 ? m.y + dy : m.y - dy;
        }
        rows.push_back(row);
    }
    return rows;
}

Simulation recordedRun(const Setting &s)
{
    const SliderValues bars {static_cast<std::int16_t>(s.stakentr),
        static_cast<std::int16_t>(s.magnhtio), static_cast<std::int16_t>(s.arxivx),
        static_cast<std::int16_t>(s.vimaxro), 1};
    Simulation sim;
    initialiseSimulation(sim, bars);
    sim.switches.FoucaultMode = s.foucault;
    resetRunState(sim, bars);
    for (int k = 1; k <= LastSample; ++k)
        StepMotion(sim);
    return sim;
}

Row recordedRow(const TrackRecord &t, int k)
{
    const TrackArray *arrays[] = {&t.TrackX, &t.TrackY, &t.TrackVX, &t.TrackVY, &t.TrackSpringFX,
        &t.TrackSpringFY, &t.TrackMagFX, &t.TrackMagFY, &t.TrackNetFX, &t.TrackNetFY, &t.TrackRho,
        &t.TrackCentreX, &t.TrackCentreY};
    Row row;
    for (std::size_t i = 0; i < row.size(); ++i)
        row[i] = arrays[i]->isSet(k) ? (*arrays[i])[k] : NAN;
    return row;
}

bool sameBits(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

TEST(PinnedBits, EveryRecordedNumberMatchesAnIndependentComputation)
{
    const Setting settings[] = {
        {-50, 5, 0, 500, false}, // the start settings: real roots 25 and -20
        {-20, 5, 30, 500, false}, // real, irrational roots
        {-50, 0, 60, 500, false}, // no field
        {-100, 3, 150, 2000, false},
        {-97, 7, -120, 1, false}, // the shortest time step; r1 - r2 needs its rounding
        {-63, 11, 0, 777, true}, // Foucault, real
        {0, 20, 100, 500, false}, // no spring: a circle
        {50, 5, 40, 500, false}, // complex roots
        {100, 0, 10, 2000, false}, // escaping, values near 1e30
        {45, 9, 0, 1500, true}, // Foucault, complex: h = 0
        {10, 20, 30, 500, false}, // equal roots
        {90, -60, 0, 2000, true}, // equal roots, Foucault
    };
    for (const Setting &s : settings) {
        const std::string name = "STAKENTR " + std::to_string(s.stakentr) + ", MAGNHTIO "
            + std::to_string(s.magnhtio) + ", ARXIVX " + std::to_string(s.arxivx) + ", VIMAXRO "
            + std::to_string(s.vimaxro) + (s.foucault ? ", Foucault" : "");
        const Simulation sim = recordedRun(s);
        const std::vector<Row> expected = expectedRun(s);
        for (std::size_t i = 0; i < std::size(Columns); ++i) {
            int differ = 0, first = 0;
            for (int k = 1; k <= LastSample; ++k) {
                if (!sameBits(recordedRow(sim.track, k)[i], expected[k - 1][i]) && differ++ == 0)
                    first = k;
            }
            EXPECT_EQ(differ, 0) << name << ": " << Columns[i] << " differs at " << differ
                                 << " samples, first at sample " << first;
        }
    }
}

// The centre of curvature lies on the concave side: from the particle it points the way
// the normal part of the recorded net force points, at the distance rho. The field alone
// decides the side only while it outweighs the spring; these settings are where it does not.
TEST(PinnedBits, CurvatureCentresLieOnTheConcaveSide)
{
    const Setting settings[] = {{-20, 5, 30, 500, false}, {-50, 0, 60, 500, false},
        {-100, 3, 150, 2000, false}, {0, 20, 100, 500, false}, {50, 5, 40, 500, false}};
    for (const Setting &s : settings) {
        const Simulation sim = recordedRun(s);
        const TrackRecord &t = sim.track;
        int centres = 0;
        for (int k = 1; k <= LastSample; ++k) {
            if (!t.TrackCentreX.isSet(k) || t.TrackRho[k] == 0)
                continue;
            const double vx = t.TrackVX[k], vy = t.TrackVY[k];
            const double fx = t.TrackNetFX[k], fy = t.TrackNetFY[k];
            const double along = (fx * vx + fy * vy) / (vx * vx + vy * vy);
            const double nx = fx - along * vx, ny = fy - along * vy;
            const double cx = t.TrackCentreX[k] - t.TrackX[k], cy = t.TrackCentreY[k] - t.TrackY[k];
            // A normal part lost in the rounding of the forces says nothing about the side.
            if (std::hypot(nx, ny) < 1e-4 * std::hypot(fx, fy))
                continue;
            ++centres;
            ASSERT_GT(cx * nx + cy * ny, 0) << "STAKENTR " << s.stakentr << " sample " << k;
            ASSERT_NEAR(std::hypot(cx, cy), t.TrackRho[k], 1e-6 * t.TrackRho[k]) << k;
        }
        EXPECT_GT(centres, 900) << "STAKENTR " << s.stakentr;
    }
}

} // namespace
} // namespace kentrikh
