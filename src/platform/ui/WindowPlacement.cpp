#include "platform/ui/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

WindowPlacementRecord GetWindowPlacement(const QWidget* window)
{
    WindowPlacementRecord p;
    const QRect normal = window->isWindow() ? window->normalGeometry() : window->geometry();
    const QRect r = normal.isValid() ? normal : window->geometry();
    p.normal = GdiRect::fromQRect(r);
    if (window->isMinimized()) p.showCmd = SW_SHOWMINIMIZED;
    else if (window->isMaximized()) p.showCmd = SW_SHOWMAXIMIZED;
    else if (window->isHidden()) p.showCmd = SW_HIDE;
    else p.showCmd = SW_SHOWNORMAL;
    return p;
}

void SetWindowPlacement(QWidget* window, const WindowPlacementRecord& placement)
{
    // The normal rectangle first, then the state, so restoring a maximised
    // or minimised window later brings back the saved size.
    window->setGeometry(placement.normal.toQRect());
    switch (placement.showCmd) {
    case SW_SHOWMINIMIZED: window->showMinimized(); break;
    case SW_SHOWMAXIMIZED: window->showMaximized(); break;
    default: window->showNormal(); break;
    }
}

void SaveWindowPlacement(const QWidget* window, const QString& section, const QString& fileName)
{
    if (!window || section.isEmpty() || fileName.isEmpty()) return;
    WriteWindowPlacement(section, GetWindowPlacement(window), fileName);
}

bool RestoreWindowPlacement(QWidget* window, const QString& section, bool allowMinimised, const QString& fileName)
{
    if (!window || section.isEmpty() || fileName.isEmpty()) return false;
    QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->geometry().size() : QSize();
    WindowPlacementRecord p;
    if (!ReadWindowPlacement(section, allowMinimised, size, &p, fileName)) return false;
    SetWindowPlacement(window, p);
    return true;
}
