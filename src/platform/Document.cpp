#include "platform/Document.h"

#include <QFile>
#include <QFileInfo>

#include "platform/CommandIds.h"
#include "platform/MessageBox.h"
#include "platform/SameFile.h"

namespace {
CDocHost* g_docHost = nullptr;
}

CDocHost* GetDocHost() { return g_docHost; }
void SetDocHost(CDocHost* host) { g_docHost = host; }

// ---------------------------------------------------------------- CDocument

CDocument::CDocument()
{
    addCommand(Cmd::ID_FILE_CLOSE, [this] { OnFileClose(); });
    addCommand(Cmd::ID_FILE_SAVE, [this] { OnFileSave(); });
    addCommand(Cmd::ID_FILE_SAVE_AS, [this] { OnFileSaveAs(); });
}

CDocument::~CDocument()
{
    m_bAutoDelete = false;
    const QList<CDocumentView*> views = m_views;
    m_views.clear();
    for (CDocumentView* view : views) view->DetachDocument();
    if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const QString& title)
{
    if (m_strTitle == title) return;
    m_strTitle = title;
    emit titleChanged(title);
}

void CDocument::SetPathName(const QString& path, bool addToRecentFiles)
{
    m_strPathName = QFileInfo(path).absoluteFilePath();
    SetTitle(QFileInfo(path).fileName());
    if (addToRecentFiles && GetDocHost()) GetDocHost()->AddToRecentFileList(m_strPathName);
}

void CDocument::SetModifiedFlag(bool modified)
{
    if (m_bModified == modified) return;
    m_bModified = modified;
    emit modifiedChanged(modified);
}

void CDocument::AddView(CDocumentView* view)
{
    if (!view || m_views.contains(view)) return;
    m_views.append(view);
    OnChangedViewList();
}

void CDocument::RemoveView(CDocumentView* view)
{
    if (!m_views.removeOne(view)) return;
    OnChangedViewList();
}

void CDocument::OnChangedViewList()
{
    if (m_views.isEmpty() && m_bAutoDelete && !m_bClosing) OnCloseDocument();
}

void CDocument::UpdateAllViews(CDocumentView* sender, qintptr hint, QObject* hintObject)
{
    const QList<CDocumentView*> views = m_views;
    for (CDocumentView* view : views) {
        if (view != sender) view->OnUpdate(sender, hint, hintObject);
    }
}

bool CDocument::OnNewDocument()
{
    m_strPathName.clear();
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnOpenDocument(const QString& path)
{
    SetModifiedFlag(false);
    return QFileInfo::exists(path);
}

bool CDocument::OnSaveDocument(const QString& path)
{
    SetModifiedFlag(false);
    return true;
}

void CDocument::OnCloseDocument()
{
    if (m_bClosing) return;
    m_bClosing = true;
    const bool autoDelete = m_bAutoDelete;
    m_bAutoDelete = false;
    if (m_pDocTemplate) m_pDocTemplate->DestroyDocumentWindows(this);
    const QList<CDocumentView*> views = m_views;
    m_views.clear();
    for (CDocumentView* view : views) view->DetachDocument();
    if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
    if (autoDelete) delete this;
}

QString CDocument::ProposedSaveName() const
{
    QString name = m_strTitle;
    static const QString stops = QStringLiteral(" #%;/\\");
    for (int i = 0; i < name.size(); ++i) {
        if (stops.contains(name.at(i))) { name.truncate(i); break; }
    }
    if (m_pDocTemplate) {
        QString ext = m_pDocTemplate->GetDocString(CDocTemplate::filterExt);
        ext = ext.section(QLatin1Char(';'), 0, 0);
        if (!ext.isEmpty()) name += ext;
    }
    return name;
}

bool CDocument::DoSave(const QString& path, bool replace)
{
    QString name = path;
    bool fromDialog = false;
    if (name.isEmpty()) {
        name = m_strPathName;
        if (replace && name.isEmpty()) name = ProposedSaveName();
        CDocHost* host = GetDocHost();
        if (!host
            || !host->DoPromptFileName(name, Cmd::AFX_IDS_SAVEFILE,
                                       Ofn::HIDEREADONLY | Ofn::OVERWRITEPROMPT | Ofn::PATHMUSTEXIST, false,
                                       m_pDocTemplate))
            return false;
        fromDialog = true;
    }

    // Only a file this save brought into being is removed after a failure;
    // a file that was there before stays as it was.
    const bool existed = QFileInfo::exists(name);
    if (CDocHost* host = GetDocHost()) host->BeginWaitCursor();
    const bool saved = OnSaveDocument(name);
    if (CDocHost* host = GetDocHost()) host->EndWaitCursor();
    if (!saved) {
        if (fromDialog && !existed) QFile::remove(name);
        return false;
    }
    if (replace) SetPathName(name);
    return true;
}

bool CDocument::DoFileSave()
{
    const QFileInfo info(m_strPathName);
    if (m_strPathName.isEmpty() || !info.exists() || !info.isWritable()) return DoSave(QString());
    return DoSave(m_strPathName);
}

bool CDocument::SaveModified()
{
    if (!IsModified()) return true;
    const QString name = m_strPathName.isEmpty() ? m_strTitle : m_strPathName;
    const int answer = ShowMessage(QStringLiteral("Save changes to %1?").arg(name), QStringLiteral("Vantric"),
                                   MsgButtons::YesNoCancel, MsgIcon::Warning);
    if (answer == IDCANCEL) return false;
    if (answer == IDYES) return DoFileSave();
    return true;
}

void CDocument::OnFileClose()
{
    if (!SaveModified()) return;
    OnCloseDocument();
}

void CDocument::OnFileSave() { DoFileSave(); }

void CDocument::OnFileSaveAs() { DoSave(QString()); }

// ------------------------------------------------------------- CDocTemplate

CDocTemplate::CDocTemplate(int resourceId, const QString& docStrings, QObject* parent)
    : QObject(parent), m_nIDResource(resourceId), m_docStrings(docStrings.split(QLatin1Char('\n')))
{
}

CDocTemplate::~CDocTemplate()
{
    const QList<CDocument*> docs = m_docList;
    for (CDocument* doc : docs) {
        doc->m_pDocTemplate = nullptr;
        delete doc;
    }
}

QString CDocTemplate::GetDocString(DocStringIndex index) const
{
    return index < m_docStrings.size() ? m_docStrings.at(index) : QString();
}

void CDocTemplate::AddDocument(CDocument* doc)
{
    if (!doc || m_docList.contains(doc)) return;
    m_docList.append(doc);
    doc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* doc)
{
    if (!m_docList.removeOne(doc)) return;
    doc->m_pDocTemplate = nullptr;
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(const QString& path, CDocument*& match) const
{
    match = nullptr;
    for (CDocument* doc : m_docList) {
        if (IsSameFile(doc->GetPathName(), path)) {
            match = doc;
            return yesAlreadyOpen;
        }
    }
    const QString exts = GetDocString(filterExt);
    if (!exts.isEmpty()) {
        for (const QString& ext : exts.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (path.endsWith(ext, Qt::CaseInsensitive)) return yesAttemptNative;
        }
    }
    return yesAttemptForeign;
}

void CDocTemplate::CloseAllDocuments(bool endSession)
{
    const QList<CDocument*> docs = m_docList;
    for (CDocument* doc : docs) {
        if (m_docList.contains(doc)) doc->OnCloseDocument();
    }
}

bool CDocTemplate::SaveAllModified()
{
    const QList<CDocument*> docs = m_docList;
    for (CDocument* doc : docs) {
        if (m_docList.contains(doc) && !doc->SaveModified()) return false;
    }
    return true;
}

void CDocTemplate::SetDefaultTitle(CDocument* doc)
{
    doc->SetTitle(GetDocString(docName) + QString::number(++m_nUntitledCount));
}
