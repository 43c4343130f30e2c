#pragma once

class CView;
class PrinterHost;

// The view of a new target window, laying out and printing for the
// application's printer that printer keeps.
CView* MakeTargetView(PrinterHost& printer);
