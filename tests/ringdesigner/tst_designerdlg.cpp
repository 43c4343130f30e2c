#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>

#include "designer/TargetDesign.h"
#include "helper_dialog.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/ui/NumericEdit.h"
#include "ringdesigner/DesignerDlg.h"
#include "ringdesigner/MiniTargetView.h"

using namespace DialogDriver;

namespace {

QByteArray bytesOf(const CTargetDesign& design)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    design.Write(buffer);
    return buffer.data();
}

// A design of n circles of diameters 1, 2, ... with labels "L1", "L2", ...,
// every other one enabled, and a bull's-eye in front.
void ringsDesign(CTargetDesign& design, int n)
{
    design.Clear();
    design.AddBullseye(0.75, 0x00FF00, 0.01, true, BULLSEYE_X, false);
    for (int i = 0; i < n; ++i)
        design.AddCircle(i + 1.0, 0x112233, 0.05, i % 2 == 0, 0x445566, QStringLiteral("L%1").arg(i + 1), false);
    design.SetLabelFontSize(180);
    design.Rebuild();
}

}  // namespace

class TestDesignerDlg : public QObject {
    Q_OBJECT
private slots:
    void init() { MessageLog::clear(); MessageLog::setEcho(false); CDesignerDlg::SetColorChooser({}); }

    void defaultDesignRows_data();
    void defaultDesignRows();
    void defaultDesignOtherRows();
    void fieldsAreConfigured_data();
    void fieldsAreConfigured();
    void listsHoldTheirValues();
    void clearingRing4ShrinksAtOnce();
    void enablingFollowsCheckBoxes();
    void okNeedsSomethingEnabled_data();
    void okNeedsSomethingEnabled();
    void okGivesWhatControlsShow();
    void okTakesTheFocusedFieldsValue();
    void fewerRowsKeepStartValues_data();
    void fewerRowsKeepStartValues();
    void moreThanElevenRings();
    void fourCharacterLabel();
    void labelTypingLimited();
    void unlistedFontSizeKeepsSelection();
    void colorChooserCustomColors_data();
    void colorChooserCustomColors();
    void colorChooserCancelChangesNothing();
    void editedDesignSurvivesFile();
    void fitsSmallScreen();
    void closingWithFocusInField();
    void unitsShowAndKeepValues_data();
    void unitsShowAndKeepValues();
};

// ---------------------------------------------------------------- opening

void TestDesignerDlg::defaultDesignRows_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("diameter");
    QTest::addColumn<QString>("label");
    QTest::addColumn<quint32>("fill");
    QTest::newRow("Ring 10") << 0 << true << "1.000" << "" << 0x0000FFu;
    QTest::newRow("Ring 9") << 1 << true << "2.000" << "9" << 0xA9A9AAu;
    QTest::newRow("Ring 8") << 2 << true << "3.000" << "8" << 0xA9A9AAu;
    QTest::newRow("Ring 7") << 3 << true << "4.000" << "7" << 0xA9A9AAu;
    QTest::newRow("Ring 6") << 4 << true << "5.000" << "6" << 0xFFFFFFu;
    QTest::newRow("Ring 5") << 5 << true << "6.000" << "5" << 0xFFFFFFu;
    QTest::newRow("Ring 4") << 6 << true << "7.000" << "4" << 0xFFFFFFu;
    QTest::newRow("Ring 3") << 7 << false << "8.000" << "3" << 0xFFFFFFu;
    QTest::newRow("Ring 2") << 8 << false << "9.000" << "2" << 0xFFFFFFu;
    QTest::newRow("Ring 1") << 9 << false << "10.000" << "1" << 0xFFFFFFu;
    QTest::newRow("Ring 0") << 10 << false << "11.000" << "0" << 0xFFFFFFu;
}

void TestDesignerDlg::defaultDesignRows()
{
    QFETCH(int, k);
    QFETCH(bool, checked);
    QFETCH(QString, diameter);
    QFETCH(QString, label);
    QFETCH(quint32, fill);
    CTargetDesign design;
    design.LoadDefault();
    CDesignerDlg dialog;
    dialog.SetDesign(design, QStringLiteral("NEW"));
    dialog.show();
    QCOMPARE(isChecked(dialog, IDC_RING_ENABLE + k), checked);
    QCOMPARE(text(dialog, IDC_RING_DIAMETER + k), diameter);
    QCOMPARE(text(dialog, IDC_RING_THICKNESS + k), QStringLiteral("0.030"));
    QCOMPARE(text(dialog, IDC_RING_SHAPE + k), QStringLiteral("Circle"));
    QCOMPARE(text(dialog, IDC_RING_LABEL + k), label);
    QCOMPARE(color(dialog, IDC_RING_COLOR + k), 0x000000u);
    QCOMPARE(color(dialog, IDC_RING_FILL + k), fill);
}

void TestDesignerDlg::defaultDesignOtherRows()
{
    CTargetDesign design;
    design.LoadDefault();
    CDesignerDlg dialog;
    dialog.SetDesign(design, QStringLiteral("NEW"));
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Ringdesigner - NEW"));
    QVERIFY(isChecked(dialog, IDC_BULLSEYE_ENABLE));
    QCOMPARE(text(dialog, IDC_BULLSEYE_DIAMETER), QStringLiteral("0.500"));
    QCOMPARE(text(dialog, IDC_BULLSEYE_THICKNESS), QStringLiteral("0.040"));
    QCOMPARE(text(dialog, IDC_BULLSEYE_TYPE), QStringLiteral("Cross"));
    QCOMPARE(color(dialog, IDC_BULLSEYE_COLOR), 0xFFFFFFu);
    QVERIFY(!isChecked(dialog, IDC_GRID_ENABLE));
    QCOMPARE(text(dialog, IDC_GRID_FREQUENCY), QStringLiteral("1.000"));
    QCOMPARE(text(dialog, IDC_GRID_THICKNESS), QStringLiteral("0.005"));
    QCOMPARE(color(dialog, IDC_GRID_COLOR), 0x606060u);
    QCOMPARE(text(dialog, IDC_FONT_SIZE), QStringLiteral(" 14"));
    QCOMPARE(text(dialog, IDC_DIAMETER_TEXT), QStringLiteral("7.00 in"));
    // The first refresh rebuilt the same design from the controls.
    QVERIFY(dialog.GetDesign().Equals(design));
    QVERIFY(dialog.previewView()->GetDesign().Equals(design));

    CDesignerDlg untitled;
    untitled.SetDesign(design);
    untitled.show();
    QCOMPARE(untitled.windowTitle(), QStringLiteral("Ringdesigner"));
}

void TestDesignerDlg::fieldsAreConfigured_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("maxLength");
    // Over the maximum, under the minimum, and the decimals shown.
    QTest::newRow("bull's-eye diameter max") << int(IDC_BULLSEYE_DIAMETER) << "40" << "36.000" << 32767;
    QTest::newRow("bull's-eye diameter min") << int(IDC_BULLSEYE_DIAMETER) << "0.1" << "0.150" << 32767;
    QTest::newRow("bull's-eye thickness max") << int(IDC_BULLSEYE_THICKNESS) << "0.7" << "0.500" << 6;
    QTest::newRow("bull's-eye thickness min") << int(IDC_BULLSEYE_THICKNESS) << "0.001" << "0.003" << 6;
    QTest::newRow("ring diameter max") << int(IDC_RING_DIAMETER + 4) << "60" << "48.000" << 7;
    QTest::newRow("ring diameter decimals") << int(IDC_RING_DIAMETER + 4) << "5.1264" << "5.126" << 7;
    QTest::newRow("ring thickness min") << int(IDC_RING_THICKNESS + 10) << "0" << "0.003" << 6;
    QTest::newRow("grid frequency max") << int(IDC_GRID_FREQUENCY) << "20" << "12.000" << 32767;
    QTest::newRow("grid frequency min") << int(IDC_GRID_FREQUENCY) << "0.2" << "0.250" << 32767;
    QTest::newRow("grid thickness max") << int(IDC_GRID_THICKNESS) << "0.9" << "0.500" << 32767;
}

void TestDesignerDlg::fieldsAreConfigured()
{
    QFETCH(int, id);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, maxLength);
    CTargetDesign design;
    design.LoadDefault();
    design.SetGrid(0x606060, 0.005, true, 1.0);  // so the grid fields are enabled
    for (int i = 0; i < design.GetElementCount(); ++i) design.GetElement(i)->SetEnabled(true);
    design.Rebuild();
    CDesignerDlg dialog;
    dialog.SetDesign(design);
    QVERIFY(showActive(dialog));
    auto* field = qobject_cast<NumericEdit*>(dialog.GetDlgItem(id));
    QVERIFY(field);
    QVERIFY(!field->allowsNegative());
    QCOMPARE(field->maxLength(), maxLength);
    typeInto(dialog, id, typed);
    QCOMPARE(field->text(), shown);
    // The refresh saw the clamped value.
    CTargetDesign shownDesign;
    designFromControls(dialog, shownDesign);
    QVERIFY(dialog.GetDesign().Equals(shownDesign));
}

void TestDesignerDlg::listsHoldTheirValues()
{
    CDesignerDlg dialog;
    CTargetDesign design;
    design.LoadDefault();
    dialog.SetDesign(design);
    dialog.show();
    auto* type = qobject_cast<QComboBox*>(dialog.GetDlgItem(IDC_BULLSEYE_TYPE));
    QCOMPARE(type->count(), 2);
    QCOMPARE(type->itemText(0), QStringLiteral("X"));
    QCOMPARE(type->itemData(0).toInt(), 0);
    QCOMPARE(type->itemText(1), QStringLiteral("Cross"));
    QCOMPARE(type->itemData(1).toInt(), 1);
    auto* shape = qobject_cast<QComboBox*>(dialog.GetDlgItem(IDC_RING_SHAPE + 5));
    QCOMPARE(shape->count(), 3);
    const QStringList shapes = {QStringLiteral("Circle"), QStringLiteral("Square"), QStringLiteral("Diamond")};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(shape->itemText(i), shapes[i]);
        QCOMPARE(shape->itemData(i).toInt(), i + 2);
    }
    auto* font = qobject_cast<QComboBox*>(dialog.GetDlgItem(IDC_FONT_SIZE));
    QCOMPARE(font->count(), 16);
    QCOMPARE(font->itemText(0), QStringLiteral(" 6"));
    QCOMPARE(font->itemText(15), QStringLiteral(" 144"));
    QCOMPARE(font->itemData(14).toInt(), 108);
    QVERIFY(!font->isEditable() && !shape->isEditable() && !type->isEditable());
}

// ---------------------------------------------------------------- refresh

void TestDesignerDlg::clearingRing4ShrinksAtOnce()
{
    CTargetDesign design;
    design.LoadDefault();
    CDesignerDlg dialog;
    dialog.SetDesign(design);
    QVERIFY(showActive(dialog));
    const int paints = dialog.previewView()->paintCount();
    click(dialog, IDC_RING_ENABLE + 6);  // Ring 4
    QVERIFY(!isChecked(dialog, IDC_RING_ENABLE + 6));
    QCOMPARE(text(dialog, IDC_DIAMETER_TEXT), QStringLiteral("6.00 in"));
    // Redrawn at once, before the event loop runs again.
    QVERIFY(dialog.previewView()->paintCount() > paints);
    QVERIFY(!dialog.previewView()->GetDesign().GetElement(7)->IsEnabled());
    QCOMPARE(dialog.previewView()->GetDesign().OverallDiameter(), 6.0);

    // Everything off but the bull's-eye: its diameter; nothing: 0.00.
    for (int k = 0; k < 6; ++k) click(dialog, IDC_RING_ENABLE + k);
    QCOMPARE(text(dialog, IDC_DIAMETER_TEXT), QStringLiteral("0.50 in"));
    click(dialog, IDC_BULLSEYE_ENABLE);
    QCOMPARE(text(dialog, IDC_DIAMETER_TEXT), QStringLiteral("0.00 in"));
}

void TestDesignerDlg::enablingFollowsCheckBoxes()
{
    CTargetDesign design;
    design.LoadDefault();
    CDesignerDlg dialog;
    dialog.SetDesign(design);
    QVERIFY(showActive(dialog));
    const QList<int> ring3 = {IDC_RING_DIAMETER + 7, IDC_RING_THICKNESS + 7, IDC_RING_SHAPE + 7,
                              IDC_RING_COLOR + 7,    IDC_RING_FILL + 7,      IDC_RING_LABEL + 7};
    const QList<int> grid = {IDC_GRID_FREQUENCY, IDC_GRID_THICKNESS, IDC_GRID_COLOR};
    for (int id : ring3 + grid) QVERIFY2(!isEnabled(dialog, id), qPrintable(QString::number(id)));
    for (int id : {IDC_BULLSEYE_DIAMETER, IDC_BULLSEYE_THICKNESS, IDC_BULLSEYE_TYPE, IDC_BULLSEYE_COLOR})
        QVERIFY(isEnabled(dialog, id));
    click(dialog, IDC_RING_ENABLE + 7);
    click(dialog, IDC_GRID_ENABLE);
    for (int id : ring3 + grid) QVERIFY2(isEnabled(dialog, id), qPrintable(QString::number(id)));
    QCOMPARE(text(dialog, IDC_DIAMETER_TEXT), QStringLiteral("8.00 in"));
    QVERIFY(dialog.GetDesign().Grid().IsEnabled());
    click(dialog, IDC_BULLSEYE_ENABLE);
    QVERIFY(!isEnabled(dialog, IDC_BULLSEYE_TYPE));
    // The bull's-eye stays the design's first element, now disabled.
    QCOMPARE(dialog.GetDesign().GetElementCount(), 12);
    QCOMPARE(dialog.GetDesign().GetElement(0)->Type(), int(ELEMENT_BULLSEYE));
    QVERIFY(!dialog.GetDesign().GetElement(0)->IsEnabled());
}

// ---------------------------------------------------------------- OK

void TestDesignerDlg::okNeedsSomethingEnabled_data()
{
    QTest::addColumn<QList<int>>("keep");  // check boxes left set
    QTest::addColumn<bool>("accepted");
    QTest::newRow("nothing") << QList<int>{} << false;
    QTest::newRow("only the grid") << QList<int>{IDC_GRID_ENABLE} << false;
    QTest::newRow("only the bull's-eye") << QList<int>{IDC_BULLSEYE_ENABLE} << true;
    QTest::newRow("only Ring 0") << QList<int>{IDC_RING_ENABLE + 10} << true;
}

void TestDesignerDlg::okNeedsSomethingEnabled()
{
    QFETCH(QList<int>, keep);
    QFETCH(bool, accepted);
    CTargetDesign design;
    design.LoadDefault();
    CDesignerDlg dialog;
    dialog.SetDesign(design);
    QVERIFY(showActive(dialog));
    QList<int> boxes = {IDC_BULLSEYE_ENABLE, IDC_GRID_ENABLE};
    for (int k = 0; k < CDesignerDlg::RING_ROWS; ++k) boxes << IDC_RING_ENABLE + k;
    for (int id : boxes)
        if (isChecked(dialog, id) != keep.contains(id)) click(dialog, id);
    click(dialog, IDC_OK);
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    QCOMPARE(dialog.isVisible(), !accepted);
    if (accepted) {
        QVERIFY(MessageLog::messages().isEmpty());
        return;
    }
    QCOMPARE(MessageLog::messages().size(), 1);
    QCOMPARE(MessageLog::messages().first().text,
             QStringLiteral("You don't have anything enabled.  At least one thing must be enabled."));
    QCOMPARE(MessageLog::messages().first().caption, QStringLiteral("Ringdesigner"));
    // The dialog keeps every value.
    QCOMPARE(isChecked(dialog, IDC_GRID_ENABLE), keep.contains(IDC_GRID_ENABLE));
    QCOMPARE(text(dialog, IDC_RING_DIAMETER + 3), QStringLiteral("4.000"));
}

void TestDesignerDlg::okGivesWhatControlsShow()
{
    CTargetDesign design;
    design.LoadDefault();
    CDesignerDlg dialog;
    dialog.SetDesign(design);
    QVERIFY(showActive(dialog));
    CDesignerDlg::SetColorChooser([](QWidget*, quint32, const std::array<quint32, 16>&, quint32& chosen) {
        chosen = 0x123456;
        return true;
    });
    click(dialog, IDC_RING_ENABLE + 7);                 // Ring 3 on
    typeInto(dialog, IDC_RING_DIAMETER + 7, "8.5");
    select(dialog, IDC_RING_SHAPE + 7, "Square");
    typeInto(dialog, IDC_RING_LABEL + 7, "X3");
    click(dialog, IDC_RING_FILL + 7);
    select(dialog, IDC_RING_SHAPE + 2, "Diamond");
    typeInto(dialog, IDC_RING_THICKNESS + 2, "0.25");
    click(dialog, IDC_BULLSEYE_COLOR);
    select(dialog, IDC_BULLSEYE_TYPE, "X");
    click(dialog, IDC_GRID_ENABLE);
    typeInto(dialog, IDC_GRID_FREQUENCY, "0.5");
    select(dialog, IDC_FONT_SIZE, " 36");
    QCOMPARE(text(dialog, IDC_DIAMETER_TEXT), QStringLiteral("8.50 in"));
    click(dialog, IDC_OK);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    CTargetDesign shown;
    designFromControls(dialog, shown);
    const CTargetDesign& result = dialog.GetDesign();
    QVERIFY(result.Equals(shown));
    QVERIFY(!result.Equals(design));
    QCOMPARE(result.GetElementCount(), 12);
    const CDesignElement* ring3 = result.GetElement(8);
    QCOMPARE(ring3->Type(), int(ELEMENT_SQUARE));
    QCOMPARE(ring3->Diameter(), 8.5);
    QCOMPARE(ring3->FillColor(), 0x123456u);
    QCOMPARE(ring3->Label(), QStringLiteral("X3"));
    QVERIFY(ring3->IsEnabled());
    QCOMPARE(result.GetElement(3)->Type(), int(ELEMENT_DIAMOND));
    QCOMPARE(result.GetElement(3)->Thickness(), 0.25);
    QCOMPARE(result.GetElement(0)->OutlineColor(), 0x123456u);
    QCOMPARE(static_cast<const CBullseyeElement*>(result.GetElement(0))->Style(), int(BULLSEYE_X));
    QVERIFY(result.Grid().IsEnabled());
    QCOMPARE(result.Grid().Spacing(), 0.5);
    QCOMPARE(result.GetLabelFontSize(), 360);
    QCOMPARE(result.OverallDiameter(), 8.5);
}

void TestDesignerDlg::okTakesTheFocusedFieldsValue()
{
    CTargetDesign design;
    design.LoadDefault();
    CDesignerDlg dialog;
    dialog.SetDesign(design);
    QVERIFY(showActive(dialog));
    auto* field = qobject_cast<QLineEdit*>(dialog.GetDlgItem(IDC_RING_DIAMETER + 6));
    field->setFocus(Qt::TabFocusReason);
    field->selectAll();
    QTest::keyClicks(field, "60");
    QTest::keyClick(field, Qt::Key_Return);  // OK by the Enter key, the field keeps the focus
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(field->text(), QStringLiteral("48.000"));
    QCOMPARE(dialog.GetDesign().GetElement(7)->Diameter(), 48.0);
}

// ---------------------------------------------------------------- loading

void TestDesignerDlg::fewerRowsKeepStartValues_data()
{
    QTest::addColumn<int>("rings");  // in the file
    QTest::addColumn<int>("k");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("diameter");
    QTest::addColumn<QString>("thickness");
    QTest::addColumn<QString>("label");
    QTest::addColumn<quint32>("outline");
    QTest::addColumn<quint32>("fill");
    // The rings of the file fill the first rows; the rest keep the start
    // values, the shape "Circle" and a clear check box.
    QTest::newRow("row 0, from the file") << 3 << 0 << true << "1.000" << "0.050" << "L1" << 0x112233u << 0x445566u;
    QTest::newRow("row 1, from the file") << 3 << 1 << false << "2.000" << "0.050" << "L2" << 0x112233u << 0x445566u;
    QTest::newRow("row 2, from the file") << 3 << 2 << true << "3.000" << "0.050" << "L3" << 0x112233u << 0x445566u;
    QTest::newRow("row 1 (Ring 9), one ring in the file")
        << 1 << 1 << false << "2.000" << "0.020" << "9" << 0xFFFFFFu << 0x000000u;
    QTest::newRow("row 3 (Ring 7)") << 3 << 3 << false << "4.000" << "0.020" << "7" << 0x000000u << 0xFFFFFFu;
    QTest::newRow("row 4 (Ring 6)") << 3 << 4 << false << "5.000" << "0.020" << "6" << 0x000000u << 0xFFFFFFu;
    QTest::newRow("row 7 (Ring 3)") << 3 << 7 << false << "8.000" << "0.020" << "3" << 0x000000u << 0xFFFFFFu;
    QTest::newRow("row 10 (Ring 0)") << 3 << 10 << false << "11.000" << "0.020" << "0" << 0x000000u << 0xFFFFFFu;
}

void TestDesignerDlg::fewerRowsKeepStartValues()
{
    QFETCH(int, rings);
    QFETCH(int, k);
    QFETCH(bool, checked);
    QFETCH(QString, diameter);
    QFETCH(QString, thickness);
    QFETCH(QString, label);
    QFETCH(quint32, outline);
    QFETCH(quint32, fill);
    CTargetDesign design;
    ringsDesign(design, rings);
    QBuffer file;
    file.open(QIODevice::ReadWrite);
    QVERIFY(design.Write(file));
    file.seek(0);
    CTargetDesign read;
    QVERIFY(read.Read(file));

    CDesignerDlg dialog;
    dialog.SetDesign(read);
    dialog.show();
    QCOMPARE(isChecked(dialog, IDC_RING_ENABLE + k), checked);
    QCOMPARE(text(dialog, IDC_RING_DIAMETER + k), diameter);
    QCOMPARE(text(dialog, IDC_RING_THICKNESS + k), thickness);
    QCOMPARE(text(dialog, IDC_RING_SHAPE + k), QStringLiteral("Circle"));
    QCOMPARE(text(dialog, IDC_RING_LABEL + k), label);
    QCOMPARE(color(dialog, IDC_RING_COLOR + k), outline);
    QCOMPARE(color(dialog, IDC_RING_FILL + k), fill);
    QCOMPARE(text(dialog, IDC_BULLSEYE_TYPE), QStringLiteral("X"));
    QCOMPARE(text(dialog, IDC_BULLSEYE_DIAMETER), QStringLiteral("0.750"));
    QCOMPARE(text(dialog, IDC_FONT_SIZE), QStringLiteral(" 18"));
    // The working design now always holds the bull's-eye and eleven rows.
    QCOMPARE(dialog.GetDesign().GetElementCount(), 12);
}

void TestDesignerDlg::moreThanElevenRings()
{
    CTargetDesign design;
    ringsDesign(design, 13);
    CDesignerDlg dialog;
    dialog.SetDesign(design);
    QVERIFY(showActive(dialog));
    QCOMPARE(text(dialog, IDC_RING_DIAMETER + 10), QStringLiteral("11.000"));
    QCOMPARE(text(dialog, IDC_RING_LABEL + 10), QStringLiteral("L11"));
    click(dialog, IDC_OK);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const CTargetDesign& result = dialog.GetDesign();
    QCOMPARE(result.GetElementCount(), 12);
    QCOMPARE(result.GetElement(11)->Label(), QStringLiteral("L11"));
    QCOMPARE(result.OverallDiameter(), 11.0);
}

void TestDesignerDlg::fourCharacterLabel()
{
    CTargetDesign design;
    design.LoadDefault();
    design.GetElement(5)->SetLabel("ABCD");  // row 4
    design.Rebuild();
    CDesignerDlg dialog;
    dialog.SetDesign(design);
    QVERIFY(showActive(dialog));
    QCOMPARE(text(dialog, IDC_RING_LABEL + 4), QStringLiteral("ABCD"));
    // Typing cannot add a fifth character.
    auto* label = qobject_cast<QLineEdit*>(dialog.GetDlgItem(IDC_RING_LABEL + 4));
    label->setFocus(Qt::TabFocusReason);
    label->end(false);
    QTest::keyClick(label, Qt::Key_E);
    QCOMPARE(label->text(), QStringLiteral("ABCD"));
    dialog.GetDlgItem(IDC_CANCEL)->setFocus(Qt::MouseFocusReason);
    click(dialog, IDC_OK);
    QCOMPARE(dialog.GetDesign().GetElement(5)->Label(), QStringLiteral("ABCD"));
    QVERIFY(dialog.GetDesign().Equals(design));
}

void TestDesignerDlg::labelTypingLimited()
{
    CTargetDesign design;
    design.LoadDefault();
    design.GetElement(5)->SetLabel("ABCD");
    design.Rebuild();
    CDesignerDlg dialog;
    dialog.SetDesign(design);
    QVERIFY(showActive(dialog));
    typeInto(dialog, IDC_RING_LABEL + 3, "12345");
    QCOMPARE(text(dialog, IDC_RING_LABEL + 3), QStringLiteral("123"));
    QCOMPARE(dialog.GetDesign().GetElement(4)->Label(), QStringLiteral("123"));
    // A long label shortened by one can no longer grow past three.
    auto* label = qobject_cast<QLineEdit*>(dialog.GetDlgItem(IDC_RING_LABEL + 4));
    label->setFocus(Qt::TabFocusReason);
    label->end(false);
    QTest::keyClick(label, Qt::Key_Backspace);
    QTest::keyClick(label, Qt::Key_Z);
    QCOMPARE(label->text(), QStringLiteral("ABC"));
    // A paste is cut to what fits.
    QGuiApplication::clipboard()->setText(QStringLiteral("WXYZ"));
    auto* other = qobject_cast<QLineEdit*>(dialog.GetDlgItem(IDC_RING_LABEL + 2));
    other->setFocus(Qt::TabFocusReason);
    other->selectAll();
    QTest::keySequence(other, QKeySequence::Paste);
    QCOMPARE(other->text(), QStringLiteral("WXY"));
}

void TestDesignerDlg::unlistedFontSizeKeepsSelection()
{
    CTargetDesign design;
    design.LoadDefault();
    design.SetLabelFontSize(130);
    CDesignerDlg dialog;
    dialog.SetDesign(design);
    dialog.show();
    QCOMPARE(text(dialog, IDC_FONT_SIZE), QStringLiteral(" 12"));
    QCOMPARE(dialog.GetDesign().GetLabelFontSize(), 120);
}

// ---------------------------------------------------------------- colours

void TestDesignerDlg::colorChooserCustomColors_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<quint32>("before");  // the button's colour
    QTest::addColumn<bool>("fillColors");
    QTest::newRow("bull's-eye") << int(IDC_BULLSEYE_COLOR) << 0x010100u << false;
    QTest::newRow("ring outline") << int(IDC_RING_COLOR + 2) << 0x010103u << false;
    QTest::newRow("ring fill") << int(IDC_RING_FILL + 2) << 0xA9A9AAu << true;
    QTest::newRow("grid") << int(IDC_GRID_COLOR) << 0x606060u << false;
}

void TestDesignerDlg::colorChooserCustomColors()
{
    QFETCH(int, id);
    QFETCH(quint32, before);
    QFETCH(bool, fillColors);
    CTargetDesign design;
    design.LoadDefault();
    design.SetGrid(0x606060, 0.005, true, 1.0);
    for (int i = 0; i < design.GetElementCount(); ++i) {
        design.GetElement(i)->SetEnabled(true);
        design.GetElement(i)->SetOutline(0x010100 + quint32(i), 0.03);
    }
    design.Rebuild();
    CDesignerDlg dialog;
    dialog.SetDesign(design);
    QVERIFY(showActive(dialog));
    std::array<quint32, 16> seen{};
    quint32 initial = 0;
    int calls = 0;
    CDesignerDlg::SetColorChooser([&](QWidget*, quint32 init, const std::array<quint32, 16>& custom, quint32& chosen) {
        ++calls;
        initial = init;
        seen = custom;
        chosen = 0x0A0B0C;
        return true;
    });
    click(dialog, id);
    QCOMPARE(calls, 1);
    QCOMPARE(initial, before);
    // The button's colour, the eleven rows' outline or fill colours, and
    // four fixed greys and a blue.
    const std::array<quint32, 11> outlines = {0x010101, 0x010102, 0x010103, 0x010104, 0x010105, 0x010106,
                                              0x010107, 0x010108, 0x010109, 0x01010A, 0x01010B};
    const std::array<quint32, 11> fills = {0x0000FF, 0xA9A9AA, 0xA9A9AA, 0xA9A9AA, 0xFFFFFF, 0xFFFFFF,
                                           0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    std::array<quint32, 16> expected{before};
    std::copy_n((fillColors ? fills : outlines).begin(), 11, expected.begin() + 1);
    std::copy_n(std::array<quint32, 4>{0xB2B2B2, 0x999999, 0x7F7F7F, 0x499BEF}.begin(), 4, expected.begin() + 12);
    QCOMPARE(seen, expected);
    QCOMPARE(color(dialog, id), 0x0A0B0Cu);
    QCOMPARE(dialog.lastColorKind(), fillColors ? CDesignerDlg::COLOR_FILL : CDesignerDlg::COLOR_OUTLINE);
    CTargetDesign shown;
    designFromControls(dialog, shown);
    QVERIFY(dialog.GetDesign().Equals(shown));
}

void TestDesignerDlg::colorChooserCancelChangesNothing()
{
    CTargetDesign design;
    design.LoadDefault();
    CDesignerDlg dialog;
    dialog.SetDesign(design);
    QVERIFY(showActive(dialog));
    CDesignerDlg::SetColorChooser([](QWidget*, quint32, const std::array<quint32, 16>&, quint32& chosen) {
        chosen = 0x777777;
        return false;
    });
    click(dialog, IDC_RING_FILL + 0);
    QCOMPARE(color(dialog, IDC_RING_FILL + 0), 0x0000FFu);
    QVERIFY(dialog.GetDesign().Equals(design));
}

// ---------------------------------------------------------------- file, size

void TestDesignerDlg::editedDesignSurvivesFile()
{
    CTargetDesign design;
    design.LoadDefault();
    CDesignerDlg dialog;
    dialog.SetDesign(design);
    QVERIFY(showActive(dialog));
    CDesignerDlg::SetColorChooser([](QWidget*, quint32, const std::array<quint32, 16>&, quint32& chosen) {
        chosen = 0x00C0FF;
        return true;
    });
    click(dialog, IDC_RING_ENABLE + 8);
    select(dialog, IDC_RING_SHAPE + 8, "Diamond");
    click(dialog, IDC_RING_COLOR + 8);
    typeInto(dialog, IDC_RING_LABEL + 8, "2x");
    click(dialog, IDC_OK);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    const QByteArray bytes = bytesOf(dialog.GetDesign());
    QCOMPARE(bytes.size(), 807);  // the bull's-eye and eleven rings
    QBuffer file;
    file.setData(bytes);
    file.open(QIODevice::ReadOnly);
    CTargetDesign reopened;
    QVERIFY(reopened.Read(file));
    QVERIFY(reopened.Equals(dialog.GetDesign()));
    QCOMPARE(bytesOf(reopened), bytes);

    // Opening the dialog on the reopened design and pressing OK changes nothing.
    CDesignerDlg again;
    again.SetDesign(reopened);
    QVERIFY(showActive(again));
    click(again, IDC_OK);
    QCOMPARE(bytesOf(again.GetDesign()), bytes);
}

void TestDesignerDlg::fitsSmallScreen()
{
    CTargetDesign design;
    design.LoadDefault();
    CDesignerDlg dialog;
    dialog.SetDesign(design);
    dialog.show();
    const QSize size = dialog.frameGeometry().size();
    QVERIFY2(size.width() <= 1366 && size.height() <= 768 - 40,
             qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
    // The preview is a square-ish area of a useful size.
    const QSize preview = dialog.GetDlgItem(IDC_PREVIEW_FRAME)->size();
    QVERIFY(preview.width() >= 300 && preview.height() >= 300);
}

void TestDesignerDlg::closingWithFocusInField()
{
    // Destroying the dialog moves the focus out of the field being typed in;
    // that must not rebuild a design that is being destroyed.
    CTargetDesign design;
    design.LoadDefault();
    for (int id : {int(IDC_RING_DIAMETER + 2), int(IDC_RING_LABEL + 2), int(IDC_GRID_FREQUENCY)}) {
        auto* dialog = new CDesignerDlg;
        dialog->SetDesign(design);
        QVERIFY(showActive(*dialog));
        auto* field = qobject_cast<QLineEdit*>(dialog->GetDlgItem(id));
        field->setEnabled(true);
        field->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(field, "5");
        QCOMPARE(QApplication::focusWidget(), field);
        delete dialog;
    }
    QVERIFY(MessageLog::messages().isEmpty());
}


// ---------------------------------------------------------------- units

void TestDesignerDlg::unitsShowAndKeepValues_data()
{
    QTest::addColumn<QString>("units");    // lengths' unit
    QTest::addColumn<QString>("spacing");  // grid's unit, "MOA@100yd" for an angle
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("typed");    // empty: left as shown
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("kept");      // inches in the design after OK

    // Ring 10 is the 155.5 mm air pistol ring, 6.1220472... in; the grid 2 in.
    const double ring = 6.122047244094489;
    const int dia = IDC_RING_DIAMETER;
    QTest::newRow("inches to 0.001, kept exactly") << "in" << "in" << dia << "" << "6.122" << ring;
    QTest::newRow("mm to 0.01, kept exactly") << "mm" << "mm" << dia << "" << "155.50" << ring;
    QTest::newRow("typed mm") << "mm" << "mm" << dia << "150" << "150.00" << 5.905511811023622;
    QTest::newRow("grid in MOA: 2 / 1.0472") << "in" << "MOA@100yd" << int(IDC_GRID_FREQUENCY) << "" << "1.91" << 2.0;
    // 3600 in times the tangent of one minute of angle.
    QTest::newRow("typed 1 MOA at 100 yd") << "in" << "MOA@100yd" << int(IDC_GRID_FREQUENCY) << "1" << "1.00"
                                           << 1.0471975807331373;
    QTest::newRow("typed 1 shooter's MOA at 50 yd") << "in" << "shooter's MOA@50yd" << int(IDC_GRID_FREQUENCY) << "1"
                                                    << "1.00" << 0.5;
    QTest::newRow("typed 2 MIL at 100 m: 200 mm") << "mm" << "MIL@100m" << int(IDC_GRID_FREQUENCY) << "2"
                                                  << "2.00" << 7.874015748031496;
    QTest::newRow("0.05 MIL at 100 m is under the 0.25 in floor") << "in" << "MIL@100m" << int(IDC_GRID_FREQUENCY)
                                                                  << "0.05" << "0.06" << 0.25;
}

void TestDesignerDlg::unitsShowAndKeepValues()
{
    QFETCH(QString, units);
    QFETCH(QString, spacing);
    QFETCH(int, id);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(double, kept);
    QFile::remove(ProfilePath());
    CTargetDesign design;
    design.LoadDefault();
    design.GetElement(1)->SetDiameter(6.122047244094489);  // 155.5 mm
    design.SetGrid(0x606060, 0.005, true, 2.0);
    design.Rebuild();
    CDesignerDlg dialog;
    dialog.SetDesign(design);
    QVERIFY(showActive(dialog));
    select(dialog, IDC_LENGTH_UNIT, units);
    const QStringList angle = spacing.split(QLatin1Char('@'));
    select(dialog, IDC_SPACING_UNIT, angle[0]);
    if (angle.size() > 1) {
        const bool metres = angle[1].endsWith(QLatin1String("m")) && !angle[1].endsWith(QLatin1String("yd"));
        select(dialog, IDC_SPACING_RANGE_UNIT, metres ? QStringLiteral("m") : QStringLiteral("yd"));
        typeInto(dialog, IDC_SPACING_RANGE, angle[1].chopped(metres ? 1 : 2));
    }
    QCOMPARE(text(dialog, IDC_UNIT_NOTE), units == QLatin1String("mm")
                                              ? QStringLiteral("NOTE: All measurements are in millimetres.")
                                              : QStringLiteral("NOTE: All measurements are in inches."));
    if (!typed.isEmpty()) typeInto(dialog, id, typed);
    QCOMPARE(text(dialog, id), shown);
    click(dialog, IDC_OK);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const double value =
        id == IDC_GRID_FREQUENCY ? dialog.GetDesign().Grid().Spacing() : dialog.GetDesign().GetElement(1)->Diameter();
    QVERIFY2(std::fabs(value - kept) < 1e-12, qPrintable(QString::number(value, 'g', 17)));
    QFile::remove(ProfilePath());
}

QTEST_MAIN(TestDesignerDlg)
#include "tst_designerdlg.moc"
