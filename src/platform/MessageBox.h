#pragma once

#include <QList>
#include <QString>

#include <functional>

// The one way the program shows a message to the user. Code at any depth
// (loaders, savers, the command line) calls ShowMessage with the fixed text
// and caption; what happens then depends on the handler installed:
//  - the GUI installs one that shows a modal QMessageBox owned by the main
//    window;
//  - without one (tests, the desktop thumbnailer, command-line printing) the
//    message is recorded, written to standard error, and answered with the
//    preset answer, so nothing ever blocks.
// Called off the GUI thread with a handler installed, ShowMessage queues the
// message to the GUI thread and returns at once (OK for an OK box, else
// Cancel or No): a worker thread never shows or waits for a window.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Warning, Error, Question };

// The answers keep their Windows numbers.
enum MsgResult { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

struct MessageRecord {
    QString text;
    QString caption;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    bool ownedByMainWindow = true;  // false: shown with no owner window
};

using MessageHandler = std::function<int(const MessageRecord&)>;

int ShowMessage(const QString& text, const QString& caption, MsgButtons buttons = MsgButtons::Ok,
                MsgIcon icon = MsgIcon::None, bool ownedByMainWindow = true);

// Installs the handler (an empty function restores recording) and returns the
// previous one.
MessageHandler SetMessageHandler(MessageHandler handler);

namespace MessageLog {
// What the recording handler has seen since the last clear.
QList<MessageRecord> messages();
void clear();
// The answer the recording handler gives to the next questions: an answer
// valid for the buttons, otherwise the first button (OK, Yes).
void setAnswer(int answer);
// Whether the recording handler also writes each message to standard error
// (on by default, so command-line use reports every problem).
void setEcho(bool echo);
}
