#pragma once

#include "platform/Document.h"

// The thumbnail viewer's document: no data of its own; its title is the
// folder the grid shows. It can be neither saved nor saved under a name.
class CThumbDoc : public CDocument {
    Q_OBJECT
public:
    CThumbDoc();
    bool OnNewDocument() override;
    // Lets the viewer's frames save their layout and stop their workers
    // before the windows go.
    void OnCloseDocument() override;
};
