// The target document: opening the five kinds, the messages of files that
// do not open, saving designs (with what a failed save leaves behind), the
// enabling of the design-only commands and editing a design.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <csignal>

#include "designer/TargetDesign.h"
#include "document/TargetDoc.h"
#include "platform/CommandIds.h"
#include "platform/MessageBox.h"
#include "platform/WindowMessage.h"
#include "CorpusPath.h"

namespace {

const QString SHIPPED = QStringLiteral(VANTRIC_DATA_DIR "/Targets/My Targets/");
const QString CORPUS = corpusPath();

QByteArray bytesOf(const CTargetDesign& design)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    design.Write(buffer);
    return buffer.data();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A template only for the document strings (the save name's extension).
class StringsTemplate : public CDocTemplate {
public:
    StringsTemplate() : CDocTemplate(129, QStringLiteral("\nTarget\nTarget\nTargets (*.vnt)\n.vnt\nVantric.Document\nTarget Document")) {}
    CDocument* OpenDocumentFile(const QString&, bool) override { return nullptr; }
    void DestroyDocumentWindows(CDocument*) override {}
};

// The application as a document sees it: a save dialog that answers with
// a preset name and notes what it was offered.
class FakeHost : public CDocHost {
public:
    bool DoPromptFileName(QString& fileName, int, unsigned, bool, CDocTemplate*) override
    {
        proposals << fileName;
        if (answer.isEmpty()) return false;
        fileName = answer;
        return true;
    }
    void AddToRecentFileList(const QString& path) override { recent << path; }
    QObject* mainWindowObject() const override { return nullptr; }
    QStringList proposals;
    QStringList recent;
    QString answer;
};

// A view that notes its updates.
class NoteView : public CDocumentView {
public:
    explicit NoteView(CDocument* doc) : m_doc(doc) { doc->AddView(this); }
    ~NoteView() override
    {
        if (m_doc) m_doc->RemoveView(this);
    }
    CDocument* GetDocument() const override { return m_doc; }
    void OnUpdate(CDocumentView*, qintptr hint, QObject*) override { hints << hint; }
    void DetachDocument() override { m_doc = nullptr; }
    QList<qintptr> hints;

private:
    CDocument* m_doc;
};

// Keeps files of this process below a size while it lives, so that writes
// past it fail as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

}  // namespace

class TestTargetDoc : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openKinds_data();
    void openKinds();
    void openFailures_data();
    void openFailures();
    void saveDesign();
    void failedSaveKeepsOldFile();
    void saveFailureMessages_data();
    void saveFailureMessages();
    void saveNameFromTitle();
    void designOnlyCommands();
    void editDesign();

private:
    QString temp(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        return writeFile(path, bytes) ? path : QString();
    }
    QTemporaryDir m_dir;
    FakeHost m_host;
};

void TestTargetDoc::initTestCase()
{
    QVERIFY(m_dir.isValid());
    MessageLog::setEcho(false);
}

void TestTargetDoc::init()
{
    MessageLog::clear();
    m_host = FakeHost();
    SetDocHost(nullptr);
}

void TestTargetDoc::cleanup()
{
    SetDocHost(nullptr);
    CTargetDoc::SetDesignEditor({});
}

void TestTargetDoc::openKinds_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("copyAs");  // empty: opened where it is
    QTest::addColumn<int>("kind");

    QTest::newRow("shipped target document") << SHIPPED + "25m Precision Pistol.vnt" << "" << int(TARGET_KIND_PICTURE);
    QTest::newRow("shipped metafile") << SHIPPED + "Sight-in Grid 8x10.wmf" << "" << int(TARGET_KIND_PICTURE);
    QTest::newRow("shipped design") << SHIPPED + "Standard Rings.rgd" << "" << int(TARGET_KIND_DESIGNER);
    QTest::newRow("target document in capitals") << SHIPPED + "50m Smallbore Rifle.vnt" << "A.VNT"
                                                 << int(TARGET_KIND_PICTURE);
    QTest::newRow("corpus JPEG") << CORPUS + "/jpeg/libjpeg-turbo/testorig.jpg" << "" << int(TARGET_KIND_RASTER);
    QTest::newRow("JPEG named .JpEg") << CORPUS + "/jpeg/libjpeg-turbo/testorig.jpg" << "b.JpEg"
                                      << int(TARGET_KIND_RASTER);
    QTest::newRow("corpus BMP") << CORPUS + "/bmp/bmpsuite/g/pal8.bmp" << "" << int(TARGET_KIND_RASTER);
    QTest::newRow("corpus BMP, 24 bits") << CORPUS + "/bmp/bmpsuite/g/rgb24.bmp" << "" << int(TARGET_KIND_RASTER);
}

void TestTargetDoc::openKinds()
{
    QFETCH(QString, source);
    QFETCH(QString, copyAs);
    QFETCH(int, kind);
    if (!QFile::exists(source)) {
        if (source.startsWith(CORPUS)) SKIP_WITHOUT_CORPUS(source);
        QFAIL(qPrintable(QStringLiteral("missing shipped file ") + source));
    }
    QString path = source;
    if (!copyAs.isEmpty()) {
        path = m_dir.filePath(copyAs);
        QFile::remove(path);
        QVERIFY(QFile::copy(source, path));
    }

    CTargetDoc doc;
    QVERIFY(doc.OnOpenDocument(path));
    QCOMPARE(doc.kind(), kind);
    QVERIFY(!doc.IsModified());
    QVERIFY(MessageLog::messages().isEmpty());
    const QSize size = doc.GetTargetImage().GetSizeHimetric();
    QVERIFY2(size.width() > 0 && size.height() > 0, qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));

    // The design's size is its largest enabled ring; a picture's comes from
    // its header; a raster's from its pixels and resolution.
    if (kind == TARGET_KIND_DESIGNER) {
        QCOMPARE(size.width(), size.height());
        QVERIFY(doc.GetTargetImage().designer());
    }
}

void TestTargetDoc::openFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");  // null: no such file
    QTest::addColumn<int>("kindAfter");

    QByteArray wmf = readFile(SHIPPED + "Sight-in Grid 8x10.wmf");
    QByteArray header(100, 'A');
    header[10] = 0;
    header[11] = 5;
    header[5] = 0x1E;
    const QByteArray goodVnt = header + wmf;
    QByteArray noZero = goodVnt;
    noZero[10] = 'A';
    CTargetDesign design;
    design.LoadDefault();

    QTest::newRow("missing .vnt") << "missing.vnt" << QByteArray() << int(TARGET_KIND_PICTURE);
    QTest::newRow("missing .wmf") << "missing.wmf" << QByteArray() << int(TARGET_KIND_PICTURE);
    QTest::newRow("missing .rgd") << "missing.rgd" << QByteArray() << int(TARGET_KIND_DESIGNER);
    QTest::newRow("missing .bmp") << "missing.bmp" << QByteArray() << int(TARGET_KIND_RASTER);
    QTest::newRow("header without a zero") << "nozero.vnt" << noZero << int(TARGET_KIND_NONE);
    QTest::newRow("file shorter than the header") << "short.vnt" << goodVnt.left(60) << int(TARGET_KIND_NONE);
    QTest::newRow("header only") << "headeronly.vnt" << goodVnt.left(100) << int(TARGET_KIND_PICTURE);
    QTest::newRow("undecodable picture") << "junk.vnt" << header + QByteArray(400, '\x55') << int(TARGET_KIND_PICTURE);
    QTest::newRow("undecodable metafile") << "junk.wmf" << QByteArray(400, '\x55') << int(TARGET_KIND_PICTURE);
    QTest::newRow("design cut short") << "short.rgd" << bytesOf(design).left(200) << int(TARGET_KIND_DESIGNER);
    QTest::newRow("empty design") << "empty.rgd" << QByteArray("") << int(TARGET_KIND_DESIGNER);
    QTest::newRow("JPEG that is not one") << "text.jpg" << QByteArray("not a picture") << int(TARGET_KIND_RASTER);
    QTest::newRow("extension .jpe") << "photo.jpe" << readFile(CORPUS + "/jpeg/libjpeg-turbo/testorig.jpg")
                                    << int(TARGET_KIND_NONE);
    QTest::newRow("extension .tif") << "grid.tif" << wmf << int(TARGET_KIND_NONE);
    QTest::newRow("no extension") << "grid" << wmf << int(TARGET_KIND_NONE);
    QTest::newRow("extension only in the folder") << "dir.wmf/grid" << wmf << int(TARGET_KIND_NONE);
    // The same bytes open under their own name.
    QTest::newRow("control: a good target document") << "good.vnt" << goodVnt << -1;
}

void TestTargetDoc::openFailures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, kindAfter);
    const QString path = m_dir.filePath(name);
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    if (!bytes.isNull()) QVERIFY(writeFile(path, bytes));

    CTargetDoc doc;
    if (kindAfter < 0) {
        QVERIFY(doc.OnOpenDocument(path));
        QVERIFY(MessageLog::messages().isEmpty());
        return;
    }
    QVERIFY(!doc.OnOpenDocument(path));
    QCOMPARE(doc.kind(), kindAfter);
    // Exactly the one message, naming the path.
    QCOMPARE(MessageLog::messages().size(), 1);
    const MessageRecord m = MessageLog::messages().first();
    QCOMPARE(m.text, QStringLiteral("The file \"%1\" does not appear the be a valid image or target file.").arg(path));
    QCOMPARE(m.caption, QStringLiteral("Error Reading File"));
    QCOMPARE(m.buttons, MsgButtons::Ok);
    QVERIFY(m.ownedByMainWindow);
    QVERIFY(doc.GetPathName().isEmpty());
}

void TestTargetDoc::saveDesign()
{
    CTargetDesign design;
    design.LoadDefault();
    CTargetDoc doc;
    doc.SetTitle(QStringLiteral("Target1"));
    QVERIFY(doc.GetTargetImage().SetDesigner(design));
    doc.SetModifiedFlag(true);
    SetDocHost(&m_host);

    const QString path = m_dir.filePath(QStringLiteral("saved.rgd"));
    QVERIFY(doc.DoSave(path));
    QCOMPARE(readFile(path), bytesOf(design));
    QVERIFY(!doc.IsModified());
    QCOMPARE(doc.GetPathName(), path);
    QCOMPARE(doc.GetTitle(), QStringLiteral("saved.rgd"));
    QCOMPARE(m_host.recent, QStringList{path});
    QVERIFY(m_host.proposals.isEmpty());
    QVERIFY(MessageLog::messages().isEmpty());

    // Saved over, with a changed design; the saved file opens as the design.
    design.GetElement(10)->SetEnabled(true);
    design.Rebuild();
    QVERIFY(doc.GetTargetImage().SetDesigner(design));
    doc.SetModifiedFlag(true);
    QVERIFY(doc.DoFileSave());
    QCOMPARE(readFile(path), bytesOf(design));
    CTargetDoc back;
    QVERIFY(back.OnOpenDocument(path));
    QVERIFY(back.GetTargetImage().designer()->Equals(design));
    QCOMPARE(back.GetTargetImage().GetSizeHimetric(), QSize(25400, 25400));
    // Nothing but the file is left in the folder.
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("saved*")}, QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("saved.rgd")});
}

void TestTargetDoc::failedSaveKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.rgd"));
    const QByteArray old("the previous design");
    QVERIFY(writeFile(path, old));

    CTargetDesign design;
    design.LoadDefault();
    QVERIFY(bytesOf(design).size() > 200);
    CTargetDoc doc;
    QVERIFY(doc.GetTargetImage().SetDesigner(design));
    doc.SetModifiedFlag(true);
    doc.SetTitle(QStringLiteral("Target7"));

    bool saved = true;
    {
        // The disk fills up part way through the design.
        FileSizeLimit limit(100);
        if (!limit.ok()) QSKIP("cannot limit the file size");
        saved = doc.OnSaveDocument(path);
    }
    QVERIFY(!saved);
    QCOMPARE(readFile(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{QStringLiteral("old.rgd")});
    QVERIFY(doc.IsModified());
    QCOMPARE(doc.GetTitle(), QStringLiteral("Target7"));
    QCOMPARE(MessageLog::messages().size(), 1);
    QCOMPARE(MessageLog::messages().first().text, QStringLiteral("Error writing Ringdesigner object."));
    QCOMPARE(MessageLog::messages().first().caption, QStringLiteral("Error Saving File"));

    // A new file that cannot be written completely is not left behind.
    MessageLog::clear();
    const QString fresh = dir.filePath(QStringLiteral("fresh.rgd"));
    {
        FileSizeLimit limit(100);
        QVERIFY(!doc.OnSaveDocument(fresh));
    }
    QVERIFY(!QFile::exists(fresh));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{QStringLiteral("old.rgd")});
}

void TestTargetDoc::saveFailureMessages_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("text");  // %1 the path, %2 its folder
    QTest::newRow("folder without write permission") << "locked"
                                                     << "You don't have permission to write to the directory %2.";
    QTest::newRow("read-only file") << "readonly"
                                    << "You don't have permission to write to %1. The file may be read-only.";
    QTest::newRow("name of a folder") << "isdir" << "Could not open the file %1";
}

void TestTargetDoc::saveFailureMessages()
{
    QFETCH(QString, setup);
    QFETCH(QString, text);
    QTemporaryDir dir;
    QString folder = dir.path() + QLatin1Char('/');
    QString path = folder + QStringLiteral("target.rgd");
    if (setup == QLatin1String("locked")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Locked")));
        folder = dir.filePath(QStringLiteral("Locked/"));
        path = folder + QStringLiteral("target.rgd");
        QVERIFY(QFile::setPermissions(dir.filePath(QStringLiteral("Locked")), QFile::ReadOwner | QFile::ExeOwner));
    } else if (setup == QLatin1String("readonly")) {
        QVERIFY(writeFile(path, "old"));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    } else {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("target.rgd")));
    }

    CTargetDesign design;
    design.LoadDefault();
    CTargetDoc doc;
    QVERIFY(doc.GetTargetImage().SetDesigner(design));
    doc.SetTitle(QStringLiteral("Target3"));
    doc.SetModifiedFlag(true);
    QVERIFY(!doc.DoSave(path));
    QCOMPARE(MessageLog::messages().size(), 1);
    QCOMPARE(MessageLog::messages().first().text, QString(text).replace(QLatin1String("%1"), path).replace(QLatin1String("%2"), folder));
    QCOMPARE(MessageLog::messages().first().caption, QStringLiteral("Error Saving File"));
    // The document is as it was.
    QVERIFY(doc.IsModified());
    QCOMPARE(doc.GetTitle(), QStringLiteral("Target3"));
    QVERIFY(doc.GetPathName().isEmpty());
    if (setup == QLatin1String("readonly")) QCOMPARE(readFile(path), QByteArray("old"));
    if (setup == QLatin1String("locked")) {
        QVERIFY(!QFile::exists(path));
        QFile::setPermissions(dir.filePath(QStringLiteral("Locked")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QCOMPARE(CTargetDoc::SaveFailedMessage(-4, path), QStringLiteral("Unknown error writing Ringdesigner object."));
}

void TestTargetDoc::saveNameFromTitle()
{
    StringsTemplate strings;
    SetDocHost(&m_host);
    auto* doc = new CTargetDoc;
    strings.AddDocument(doc);
    CTargetDesign design;
    design.LoadDefault();
    doc->GetTargetImage().SetDesigner(design);

    // Save As proposes the title cut before the first of " #%;/\" with the
    // design's extension, whatever extension the template names.
    doc->SetTitle(QStringLiteral("Target1"));
    QVERIFY(!doc->DoSave(QString()));
    doc->SetTitle(QStringLiteral("My Target#2"));
    QVERIFY(!doc->DoSave(QString()));
    doc->SetTitle(QStringLiteral("Rings;old"));
    QVERIFY(!doc->DoSave(QString()));
    QCOMPARE(m_host.proposals, (QStringList{QStringLiteral("Target1.rgd"), QStringLiteral("My.rgd"),
                                            QStringLiteral("Rings.rgd")}));

    // What the dialog chose is saved and becomes the document's name.
    m_host.answer = m_dir.filePath(QStringLiteral("Chosen.rgd"));
    doc->SetModifiedFlag(true);
    QVERIFY(doc->DoSave(QString()));
    QCOMPARE(doc->GetPathName(), m_host.answer);
    QCOMPARE(readFile(m_host.answer), bytesOf(design));
    QVERIFY(!doc->IsModified());
    // A saved document proposes its own path.
    QVERIFY(doc->DoSave(QString()));
    QCOMPARE(m_host.proposals.last(), m_host.answer);
    strings.RemoveDocument(doc);
    delete doc;
}

void TestTargetDoc::designOnlyCommands()
{
    const QList<int> ids{Cmd::ID_FILE_SAVE, Cmd::ID_FILE_SAVE_AS, Cmd::ID_EDIT_RINGDESIGNER};
    auto enabled = [](CTargetDoc& doc, int id) {
        CCmdUI ui(id);
        const bool handled = doc.OnUpdateCmdUI(ui);
        return handled && ui.enableSet() && ui.isEnabled();
    };
    CTargetDoc empty;
    CTargetDoc picture;
    QVERIFY(picture.OnOpenDocument(SHIPPED + "25m Precision Pistol.vnt"));
    CTargetDoc design;
    QVERIFY(design.OnOpenDocument(SHIPPED + "Diamond Sight-In.rgd"));
    for (int id : ids) {
        QVERIFY(!enabled(empty, id));
        QVERIFY(!enabled(picture, id));
    }
    QVERIFY(enabled(design, Cmd::ID_FILE_SAVE));
    QVERIFY(enabled(design, Cmd::ID_FILE_SAVE_AS));
    // Editing needs the Ringdesigner as well.
    QVERIFY(!enabled(design, Cmd::ID_EDIT_RINGDESIGNER));
    CTargetDoc::SetDesignEditor([](CTargetDesign&, const QString&) { return false; });
    QVERIFY(enabled(design, Cmd::ID_EDIT_RINGDESIGNER));
    QVERIFY(!enabled(picture, Cmd::ID_EDIT_RINGDESIGNER));
    QVERIFY(design.HasCommandHandler(Cmd::ID_EDIT_RINGDESIGNER));
}

void TestTargetDoc::editDesign()
{
    CTargetDoc doc;
    QVERIFY(doc.OnOpenDocument(SHIPPED + "Standard Rings.rgd"));
    doc.SetTitle(QStringLiteral("Standard Rings.rgd"));
    // The view goes first; the document on the stack must not delete itself.
    doc.setAutoDelete(false);
    NoteView view(&doc);
    CTargetDesign original;
    original.CopyFrom(*doc.GetTargetImage().designer());

    QString seenTitle;
    bool accept = false;
    bool change = false;
    CTargetDoc::SetDesignEditor([&](CTargetDesign& design, const QString& title) {
        seenTitle = title;
        if (change) design.GetElement(10)->SetEnabled(!design.GetElement(10)->IsEnabled());
        design.Rebuild();
        return accept;
    });

    // Cancel, or OK without a change: nothing happens.
    change = true;
    QVERIFY(RouteCommand({&doc}, Cmd::ID_EDIT_RINGDESIGNER));
    QCOMPARE(seenTitle, QStringLiteral("Standard Rings.rgd"));
    accept = true;
    change = false;
    doc.OnEditRingdesigner();
    QVERIFY(view.hints.isEmpty());
    QVERIFY(!doc.IsModified());
    QVERIFY(doc.GetTargetImage().designer()->Equals(original));

    // OK with a change: the design is replaced, the views hear of it and the
    // document is modified.
    change = true;
    doc.OnEditRingdesigner();
    QCOMPARE(view.hints, QList<qintptr>{HINT_DESIGNER_CHANGED});
    QVERIFY(doc.IsModified());
    QVERIFY(!doc.GetTargetImage().designer()->Equals(original));
}

QTEST_MAIN(TestTargetDoc)
#include "tst_targetdoc.moc"
