#pragma once

#include <QWidget>

#include "designer/TargetDesign.h"
#include "platform/ui/View.h"

class CMiniTargetView;

// The Ringdesigner's preview window: a bare frame over the dialog's preview
// placeholder, filling it, that holds one view. It paints nothing itself (no
// background of its own), so the view alone decides what is seen.
class CMiniTargetFrame : public QWidget {
    Q_OBJECT
public:
    // Created as a visible child of host, filling its client area.
    explicit CMiniTargetFrame(QWidget* host);

    // The frame's first (and only) pane.
    CMiniTargetView* GetActiveView() const { return m_pView; }

private:
    CMiniTargetView* m_pView;
};

// The preview's view: a bordered window that keeps its own copy of a design
// and draws it fitted into its client area, by the same drawing as target
// windows and printouts use.
class CMiniTargetView : public CView {
    Q_OBJECT
public:
    explicit CMiniTargetView(QWidget* parent = nullptr);

    // Copies the design and repaints at once.
    void SetDesign(const CTargetDesign& design);
    const CTargetDesign& GetDesign() const { return m_design; }

    // The rectangle the design is fitted into: the client area less one
    // pixel on every side.
    GdiRect drawRect() const;

    // How many times the view has painted (the dialog's tests and benchmark
    // use it to see that a change reached the screen).
    int paintCount() const { return m_nPaints; }

    void OnDraw(DeviceContext& dc) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CTargetDesign m_design;
    int m_nPaints = 0;
};
