#pragma once

// The one way the program reports a value to the user: a modal box with the text, an OK
// button and the application's name as its title. Tests and headless runs replace it
// with a recorder.

#include <QString>
#include <QStringList>
#include <functional>

namespace kentrikh {

using MessageHandler = std::function<void(const QString &text)>;

// Shows the text and returns once the user has closed the box.
void showMessage(const QString &text);

// Installs the handler that showMessage() calls from now on (an empty one restores the
// message box) and returns the one it replaces.
MessageHandler setMessageHandler(MessageHandler handler);

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
