#include "platform/ui/DocTemplate.h"

#include <QMdiArea>
#include <QPointer>

#include "platform/ui/Frame.h"
#include "platform/ui/View.h"
#include "platform/ui/WinApp.h"

CMultiDocTemplate::CMultiDocTemplate(int resourceId, const QString& docStrings, DocumentFactory makeDocument,
                                     FrameFactory makeFrame, ViewFactory makeView, QObject* parent)
    : CDocTemplate(resourceId, docStrings, parent),
      m_makeDocument(std::move(makeDocument)),
      m_makeFrame(std::move(makeFrame)),
      m_makeView(std::move(makeView))
{
}

CDocument* CMultiDocTemplate::CreateNewDocument()
{
    CDocument* doc = m_makeDocument ? m_makeDocument() : nullptr;
    if (doc) AddDocument(doc);
    return doc;
}

CMDIChildWnd* CMultiDocTemplate::CreateNewFrame(CDocument* doc)
{
    CMDIChildWnd* frame = m_makeFrame ? m_makeFrame() : new CMDIChildWnd;
    CView* view = m_makeView ? m_makeView() : nullptr;
    if (view) {
        view->SetDocument(doc);
        frame->SetView(view);
    }
    CWinApp* app = AfxGetApp();
    if (CMDIFrameWnd* main = app ? app->GetMainFrame() : nullptr) {
        main->mdiArea()->addSubWindow(frame);
        frame->hide();
    }
    return frame;
}

void CMultiDocTemplate::InitialUpdateFrame(CMDIChildWnd* frame, CDocument* doc, bool makeVisible)
{
    if (frame) frame->InitialUpdateFrame(doc, makeVisible);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(const QString& path, bool makeVisible)
{
    CDocument* doc = CreateNewDocument();
    if (!doc) return nullptr;
    // The document must stay while its new frame is built, even though the
    // frame has no view of it yet.
    doc->setAutoDelete(false);
    CMDIChildWnd* frame = CreateNewFrame(doc);
    doc->setAutoDelete(true);

    const bool ok = path.isEmpty() ? (SetDefaultTitle(doc), doc->OnNewDocument()) : doc->OnOpenDocument(path);
    if (!ok) {
        // Failing leaves neither document nor window behind.
        QPointer<CDocument> guard(doc);
        if (CMDIChildWnd* f = frame) {
            if (QMdiArea* area = f->mdiArea()) area->removeSubWindow(f);
            delete f;
        }
        if (guard) guard->OnCloseDocument();
        return nullptr;
    }
    if (!path.isEmpty()) doc->SetPathName(path);
    InitialUpdateFrame(frame, doc, makeVisible);
    return doc;
}

void CMultiDocTemplate::DestroyDocumentWindows(CDocument* doc)
{
    const QList<CDocumentView*> views = doc->views();
    QList<CMDIChildWnd*> frames;
    for (CDocumentView* v : views) {
        auto* view = dynamic_cast<CView*>(v);
        if (!view) continue;
        if (CMDIChildWnd* frame = GetParentFrame(view)) {
            if (!frames.contains(frame)) frames.append(frame);
        } else {
            delete view;
        }
    }
    for (CMDIChildWnd* frame : frames) {
        if (QMdiArea* area = frame->mdiArea()) area->removeSubWindow(frame);
        delete frame;
    }
}
