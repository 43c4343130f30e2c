#include "thumbnails/ThumbDoc.h"

#include "platform/CommandIds.h"
#include "platform/ui/View.h"
#include "thumbnails/ThumbFrame.h"

CThumbDoc::CThumbDoc()
{
    const auto greyed = [](CCmdUI& ui) { ui.Enable(false); };
    addUpdateHandler(Cmd::ID_FILE_SAVE, greyed);
    addUpdateHandler(Cmd::ID_FILE_SAVE_AS, greyed);
}

bool CThumbDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument()) return false;
    // Until the tree selects a folder.
    SetTitle(QStringLiteral("Untitled"));
    return true;
}

void CThumbDoc::OnCloseDocument()
{
    for (CDocumentView* v : views()) {
        auto* view = dynamic_cast<CView*>(v);
        if (auto* frame = view ? qobject_cast<CThumbFrame*>(GetParentFrame(view)) : nullptr) frame->OnDestroy();
    }
    CDocument::OnCloseDocument();
}
