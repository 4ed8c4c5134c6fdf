#pragma once

// The one way the program reports a value to the user: a modal box with the text, an OK
// button and the application's name as its title. Tests and headless runs replace it
// with a recorder.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

namespace kentrikh {

using MessageHandler = std::function<void(const QString &text)>;

// Shows the text and returns once the user has closed the box.
void showMessage(const QString &text);

// Installs the handler that showMessage() calls from now on (an empty one restores the
// message box) and returns the one it replaces.
MessageHandler setMessageHandler(MessageHandler handler);

// While it lives, message boxes belong to the given window instead of the active one. A
// window that has just been shown becomes active only once the window manager has seen
// to it, and a box that belongs to another window brings that one to the front.
class MessageOwner
{
public:
    explicit MessageOwner(QWidget *window);
    ~MessageOwner();
    MessageOwner(const MessageOwner &) = delete;
    MessageOwner &operator=(const MessageOwner &) = delete;

private:
    QPointer<QWidget> m_previous;
};

// Records the messages while it lives instead of showing them.
class MessageRecorder
{
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    const QStringList &messages() const { return m_messages; }

private:
    MessageHandler m_previous;
    QStringList m_messages;
};

} // namespace kentrikh
