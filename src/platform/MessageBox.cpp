#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>

#include <cstdio>

namespace {

struct State {
    QMutex mutex;
    MessageHandler handler;
    QList<MessageRecord> recorded;
    int answer = 0;
    bool echo = true;
};

State& state()
{
    static State s;
    return s;
}

int defaultAnswer(MsgButtons buttons, int preset)
{
    switch (buttons) {
    case MsgButtons::Ok:
        return IDOK;
    case MsgButtons::OkCancel:
        return (preset == IDOK || preset == IDCANCEL) ? preset : IDOK;
    case MsgButtons::YesNo:
        return (preset == IDYES || preset == IDNO) ? preset : IDYES;
    case MsgButtons::YesNoCancel:
        return (preset == IDYES || preset == IDNO || preset == IDCANCEL) ? preset : IDYES;
    }
    return IDOK;
}

int record(const MessageRecord& m)
{
    State& s = state();
    QMutexLocker lock(&s.mutex);
    s.recorded.append(m);
    if (s.echo) {
        QString text = m.text;
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        std::fprintf(stderr, "%s: %s\n", qPrintable(m.caption), qPrintable(text));
    }
    return defaultAnswer(m.buttons, s.answer);
}

// What a question asked off the GUI thread is taken to answer: OK where that
// is all there is, otherwise the answer that changes nothing.
int offThreadAnswer(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok: return IDOK;
    case MsgButtons::YesNo: return IDNO;
    default: return IDCANCEL;
    }
}

}  // namespace

int ShowMessage(const QString& text, const QString& caption, MsgButtons buttons, MsgIcon icon,
                bool ownedByMainWindow)
{
    MessageRecord m{text, caption, buttons, icon, ownedByMainWindow};
    MessageHandler handler;
    {
        QMutexLocker lock(&state().mutex);
        handler = state().handler;
    }
    if (!handler) return record(m);
    // A message box is a window, and windows live on the GUI thread: from
    // any other thread the message is queued there and the caller goes on
    // with the answer a plain acknowledgement gives.
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread()) {
        QMetaObject::invokeMethod(app, [handler, m] { handler(m); }, Qt::QueuedConnection);
        return offThreadAnswer(buttons);
    }
    return handler(m);
}

MessageHandler SetMessageHandler(MessageHandler handler)
{
    QMutexLocker lock(&state().mutex);
    MessageHandler old = state().handler;
    state().handler = std::move(handler);
    return old;
}

namespace MessageLog {

QList<MessageRecord> messages()
{
    QMutexLocker lock(&state().mutex);
    return state().recorded;
}

void clear()
{
    QMutexLocker lock(&state().mutex);
    state().recorded.clear();
}

void setAnswer(int answer)
{
    QMutexLocker lock(&state().mutex);
    state().answer = answer;
}

void setEcho(bool echo)
{
    QMutexLocker lock(&state().mutex);
    state().echo = echo;
}

}  // namespace MessageLog
