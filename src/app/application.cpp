#include "app/application.h"

#include "app/main_window.h"
#include "platform/screen_metrics.h"

#include <QApplication>
#include <QFont>

namespace kentrikh {

namespace {

// Small enough for the longest captions to fit the places the window designs for them,
// large enough to read from the back of a classroom.
QFont applicationFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    return font;
}

} // namespace

int runApplication(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kentrikh"));
    QApplication::setFont(applicationFont());

    MainWindow window;
    window.Main({screenHeightPixels(), twipsPerPixel(), frameMargins(window)}, true);
    return QApplication::exec();
}

} // namespace kentrikh
