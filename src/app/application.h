#pragma once

namespace kentrikh {

// Starts the program: the application object, the main window laid out on the primary
// screen, then the event loop. Returns the exit status.
int runApplication(int argc, char **argv);

} // namespace kentrikh
