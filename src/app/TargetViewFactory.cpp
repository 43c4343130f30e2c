#include "app/TargetViewFactory.h"

#if __has_include("view/TargetView.h")
#include "view/TargetView.h"
CView* MakeTargetView() { return new CTargetView; }
#else
#include "app/PlainTargetView.h"
CView* MakeTargetView() { return new CPlainTargetView; }
#endif
