#pragma once

#include <QList>
#include <QObject>

#include "platform/CmdTarget.h"
#include "platform/Document.h"
#include "platform/RecentFileList.h"


class CMDIFrameWnd;
class CMultiDocTemplate;

// The application object: its document templates, its main frame, the
// recent-file list and the framework's application commands (Exit, the
// recent files). One exists at a time; AfxGetApp finds it.
class CWinApp : public QObject, public CCmdTarget, public CDocHost {
    Q_OBJECT
public:
    explicit CWinApp(QObject* parent = nullptr);
    ~CWinApp() override;

    // Takes ownership of the template.
    void AddDocTemplate(CDocTemplate* docTemplate);
    const QList<CDocTemplate*>& docTemplates() const { return m_templates; }

    CMDIFrameWnd* GetMainFrame() const { return m_pMainWnd; }
    void SetMainFrame(CMDIFrameWnd* frame) { m_pMainWnd = frame; }

    // The framework's open path (recent files, dropped files, the command
    // line): the template whose extension matches, else the first; a file
    // that is already open has its window activated. Null on failure.
    CDocument* OpenDocumentFile(const QString& path) override;
    // Asks every modified document to save; false when one was cancelled.
    bool SaveAllModified() override;
    // Closes every document of every template without asking.
    void CloseAllDocuments(bool endSession) override;

    // Reads the recent-file list from the settings (size entries).
    void LoadStdProfileSettings(int recentFiles = 6);
    CRecentFileList& recentFiles() { return m_recentFiles; }
    // Opens recent file number index (0-based); an entry that fails is removed.
    virtual void OnOpenRecentFile(int index);

    // CDocHost
    bool DoPromptFileName(QString& fileName, int titleId, unsigned flags, bool openFileDialog,
                          CDocTemplate* docTemplate) override;
    void AddToRecentFileList(const QString& path) override;
    QObject* mainWindowObject() const override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    CCmdTarget* commandTarget() override { return this; }

signals:
    void recentFilesChanged();

protected:
    QList<CDocTemplate*> m_templates;
    CMDIFrameWnd* m_pMainWnd = nullptr;
    CRecentFileList m_recentFiles;
};

CWinApp* AfxGetApp();
