#pragma once

#include "platform/ui/Frame.h"

// The frame of a target window: white behind the view, the target
// document's icon, never smaller than 200 x 200 pixels.
class CChildFrame : public CMDIChildWnd {
    Q_OBJECT
public:
    static constexpr int MIN_TRACK_SIZE = 200;

    explicit CChildFrame(QWidget* parent = nullptr);
};
