#pragma once

#include <QEvent>

class QObject;

// Window messages between parts of the program, with their fixed numbers.
constexpr int HINT_DESIGNER_CHANGED = 0x0BD1;  // update hint: the design was replaced
constexpr int MSG_TARGET_SAVED = 0x0BD2;       // lParam: const QString* path
constexpr int MSG_PRINTER_CHANGED = 0x07E9;    // wParam 1, lParam 0
constexpr int MSG_OPEN_FILE_REQUEST = 0x0560;  // lParam: const QString* path
constexpr int MSG_SHOW_FOLDER = 0x0785;        // lParam: const QString* path
constexpr int MSG_DRIVE_CHANGED = 0x0784;
constexpr int MSG_THUMB_SET_SIZE = 0x055F;

// One event type for every window message: the message number and its two
// parameters. Where a parameter stands for a text, it is a pointer to a
// QString that stays valid while the message is sent (not posted).
class WindowMessageEvent : public QEvent {
public:
    WindowMessageEvent(int message, quintptr wParam, qintptr lParam);

    static QEvent::Type eventType();

    int message() const { return m_message; }
    quintptr wParam() const { return m_wParam; }
    qintptr lParam() const { return m_lParam; }

    // The text an lParam points to, or an empty text for a null lParam.
    QString lParamText() const;

    // The receiver's answer (the message's result) and whether it took it.
    qintptr result() const { return m_result; }
    void setResult(qintptr result) { m_result = result; }

private:
    int m_message;
    quintptr m_wParam;
    qintptr m_lParam;
    qintptr m_result = 0;
};

// Sends the message to one object at once and returns its result.
qintptr SendWindowMessage(QObject* receiver, int message, quintptr wParam = 0, qintptr lParam = 0);

// Sends the message to every descendant widget of root (children first
// level, then theirs, recursively), not to root itself; sent, not posted.
void SendMessageToDescendants(QObject* root, int message, quintptr wParam = 0, qintptr lParam = 0);

// Posts the message; the event loop delivers it later.
void PostWindowMessage(QObject* receiver, int message, quintptr wParam = 0, qintptr lParam = 0);

// lParam for a text parameter.
inline qintptr TextParam(const QString* text) { return reinterpret_cast<qintptr>(text); }
