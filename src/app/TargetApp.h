#pragma once

#include <QPointer>
#include <QStringList>

#include <functional>
#include <optional>

#include "app/FileDialogs.h"
#include "app/HelpWindow.h"
#include "app/ProgramFolder.h"
#include "platform/PathParts.h"
#include "platform/ui/WinApp.h"
#include "print/PrinterSettings.h"
#include "print/JobPrinter.h"

class CMainFrame;
class CMultiDocTemplate;
class CView;
class QWidget;

// The application: start-up, the target document template, the
// application-wide commands and the open and save dialogs. The program
// folder is the working directory the program was started in, or for an
// installed program its data folder (ProgramFolder.h); the help page and
// "Targets/My Targets/" are looked for there.
class TargetApp : public CWinApp, public PrinterHost {
    Q_OBJECT
public:
    explicit TargetApp(QObject* parent = nullptr);
    ~TargetApp() override;

    // Start-up in its order; false ends the program. arguments()[0] is the
    // program.
    bool InitInstance(const QStringList& arguments);
    // Message boxes become modal dialogs owned by the main window (only
    // for an interactive run: without this they are recorded).
    static void InstallMessageBoxes();

    CMultiDocTemplate* targetTemplate() const { return m_pTargetTemplate; }
    CMultiDocTemplate* thumbTemplate() const { return m_pThumbTemplate; }
    CMainFrame* mainFrame() const;
    // Drive and directory of the program path, ending with a separator.
    QString programFolder() const { return m_programPath.GetFolder(); }

    // The file dialog in open or save mode. In open mode it opens the
    // chosen files itself.
    bool PromptForFileName(QString& fileName, int titleId, unsigned flags, bool openFileDialog,
                           CDocTemplate* docTemplate);
    bool DoPromptFileName(QString& fileName, int titleId, unsigned flags, bool openFileDialog,
                          CDocTemplate* docTemplate) override;
    // Activates the window of an open document of the path (case ignored)
    // or opens it as a new one. Always true.
    bool OpenTargetFile(const QString& path);

    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnFilePrinterCalibration();
    // Screen Calibration for the screen the main window is on.
    void OnViewScreenCalibration();
    // The application's printer: what Print Setup chose, remembered in the
    // settings file (the system's default printer until then). Views lay
    // out and print their pages for it.
    PrinterSettings& GetPrinterSettings();
    // Another printer was chosen outside Print Setup (a Print dialog, a
    // preview's page set-up): it becomes the application's printer, is
    // stored as Print Setup's choice is, and OnPrinterChanged tells the
    // windows. Nothing happens when it is the same printer.
    void SetPrinterSettings(const PrinterSettings& settings);
    // The application's printer changed: every window re-reads its page and
    // the status bar its calibration.
    void OnPrinterChanged();
    // The application's printer as the windows it makes reach it.
    PrinterSettings CurrentPrinter() override { return GetPrinterSettings(); }
    void AdoptPrinter(const PrinterSettings& settings) override { SetPrinterSettings(settings); }
    void OnWindowCloseAll();
    // Opens or closes the thumbnail viewer and remembers which for the next start.
    void OnViewThumbnail();
    bool IsThumbViewerOpen() const;
    // The last step of start-up: the viewer opens unless the settings say
    // it was closed.
    void RestoreThumbViewer();
    // Shows the help page in the program's help window.
    void OnHelpHowTo();
    CHelpWindow* helpWindow() const { return m_helpWindow; }
    void OnAppAbout();

    // The process-wide folders of the open and save dialogs.
    static QString& currentOpenFolder();
    static QString& currentSaveFolder();

    // What the commands show; tests put their own in.
    void setFileDialogRunner(FileDialogRunner runner) { m_fileDialog = std::move(runner); }
    // Print Setup edits the application's printer and answers whether OK was chosen.
    void setPrintSetupRunner(std::function<bool(PrinterSettings&, QWidget*)> runner) { m_printSetup = std::move(runner); }

private:
    void setProgramPath();

    CMultiDocTemplate* m_pTargetTemplate = nullptr;
    CMultiDocTemplate* m_pThumbTemplate = nullptr;
    PathParts m_programPath;
    QPointer<CHelpWindow> m_helpWindow;
    ProgramFolder m_programFolder;

    FileDialogRunner m_fileDialog;
    std::function<bool(PrinterSettings&, QWidget*)> m_printSetup;
    std::optional<PrinterSettings> m_printerSettings;
};

// The target template's seven strings, its kind taken from the file-kind table.
QString TargetDocStrings();
