// Print Setup and the application's printer: the dialog offers PDF output
// and its papers on a machine without a print queue, OK stores the choice in
// the settings file, and every target window lays out for it.
#include <QApplication>
#include <QComboBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "app/MainFrm.h"
#include "app/PrintSetupDlg.h"
#include "app/TargetApp.h"
#include "platform/CommandIds.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "print/PageMetrics.h"
#include "print/PrintJob.h"
#include "view/TargetView.h"

#include "PdfTools.h"

class TestPrintSetup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void printSetupWithoutPrinter();
    void dialogChoiceHoldsEverywhere_data();
    void dialogChoiceHoldsEverywhere();

private:
    QTemporaryDir m_config;
    TargetApp* m_app = nullptr;
};

void TestPrintSetup::initTestCase()
{
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    QCoreApplication::setApplicationName(QStringLiteral("Vantric"));
    MessageLog::setEcho(false);
    m_app = new TargetApp;
    QVERIFY(m_app->InitInstance({QStringLiteral("vantric")}));
}

void TestPrintSetup::cleanupTestCase()
{
    m_app->CloseAllDocuments(false);
    delete m_app;
}

void TestPrintSetup::printSetupWithoutPrinter()
{
    WritePrivateProfileString(QStringLiteral("Printer"), QString(), QString(), QLatin1String(PROFILE_FILE));
    m_app->GetPrinterSettings() = PrinterSettings();
    QVERIFY(m_app->OpenTargetFile(QStringLiteral(VANTRIC_DATA_DIR "/Targets/My Targets/Sight-in Grid 8x10.wmf")));
    auto* view = qobject_cast<CTargetView*>(m_app->mainFrame()->GetActiveView());
    QVERIFY(view);
    QCOMPARE(view->StoredMetrics(), LetterFallbackMetrics(PAGE_UNITS_HIMETRIC));

    // Without a print queue: PDF output, its papers, and an OK button.
    bool accept = true;
    m_app->setPrintSetupRunner([&accept](PrinterSettings& settings, QWidget*) {
        CPrintSetupDlg dialog({});
        dialog.SetSettings(settings);
        auto* printer = dialog.findChild<QComboBox*>(QStringLiteral("printer"));
        auto* paper = dialog.findChild<QComboBox*>(QStringLiteral("paper"));
        if (printer->count() != 1 || printer->currentText() != CPrintSetupDlg::PdfOutputText()) return false;
        if (dialog.findChild<QPushButton*>(QStringLiteral("ok"))->text() != QStringLiteral("OK")) return false;
        const int a4 = paper->findText(QStringLiteral("A4"));
        if (a4 < 0) return false;
        paper->setCurrentIndex(a4);
        dialog.findChild<QRadioButton*>(QStringLiteral("landscape"))->setChecked(true);
        if (!accept) return false;
        settings = dialog.Settings();
        return true;
    });
    QVERIFY(m_app->mainFrame()->routeCommand(Cmd::ID_FILE_PRINT_SETUP));
    PrinterSettings a4Landscape;
    a4Landscape.pageSize = QPageSize(QPageSize::A4);
    a4Landscape.orientation = QPageLayout::Landscape;
    QVERIFY(m_app->GetPrinterSettings() == a4Landscape);
    QVERIFY(PrinterSettings::load() == a4Landscape);
    // The window re-read its sheet: A4 across, 297 by 210 mm.
    const PrinterPageMetrics m = view->StoredMetrics();
    QVERIFY2(qAbs(m.sizePaper.width() - 29700) <= 30 && qAbs(m.sizePaper.height() - 21000) <= 30,
             qPrintable(QStringLiteral("%1 x %2").arg(m.sizePaper.width()).arg(m.sizePaper.height())));
    // A PDF is laid out a quarter inch in from every edge.
    QCOMPARE(m.sizeOffset, QSize(635, 635));
    QCOMPARE(m.sizePrintable, m.sizePaper - QSize(1270, 1270));

    // Cancel stores nothing; the windows re-read the printer all the same.
    accept = false;
    m_app->GetPrinterSettings().orientation = QPageLayout::Portrait;
    QVERIFY(m_app->mainFrame()->routeCommand(Cmd::ID_FILE_PRINT_SETUP));
    QVERIFY(PrinterSettings::load() == a4Landscape);
    QVERIFY(view->StoredMetrics().sizePaper.width() < view->StoredMetrics().sizePaper.height());
}

void TestPrintSetup::dialogChoiceHoldsEverywhere_data()
{
    QTest::addColumn<int>("command");
    QTest::newRow("Print dialog") << int(Cmd::ID_FILE_PRINT);
    QTest::newRow("page set-up in the preview") << int(Cmd::ID_FILE_PRINT_PREVIEW);
}

void TestPrintSetup::dialogChoiceHoldsEverywhere()
{
    QFETCH(int, command);
    // Print Setup chose PDF output on A4 across.
    PrinterSettings a4Landscape;
    a4Landscape.outputFile = QDir(m_config.path()).filePath(QStringLiteral("job.pdf"));
    a4Landscape.pageSize = QPageSize(QPageSize::A4);
    a4Landscape.orientation = QPageLayout::Landscape;
    m_app->SetPrinterSettings(a4Landscape);
    QVERIFY(m_app->OpenTargetFile(QStringLiteral(VANTRIC_DATA_DIR "/Targets/My Targets/Sight-in Grid 8x10.wmf")));
    auto* view = qobject_cast<CTargetView*>(m_app->mainFrame()->GetActiveView());
    QVERIFY(view);
    QVERIFY(view->StoredMetrics().sizePaper.width() > view->StoredMetrics().sizePaper.height());

    // The dialog takes Letter upright, with no margins typed in.
    const auto chooseLetter = [](QPrinter& printer) {
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
    };
    PrintDialogRunner old = SetPrintDialogRunner([&](QPrinter& printer, int, QWidget*) {
        chooseLetter(printer);
        return true;
    });
    if (command == Cmd::ID_FILE_PRINT_PREVIEW)
        QTimer::singleShot(100, [&] {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (!preview) return;
            chooseLetter(*preview->printer());
            preview->reject();
        });
    QVERIFY(m_app->mainFrame()->routeCommand(command));

    // Print Setup, the stored settings and the window all hold Letter now ...
    QVERIFY(m_app->GetPrinterSettings().pageSize.isEquivalentTo(QPageSize(QPageSize::Letter)));
    QCOMPARE(m_app->GetPrinterSettings().orientation, QPageLayout::Portrait);
    QVERIFY(PrinterSettings::load() == m_app->GetPrinterSettings());
    const PrinterPageMetrics m = view->StoredMetrics();
    QVERIFY2(qAbs(m.sizePaper.width() - 21590) <= 2 && qAbs(m.sizePaper.height() - 27940) <= 2,
             qPrintable(QStringLiteral("%1 x %2").arg(m.sizePaper.width()).arg(m.sizePaper.height())));
    QCOMPARE(m.sizeOffset, QSize(635, 635));

    // ... and so does the next job, its dialog left as it opens.
    SetPrintDialogRunner([](QPrinter&, int, QWidget*) { return true; });
    QFile::remove(a4Landscape.outputFile);
    QVERIFY(m_app->mainFrame()->routeCommand(Cmd::ID_FILE_PRINT));
    SetPrintDialogRunner(old);
    QVERIFY(QFile::exists(a4Landscape.outputFile));
    if (HavePoppler()) QCOMPARE(PdfPageSizePoints(a4Landscape.outputFile).toSize(), QSize(612, 792));
}

QTEST_MAIN(TestPrintSetup)
#include "tst_printsetup.moc"
