#include "app/window_actions.h"

#include "app/command_line.h"
#include "app/exports.h"
#include "app/main_window.h"
#include "curvature_window/curvature_window.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPushButton>
#include <QShortcut>
#include <functional>

namespace kentrikh {

namespace {

const QString PngFilter = QStringLiteral("PNG (*.png)");
const QString CsvFilter = QStringLiteral("CSV (*.csv)");

// The folder the last save went to, for this run of the program only: it keeps nothing
// from one run to the next.
QString &lastFolder()
{
    static QString folder = QDir::homePath();
    return folder;
}

// The bytes are taken when the key is pressed: the dialog's event loop lets the timer
// tick on, and what is saved is what was shown.
void saveAs(QWidget *parent, const QString &caption, const QString &name, const QString &filter,
    const QByteArray &bytes)
{
    const QString path = chooseSaveFile(parent, caption, QDir(lastFolder()).filePath(name), filter);
    if (path.isEmpty())
        return;
    if (const std::optional<QString> error = writeFile(path, bytes))
        showMessage(
            QStringLiteral("%1 was not saved: %2").arg(QDir::toNativeSeparators(path), *error));
    else
        lastFolder() = QFileInfo(path).absolutePath();
}

void addKey(QWidget *window, const QKeySequence &key, std::function<void()> action)
{
    auto *shortcut = new QShortcut(key, window);
    QObject::connect(shortcut, &QShortcut::activated, window, std::move(action));
}

void copyPicture(const QImage &image)
{
    QGuiApplication::clipboard()->setImage(image);
}

void addPictureKeys(QWidget *window, std::function<const QImage &()> picture, const QString &name)
{
    addKey(window, QKeySequence::Copy, [picture] { copyPicture(picture()); });
    addKey(window, QKeySequence::Save, [window, picture, name] {
        saveAs(window, QStringLiteral("Save the picture"), name, PngFilter, pngBytes(picture()));
    });
    addKey(window, Qt::Key_F1, [] { showMessage(aboutText()); });
}

void addGraphKeys(MainWindow &window)
{
    CurvatureWindow *graph = window.curvatureWindow();
    // A window that was closed is made anew by the next press; an open one has its keys.
    if (!graph || graph->findChild<QShortcut *>())
        return;
    PictureBox *box = graph->EIKONA;
    addPictureKeys(
        graph, [box]() -> const QImage & { return box->surface().image(); },
        QLatin1String(DemoGraph));
}

} // namespace

void addWindowActions(MainWindow &window)
{
    addPictureKeys(
        &window, [&window]() -> const QImage & { return window.surface().image(); },
        QLatin1String(DemoPicture));
    addKey(&window, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [&window] {
        saveAs(&window, QStringLiteral("Save the run"), QLatin1String(DemoTrack), CsvFilter,
            trackCsv(window.simulation().track));
    });
    // Connected after the button's handler, so it runs once the window exists.
    QObject::connect(
        window.Command5, &QPushButton::clicked, &window, [&window] { addGraphKeys(window); });
}

} // namespace kentrikh
