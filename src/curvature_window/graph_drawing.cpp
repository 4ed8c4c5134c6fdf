#include "curvature_window/graph_drawing.h"

#include "controller/number_text.h"
#include "curvature_window/predictions.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kentrikh {

namespace {

constexpr int LastSegment = LastSample - 1;
constexpr int GreenDotStep = 5;

constexpr Rgb RecordedColour = rgb(0, 0, 255);
constexpr Rgb PredictedColour = rgb(255, 55, 0);
constexpr Rgb DistanceColour = rgb(255, 55, 55);
constexpr Rgb StartDistanceColour = rgb(0, 150, 255);
constexpr Rgb RecordedDistanceColour = rgb(0, 255, 0);
constexpr Rgb TurningPointColour = rgb(0, 0, 255);
constexpr Rgb MaximumColour = rgb(255, 0, 255);

// The x extent is a multiple of the interval: 0 would leave the picture no width.
double intervalOf(const Timer &Timer1)
{
    return std::max(Timer1.interval(), 1);
}

bool drawable(double value)
{
    return std::isfinite(static_cast<float>(value));
}

void line(Surface &surface, double x1, double y1, double x2, double y2, Rgb colour)
{
    if (drawable(x1) && drawable(y1) && drawable(x2) && drawable(y2)) {
        surface.line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
            static_cast<float>(y2), colour);
    }
}

void dot(Surface &surface, double x, double y, Rgb colour)
{
    if (drawable(x) && drawable(y))
        surface.pset(static_cast<float>(x), static_cast<float>(y), colour);
}

// The messages, their numbers in the user's notation.
class Messages
{
public:
    Messages(const std::function<void(const std::string &)> &show, std::string_view decimalPoint)
        : m_show(show)
        , m_decimalPoint(decimalPoint)
    {
    }
    void operator()(const std::string &text) const
    {
        if (m_show)
            m_show(text);
    }
    std::string twoDecimals(double value) const
    {
        return numberText(value, NumberPattern::TwoDecimals, m_decimalPoint);
    }
    std::string threeDecimals(double value) const
    {
        return numberText(value, NumberPattern::ThreeDecimals, m_decimalPoint);
    }

private:
    const std::function<void(const std::string &)> &m_show;
    std::string_view m_decimalPoint;
};

} // namespace

void drawCurvatureGraph(Surface &EIKONA, Simulation &sim, const Timer &Timer1,
    const std::function<void(const std::string &)> &showMessage,
    const std::function<void()> &sizePicture, std::string_view decimalPoint)
{
    const Messages message(showMessage, decimalPoint);
    const MotionParams &p = sim.params;
    const TrackRecord &track = sim.track;
    const PredictionInputs in {p.K, p.B, sim.state.VX0, p.DT, p.R0};
    const double R0 = p.R0;

    double M = 0;
    for (int i = 1; i <= LastSample; ++i) {
        if (track.TrackRho[i] > M)
            M = track.TrackRho[i];
    }
    // A recorded radius beyond the float range would leave no scale to draw in: the
    // range stops where the picture's coordinates can still be narrowed.
    constexpr double LargestYmax = std::numeric_limits<float>::max() / 2.0;
    const double Ymax = std::min(M > 1.5 * R0 ? 1.5 * M : 1.5 * R0, LargestYmax);

    // It depends on the parameters alone: the two messages and the line show one number.
    const double maxRho = MaxCurvatureRadius(in, sim.params.Pi);
    message("megis aktis = " + message.twoDecimals(maxRho));
    message("MAXCAMP =  " + message.threeDecimals(M));

    if (sizePicture)
        sizePicture();
    EIKONA.scale(static_cast<float>(-10 * intervalOf(Timer1)), static_cast<float>(Ymax),
        static_cast<float>(1000 * intervalOf(Timer1)), static_cast<float>(-0.5 * Ymax));

    line(EIKONA, -50 * intervalOf(Timer1), 0, 1000 * intervalOf(Timer1), 0, Black);
    line(EIKONA, 0, -Ymax, 0, Ymax, Black);

    double predicted = CurvatureRadiusFromDistanceAt(in, p.DT * 1);
    for (int i = 1; i <= LastSegment; ++i) {
        const double x = i * intervalOf(Timer1);
        const double xNext = (i + 1) * intervalOf(Timer1);
        line(EIKONA, x, track.TrackRho[i], xNext, track.TrackRho[i + 1], RecordedColour);
        const double predictedNext = CurvatureRadiusFromDistanceAt(in, p.DT * (i + 1));
        line(EIKONA, x, predicted, xNext, predictedNext, PredictedColour);
        predicted = predictedNext;
        dot(EIKONA, x, AnalyticDistance(p.K, p.B, p.DT * i, in.VX0, p.R0), DistanceColour);
    }

    line(EIKONA, 0, R0, 1000 * intervalOf(Timer1), R0, StartDistanceColour);

    for (int i = 1; i <= LastSegment; i += GreenDotStep) {
        const double x = track.TrackX[i];
        const double y = track.TrackY[i];
        const double rho = CurvatureRadiusFromSquaredDistance(in, x * x + y * y);
        EIKONA.setDrawWidth(4);
        dot(EIKONA, i * intervalOf(Timer1), rho, RecordedDistanceColour);
        EIKONA.setDrawWidth(1);
    }

    if (sim.switches.FoucaultMode) {
        // The value after the label is never defined, so the label stands alone. Half the
        // scale, measured from 0, lies below the picture: the text is not seen.
        EIKONA.setCurrentX(EIKONA.scaleWidth() / 2);
        EIKONA.setCurrentY(EIKONA.scaleHeight() / 2);
        EIKONA.print("r= ");

        // rhoF has no finite value without a field (0 / 0) or with K = B^2 / 2 (a zero
        // divisor): the message says so instead of showing a division's leftovers.
        const double divisor = 2 * std::abs(2 * p.K / (p.B * p.B) - 1);
        if (p.B == 0 || divisor == 0) {
            message("ρ = undefined");
        } else {
            const double rhoF = R0 / divisor;
            message("ρ = " + message.twoDecimals(rhoF));
            line(EIKONA, 0, rhoF, 1000 * intervalOf(Timer1), rhoF, TurningPointColour);
        }
        line(EIKONA, 0, M, 1000 * intervalOf(Timer1), M, MaximumColour);
    }

    // Like "r= ", the label "AktiNmax  =" has no value to show.
    message("rmax = " + message.twoDecimals(maxRho) + "  AktiNmax  =");

    EIKONA.setDrawWidth(3);
    line(EIKONA, 0, maxRho, 1000 * intervalOf(Timer1), maxRho, MaximumColour);
    EIKONA.setDrawWidth(1);
}

} // namespace kentrikh
