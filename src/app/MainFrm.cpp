#include "app/MainFrm.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "app/CommandText.h"
#include "app/Icons.h"
#include "platform/CommandIds.h"
#include "platform/ui/WinApp.h"
#include "platform/WindowMessage.h"
#include "print/JobPrinter.h"
#include "print/PrinterCalibration.h"
#include "print/PrinterSettings.h"
#include "platform/ui/WindowPlacement.h"
#include "view/TargetStatus.h"
#include "view/TargetView.h"

using namespace Cmd;

namespace {

// Every File menu starts with New and Open and ends with the recent files
// (-1) and Exit.
QList<MenuItem> fileMenu(const QList<MenuItem>& middle)
{
    return QList<MenuItem>{{ID_FILE_NEW, QStringLiteral("&New Ringdesigner...\tCtrl+N")},
                           {ID_FILE_OPEN, QStringLiteral("&Open...\tCtrl+O")}}
        + middle + QList<MenuItem>{{0, {}}, {-1, {}}, {0, {}}, {ID_APP_EXIT, QStringLiteral("E&xit")}};
}

// Every View menu starts with the thumbnail viewer and ends with the bars.
MenuPopup viewMenu(const QList<MenuItem>& middle)
{
    return {QStringLiteral("&View"),
            QList<MenuItem>{{ID_VIEW_THUMBNAIL, QStringLiteral("Thumbnail &Viewer")}, {0, {}}} + middle
                + QList<MenuItem>{{ID_VIEW_TOOLBAR, QStringLiteral("&Toolbar")},
                                  {ID_VIEW_STATUS_BAR, QStringLiteral("&Status Bar")}}};
}

MenuPopup windowMenu()
{
    return {QStringLiteral("&Window"),
            {{ID_WINDOW_CASCADE, QStringLiteral("&Cascade")},
             {ID_WINDOW_TILE_HORZ, QStringLiteral("&Tile")},
             {ID_WINDOW_ARRANGE, QStringLiteral("&Arrange Icons")},
             {0, {}},
             {ID_WINDOW_CLOSE_ALL, QStringLiteral("Close Al&l")}}};
}

MenuPopup helpMenu()
{
    return {QStringLiteral("&Help"),
            {{ID_HELP_HOWTO, QStringLiteral("&How To Use Vantric...")},
             {0, {}},
             {ID_APP_ABOUT, QStringLiteral("&About Vantric...")}}};
}

}  // namespace

QList<MenuPopup> MenuResource(int resourceId)
{
    if (resourceId == IDR_THUMBTYPE) {
        return {
            {QStringLiteral("&File"),
             fileMenu({{ID_FILE_CLOSE, QStringLiteral("&Close")},
                       {0, {}},
                       {ID_FILE_PRINT, QStringLiteral("&Print...\tCtrl+P")},
                       {ID_FILE_PRINT_PREVIEW, QStringLiteral("Print Pre&view")},
                       {ID_FILE_PRINT_SETUP, QStringLiteral("P&rint Setup...")}})},
            viewMenu({}),
            windowMenu(),
            helpMenu(),
        };
    }
    if (resourceId == IDR_TARGETTYPE) {
        return {
            {QStringLiteral("&File"),
             fileMenu({{ID_FILE_CLOSE, QStringLiteral("&Close")},
                       {ID_FILE_SAVE, QStringLiteral("&Save\tCtrl+S")},
                       {ID_FILE_SAVE_AS, QStringLiteral("Save &As...")},
                       {0, {}},
                       {ID_FILE_PRINT, QStringLiteral("&Print...\tCtrl+P")},
                       {ID_FILE_PRINT_SETUP, QStringLiteral("P&rint Setup...")},
                       {ID_FILE_PRINT_CALIBRATION, QStringLiteral("Printer Ca&libration...")}})},
            {QStringLiteral("&Edit"), {{ID_EDIT_RINGDESIGNER, QStringLiteral("Edit with &Ringdesigner")}}},
            viewMenu({{ID_VIEW_ZOOM_25, QStringLiteral("&25% of Original Size")},
                      {ID_VIEW_ZOOM_50, QStringLiteral("&50% of Original Size")},
                      {ID_VIEW_ZOOM_75, QStringLiteral("&75% of Original Size")},
                      {ID_VIEW_ZOOM_100, QStringLiteral("&100% (Full Size)")},
                      {ID_VIEW_FIT_TO_WINDOW, QStringLiteral("&Fit Image to View")},
                      {ID_VIEW_SCREEN_CALIBRATION, QStringLiteral("Scr&een Calibration...")},
                      {0, {}},
                      {ID_VIEW_TILE_PAGES, QStringLiteral("Tile &Pages to Target")},
                      {ID_VIEW_TILE_TARGET, QStringLiteral("Tile T&arget to Page...")},
                      {ID_VIEW_POSTER_OPTIONS, QStringLiteral("P&oster Options...")},
                      {0, {}},
                      {ID_VIEW_SCALE_TO_PAGE, QStringLiteral("S&cale Target to Page")},
                      {ID_VIEW_SCALE_DISTANCE, QStringLiteral("Scale Target for &Distance...")},
                      {ID_VIEW_SCALE_CHECK, QStringLiteral("P&rint Scale Check")},
                      {ID_VIEW_DOCUMENT_PAGE, QStringLiteral("Pa&ge of the Document...")},
                      {0, {}}}),
            windowMenu(),
            helpMenu(),
        };
    }
    return {
        {QStringLiteral("&File"),
         fileMenu({{0, {}},
                   {ID_FILE_PRINT_SETUP, QStringLiteral("P&rint Setup...")},
                   {ID_FILE_PRINT_CALIBRATION, QStringLiteral("Printer Ca&libration...")}})},
        viewMenu({}),
        helpMenu(),
    };
}

QList<int> ToolbarResource()
{
    return {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_FILE_PRINT, 0, ID_VIEW_THUMBNAIL, 0,
            ID_EDIT_RINGDESIGNER, 0, ID_VIEW_ZOOM_100, ID_VIEW_FIT_TO_WINDOW, 0, ID_VIEW_TILE_PAGES,
            ID_VIEW_TILE_TARGET, 0, ID_VIEW_SCALE_TO_PAGE, ID_VIEW_SCALE_DISTANCE, 0, ID_HELP_HOWTO};
}

CMainFrame::CMainFrame(QWidget* parent) : CMDIFrameWnd(parent)
{
    setWindowTitle(QStringLiteral("Vantric"));
    setWindowIcon(ProgramIcon());
}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::LoadFrame()
{
    setupActions();
    createStatusBar();
    createToolBar();
    ShowMenuFor(IDR_MAINFRAME);
    resize(900, 650);
    if (auto* app = AfxGetApp()) {
        connect(app, &CWinApp::recentFilesChanged, this, [this] { ShowMenuFor(m_shownMenu); });
    }
    return true;
}

void CMainFrame::setupActions()
{
    // Texts come with the menus; here the parts every menu shares.
    const QList<QPair<int, QKeySequence>> shortcuts = {
        {ID_FILE_NEW, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {ID_FILE_OPEN, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {ID_FILE_PRINT, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {ID_FILE_SAVE, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {ID_NEXT_PANE, QKeySequence(Qt::Key_F6)},
        {ID_PREV_PANE, QKeySequence(Qt::SHIFT | Qt::Key_F6)},
        {ID_EDIT_COPY, QKeySequence(Qt::CTRL | Qt::Key_C)},
        {ID_EDIT_CUT, QKeySequence(Qt::CTRL | Qt::Key_X)},
        {ID_EDIT_PASTE, QKeySequence(Qt::CTRL | Qt::Key_V)},
        {ID_EDIT_UNDO, QKeySequence(Qt::CTRL | Qt::Key_Z)},
    };
    for (const auto& [id, key] : shortcuts) {
        QAction* a = commandAction(id);
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);  // the accelerators work whatever menu is shown
    }
    // The framework's second spellings of the editing keys.
    commandAction(ID_EDIT_COPY)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    commandAction(ID_EDIT_CUT)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    commandAction(ID_EDIT_PASTE)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    commandAction(ID_EDIT_UNDO)->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});

    for (int id : ToolbarResource()) {
        if (id == 0) continue;
        QAction* a = commandAction(id);
        a->setIcon(CommandIcon(id));
        a->setIconVisibleInMenu(false);
    }
    addCommand(ID_VIEW_TOOLBAR, [this] { m_wndToolBar->setVisible(!m_wndToolBar->isVisible()); });
    addUpdateHandler(ID_VIEW_TOOLBAR, [this](CCmdUI& ui) { ui.SetCheck(m_wndToolBar && m_wndToolBar->isVisible()); });
    addCommand(ID_VIEW_STATUS_BAR, [this] { m_wndStatusBar->setVisible(!m_wndStatusBar->isVisible()); });
    addUpdateHandler(ID_VIEW_STATUS_BAR,
                     [this](CCmdUI& ui) { ui.SetCheck(m_wndStatusBar && m_wndStatusBar->isVisible()); });
    commandAction(ID_VIEW_TOOLBAR)->setCheckable(true);
    commandAction(ID_VIEW_STATUS_BAR)->setCheckable(true);
}

void CMainFrame::createStatusBar()
{
    m_wndStatusBar = statusBar();
    m_wndStatusBar->setObjectName(QStringLiteral("StatusBar59393"));
    // The indicators of Caps Lock, Num Lock and Scroll Lock.
    for (const char* text : {"CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel(QLatin1String(text));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 10);
        label->setEnabled(false);
        m_wndStatusBar->addPermanentWidget(label);
        m_indicators.append(label);
    }
    // Whether the application's printer prints with a correction.
    m_calibrationLabel = new QLabel;
    m_calibrationLabel->setObjectName(QStringLiteral("calibration"));
    m_calibrationLabel->setVisible(false);
    m_wndStatusBar->insertPermanentWidget(0, m_calibrationLabel);
    m_targetLabel = new QLabel;
    m_targetLabel->setObjectName(QStringLiteral("targetSize"));
    m_targetLabel->setVisible(false);
    m_wndStatusBar->insertPermanentWidget(0, m_targetLabel);
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &CMainFrame::UpdateTargetStatus);
    connect(m_wndStatusBar, &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (text.isEmpty()) m_wndStatusBar->showMessage(IdleMessage());
    });
    m_wndStatusBar->showMessage(IdleMessage());
}

void CMainFrame::createToolBar()
{
    m_wndToolBar = new QToolBar(QStringLiteral("Standard"), this);
    m_wndToolBar->setObjectName(QStringLiteral("ToolBar59392"));
    m_wndToolBar->setIconSize(QSize(16, 16));
    m_wndToolBar->setMovable(true);
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
    QList<QAction*> buttons;
    for (int id : ToolbarResource()) {
        if (id == 0) {
            m_wndToolBar->addSeparator();
            continue;
        }
        QAction* a = commandAction(id);
        m_wndToolBar->addAction(a);
        buttons.append(a);
    }
    m_mruPopup = new QMenu(this);
    connect(m_mruPopup, &QMenu::aboutToShow, this, [this] {
        fillRecentFiles(m_mruPopup);
        updateCommandUI(m_mruPopup->actions());
    });
    if (QToolButton* open = openButton()) {
        open->setMenu(m_mruPopup);
        open->setPopupMode(QToolButton::MenuButtonPopup);
    }
    setIdleUpdatedActions(buttons);
}

QToolButton* CMainFrame::openButton() const
{
    if (!m_wndToolBar) return nullptr;
    return qobject_cast<QToolButton*>(m_wndToolBar->widgetForAction(const_cast<CMainFrame*>(this)->commandAction(ID_FILE_OPEN)));
}

void CMainFrame::fillRecentFiles(QMenu* menu)
{
    menu->clear();
    CWinApp* app = AfxGetApp();
    const int count = app ? app->recentFiles().count() : 0;
    if (count == 0) {
        QAction* a = commandAction(ID_FILE_MRU_FILE1);
        a->setText(QStringLiteral("Recent File"));
        a->setStatusTip(CommandPrompt(ID_FILE_MRU_FILE1));
        menu->addAction(a);
        return;
    }
    for (int i = 0; i < count; ++i) {
        QAction* a = commandAction(ID_FILE_MRU_FIRST + i);
        QString name = CRecentFileList::DisplayName(app->recentFiles().at(i));
        name.replace(QLatin1Char('&'), QLatin1String("&&"));
        a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        a->setStatusTip(CommandPrompt(ID_FILE_MRU_FIRST + i));
        menu->addAction(a);
    }
}

void CMainFrame::UpdateCalibrationStatus()
{
    if (!m_calibrationLabel) return;
    const QString text = m_printerHost && m_shownMenu == IDR_TARGETTYPE
                             ? CalibrationStatusText(m_printerHost->CurrentPrinter())
                             : QString();
    m_calibrationLabel->setText(text);
    m_calibrationLabel->setVisible(!text.isEmpty());
}

void CMainFrame::UpdateTargetStatus()
{
    if (!m_targetLabel) return;
    auto* view = dynamic_cast<CTargetView*>(GetActiveView());
    const QString text = view ? TargetStatusText(*view) : QString();
    if (text == m_targetLabel->text() && m_targetLabel->isVisibleTo(m_wndStatusBar) == !text.isEmpty()) return;
    m_targetLabel->setText(text);
    m_targetLabel->setVisible(!text.isEmpty());
}

void CMainFrame::ShowMenuFor(int resourceId)
{
    m_shownMenu = resourceId;
    UpdateCalibrationStatus();
    QMenuBar* bar = menuBar();
    bar->clear();
    for (const MenuPopup& popup : MenuResource(resourceId)) {
        QMenu* menu = bar->addMenu(popup.title);
        watchMenu(menu);
        if (popup.title == QLatin1String("&Window")) watchWindowMenu(menu);
        for (const MenuItem& item : popup.items) {
            if (item.id == 0) {
                menu->addSeparator();
            } else if (item.id == -1) {
                QMenu recent;
                fillRecentFiles(&recent);
                menu->addActions(recent.actions());
            } else {
                QAction* a = commandAction(item.id);
                a->setText(item.text);
                a->setStatusTip(CommandPrompt(item.id));
                a->setToolTip(CommandTooltip(item.id));
                menu->addAction(a);
            }
        }
    }
    // The toolbar keeps its tooltips whichever menu is shown.
    for (int id : ToolbarResource()) {
        if (id == 0) continue;
        QAction* a = commandAction(id);
        a->setToolTip(CommandTooltip(id));
        a->setStatusTip(CommandPrompt(id));
        if (a->text().isEmpty()) a->setText(CommandTooltip(id));
    }
}

void CMainFrame::setVisible(bool visible)
{
    // The saved placement is applied once, just before the window first shows.
    if (visible && !m_bPlacementApplied && !isVisible()) {
        m_bPlacementApplied = true;
        RestoreWindowPlacement(this, QLatin1String(PLACEMENT_SECTION), true);
    }
    CMDIFrameWnd::setVisible(visible);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    CMDIFrameWnd::closeEvent(event);
    if (event->isAccepted()) SaveWindowPlacement(this, QLatin1String(PLACEMENT_SECTION));
}

bool CMainFrame::OnWindowMessage(WindowMessageEvent& message)
{
    if (message.message() != MSG_OPEN_FILE_REQUEST) return false;
    if (message.wParam() == 0) {
        if (m_openFile) m_openFile(message.lParamText());
    } else {
        SendMessageToDescendants(this, MSG_SHOW_FOLDER, 0, message.lParam());
    }
    message.setResult(0);
    return true;
}
