#include "platform/WindowMessage.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QString>

WindowMessageEvent::WindowMessageEvent(int message, quintptr wParam, qintptr lParam)
    : QEvent(eventType()), m_message(message), m_wParam(wParam), m_lParam(lParam)
{
}

WindowMessageEvent::WindowMessageEvent(int message, quintptr wParam, std::unique_ptr<MessagePayload> payload)
    : QEvent(eventType()),
      m_message(message),
      m_wParam(wParam),
      m_lParam(reinterpret_cast<qintptr>(payload.get())),
      m_payload(std::move(payload)),
      m_carriesPayload(true)
{
}

WindowMessageEvent::~WindowMessageEvent() = default;

QEvent::Type WindowMessageEvent::eventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QString WindowMessageEvent::lParamText() const
{
    if (m_carriesPayload || m_lParam == 0) {
        const auto* carried = payloadAs<TextPayload>();
        return carried ? carried->text() : QString();
    }
    const auto* text = reinterpret_cast<const QString*>(m_lParam);
    return *text;
}

qintptr SendWindowMessage(QObject* receiver, int message, quintptr wParam, qintptr lParam)
{
    if (!receiver) return 0;
    WindowMessageEvent event(message, wParam, lParam);
    QCoreApplication::sendEvent(receiver, &event);
    return event.result();
}

void SendMessageToDescendants(QObject* root, int message, quintptr wParam, qintptr lParam)
{
    if (!root) return;
    // A receiver may close windows while handling the message: walk a
    // snapshot and skip children that are gone by the time we reach them.
    const QObjectList children = root->children();
    QList<QPointer<QObject>> guarded;
    guarded.reserve(children.size());
    for (QObject* child : children) guarded.append(child);
    for (const QPointer<QObject>& child : guarded) {
        if (!child || !child->isWidgetType()) continue;
        SendWindowMessage(child, message, wParam, lParam);
        if (child) SendMessageToDescendants(child, message, wParam, lParam);
    }
}

void PostWindowMessage(QObject* receiver, int message, quintptr wParam, qintptr lParam)
{
    if (receiver) QCoreApplication::postEvent(receiver, new WindowMessageEvent(message, wParam, lParam));
}

void PostWindowMessage(QObject* receiver, int message, quintptr wParam, std::unique_ptr<MessagePayload> payload)
{
    if (receiver) QCoreApplication::postEvent(receiver, new WindowMessageEvent(message, wParam, std::move(payload)));
}

void PostTextMessage(QObject* receiver, int message, quintptr wParam, const QString& text)
{
    PostWindowMessage(receiver, message, wParam, std::make_unique<TextPayload>(text));
}
