#pragma once

#include <QDialog>

class HyperlinkButton;

// The About box: the program's icon, name, version and a link.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    // The link opens the help page of the program folder (by default the
    // working directory).
    explicit CAboutDlg(QWidget* parent = nullptr, const QString& programFolder = QString());

    HyperlinkButton* link() const { return m_link; }

private:
    HyperlinkButton* m_link;
};
