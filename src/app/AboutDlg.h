#pragma once

#include <QDialog>

class HyperlinkButton;

// The About box: the program's icon, name, version and a link.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    HyperlinkButton* link() const { return m_link; }

private:
    HyperlinkButton* m_link;
};
