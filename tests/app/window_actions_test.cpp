#include "app/command_line.h"
#include "app/exports.h"
#include "app/main_window.h"
#include "curvature_window/curvature_window.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace kentrikh {
namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

class WindowActions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.Main({1080, 15, {}}, false);
        window.setAttribute(Qt::WA_DontShowOnScreen);
        window.show();
        QApplication::setActiveWindow(&window);
        m_previous = setSaveFileChooser(
            [this](QWidget *, const QString &, const QString &suggested, const QString &) {
                suggestions << suggested;
                return answers.isEmpty() ? QString() : answers.takeFirst();
            });
    }
    void TearDown() override { setSaveFileChooser(m_previous); }

    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    QStringList answers; // what the file dialog answers, in turn; empty: cancelled
    QStringList suggestions; // what it was asked with
    MessageRecorder messages;
    MainWindow window;

private:
    SaveFileChooser m_previous;
};

TEST_F(WindowActions, KeysCopyAndSaveWhatTheCommandLineWritesAndChangeNothing)
{
    QProcess cli;
    cli.setWorkingDirectory(dir.path());
    cli.start(QStringLiteral(KENTRIKH_PROGRAM),
        {"--headless", "--press", "start", "--run", "--press", "graph", "--save-png", "cli.png",
            "--save-graph", "cli-graph.png", "--save-csv", "cli.csv"});
    ASSERT_TRUE(cli.waitForFinished(120000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();

    QTest::mouseClick(window.Command1, Qt::LeftButton);
    for (int i = 0; i < MaxRunTicks; ++i)
        window.Timer1_Timer();
    QTest::mouseClick(window.Command5, Qt::LeftButton);
    CurvatureWindow *graph = window.curvatureWindow();
    ASSERT_TRUE(graph);
    const QString state = stateReport(window);
    const QImage picture = window.surface().image();
    const QStringList shownMessages = messages.messages();

    QApplication::setActiveWindow(&window);
    QTest::keyClick(&window, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(picture.format()), picture);
    answers = {path("main.png"), path("run.csv")};
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(contents(path("main.png")), contents(path("cli.png")));
    EXPECT_EQ(contents(path("run.csv")), contents(path("cli.csv")));
    // The second dialog starts where the first one saved.
    EXPECT_EQ(suggestions.value(1), path(DemoTrack));

    graph->setAttribute(Qt::WA_DontShowOnScreen);
    QApplication::setActiveWindow(graph);
    const QImage graphPicture = graph->EIKONA->surface().image();
    QTest::keyClick(graph, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(
        QGuiApplication::clipboard()->image().convertToFormat(graphPicture.format()), graphPicture);
    answers = {path("graph.png")};
    QTest::keyClick(graph, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(contents(path("graph.png")), contents(path("cli-graph.png")));

    QTest::keyClick(graph, Qt::Key_F1);
    EXPECT_EQ(messages.messages(), shownMessages + QStringList {aboutText()});
    EXPECT_EQ(stateReport(window), state);
    EXPECT_EQ(window.surface().image(), picture);
}

TEST_F(WindowActions, AFileThatCannotBeWrittenGetsAMessageAndLeavesNothing)
{
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    answers = {QString(), path("missing/x.png")};
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier); // cancelled
    EXPECT_EQ(messages.messages(), QStringList());
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_TRUE(
        messages.messages()[0].startsWith(path("missing/x.png") + " was not saved: cannot write: "))
        << messages.messages()[0].toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

} // namespace
} // namespace kentrikh
