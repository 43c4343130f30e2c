#include "app/HelpWindow.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QKeySequence>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "app/Icons.h"
#include "platform/ShellOpen.h"

CHelpWindow::CHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("How To Use Vantric"));
    setWindowIcon(ProgramIcon());
    setAttribute(Qt::WA_DeleteOnClose, false);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpText"));
    // Every link is looked at first: web links leave the window.
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &CHelpWindow::onLink);

    auto* bar = new QToolBar(this);
    QAction* back = bar->addAction(QStringLiteral("&Back"), m_browser, &QTextBrowser::backward);
    QAction* forward = bar->addAction(QStringLiteral("&Forward"), m_browser, &QTextBrowser::forward);
    QAction* home = bar->addAction(QStringLiteral("&Home"), m_browser, &QTextBrowser::home);
    back->setShortcut(QKeySequence::Back);
    forward->setShortcut(QKeySequence::Forward);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("Vantric Help") : title);
    });
    home->setObjectName(QStringLiteral("home"));
    auto* close = new QAction(this);
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(bar);
    column->addWidget(m_browser);
    resize(760, 720);
}

bool CHelpWindow::ShowPage(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) return false;
    m_browser->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    return true;
}

bool CHelpWindow::OpensInWindow(const QUrl& link)
{
    if (link.scheme().isEmpty() || link.isLocalFile()) {
        const QString suffix = QFileInfo(link.path()).suffix().toLower();
        // Anchors of the page, and other help pages; any other local file
        // (a PDF, a picture) opens with its own program.
        return link.path().isEmpty() || suffix == QLatin1String("htm") || suffix == QLatin1String("html");
    }
    return false;
}

void CHelpWindow::onLink(const QUrl& link)
{
    const QUrl target = m_browser->source().resolved(link);
    if (OpensInWindow(link)) {
        m_browser->setSource(target);
        return;
    }
    const int result = OpenWithShell(target.isLocalFile() ? target.toLocalFile() : target.toString(), 1);
    if (result <= 32) {
        QApplication::beep();
        ReportLaunchError(result);
    }
}
