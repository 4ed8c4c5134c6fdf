#pragma once

// Drives the real main window with the actions a person has and checks, after every event,
// what must always hold: the sample index in range, the timer as the run-control table
// allows, finite motion values, no message showing a non-number, and no non-finite
// coordinate handed to a drawing surface. The window draws on its own backing image, so
// every drawing is replayed beforehand on a copy of the simulation against a surface that
// rejects non-finite coordinates; the copy must then agree with the window's simulation.
// Shared by the randomised sequences and the fuzzer.

#include "app/main_window.h"
#include "motion/step.h"
#include "platform/message_box.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace kentrikh {

// Where the choices of a sequence come from: a seeded generator or a fuzzer's bytes.
class ChoiceSource
{
public:
    virtual ~ChoiceSource() = default;
    // A number from 0 to n - 1; n is at least 1.
    virtual std::uint32_t below(std::uint32_t n) = 0;
};

class RandomChoices : public ChoiceSource
{
public:
    explicit RandomChoices(std::uint32_t seed)
        : m_engine(seed)
    {
    }
    std::uint32_t below(std::uint32_t n) override;

private:
    std::mt19937 m_engine;
};

// Takes as few bytes as each choice needs; once they run out every choice is 0.
class ByteChoices : public ChoiceSource
{
public:
    ByteChoices(const std::uint8_t *data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    std::uint32_t below(std::uint32_t n) override;
    bool exhausted() const { return m_next >= m_size; }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_next = 0;
};

enum class ActionKind {
    Slider, // control: STAKENTR, MAGNHTIO, ARXIVX, VIMAXRO, klimaka; value: the new value
    Button, // control: START, STOP, step, CONTINUE, RADIUS OF CURVATURE
    Box, // control: "show forces", "Like Foucault Pendulum", "AKYKLOS KAMPYLOTHTAS"
    Ticks, // value: periods of the timer; each steps only while the timer would tick
    Probe, // Form_MouseDown at (x, y) in user coordinates
    Press, // a mouse press on the window at pixel (x, y), controls included
};

struct Action
{
    ActionKind kind = ActionKind::Ticks;
    int control = 0;
    int value = 0;
    float x = 0;
    float y = 0;

    std::string toString() const;
};

struct Vocabulary
{
    int longestBurst = 30; // timer periods in one burst of ticks
    int wholeRunPercent = 0; // share of the bursts that last a whole run (1001 periods)
};

// What a driver has exercised, to show that a sequence reaches what it is meant to.
struct Coverage
{
    int events = 0; // actions, with every tick counted
    int samples = 0;
    int runsEnded = 0;
    int probesOfARun = 0; // probes and presses while a whole run is recorded
    int graphs = 0;

    Coverage &operator+=(const Coverage &other)
    {
        events += other.events;
        samples += other.samples;
        runsEnded += other.runsEnded;
        probesOfARun += other.probesOfARun;
        graphs += other.graphs;
        return *this;
    }
};

class WindowDriver
{
public:
    WindowDriver();
    ~WindowDriver();
    WindowDriver(const WindowDriver &) = delete;
    WindowDriver &operator=(const WindowDriver &) = delete;

    MainWindow &window() { return *m_window; }

    // Probes aim near recorded samples and presses at pixels of the window, so the choice
    // depends on the window as it stands.
    Action choose(ChoiceSource &choices, const Vocabulary &vocabulary);

    // Performs the action; empty when everything held after each of its events, else
    // what failed first.
    std::string perform(const Action &action);

    // Every entry of the record, not only the ones the last events wrote.
    std::string checkWholeRecord() const;

    // The actions performed so far, one a line, to replay a failure by hand.
    std::string history() const;

    const Coverage &coverage() const { return m_coverage; }

private:
    struct Model
    {
        bool enabled = true;
        bool started = false; // START has set the interval to 1
        bool hasTrack = false;
        int sampleIndex = 0;
        Switches switches;
        qsizetype messages = 0;
    };

    void setSlider(int slider, int value);
    void clickButton(int button);
    void clickBox(int box);
    void tick();
    void probe(float x, float y);
    void press(QPoint pixel);
    // Takes the next sample on a copy of the window's simulation and draws it on the
    // replay surface, as the window is about to.
    void replayStep();
    void expectStepOutcome();
    std::string check();

    class FiniteSurface;

    MessageRecorder m_messages;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<Simulation> m_replay;
    StepOutcome m_replayOutcome = StepOutcome::Sample;
    std::unique_ptr<FiniteSurface> m_replaySurface;
    Model m_model;
    qsizetype m_checkedMessages = 0;
    std::string m_fault; // the first fault an event left, reported by the next check
    std::vector<std::string> m_history;
    Coverage m_coverage;
};

} // namespace kentrikh
