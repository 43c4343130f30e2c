#pragma once

#include <QEvent>
#include <QString>

#include <memory>

class QObject;

// Window messages between parts of the program, with their fixed numbers.
constexpr int HINT_DESIGNER_CHANGED = 0x0BD1;  // update hint: the design was replaced
constexpr int MSG_TARGET_SAVED = 0x0BD2;       // lParam: const QString* path
constexpr int MSG_PRINTER_CHANGED = 0x07E9;    // wParam 1, lParam 0
constexpr int MSG_OPEN_FILE_REQUEST = 0x0560;  // lParam: const QString* path
constexpr int MSG_SHOW_FOLDER = 0x0785;        // lParam: const QString* path
constexpr int MSG_DRIVE_CHANGED = 0x0784;
constexpr int MSG_THUMB_SET_SIZE = 0x055F;

// What a posted message carries beyond its two numbers: a text, a rendered
// picture. The message owns it; the receiver may take it over, and when the
// message is dropped undelivered (its receiver gone, the queue purged) the
// payload goes with it.
class MessagePayload {
public:
    virtual ~MessagePayload() = default;
};

class TextPayload : public MessagePayload {
public:
    explicit TextPayload(QString text) : m_text(std::move(text)) {}
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

// One event type for every window message: the message number and its two
// parameters. Where a sent message's parameter stands for a text, it is a
// pointer to a QString that stays valid while the message is sent; a posted
// message carries its text or record as an owned payload instead, and its
// lParam is then the payload's address.
class WindowMessageEvent : public QEvent {
public:
    WindowMessageEvent(int message, quintptr wParam, qintptr lParam);
    WindowMessageEvent(int message, quintptr wParam, std::unique_ptr<MessagePayload> payload);
    ~WindowMessageEvent() override;

    static QEvent::Type eventType();

    int message() const { return m_message; }
    quintptr wParam() const { return m_wParam; }
    qintptr lParam() const { return m_lParam; }

    // The message's text: the payload's when it carries a TextPayload, else
    // the text an lParam points to, or an empty text for a null lParam.
    QString lParamText() const;

    MessagePayload* payload() const { return m_payload.get(); }
    template <class T> T* payloadAs() const { return dynamic_cast<T*>(m_payload.get()); }
    // Hands the payload to the receiver, who frees it from then on.
    std::unique_ptr<MessagePayload> takePayload() { return std::move(m_payload); }

    // The receiver's answer (the message's result) and whether it took it.
    qintptr result() const { return m_result; }
    void setResult(qintptr result) { m_result = result; }

private:
    int m_message;
    quintptr m_wParam;
    qintptr m_lParam;
    qintptr m_result = 0;
    std::unique_ptr<MessagePayload> m_payload;
    bool m_carriesPayload = false;  // lParam named a payload, even once taken
};

// Sends the message to one object at once and returns its result.
qintptr SendWindowMessage(QObject* receiver, int message, quintptr wParam = 0, qintptr lParam = 0);

// Sends the message to every descendant widget of root (children first
// level, then theirs, recursively), not to root itself; sent, not posted.
void SendMessageToDescendants(QObject* root, int message, quintptr wParam = 0, qintptr lParam = 0);

// Posts the message; the event loop delivers it later. Any thread may post.
// A plain lParam is a number: it must not point at anything.
void PostWindowMessage(QObject* receiver, int message, quintptr wParam = 0, qintptr lParam = 0);
// Posts the message with its payload, which the message owns from now on
// (freed at once when there is no receiver).
void PostWindowMessage(QObject* receiver, int message, quintptr wParam, std::unique_ptr<MessagePayload> payload);
void PostTextMessage(QObject* receiver, int message, quintptr wParam, const QString& text);

// lParam for a text parameter of a sent message.
inline qintptr TextParam(const QString* text) { return reinterpret_cast<qintptr>(text); }
