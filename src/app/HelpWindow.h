#pragma once

#include <QWidget>

class QTextBrowser;
class QUrl;

// The program's own help window: the local help page in a QTextBrowser with
// Back, Forward and Home. Pages and anchors of the help stay in the window;
// only web and mail links go to the desktop's handler, whose failures are
// reported with the launch messages. One window serves the program; Help
// raises it again.
class CHelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    // Shows the page; false (and nothing shown) when the file cannot be read.
    bool ShowPage(const QString& path);
    QTextBrowser* Browser() const { return m_browser; }

    // Where a link goes: true for the window itself (a help page or an
    // anchor), false for the desktop's handler.
    static bool OpensInWindow(const QUrl& link);

private:
    void onLink(const QUrl& link);

    QTextBrowser* m_browser = nullptr;
};
