#include "app/ChildFrm.h"

#include "app/Icons.h"

CChildFrame::CChildFrame(QWidget* parent) : CMDIChildWnd(parent)
{
    setMinimumSize(MIN_TRACK_SIZE, MIN_TRACK_SIZE);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setAutoFillBackground(true);
    setWindowIcon(DocumentIcon());
}
