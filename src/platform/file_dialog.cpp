#include "platform/file_dialog.h"

#include <QFileDialog>
#include <utility>

namespace kentrikh {

namespace {

SaveFileChooser &currentChooser()
{
    static SaveFileChooser chooser;
    return chooser;
}

} // namespace

QString chooseSaveFile(
    QWidget *parent, const QString &caption, const QString &suggestedPath, const QString &filter)
{
    if (const SaveFileChooser chooser = currentChooser())
        return chooser(parent, caption, suggestedPath, filter);
    return QFileDialog::getSaveFileName(parent, caption, suggestedPath, filter);
}

SaveFileChooser setSaveFileChooser(SaveFileChooser chooser)
{
    return std::exchange(currentChooser(), std::move(chooser));
}

} // namespace kentrikh
