#include "app/TargetApp.h"

#include <QApplication>
#include <QGuiApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QStandardPaths>

#include <algorithm>

#include "app/AboutDlg.h"
#include "app/ChildFrm.h"
#include "app/GuiMessageBox.h"
#include "app/HelpWindow.h"
#include "app/Icons.h"
#include "app/MainFrm.h"
#include "app/PrintSetupDlg.h"
#include "app/ProgramFolder.h"
#include "app/TargetViewFactory.h"
#include "ringdesigner/DesignerCommands.h"
#include "document/FileKinds.h"
#include "document/TargetDoc.h"
#include "platform/CommandIds.h"
#include "platform/Profile.h"
#include "platform/MessageBox.h"
#include "platform/SameFile.h"
#include "platform/WindowMessage.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/View.h"
#include "thumbnails/DriveView.h"
#include "thumbnails/ThumbDoc.h"
#include "thumbnails/ThumbFrame.h"
#include "print/CalibrationDlg.h"
#include "view/ScreenCalibrationDlg.h"
#include "view/TargetView.h"
#include "print/CommandLine.h"

QString TargetDocStrings()
{
    // The template's own kind is the file-kind table's target document.
    const FileKind* native = FindFileKind(QStringLiteral(".vnt"));
    const QString ext = QLatin1String(native->extension);
    return QStringLiteral("\nTarget\nTarget\nTargets (*%1)\n%1\nVantric.Document\nTarget Document").arg(ext);
}

static void initResources() { Q_INIT_RESOURCE(vantric); }

TargetApp::TargetApp(QObject* parent) : CWinApp(parent)
{
    initResources();
    addCommand(Cmd::ID_FILE_NEW, [this] { OnFileNew(); });
    addUpdateHandler(Cmd::ID_FILE_NEW, [](CCmdUI& ui) { ui.Enable(static_cast<bool>(CTargetDoc::designEditor())); });
    addCommand(Cmd::ID_FILE_OPEN, [this] { OnFileOpen(); });
    addCommand(Cmd::ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
    addCommand(Cmd::ID_FILE_PRINT_CALIBRATION, [this] { OnFilePrinterCalibration(); });
    addCommand(Cmd::ID_VIEW_SCREEN_CALIBRATION, [this] { OnViewScreenCalibration(); });
    addCommand(Cmd::ID_WINDOW_CLOSE_ALL, [this] { OnWindowCloseAll(); });
    addCommand(Cmd::ID_HELP_HOWTO, [this] { OnHelpHowTo(); });
    addCommand(Cmd::ID_APP_ABOUT, [this] { OnAppAbout(); });
    addCommand(Cmd::ID_VIEW_THUMBNAIL, [this] { OnViewThumbnail(); });
    addUpdateHandler(Cmd::ID_VIEW_THUMBNAIL, [this](CCmdUI& ui) {
        ui.Enable(m_pThumbTemplate != nullptr);
        ui.SetCheck(IsThumbViewerOpen());
    });

    m_fileDialog = [this](const FileDialogRequest& r) { return RunQtFileDialog(r, GetMainFrame()); };
    m_printSetup = [](PrinterSettings& settings, QWidget* parent) {
        CPrintSetupDlg dialog(QPrinterInfo::availablePrinterNames(), parent);
        dialog.SetSettings(settings);
        if (dialog.DoModal() != IDOK) return false;
        settings = dialog.Settings();
        return true;
    };
}

TargetApp::~TargetApp()
{
    CloseAllDocuments(true);
    CMDIFrameWnd* frame = GetMainFrame();
    SetMainFrame(nullptr);
    delete frame;
}

void TargetApp::InstallMessageBoxes() { InstallGuiMessageHandler(); }

CMainFrame* TargetApp::mainFrame() const { return static_cast<CMainFrame*>(GetMainFrame()); }

QString& TargetApp::currentOpenFolder()
{
    static QString folder;
    return folder;
}

QString& TargetApp::currentSaveFolder()
{
    static QString folder;
    return folder;
}

bool TargetApp::InitInstance(const QStringList& arguments)
{
    // The settings with a recent-file list of six entries.
    LoadStdProfileSettings(6);

    m_pTargetTemplate = new CMultiDocTemplate(
        Cmd::IDR_TARGETTYPE, TargetDocStrings(), [] { return new CTargetDoc; },
        [] { return new CChildFrame; }, [this] { return MakeTargetView(*this); });
    AddDocTemplate(m_pTargetTemplate);
    m_pThumbTemplate = new CMultiDocTemplate(
        Cmd::IDR_THUMBTYPE, QString(), [] { return new CThumbDoc; },
        [this] {
            auto* frame = new CThumbFrame;
            frame->SetPrinterHost(this);
            frame->setWindowIcon(ProgramIcon());
            return frame;
        },
        [] { return new CDriveView; });
    AddDocTemplate(m_pThumbTemplate);
    // The tree opens at the folder the open dialog would start in.
    CDriveView::SetStartFolder([this] { return InitialOpenFolder(programFolder()); });

    auto* frame = new CMainFrame;
    frame->SetPrinterHost(this);
    frame->SetOpenFileHandler([this](const QString& path) {
        OpenTargetFile(path);
        // The file's folder is remembered when it lies in the program folder.
        OfferLastDir(PathParts(path).GetFolder(), programFolder());
    });
    if (!frame->LoadFrame()) {
        delete frame;
        return false;
    }
    SetMainFrame(frame);
    // New Ringdesigner and Edit with Ringdesigner run the designer dialog.
    InstallRingdesigner(frame);

    // A command line without a file opens no window; each named file opens
    // through the framework's open path.
    // "--page N" chooses the page of the PDF targets it names.
    const CommandLine line = ParseCommandLine(arguments);
    for (const CommandLineArgument& option : line.options)
        if (option.name == QLatin1String("--page")) CTargetDoc::SetOpeningPage(std::max(1, option.value.toInt()));
    for (const QString& file : line.operands) {
        if (!OpenDocumentFile(file)) {
            CTargetDoc::SetOpeningPage(1);
            return false;
        }
    }
    CTargetDoc::SetOpeningPage(1);

    frame->show();
    setProgramPath();

    RestoreThumbViewer();
    return true;
}

void TargetApp::RestoreThumbViewer()
{
    short visible = 1;
    ReadProfileShort(QLatin1String(CThumbFrame::SETTINGS_SECTION), QStringLiteral("visible"), 1, &visible);
    if (visible != 0 && !IsThumbViewerOpen()) m_pThumbTemplate->OpenDocumentFile(QString(), true);
}

void TargetApp::setProgramPath()
{
    m_programFolder = FindProgramFolder(QDir::currentPath(), QCoreApplication::applicationDirPath());
    QString folder = m_programFolder.folder;
    while (folder.size() > 1 && (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))) folder.chop(1);
    if (folder == QLatin1String("/")) folder.clear();
    m_programPath.Set(folder + QStringLiteral("/Vantric"));
}

bool TargetApp::DoPromptFileName(QString& fileName, int titleId, unsigned flags, bool openFileDialog,
                                 CDocTemplate* docTemplate)
{
    return PromptForFileName(fileName, titleId, flags, openFileDialog, docTemplate);
}

bool TargetApp::PromptForFileName(QString& fileName, int titleId, unsigned flags, bool openFileDialog,
                                  CDocTemplate*)
{
    FileDialogRequest request;
    request.open = openFileDialog;
    request.title = titleId == Cmd::AFX_IDS_OPENFILE ? QStringLiteral("Open") : QStringLiteral("Save As");
    request.flags = flags;

    if (openFileDialog) {
        request.defaultSuffix = QStringLiteral("vnt");
        request.filters = OpenDialogFilters();
        if (currentOpenFolder().isEmpty()) currentOpenFolder() = InitialOpenFolder(programFolder());
        request.folder = currentOpenFolder();
        const FileDialogResult result = m_fileDialog(request);
        if (!result.accepted) {
            ReportCommonDialogError(result.errorCode);
            return false;
        }
        bool folderTaken = false;
        for (const QString& file : result.files) {
            fileName = file;
            if (!IsOpenDialogExtension(file)) {
                const int answer = ShowMessage(InvalidExtensionMessage(file),
                                               QStringLiteral("ERROR: Invalid File Extension"),
                                               MsgButtons::OkCancel, MsgIcon::Warning);
                if (answer == IDCANCEL) return false;
                continue;
            }
            if (!folderTaken) {
                folderTaken = true;
                currentOpenFolder() = PathParts(file).GetFolder();
                OfferLastDir(currentOpenFolder(), programFolder());
            }
            m_pTargetTemplate->OpenDocumentFile(file, true);
        }
        return true;
    }

    request.defaultSuffix = QStringLiteral("rgd");
    request.filters = {SaveDialogFilter()};
    if (currentSaveFolder().isEmpty())
        currentSaveFolder() = DefaultSaveFolder(m_programFolder,
                                                QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    request.folder = currentSaveFolder();
    request.fileName = fileName;
    for (;;) {
        const FileDialogResult result = m_fileDialog(request);
        if (!result.accepted || result.files.isEmpty()) {
            ReportCommonDialogError(result.errorCode);
            return false;
        }
        const QString chosen = result.files.first();
        const QString forced = ForceRgdExtension(chosen);
        // The dialog asked about the name it was given; the ".rgd" name is
        // another file, so it gets the same question. No shows the dialog
        // again with that name.
        if ((flags & Ofn::OVERWRITEPROMPT) && forced != chosen && QFileInfo::exists(forced)
            && ShowMessage(ReplaceFileQuestion(forced), request.title, MsgButtons::YesNo, MsgIcon::Warning)
                   != IDYES) {
            request.folder = PathParts(forced).GetFolder();
            request.fileName = forced;
            continue;
        }
        fileName = forced;
        currentSaveFolder() = PathParts(fileName).GetFolder();
        return true;
    }
}

bool TargetApp::OpenTargetFile(const QString& path)
{
    for (CDocument* doc : m_pTargetTemplate->documents()) {
        if (!IsSameFile(doc->GetPathName(), path)) continue;
        if (auto* view = dynamic_cast<CView*>(doc->firstView())) {
            if (CMDIChildWnd* frame = GetParentFrame(view)) frame->ActivateFrame();
        }
        return true;
    }
    m_pTargetTemplate->OpenDocumentFile(path, true);
    return true;
}

void TargetApp::OnFileNew() { RunNewRingdesigner(*m_pTargetTemplate); }

void TargetApp::OnFileOpen()
{
    QString name;
    PromptForFileName(name, Cmd::AFX_IDS_OPENFILE, Ofn::HIDEREADONLY | Ofn::FILEMUSTEXIST | Ofn::ALLOWMULTISELECT,
                      true, nullptr);
}

void TargetApp::OnFilePrintSetup()
{
    // The choice is remembered for the next start; the windows re-read
    // their pages in every case.
    PrinterSettings& settings = GetPrinterSettings();
    if (m_printSetup && m_printSetup(settings, GetMainFrame())) settings.save();
    OnPrinterChanged();
}

void TargetApp::OnFilePrinterCalibration()
{
    CCalibrationDlg dialog(GetPrinterSettings(), GetMainFrame());
    dialog.DoModal();
    // Previews and the status bar follow a stored or removed correction.
    OnPrinterChanged();
}

void TargetApp::OnViewScreenCalibration()
{
    QWidget* main = GetMainFrame();
    CScreenCalibrationDlg dialog(main ? main->screen() : QGuiApplication::primaryScreen(), main);
    dialog.DoModal();
    // Stored or reset: every window draws at the screen's new figure.
    if (main)
        for (CTargetView* view : main->findChildren<CTargetView*>()) {
            view->ReadScreenPixelsPerInch();
            view->Refresh(false);
        }
}

PrinterSettings& TargetApp::GetPrinterSettings()
{
    if (!m_printerSettings) m_printerSettings = PrinterSettings::load();
    return *m_printerSettings;
}

void TargetApp::SetPrinterSettings(const PrinterSettings& settings)
{
    if (GetPrinterSettings() == settings) return;
    m_printerSettings = settings;
    settings.save();
    OnPrinterChanged();
}

void TargetApp::OnPrinterChanged()
{
    if (m_pMainWnd) SendMessageToDescendants(m_pMainWnd, MSG_PRINTER_CHANGED, 1, 0);
    if (auto* frame = qobject_cast<CMainFrame*>(GetMainFrame())) frame->UpdateCalibrationStatus();
}

bool TargetApp::IsThumbViewerOpen() const
{
    return m_pThumbTemplate && !m_pThumbTemplate->documents().isEmpty();
}

void TargetApp::OnViewThumbnail()
{
    if (!m_pThumbTemplate) return;
    const bool open = IsThumbViewerOpen();
    if (open) m_pThumbTemplate->CloseAllDocuments(false);
    else m_pThumbTemplate->OpenDocumentFile(QString(), true);
    WriteProfileUnsigned(QLatin1String(CThumbFrame::SETTINGS_SECTION), QStringLiteral("visible"), open ? 0 : 1);
}

void TargetApp::OnWindowCloseAll()
{
    // Modified designs are asked about first, as Close and Exit ask;
    // Cancel keeps every window open.
    if (!SaveAllModified()) return;
    CloseAllDocuments(false);
}

void TargetApp::OnHelpHowTo()
{
    const QString path = m_programPath.GetDrive() + m_programPath.GetDirectory() + QStringLiteral("Vantric.htm");
    if (!m_helpWindow) m_helpWindow = new CHelpWindow(GetMainFrame());
    if (!m_helpWindow->ShowPage(path)) {
        QApplication::beep();
        ShowMessage(QStringLiteral("The help page \"%1\" cannot be read.").arg(QDir::toNativeSeparators(path)),
                    QStringLiteral("Vantric"), MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
}

void TargetApp::OnAppAbout()
{
    CAboutDlg dialog(GetMainFrame(), programFolder());
    dialog.exec();
}
