#pragma once

#include "platform/ui/View.h"

// A view that shows the target at its natural size on white, for builds
// without the full target view.
class CPlainTargetView : public CScrollView {
    Q_OBJECT
public:
    explicit CPlainTargetView(QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    void OnUpdate(CDocumentView* sender, qintptr hint, QObject* hintObject) override;
    void OnDraw(DeviceContext& dc) override;

private:
    QSize targetPixels() const;
};
