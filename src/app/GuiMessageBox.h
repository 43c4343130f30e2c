#pragma once

// Shows every message as a modal QMessageBox, owned by the main window
// unless the message asks for no owner.
void InstallGuiMessageHandler();
