#include "app/TargetViewFactory.h"

#include "view/TargetView.h"

CView* MakeTargetView(PrinterHost& printer)
{
    auto* view = new CTargetView;
    view->SetPrinterHost(&printer);
    return view;
}
