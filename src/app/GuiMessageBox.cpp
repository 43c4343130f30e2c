#include "app/GuiMessageBox.h"

#include <QMessageBox>

#include "platform/MessageBox.h"
#include "platform/ui/Frame.h"
#include "platform/ui/WinApp.h"

void InstallGuiMessageHandler()
{
    SetMessageHandler([](const MessageRecord& m) {
        QWidget* owner = nullptr;
        if (m.ownedByMainWindow && AfxGetApp()) owner = AfxGetApp()->GetMainFrame();
        QMessageBox box(owner);
        box.setWindowTitle(m.caption);
        QString text = m.text;
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        box.setText(text);
        switch (m.icon) {
        case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
        case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MsgIcon::None: break;
        }
        switch (m.buttons) {
        case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case MsgButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Cancel: return int(IDCANCEL);
        case QMessageBox::Yes: return int(IDYES);
        case QMessageBox::No: return int(IDNO);
        case QMessageBox::Ok: return int(IDOK);
        default:
            // Closing the box by its title bar answers Cancel where there is one.
            return (m.buttons == MsgButtons::Ok) ? int(IDOK) : (m.buttons == MsgButtons::YesNo ? int(IDNO) : int(IDCANCEL));
        }
    });
}
