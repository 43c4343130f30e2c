#include <QtTest>

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include "PdfTools.h"
#include "platform/PdfPrintScaling.h"

// The actual-size request appended to a finished PDF: a PDF as Qt writes it
// gets it once, whatever else is left exactly as it was.
class TestPdfScaling : public QObject {
    Q_OBJECT
private slots:
    void appendOnce_data();
    void appendOnce();

private:
    QTemporaryDir m_dir;
};

void TestPdfScaling::appendOnce_data()
{
    QTest::addColumn<QByteArray>("content");  // empty: a PDF written by Qt
    QTest::addColumn<bool>("updated");
    QTest::newRow("Qt's PDF") << QByteArray() << true;
    QTest::newRow("not a PDF") << QByteArray("GIF89a, a picture\n") << false;
    QTest::newRow("cut before its cross-reference table")
        << QByteArray("%PDF-1.4\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n") << false;
    QTest::newRow("offset past the end")
        << QByteArray("%PDF-1.4\ntrailer\n<< /Root 1 0 R /Size 2 >>\nstartxref\n999999\n%%EOF\n") << false;
    QTest::newRow("root not in the table")
        << QByteArray("%PDF-1.4\nxref\n0 1\n0000000000 65535 f \ntrailer\n<< /Root 7 0 R /Size 1 >>\nstartxref\n9\n%%EOF\n")
        << false;
}

void TestPdfScaling::appendOnce()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, updated);
    const QString path = m_dir.filePath(QStringLiteral("%1.pdf").arg(QTest::currentDataTag()));
    if (content.isEmpty()) {
        QPdfWriter writer(path);
        QPainter painter(&writer);
        painter.drawRect(100, 100, 2000, 1000);
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    QCOMPARE(AddPdfPrintScalingNone(path), updated);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    file.close();
    // An update only appends; a refusal leaves the file alone.
    QVERIFY(after.startsWith(before));
    QCOMPARE(after.size() > before.size(), updated);
    if (!updated) return;
    if (HavePoppler()) QVERIFY(PdfAsksActualSize(path));
    // A second call finds the request and adds nothing.
    QVERIFY(AddPdfPrintScalingNone(path));
    QCOMPARE(QFileInfo(path).size(), after.size());
}

QTEST_MAIN(TestPdfScaling)
#include "tst_pdfscaling.moc"
