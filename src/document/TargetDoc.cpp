#include "document/TargetDoc.h"

#include "designer/TargetDesign.h"
#include "platform/CommandIds.h"
#include "platform/MessageBox.h"
#include "platform/PathParts.h"
#include "platform/WindowMessage.h"

namespace {
CTargetDoc::DesignEditor& editorSlot()
{
    static CTargetDoc::DesignEditor editor;
    return editor;
}
}  // namespace

void CTargetDoc::SetDesignEditor(DesignEditor editor) { editorSlot() = std::move(editor); }
const CTargetDoc::DesignEditor& CTargetDoc::designEditor() { return editorSlot(); }

CTargetDoc::CTargetDoc()
{
    const auto designOnly = [this](CCmdUI& ui) { ui.Enable(kind() == TARGET_KIND_DESIGNER); };
    addUpdateHandler(Cmd::ID_FILE_SAVE, designOnly);
    addUpdateHandler(Cmd::ID_FILE_SAVE_AS, designOnly);
    addCommand(Cmd::ID_EDIT_RINGDESIGNER, [this] { OnEditRingdesigner(); });
    addUpdateHandler(Cmd::ID_EDIT_RINGDESIGNER, [this](CCmdUI& ui) {
        ui.Enable(kind() == TARGET_KIND_DESIGNER && static_cast<bool>(designEditor()));
    });
}

CTargetDoc::~CTargetDoc() = default;

QString CTargetDoc::OpenFailedMessage(const QString& path)
{
    return QStringLiteral("The file \"%1\" does not appear the be a valid image or target file.").arg(path);
}

QString CTargetDoc::SaveFailedMessage(int status, const QString& path)
{
    switch (status) {
    case SAVE_DIR_NOT_WRITABLE: {
        const PathParts parts(path);
        return QStringLiteral("You don't have permission to write to the directory %1%2.")
            .arg(parts.GetDrive(), parts.GetDirectory());
    }
    case SAVE_READ_ONLY:
        return QStringLiteral("You don't have permission to write to %1. The file may be read-only.").arg(path);
    case SAVE_WRITE_FAILED: return QStringLiteral("Error writing Ringdesigner object.");
    case SAVE_CANNOT_CREATE: return QStringLiteral("Could not open the file %1").arg(path);
    default: return QStringLiteral("Unknown error writing Ringdesigner object.");
    }
}

namespace {
int g_openingPage = 1;
}

void CTargetDoc::SetOpeningPage(int page) { g_openingPage = page; }

bool CTargetDoc::OnOpenDocument(const QString& path)
{
    SetModifiedFlag(false);
    if (!m_targetImage.Load(path)) {
        ShowMessage(OpenFailedMessage(path), QStringLiteral("Error Reading File"));
        return false;
    }
    // A page the file does not have leaves it on its first page.
    if (g_openingPage != 1 && !m_targetImage.SetPage(g_openingPage))
        ShowMessage(QStringLiteral("--page: \"%1\" has %2 page(s).").arg(path).arg(m_targetImage.PageCount()),
                    QStringLiteral("Vantric"));
    return true;
}

bool CTargetDoc::OnSaveDocument(const QString& path)
{
    const QString previousPath = GetPathName();
    if (kind() == TARGET_KIND_DESIGNER) {
        const int status = m_targetImage.Save(path);
        if (status != SAVE_OK) {
            ShowMessage(SaveFailedMessage(status, path), QStringLiteral("Error Saving File"));
            return false;
        }
        SetModifiedFlag(false);
    }
    if (CDocHost* host = GetDocHost()) {
        if (QObject* main = host->mainWindowObject())
            SendMessageToDescendants(main, MSG_TARGET_SAVED, 0, TextParam(&previousPath));
    }
    return true;
}

QString CTargetDoc::ProposedSaveName() const
{
    // Designs are the only documents saved, so the proposal is always a
    // Ringdesigner file, whatever extension the template names.
    QString name = GetTitle();
    static const QString stops = QStringLiteral(" #%;/\\");
    for (int i = 0; i < name.size(); ++i) {
        if (stops.contains(name.at(i))) { name.truncate(i); break; }
    }
    if (GetDocTemplate() && !GetDocTemplate()->GetDocString(CDocTemplate::filterExt).isEmpty())
        name += QStringLiteral(".rgd");
    return name;
}

void CTargetDoc::OnEditRingdesigner()
{
    CTargetDesign* current = m_targetImage.designer();
    const DesignEditor& editor = designEditor();
    if (kind() != TARGET_KIND_DESIGNER || !current || !editor) return;
    CTargetDesign edited;
    edited.CopyFrom(*current);
    if (!editor(edited, GetTitle())) return;
    if (edited.Equals(*current)) return;
    current->CopyFrom(edited);
    UpdateAllViews(nullptr, HINT_DESIGNER_CHANGED);
    SetModifiedFlag(true);
}
