#include "helper_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include "designer/TargetDesign.h"
#include "platform/ui/ColorSwatchButton.h"
#include "ringdesigner/DesignerDlg.h"

namespace DialogDriver {

bool showActive(CDesignerDlg& dialog)
{
    dialog.show();
    dialog.activateWindow();
    return QTest::qWaitForWindowActive(&dialog);
}

void typeInto(CDesignerDlg& dialog, int id, const QString& text)
{
    auto* edit = qobject_cast<QLineEdit*>(dialog.GetDlgItem(id));
    QVERIFY2(edit, qPrintable(QStringLiteral("no field %1").arg(id)));
    edit->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), edit);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    // Leave the field for the OK button, as a click elsewhere would.
    dialog.GetDlgItem(IDC_CANCEL)->setFocus(Qt::MouseFocusReason);
}

void click(CDesignerDlg& dialog, int id)
{
    QWidget* w = dialog.GetDlgItem(id);
    QVERIFY(w);
    QPoint at = w->rect().center();
    if (auto* box = qobject_cast<QCheckBox*>(w)) {
        QStyleOptionButton option;
        option.initFrom(box);
        at = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).center();
    }
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
}

void select(CDesignerDlg& dialog, int id, const QString& text)
{
    auto* list = qobject_cast<QComboBox*>(dialog.GetDlgItem(id));
    QVERIFY(list);
    const int index = list->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    list->setCurrentIndex(index);
}

QString text(const CDesignerDlg& dialog, int id)
{
    QWidget* w = dialog.GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    if (auto* list = qobject_cast<QComboBox*>(w)) return list->currentText();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    return QString();
}

bool isChecked(const CDesignerDlg& dialog, int id)
{
    auto* box = qobject_cast<QCheckBox*>(dialog.GetDlgItem(id));
    return box && box->isChecked();
}

bool isEnabled(const CDesignerDlg& dialog, int id)
{
    QWidget* w = dialog.GetDlgItem(id);
    return w && w->isEnabled();
}

quint32 color(const CDesignerDlg& dialog, int id)
{
    auto* swatch = qobject_cast<ColorSwatchButton*>(dialog.GetDlgItem(id));
    return swatch ? swatch->GetColor() : 0xFFFFFFFFu;
}

void designFromControls(const CDesignerDlg& dialog, CTargetDesign& design)
{
    design.Clear();
    design.SetLabelFontSize(text(dialog, IDC_FONT_SIZE).trimmed().toInt() * 10);
    design.AddBullseye(text(dialog, IDC_BULLSEYE_DIAMETER).toDouble(), color(dialog, IDC_BULLSEYE_COLOR),
                       text(dialog, IDC_BULLSEYE_THICKNESS).toDouble(), isChecked(dialog, IDC_BULLSEYE_ENABLE),
                       text(dialog, IDC_BULLSEYE_TYPE) == QLatin1String("Cross") ? 1 : 0, false);
    for (int k = 0; k < CDesignerDlg::RING_ROWS; ++k) {
        const double d = text(dialog, IDC_RING_DIAMETER + k).toDouble();
        const double t = text(dialog, IDC_RING_THICKNESS + k).toDouble();
        const quint32 outline = color(dialog, IDC_RING_COLOR + k);
        const quint32 fill = color(dialog, IDC_RING_FILL + k);
        const bool on = isChecked(dialog, IDC_RING_ENABLE + k);
        const QString label = text(dialog, IDC_RING_LABEL + k);
        const QString shape = text(dialog, IDC_RING_SHAPE + k);
        if (shape == QLatin1String("Square"))
            design.AddSquare(d, outline, t, on, fill, label, false);
        else if (shape == QLatin1String("Diamond"))
            design.AddDiamond(d, outline, t, on, fill, label, false);
        else
            design.AddCircle(d, outline, t, on, fill, label, false);
    }
    design.SetGrid(color(dialog, IDC_GRID_COLOR), text(dialog, IDC_GRID_THICKNESS).toDouble(),
                   isChecked(dialog, IDC_GRID_ENABLE), text(dialog, IDC_GRID_FREQUENCY).toDouble());
    design.Rebuild();
}

}  // namespace DialogDriver
