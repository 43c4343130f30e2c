#include "platform/ui/IntegerEdit.h"
#include "platform/ui/NumericComboBox.h"
#include "platform/ui/NumericEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

// The fields are driven as a user would: keystrokes into the focused field,
// then the focus moved to a neighbour.
class TestNumericEdit : public QObject {
    Q_OBJECT

private:
    struct Window {
        QWidget top;
        QLineEdit* other = nullptr;
        void add(QWidget* field)
        {
            auto* layout = new QVBoxLayout(&top);
            layout->addWidget(field);
            other = new QLineEdit(&top);
            layout->addWidget(other);
        }
        void show(QWidget* field)
        {
            top.show();
            QApplication::setActiveWindow(&top);
            QVERIFY(QTest::qWaitForWindowActive(&top));
            field->setFocus(Qt::MouseFocusReason);
            QVERIFY(field->hasFocus());
        }
        void leave()
        {
            other->setFocus(Qt::TabFocusReason);
            QVERIFY(other->hasFocus());
        }
    };

private slots:
    void typing_data();
    void typing();
    void programText_data();
    void programText();
    void wordIsReplacedByFirstKeystroke();
    void pasteFollowsPlaceholderMode_data();
    void pasteFollowsPlaceholderMode();
    void limitText();
    void negativeMinimumRaisedWithoutNegatives();
    void integerTyping_data();
    void integerTyping();
    void integerSetValue_data();
    void integerSetValue();
    void readOnlyFieldKeepsItsWord();
    void comboAppliesParametersOnceAtFirstPaint();
};

void TestNumericEdit::typing_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<bool>("negative");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("typed");      // the text before leaving the field
    QTest::addColumn<int>("refused");        // characters dropped with a beep
    QTest::addColumn<QString>("afterLeave");

    QTest::newRow("minus refused") << 1 << false << 0.0 << 1000.0 << "-" << "" << 1 << "0.0";
    QTest::newRow("one decimal kept") << 1 << false << 0.0 << 1000.0 << "12.345" << "12.345" << 0 << "12.3";
    QTest::newRow("above maximum") << 1 << false << 0.0 << 1000.0 << "2000" << "2000" << 0 << "1000.0";
    QTest::newRow("equal to maximum") << 1 << false << 0.0 << 1000.0 << "1000" << "1000" << 0 << "1000.0";
    QTest::newRow("empty") << 1 << false << 0.0 << 1000.0 << "" << "" << 0 << "0.0";
    QTest::newRow("letters and blanks refused") << 2 << false << 0.0 << 10.0 << "a1 b,5" << "15" << 4 << "10.00";
    QTest::newRow("negative allowed") << 2 << true << -10.0 << 10.0 << "-2.5" << "-2.5" << 0 << "-2.50";
    QTest::newRow("below minimum") << 1 << true << -10.0 << 10.0 << "-20" << "-20" << 0 << "-10.0";
    QTest::newRow("no point without decimals") << 0 << false << 0.0 << 100.0 << "7.9" << "79" << 1 << "79";
    QTest::newRow("crossed bounds: minimum wins") << 1 << false << 5.0 << 1.0 << "3" << "3" << 0 << "5.0";
    QTest::newRow("backspace accepted") << 1 << false << 0.0 << 100.0 << "12\b3" << "13" << 0 << "13.0";
}

void TestNumericEdit::typing()
{
    QFETCH(int, decimals);
    QFETCH(bool, negative);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(QString, keys);
    QFETCH(QString, typed);
    QFETCH(int, refused);
    QFETCH(QString, afterLeave);

    Window w;
    auto* edit = new NumericEdit;
    edit->Configure(decimals, negative, false, minimum, maximum);
    w.add(edit);
    w.show(edit);
    QSignalSpy beeps(edit, &NumericFieldBase::characterRefused);
    for (const QChar c : keys) {
        if (c == QLatin1Char('\b'))
            QTest::keyClick(edit, Qt::Key_Backspace);
        else
            QTest::keyClicks(edit, QString(c));
    }
    // Typing is not normalised while the field has the focus.
    QCOMPARE(edit->text(), typed);
    QCOMPARE(beeps.count(), refused);
    w.leave();
    QCOMPARE(edit->text(), afterLeave);
}

void TestNumericEdit::programText_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<bool>("textMode");
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("shown");

    QTest::newRow("whole part without decimals") << 0 << false << "7.9" << "7";
    QTest::newRow("rounded with decimals") << 2 << false << "3.14159" << "3.14";
    QTest::newRow("lenient number") << 1 << false << "  42.25xyz" << "42.2";
    QTest::newRow("not a number") << 1 << false << "abc" << "0.0";
    QTest::newRow("word kept in placeholder mode") << 1 << true << "None" << "None";
    QTest::newRow("clamped") << 1 << true << "5000" << "1000.0";
}

void TestNumericEdit::programText()
{
    QFETCH(int, decimals);
    QFETCH(bool, textMode);
    QFETCH(QString, given);
    QFETCH(QString, shown);

    NumericEdit edit;
    edit.Configure(decimals, false, textMode, 0.0, 1000.0);
    edit.setText(given);
    QCOMPARE(edit.text(), shown);
}

void TestNumericEdit::wordIsReplacedByFirstKeystroke()
{
    Window w;
    auto* edit = new NumericEdit;
    edit->Configure(1, false, true, 0.0, 1000.0);
    w.add(edit);
    w.show(edit);
    edit->setText(QStringLiteral("Auto"));
    QCOMPARE(edit->text(), QStringLiteral("Auto"));
    QTest::keyClick(edit, Qt::Key_7);
    QCOMPARE(edit->text(), QStringLiteral("7"));
    QVERIFY(!edit->isPendingClear());
    QTest::keyClicks(edit, QStringLiteral("5"));
    QCOMPARE(edit->text(), QStringLiteral("75"));
    w.leave();
    QCOMPARE(edit->text(), QStringLiteral("75.0"));

    // A refused key leaves the word alone.
    edit->setText(QStringLiteral("Auto"));
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("-"));
    QCOMPARE(edit->text(), QStringLiteral("Auto"));
}

void TestNumericEdit::pasteFollowsPlaceholderMode_data()
{
    QTest::addColumn<bool>("textMode");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("refused");
    QTest::newRow("placeholder mode pastes") << true << "1242" << 0;
    QTest::newRow("otherwise Ctrl+V beeps") << false << "1" << 1;
}

void TestNumericEdit::pasteFollowsPlaceholderMode()
{
    QFETCH(bool, textMode);
    QFETCH(QString, expected);
    QFETCH(int, refused);

    Window w;
    auto* edit = new NumericEdit;
    edit->Configure(1, false, textMode, 0.0, 100000.0);
    w.add(edit);
    w.show(edit);
    QApplication::clipboard()->setText(QStringLiteral("242"));
    QSignalSpy beeps(edit, &NumericFieldBase::characterRefused);
    QTest::keyClicks(edit, QStringLiteral("1"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), expected);
    QCOMPARE(beeps.count(), refused);
    // Ctrl+A types character 1, which no field accepts.
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(beeps.count(), refused + 1);
}

void TestNumericEdit::limitText()
{
    Window w;
    auto* edit = new NumericEdit;
    edit->Configure(1, false, false, 0.0, 1000.0);
    edit->LimitText();
    QCOMPARE(edit->maxLength(), 7);  // "1000.0" and one more
    w.add(edit);
    w.show(edit);
    QTest::keyClicks(edit, QStringLiteral("123456789"));
    QCOMPARE(edit->text(), QStringLiteral("1234567"));

    NumericEdit negative;
    negative.Configure(2, true, false, -12345.0, 10.0);
    negative.LimitText();
    QCOMPARE(negative.maxLength(), 10);  // "-12345.00" and one more
}

void TestNumericEdit::negativeMinimumRaisedWithoutNegatives()
{
    NumericEdit edit;
    edit.Configure(1, false, false, -5.0, 10.0);
    QCOMPARE(edit.minimum(), 0.0);
    edit.SetValue(-3.0);
    QCOMPARE(edit.text(), QStringLiteral("0.0"));
    edit.Configure(1, true, false, -5.0, 10.0);
    edit.SetValue(-3.0);
    QCOMPARE(edit.text(), QStringLiteral("-3.0"));
    QCOMPARE(edit.GetValue(), -3.0);
}

void TestNumericEdit::integerTyping_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("refused");
    QTest::addColumn<QString>("afterLeave");
    QTest::newRow("above maximum") << "99" << 0 << "12";
    QTest::newRow("zero") << "0" << 0 << "1";
    QTest::newRow("point refused") << "1.5" << 1 << "12";
    QTest::newRow("minus refused") << "-3" << 1 << "3";
    QTest::newRow("empty") << "" << 0 << "1";
}

void TestNumericEdit::integerTyping()
{
    QFETCH(QString, keys);
    QFETCH(int, refused);
    QFETCH(QString, afterLeave);

    Window w;
    auto* edit = new IntegerEdit;
    edit->Configure(false, false, 1, 12);
    w.add(edit);
    w.show(edit);
    QSignalSpy beeps(edit, &NumericFieldBase::characterRefused);
    QTest::keyClicks(edit, keys);
    QCOMPARE(beeps.count(), refused);
    w.leave();
    QCOMPARE(edit->text(), afterLeave);
}

void TestNumericEdit::integerSetValue_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("99") << 99 << "12";
    QTest::newRow("0") << 0 << "1";
    QTest::newRow("-3") << -3 << "1";
    QTest::newRow("in range") << 7 << "7";
}

void TestNumericEdit::integerSetValue()
{
    QFETCH(int, value);
    QFETCH(QString, shown);
    IntegerEdit edit;
    edit.Configure(true, true, 1, 12);
    edit.SetValue(value);
    QCOMPARE(edit.text(), shown);
    QCOMPARE(edit.GetValue(), shown.toInt());
}

void TestNumericEdit::readOnlyFieldKeepsItsWord()
{
    Window w;
    auto* edit = new IntegerEdit;
    edit->Configure(false, true, 1, 3);
    edit->setText(QStringLiteral("n/a"));
    edit->setReadOnly(true);
    w.add(edit);
    w.show(edit);
    QTest::keyClicks(edit, QStringLiteral("2"));
    QCOMPARE(edit->text(), QStringLiteral("n/a"));
}

void TestNumericEdit::comboAppliesParametersOnceAtFirstPaint()
{
    QWidget top;
    auto* layout = new QVBoxLayout(&top);
    auto* combo = new NumericComboBox;
    layout->addWidget(combo);
    combo->Configure(1, false, true, 0.0, 1000.0);
    for (const char* item : {"25", "100", "5000"})
        combo->addItem(QString::fromLatin1(item));
    combo->setCurrentIndex(0);
    // Not yet painted: the edit part holds the item's text as it is.
    QCOMPARE(combo->currentText(), QStringLiteral("25"));
    QVERIFY(combo->isFirstAttach());

    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    QTRY_VERIFY(!combo->isFirstAttach());
    QCOMPARE(combo->currentText(), QStringLiteral("25.0"));

    // Parameters given later do not reach the field.
    combo->Configure(3, false, true, 0.0, 10.0);
    combo->setCurrentIndex(2);
    QCOMPARE(combo->currentText(), QStringLiteral("1000.0"));
    combo->setCurrentIndex(1);
    QCOMPARE(combo->currentText(), QStringLiteral("100.0"));
    QCOMPARE(combo->numericEdit()->decimals(), 1);
}

QTEST_MAIN(TestNumericEdit)
#include "tst_numericedit.moc"
