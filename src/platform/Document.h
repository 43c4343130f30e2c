#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "platform/CmdTarget.h"

class CDocument;
class CDocTemplate;

// What a document knows of a view: widget-free, so documents live in
// libraries without a GUI. CView (platform/ui) implements it.
class CDocumentView {
public:
    virtual ~CDocumentView() = default;
    virtual CDocument* GetDocument() const = 0;
    // hint and hintObject are whatever the sender passes to UpdateAllViews.
    virtual void OnUpdate(CDocumentView* sender, qintptr hint, QObject* hintObject) = 0;
    // Called by the document when it goes away before the view does.
    virtual void DetachDocument() = 0;
};

// The application services a document needs: the file dialog, the recent
// file list, the main window (to send window messages to) and a wait cursor;
// and those the main window needs.
// The application installs itself; without one documents save only to
// given paths and send no messages.
class CDocHost {
public:
    virtual ~CDocHost() = default;
    // The file dialog: name in and out; titleId a framework string id
    // (Cmd::AFX_IDS_OPENFILE, AFX_IDS_SAVEFILE); flags Ofn::...
    virtual bool DoPromptFileName(QString& fileName, int titleId, unsigned flags, bool openFileDialog,
                                  CDocTemplate* docTemplate) = 0;
    virtual void AddToRecentFileList(const QString& path) = 0;
    virtual QObject* mainWindowObject() const = 0;
    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}

    // What the main window asks of the application: the last target of a
    // command, opening a dropped file, and before it closes saving every
    // modified document (false when the user cancelled) and closing them all.
    virtual CCmdTarget* commandTarget() { return nullptr; }
    virtual CDocument* OpenDocumentFile(const QString& path) { return nullptr; }
    virtual bool SaveAllModified() { return true; }
    virtual void CloseAllDocuments(bool endSession) {}
};

CDocHost* GetDocHost();
void SetDocHost(CDocHost* host);

// A document: title, path name, modified flag and its views. The framework
// part of open, save and close lives here; kinds of documents override the
// virtuals.
class CDocument : public QObject, public CCmdTarget {
    Q_OBJECT
public:
    CDocument();
    ~CDocument() override;

    const QString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const QString& title);
    const QString& GetPathName() const { return m_strPathName; }
    // Sets the path; the title becomes the file name; the path enters the
    // recent file list when asked.
    virtual void SetPathName(const QString& path, bool addToRecentFiles = true);

    virtual bool IsModified() const { return m_bModified; }
    virtual void SetModifiedFlag(bool modified = true);

    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    const QList<CDocumentView*>& views() const { return m_views; }
    CDocumentView* firstView() const { return m_views.isEmpty() ? nullptr : m_views.first(); }
    void AddView(CDocumentView* view);
    void RemoveView(CDocumentView* view);
    void UpdateAllViews(CDocumentView* sender, qintptr hint = 0, QObject* hintObject = nullptr);

    // A document closes itself when its last view goes (the default).
    bool autoDelete() const { return m_bAutoDelete; }
    void setAutoDelete(bool on) { m_bAutoDelete = on; }

    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const QString& path);
    virtual bool OnSaveDocument(const QString& path);
    // Closes every window of the document and destroys it.
    virtual void OnCloseDocument();

    // Chooses the name (the dialog when path is empty) and saves; with
    // replace the document takes the name.
    virtual bool DoSave(const QString& path, bool replace = true);
    // The Save command: the current path when it names an existing,
    // writable file, else through the dialog.
    virtual bool DoFileSave();
    // Asks "Save changes to %1?" for a modified document; false when the
    // user cancels or the save fails.
    virtual bool SaveModified();

    // Framework commands 57602 Close, 57603 Save and 57604 Save As.
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();

signals:
    void titleChanged(const QString& title);
    void modifiedChanged(bool modified);

protected:
    virtual void OnChangedViewList();
    // The name the save dialog proposes for a document never saved: the
    // title cut before the first of " #%;/\\", with the template's extension.
    virtual QString ProposedSaveName() const;

private:
    friend class CDocTemplate;
    QString m_strTitle;
    QString m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    QList<CDocumentView*> m_views;
    bool m_bModified = false;
    bool m_bAutoDelete = true;
    bool m_bClosing = false;
};

// The widget-free half of a document template: its resource id, its seven
// document strings and its documents. CMultiDocTemplate (platform/ui) adds
// frames and views.
class CDocTemplate : public QObject {
    Q_OBJECT
public:
    enum DocStringIndex {
        windowTitle = 0,
        docName = 1,
        fileNewName = 2,
        filterName = 3,
        filterExt = 4,
        regFileTypeId = 5,
        regFileTypeName = 6,
    };
    enum Confidence {
        noAttempt = 0,
        maybeAttemptForeign,
        maybeAttemptNative,
        yesAttemptForeign,
        yesAttemptNative,
        yesAlreadyOpen,
    };

    // docStrings: the seven fields separated by newlines.
    CDocTemplate(int resourceId, const QString& docStrings, QObject* parent = nullptr);
    ~CDocTemplate() override;

    int resourceId() const { return m_nIDResource; }
    QString GetDocString(DocStringIndex index) const;

    const QList<CDocument*>& documents() const { return m_docList; }
    void AddDocument(CDocument* doc);
    void RemoveDocument(CDocument* doc);

    // How well a path suits this template; an open document of that path
    // (case ignored) comes back in match.
    virtual Confidence MatchDocType(const QString& path, CDocument*& match) const;

    // Opens path as a new document with its window (an empty path makes a
    // new, untitled document). Null when the document fails to open.
    virtual CDocument* OpenDocumentFile(const QString& path, bool makeVisible = true) = 0;
    // Closes every document without asking.
    virtual void CloseAllDocuments(bool endSession);
    // Asks each modified document to save; false when one is cancelled.
    virtual bool SaveAllModified();

    // Destroys the windows of a document that is closing.
    virtual void DestroyDocumentWindows(CDocument* doc) = 0;

    // Gives a new document its default title: the document name and a
    // running number (Target1, Target2, ...).
    virtual void SetDefaultTitle(CDocument* doc);

protected:
    int m_nIDResource;
    QStringList m_docStrings;
    QList<CDocument*> m_docList;
    int m_nUntitledCount = 0;
};
