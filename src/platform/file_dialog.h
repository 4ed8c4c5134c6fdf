#pragma once

// The platform's dialog that asks where to save a file. Tests replace it with a function
// that answers at once.

#include <QString>
#include <functional>

class QWidget;

namespace kentrikh {

// Returns the chosen path, or an empty string when the user cancelled.
using SaveFileChooser = std::function<QString(
    QWidget *parent, const QString &caption, const QString &suggestedPath, const QString &filter)>;

QString chooseSaveFile(
    QWidget *parent, const QString &caption, const QString &suggestedPath, const QString &filter);

// Installs the chooser that chooseSaveFile() calls from now on (an empty one restores the
// platform's dialog) and returns the one it replaces.
SaveFileChooser setSaveFileChooser(SaveFileChooser chooser);

} // namespace kentrikh
