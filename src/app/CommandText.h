#pragma once

#include <QString>

// The string table of the commands: a status-bar prompt and a tooltip per
// command id ("prompt\ntooltip").
QString CommandString(int id);
QString CommandPrompt(int id);
QString CommandTooltip(int id);

// The status bar's text while nothing else is shown.
QString IdleMessage();
