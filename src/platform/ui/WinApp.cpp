#include "platform/ui/WinApp.h"

#include <QApplication>
#include <QFileDialog>

#include "platform/CommandIds.h"
#include "platform/WindowMessage.h"
#include "platform/ui/Frame.h"
#include "platform/ui/View.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

CWinApp::CWinApp(QObject* parent) : QObject(parent)
{
    g_app = this;
    SetDocHost(this);
    addCommandRange(Cmd::ID_FILE_MRU_FIRST, Cmd::ID_FILE_MRU_LAST,
                    [this](int id) { OnOpenRecentFile(id - Cmd::ID_FILE_MRU_FIRST); });
    addUpdateRange(Cmd::ID_FILE_MRU_FIRST, Cmd::ID_FILE_MRU_LAST,
                   [this](CCmdUI& ui) { ui.Enable(ui.id() - Cmd::ID_FILE_MRU_FIRST < m_recentFiles.count()); });
}

CWinApp::~CWinApp()
{
    const QList<CDocTemplate*> templates = m_templates;
    m_templates.clear();
    qDeleteAll(templates);
    if (GetDocHost() == this) SetDocHost(nullptr);
    if (g_app == this) g_app = nullptr;
}

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate)
{
    if (!docTemplate || m_templates.contains(docTemplate)) return;
    docTemplate->setParent(nullptr);
    m_templates.append(docTemplate);
}

CDocument* CWinApp::OpenDocumentFile(const QString& path)
{
    CDocTemplate* best = nullptr;
    CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
    CDocument* open = nullptr;
    for (CDocTemplate* t : m_templates) {
        CDocument* match = nullptr;
        const CDocTemplate::Confidence c = t->MatchDocType(path, match);
        if (c > bestMatch) {
            bestMatch = c;
            best = t;
            open = match;
        }
        if (c == CDocTemplate::yesAlreadyOpen) break;
    }
    if (!best) return nullptr;
    if (bestMatch == CDocTemplate::yesAlreadyOpen && open) {
        if (auto* view = dynamic_cast<CView*>(open->firstView())) {
            if (CMDIChildWnd* frame = GetParentFrame(view)) frame->ActivateFrame();
        }
        return open;
    }
    return best->OpenDocumentFile(path, true);
}

bool CWinApp::SaveAllModified()
{
    for (CDocTemplate* t : m_templates) {
        if (!t->SaveAllModified()) return false;
    }
    return true;
}

void CWinApp::CloseAllDocuments(bool endSession)
{
    for (CDocTemplate* t : m_templates) t->CloseAllDocuments(endSession);
}

void CWinApp::LoadStdProfileSettings(int recentFiles)
{
    m_recentFiles = CRecentFileList(recentFiles);
    m_recentFiles.ReadList();
    emit recentFilesChanged();
}

void CWinApp::OnOpenRecentFile(int index)
{
    const QString path = m_recentFiles.at(index);
    if (path.isEmpty()) return;
    if (!OpenDocumentFile(path)) {
        // The list may have moved while the open failed; find the entry again.
        const int at = int(m_recentFiles.files().indexOf(path));
        m_recentFiles.Remove(at);
        emit recentFilesChanged();
    }
}

bool CWinApp::DoPromptFileName(QString& fileName, int titleId, unsigned flags, bool openFileDialog,
                               CDocTemplate* docTemplate)
{
    QWidget* owner = m_pMainWnd;
    const QString title = openFileDialog ? QStringLiteral("Open") : QStringLiteral("Save As");
    const QString chosen = openFileDialog ? QFileDialog::getOpenFileName(owner, title, fileName)
                                          : QFileDialog::getSaveFileName(owner, title, fileName);
    if (chosen.isEmpty()) return false;
    fileName = chosen;
    return true;
}

void CWinApp::AddToRecentFileList(const QString& path)
{
    m_recentFiles.Add(path);
    emit recentFilesChanged();
}

QObject* CWinApp::mainWindowObject() const { return m_pMainWnd; }

void CWinApp::BeginWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void CWinApp::EndWaitCursor() { QApplication::restoreOverrideCursor(); }
