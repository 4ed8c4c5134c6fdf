#pragma once

namespace kentrikh {

// Starts the program: reads the command line, lays the main window out for the screen,
// runs the command line's actions and then, unless headless, the event loop. Returns the
// exit status: 0, 1 when a file could not be written, 2 for bad arguments.
int runApplication(int argc, char **argv);

} // namespace kentrikh
