#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <utility>

namespace kentrikh {

namespace {

QPointer<QWidget> &ownerOverride()
{
    static QPointer<QWidget> owner;
    return owner;
}

void showMessageBox(const QString &text)
{
    QWidget *owner = ownerOverride() ? ownerOverride().data() : QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("kentrikh"), text, QMessageBox::Ok, owner);
    // The text is a number or a report, never markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

MessageHandler &currentHandler()
{
    static MessageHandler handler;
    return handler;
}

} // namespace

void showMessage(const QString &text)
{
    // A copy: the handler may install another one while it runs.
    if (const MessageHandler handler = currentHandler())
        handler(text);
    else
        showMessageBox(text);
}

MessageHandler setMessageHandler(MessageHandler handler)
{
    return std::exchange(currentHandler(), std::move(handler));
}

MessageOwner::MessageOwner(QWidget *window)
    : m_previous(std::exchange(ownerOverride(), window))
{
}

MessageOwner::~MessageOwner()
{
    ownerOverride() = m_previous;
}

MessageRecorder::MessageRecorder()
    : m_previous(setMessageHandler([this](const QString &text) { m_messages << text; }))
{
}

MessageRecorder::~MessageRecorder()
{
    setMessageHandler(std::move(m_previous));
}

} // namespace kentrikh
