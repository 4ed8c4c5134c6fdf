// The bytes of an input choose a sequence of a person's actions on the main window; after
// each event everything the randomised sequences check must hold, or the input is a crash
// and the sequence is printed.

#include "reliability/window_driver.h"

#include <QApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Bounds the time one input takes: a window's start-up and a few dozen actions.
constexpr int MostActions = 64;
// Whole runs cost a thousand drawn samples each; the randomised tests cover them.
constexpr kentrikh::Vocabulary FuzzVocabulary {.longestBurst = 30, .wholeRunPercent = 2};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" KENTRIKH_SCREEN_CONFIG);
    // Lives until the process ends; the windows of every input need it.
    static auto *application = new QApplication(*argc, *argv);
    (void)application;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    kentrikh::WindowDriver driver;
    kentrikh::ByteChoices choices(data, size);
    for (int i = 0; i < MostActions && !choices.exhausted(); ++i) {
        const std::string fault = driver.perform(driver.choose(choices, FuzzVocabulary));
        if (!fault.empty()) {
            std::fprintf(stderr, "%s\nthe sequence:\n%s", fault.c_str(), driver.history().c_str());
            std::abort();
        }
    }
    return 0;
}
