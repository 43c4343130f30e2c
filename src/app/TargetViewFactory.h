#pragma once

class CView;

// The view of a new target window.
CView* MakeTargetView();
