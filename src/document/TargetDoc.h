#pragma once

#include <functional>

#include "document/TargetImage.h"
#include "platform/Document.h"

class CTargetDesign;

// The document of one target window: the target, loaded from a file of one
// of the five kinds or made new in the Ringdesigner. Only designs become
// modified and only designs are saved.
class CTargetDoc : public CDocument {
    Q_OBJECT
public:
    CTargetDoc();
    ~CTargetDoc() override;

    TargetImage& GetTargetImage() { return m_targetImage; }
    const TargetImage& GetTargetImage() const { return m_targetImage; }
    int kind() const { return m_targetImage.kind(); }

    bool OnOpenDocument(const QString& path) override;
    // The page of a PDF target that the documents opened from now on show
    // ("--page N" on the command line); 1 is the first.
    static void SetOpeningPage(int page);
    bool OnSaveDocument(const QString& path) override;

    // Edit with Ringdesigner: the design goes to the editor; a changed
    // result replaces it, updates the views and marks the document modified.
    void OnEditRingdesigner();

    // The Ringdesigner dialog as the document sees it: it edits the design
    // in place (the title shown with it) and answers whether the user
    // pressed OK. The dialog installs it; without one the command is greyed.
    using DesignEditor = std::function<bool(CTargetDesign& design, const QString& title)>;
    static void SetDesignEditor(DesignEditor editor);
    static const DesignEditor& designEditor();

    // The messages of the failures.
    static QString OpenFailedMessage(const QString& path);
    static QString SaveFailedMessage(int status, const QString& path);

protected:
    QString ProposedSaveName() const override;

private:
    TargetImage m_targetImage;
};
