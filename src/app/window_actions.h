#pragma once

// What a desktop user expects around the simulation, on keys that nothing in the windows
// uses: Ctrl+C copies the window's picture, Ctrl+S saves it as PNG, Ctrl+Shift+S saves the
// recorded run as CSV, F1 shows what the program does. On the curvature window Ctrl+C and
// Ctrl+S do the same for the graph. None of them runs a handler of the simulation.

namespace kentrikh {

class MainWindow;

// Adds the keys to the main window, and to the curvature window each time RADIUS OF
// CURVATURE opens one.
void addWindowActions(MainWindow &window);

} // namespace kentrikh
