#include "app/TargetViewFactory.h"

#include "view/TargetView.h"

CView* MakeTargetView() { return new CTargetView; }
