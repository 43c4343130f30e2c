#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <QSize>

#include "platform/CmdTarget.h"
#include "platform/Document.h"

class DeviceContext;
class WindowMessageEvent;

// A view of a document: a widget in a child frame that draws the document
// through OnDraw and takes the document's commands first. Its viewport is
// the drawing surface; a plain view shows no scroll bars.
class CView : public QAbstractScrollArea, public CCmdTarget, public CDocumentView {
    Q_OBJECT
public:
    explicit CView(QWidget* parent = nullptr);
    ~CView() override;

    CDocument* GetDocument() const override { return m_pDocument; }
    // Attaches the view to a document (the template does this once).
    void SetDocument(CDocument* doc);
    void DetachDocument() override;

    // First update after the frame is made: by default OnUpdate(nullptr, 0, nullptr).
    virtual void OnInitialUpdate();
    // The document changed; by default the view repaints.
    void OnUpdate(CDocumentView* sender, qintptr hint, QObject* hintObject) override;
    // Draws the document; dc's painter is in view coordinates (scrolled).
    virtual void OnDraw(DeviceContext& dc);
    // The frame of the view became (in)active.
    virtual void OnActivateView(bool activate) {}
    // A window message (platform/WindowMessage.h); true when handled.
    virtual bool OnWindowMessage(WindowMessageEvent& message) { return false; }

protected:
    // Adjusts the context before OnDraw (the scroll view moves the origin).
    virtual void OnPrepareDC(DeviceContext& dc) {}
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CDocument* m_pDocument = nullptr;
};

// A view with a scrollable drawing of a fixed size in device pixels. When
// the drawing is smaller than the window there are no scroll bars.
class CScrollView : public CView {
    Q_OBJECT
public:
    explicit CScrollView(QWidget* parent = nullptr);

    // Total size of the drawing; page and line steps (default a tenth and a
    // hundredth of the total) in device pixels.
    void SetScrollSizes(const QSize& total, const QSize& page = QSize(), const QSize& line = QSize());
    QSize GetTotalSize() const { return m_totalSize; }
    QPoint GetScrollPosition() const;
    void ScrollToPosition(const QPoint& position);

protected:
    void OnPrepareDC(DeviceContext& dc) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void updateBars();

    QSize m_totalSize;
    QSize m_pageSize;
    QSize m_lineSize;
};
