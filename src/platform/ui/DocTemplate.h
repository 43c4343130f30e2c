#pragma once

#include <functional>

#include "platform/Document.h"

class CMDIChildWnd;
class CView;

// A template for documents shown in MDI child frames: it makes the
// document, the frame and the view through its three factories.
class CMultiDocTemplate : public CDocTemplate {
    Q_OBJECT
public:
    using DocumentFactory = std::function<CDocument*()>;
    using FrameFactory = std::function<CMDIChildWnd*()>;
    using ViewFactory = std::function<CView*()>;

    CMultiDocTemplate(int resourceId, const QString& docStrings, DocumentFactory makeDocument,
                      FrameFactory makeFrame, ViewFactory makeView, QObject* parent = nullptr);

    CDocument* CreateNewDocument();
    // A hidden frame with a view of the document, in the main frame's MDI area.
    CMDIChildWnd* CreateNewFrame(CDocument* doc);
    void InitialUpdateFrame(CMDIChildWnd* frame, CDocument* doc, bool makeVisible = true);

    CDocument* OpenDocumentFile(const QString& path, bool makeVisible = true) override;
    void DestroyDocumentWindows(CDocument* doc) override;

private:
    DocumentFactory m_makeDocument;
    FrameFactory m_makeFrame;
    ViewFactory m_makeView;
};
