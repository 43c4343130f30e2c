#include "platform/ui/ColorSwatchButton.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

// The swatch is checked by its pixels: the centre shows the colour (or the
// button face when disabled), the border shows the state.
class TestColorSwatch : public QObject {
    Q_OBJECT

private:
    static QImage shot(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    static QColor at(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }

private slots:
    void colorValues_data();
    void colorValues();
    void enabledShowsColourAndNoText();
    void disabledShowsEmbossedText();
    void focusedHasBlackFrameAndDots();
    void pressedIsDarkAllRound();
    void doubleClickCountsAsClick();
    void defaultFlagFollowsDialog();
};

void TestColorSwatch::colorValues_data()
{
    QTest::addColumn<uint>("colorref");
    QTest::addColumn<QColor>("rgb");
    QTest::newRow("default blue") << uint(0x00FF0000) << QColor(0, 0, 255);
    QTest::newRow("red") << uint(0x000000FF) << QColor(255, 0, 0);
    QTest::newRow("mixed") << uint(0x00336699) << QColor(0x99, 0x66, 0x33);
    QTest::newRow("high byte dropped") << uint(0x01336699) << QColor(0x99, 0x66, 0x33);
}

void TestColorSwatch::colorValues()
{
    QFETCH(uint, colorref);
    QFETCH(QColor, rgb);
    ColorSwatchButton b;
    QCOMPARE(b.GetColor(), 0x00FF0000u);
    b.SetColor(colorref);
    QCOMPARE(b.GetColor(), colorref & 0x00FFFFFFu);
    b.resize(60, 30);
    QCOMPARE(at(shot(&b), 30, 15), rgb);
}

void TestColorSwatch::enabledShowsColourAndNoText()
{
    ColorSwatchButton b(QStringLiteral("Swatch colour"));
    b.SetColor(0x0000FF00);
    b.resize(120, 40);
    const QImage image = shot(&b);
    // Every pixel inside the edge is the colour: no text is drawn.
    for (int y = 2; y < 38; ++y)
        for (int x = 2; x < 118; ++x)
            QCOMPARE(at(image, x, y), QColor(0, 255, 0));
    // A raised edge: light outside at the top left, dark at the bottom right.
    QVERIFY(at(image, 0, 0).lightness() > at(image, 119, 39).lightness());
    QCOMPARE(at(image, 119, 39), QColor(b.palette().color(QPalette::Shadow).rgb()));
}

void TestColorSwatch::disabledShowsEmbossedText()
{
    ColorSwatchButton b(QStringLiteral("MMMM"));
    b.SetColor(0x0000FF00);
    b.resize(120, 40);
    b.setEnabled(false);
    const QImage image = shot(&b);
    const QColor face(b.palette().color(QPalette::Button).rgb());
    QCOMPARE(at(image, 4, 4), face);
    int text = 0;
    for (int y = 2; y < 38; ++y)
        for (int x = 2; x < 118; ++x) {
            QVERIFY(at(image, x, y) != QColor(0, 255, 0));
            if (at(image, x, y) != face)
                ++text;
        }
    QVERIFY(text > 20);
}

void TestColorSwatch::focusedHasBlackFrameAndDots()
{
    QWidget top;
    auto* layout = new QVBoxLayout(&top);
    auto* other = new QPushButton(QStringLiteral("other"));
    auto* b = new ColorSwatchButton;
    b->setFixedSize(80, 40);
    layout->addWidget(other);
    layout->addWidget(b);
    top.show();
    QApplication::setActiveWindow(&top);
    QVERIFY(QTest::qWaitForWindowActive(&top));
    other->setFocus();
    QVERIFY(!b->hasFocus());

    const QImage plain = shot(b);
    b->setFocus();
    QVERIFY(b->hasFocus());
    const QImage focused = shot(b);
    QCOMPARE(at(focused, 0, 0), QColor(Qt::black));
    QCOMPARE(at(focused, 40, 0), QColor(Qt::black));
    QVERIFY(at(plain, 0, 0) != QColor(Qt::black));
    // The focus rectangle lies 1 + 3 pixels inside, dotted.
    const int y = 4;
    int changed = 0;
    for (int x = 10; x < 70; ++x)
        if (at(focused, x, y) != QColor(0, 0, 255))
            ++changed;
    QVERIFY2(changed >= 25 && changed <= 35, qPrintable(QString::number(changed)));
    QCOMPARE(at(focused, 40, 20), QColor(0, 0, 255));
}

void TestColorSwatch::pressedIsDarkAllRound()
{
    ColorSwatchButton b;
    b.resize(60, 30);
    b.setDown(true);
    const QImage image = shot(&b);
    const QColor shadow(b.palette().color(QPalette::Mid).rgb());
    const QColor dark(b.palette().color(QPalette::Shadow).rgb());
    QCOMPARE(at(image, 10, 0), shadow);
    QCOMPARE(at(image, 10, 1), dark);
    QCOMPARE(at(image, 10, 29), dark);
    QCOMPARE(at(image, 10, 28), shadow);
    QCOMPARE(at(image, 30, 15), QColor(0, 0, 255));
}

void TestColorSwatch::doubleClickCountsAsClick()
{
    ColorSwatchButton b;
    b.resize(60, 30);
    b.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b));
    QSignalSpy clicks(&b, &QPushButton::clicked);
    QTest::mouseClick(&b, Qt::LeftButton);
    QTest::mouseDClick(&b, Qt::LeftButton);
    QTest::mouseRelease(&b, Qt::LeftButton);
    QCOMPARE(clicks.count(), 2);
}

void TestColorSwatch::defaultFlagFollowsDialog()
{
    ColorSwatchButton b;
    QVERIFY(!b.isDefaultButton());
    b.setDefault(true);
    QVERIFY(b.isDefaultButton());
    b.setDefault(false);
    QVERIFY(!b.isDefaultButton());
}

QTEST_MAIN(TestColorSwatch)
#include "tst_colorswatch.moc"
