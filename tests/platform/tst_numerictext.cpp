#include "platform/NumberText.h"

#include <QTest>

#include <clocale>
#include <cmath>
#include <limits>

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void toReal_data();
    void toReal();
    void toInt32_data();
    void toInt32();
    void formatFixed_data();
    void formatFixed();
    void wordCharacters_data();
    void wordCharacters();
};

void TestNumberText::toReal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << "12.5" << 12.5;
    QTest::newRow("blanks and sign") << " \t-3.25" << -3.25;
    QTest::newRow("plus") << "+7" << 7.0;
    QTest::newRow("exponent") << "1.5e2" << 150.0;
    QTest::newRow("trailing text") << "25yds" << 25.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("word") << "None" << 0.0;
    QTest::newRow("lone sign") << "-" << 0.0;
    QTest::newRow("double sign") << "--5" << 0.0;
    QTest::newRow("comma is not a point") << "2,5" << 2.0;
    QTest::newRow("underflow") << "1e-999" << 0.0;
    QTest::newRow("words are not numbers") << "inf" << 0.0;
    QTest::newRow("nan is a word") << "-nan" << 0.0;
}

void TestNumberText::toReal()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(NumberText::ToReal(text), value);
}

void TestNumberText::toInt32_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "42" << 42;
    QTest::newRow("blanks, sign, tail") << "  -17abc" << -17;
    QTest::newRow("fraction cut") << "3.9" << 3;
    QTest::newRow("saturates high") << "99999999999" << std::numeric_limits<int>::max();
    QTest::newRow("saturates low") << "-99999999999" << std::numeric_limits<int>::min();
    QTest::newRow("empty") << "" << 0;
}

void TestNumberText::toInt32()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(NumberText::ToInt32(text), value);
}

void TestNumberText::formatFixed_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("one decimal") << 12.345 << 1 << "12.3";
    QTest::newRow("two decimals") << 0.5 << 2 << "0.50";
    QTest::newRow("whole part truncated") << 7.9 << 0 << "7";
    QTest::newRow("negative whole part") << -7.9 << 0 << "-7";
    QTest::newRow("huge whole part saturates") << 1e300 << 0 << "9200000000000000000";
}

void TestNumberText::formatFixed()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(NumberText::FormatFixed(value, decimals), text);
}

void TestNumberText::wordCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("word");
    QTest::newRow("digits") << "12.5" << false;
    QTest::newRow("letter") << "n/a" << true;
    QTest::newRow("A is the first") << "A" << true;
    QTest::newRow("z is the last") << "z" << true;
    QTest::newRow("brackets between the cases count") << "[" << true;
    QTest::newRow("@ is below") << "@" << false;
    QTest::newRow("{ is above") << "{" << false;
}

void TestNumberText::wordCharacters()
{
    QFETCH(QString, text);
    QFETCH(bool, word);
    QCOMPARE(NumberText::HasWordCharacter(text), word);
}

QTEST_MAIN(TestNumberText)
#include "tst_numerictext.moc"
