#include "ringdesigner/DesignerDlg.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QVBoxLayout>

#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/Units.h"
#include "platform/ui/ColorSwatchButton.h"
#include "platform/ui/NumericEdit.h"
#include "ringdesigner/MiniTargetView.h"

// ------------------------------------------------------------ label field

DesignLabelEdit::DesignLabelEdit(QWidget* parent) : QLineEdit(parent)
{
    // A dropped text would bypass the limit.
    setAcceptDrops(false);
}

qsizetype DesignLabelEdit::room() const
{
    const qsizetype after = text().size() - selectedText().size();
    return std::max<qsizetype>(0, m_nLimit - after);
}

void DesignLabelEdit::pasteLimited()
{
    if (isReadOnly()) return;
    QString clip = QGuiApplication::clipboard()->text();
    const qsizetype newline = clip.indexOf(QLatin1Char('\n'));
    if (newline >= 0) clip.truncate(newline);
    clip.truncate(room());
    if (clip.isEmpty()) {
        QApplication::beep();
        return;
    }
    insert(clip);
}

void DesignLabelEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteLimited();
        event->accept();
        return;
    }
    const QString typed = event->text();
    const bool inserts = !typed.isEmpty() && typed.at(0).isPrint()
                         && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (inserts && !isReadOnly() && typed.size() > room()) {
        QApplication::beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DesignLabelEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty() && event->commitString().size() > room()) {
        QApplication::beep();
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void DesignLabelEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu();
    for (QAction* action : menu->actions()) {
        if (action->objectName() != QLatin1String("edit-paste")) continue;
        action->disconnect();
        connect(action, &QAction::triggered, this, &DesignLabelEdit::pasteLimited);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void DesignLabelEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason) emit focusLost();
}

// ------------------------------------------------------------ colour chooser

namespace {

DesignColor fromQColor(const QColor& c)
{
    return DesignColor(c.red()) | (DesignColor(c.green()) << 8) | (DesignColor(c.blue()) << 16);
}

bool systemColorChooser(QWidget* parent, DesignColor initial, const std::array<DesignColor, 16>& customColors,
                        DesignColor& chosen)
{
    for (int i = 0; i < int(customColors.size()) && i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, DesignQColor(customColors[size_t(i)]));
    QColorDialog dialog(DesignQColor(initial), parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    chosen = fromQColor(dialog.selectedColor());
    return true;
}

CDesignerDlg::ColorChooser& chooserSlot()
{
    static CDesignerDlg::ColorChooser chooser;
    return chooser;
}

constexpr DesignColor kWhite = 0xFFFFFF;
constexpr DesignColor kBlack = 0x000000;

// The four fixed custom colours after the button's own and the eleven rows'.
constexpr std::array<DesignColor, 4> kFixedCustomColors = {0xB2B2B2, 0x999999, 0x7F7F7F, 0x499BEF};

int selectedValue(const QComboBox* list)
{
    return list->currentIndex() < 0 ? 0 : list->currentData().toInt();
}

}  // namespace

void CDesignerDlg::SetColorChooser(ColorChooser chooser) { chooserSlot() = std::move(chooser); }

const std::array<int, 16>& CDesignerDlg::FontSizes()
{
    static const std::array<int, 16> sizes = {6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 28, 36, 48, 72, 108, 144};
    return sizes;
}

// ------------------------------------------------------------ construction

CDesignerDlg::CDesignerDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Ringdesigner"));
    setModal(true);
    createControls();
    layoutControls();
    connectControls();

    m_lengths.add(m_pBullseyeDiameter, 0.15, 36.0, false);
    m_lengths.add(m_pBullseyeThickness, 0.003, 0.5, true);
    for (RingRow& row : m_rings) {
        m_lengths.add(row.diameter, 0.15, 48.0, true);
        m_lengths.add(row.thickness, 0.003, 0.5, true);
    }
    m_lengths.add(m_pGridFrequency, 0.25, 12.0, false);
    m_lengths.add(m_pGridThickness, 0.003, 0.5, false);
    m_pSpacingRange->Configure(1, false, true, 1.0, 5000.0);
}

CDesignerDlg::~CDesignerDlg()
{
    // Hiding moves the focus out of a field, which would refresh; it must
    // happen while the working design still exists, and rebuild nothing.
    m_bInitialized = false;
    hide();
}

void CDesignerDlg::registerControl(int id, QWidget* control)
{
    m_controls.insert(id, control);
    control->setObjectName(QStringLiteral("ctl%1").arg(id));
}

void CDesignerDlg::createControls()
{
    m_pBullseyeEnable = new QCheckBox(QStringLiteral("Bull's-eye"), this);
    m_pBullseyeDiameter = new NumericEdit(this);
    m_pBullseyeThickness = new NumericEdit(this);
    m_pBullseyeType = new QComboBox(this);
    m_pBullseyeColor = new ColorSwatchButton(QStringLiteral("B"), this);
    registerControl(IDC_BULLSEYE_ENABLE, m_pBullseyeEnable);
    registerControl(IDC_BULLSEYE_DIAMETER, m_pBullseyeDiameter);
    registerControl(IDC_BULLSEYE_THICKNESS, m_pBullseyeThickness);
    registerControl(IDC_BULLSEYE_TYPE, m_pBullseyeType);
    registerControl(IDC_BULLSEYE_COLOR, m_pBullseyeColor);

    for (int k = 0; k < RING_ROWS; ++k) {
        RingRow& row = m_rings[size_t(k)];
        row.enable = new QCheckBox(QStringLiteral("Ring %1").arg(10 - k), this);
        row.diameter = new NumericEdit(this);
        row.thickness = new NumericEdit(this);
        row.shape = new QComboBox(this);
        row.outline = new ColorSwatchButton(this);
        row.fill = new ColorSwatchButton(this);
        row.label = new DesignLabelEdit(this);
        registerControl(IDC_RING_ENABLE + k, row.enable);
        registerControl(IDC_RING_DIAMETER + k, row.diameter);
        registerControl(IDC_RING_THICKNESS + k, row.thickness);
        registerControl(IDC_RING_SHAPE + k, row.shape);
        registerControl(IDC_RING_COLOR + k, row.outline);
        registerControl(IDC_RING_FILL + k, row.fill);
        registerControl(IDC_RING_LABEL + k, row.label);
    }

    m_pGridEnable = new QCheckBox(QStringLiteral("Grid"), this);
    m_pGridFrequency = new NumericEdit(this);
    m_pGridThickness = new NumericEdit(this);
    m_pGridColor = new ColorSwatchButton(QStringLiteral("G"), this);
    registerControl(IDC_GRID_ENABLE, m_pGridEnable);
    registerControl(IDC_GRID_FREQUENCY, m_pGridFrequency);
    registerControl(IDC_GRID_THICKNESS, m_pGridThickness);
    registerControl(IDC_GRID_COLOR, m_pGridColor);

    m_pFontSize = new QComboBox(this);
    registerControl(IDC_FONT_SIZE, m_pFontSize);

    m_pLengthUnit = new QComboBox(this);
    for (LengthUnit u : {LengthUnit::Inches, LengthUnit::Millimetres}) m_pLengthUnit->addItem(LengthUnitName(u));
    m_pUnitNote = new QLabel(MeasurementNote(LengthUnit::Inches), this);
    m_pSpacingUnit = new QComboBox(this);
    for (int i = 0; i < SPACING_UNIT_COUNT; ++i)
        m_pSpacingUnit->addItem(SpacingUnit(i) == SpacingUnit::ShooterMoa ? QStringLiteral("shooter's MOA")
                                                                          : SpacingUnitName(SpacingUnit(i)));
    m_pSpacingRange = new NumericEdit(this);
    m_pSpacingRangeUnit = new QComboBox(this);
    for (RangeUnit u : {RangeUnit::Yards, RangeUnit::Metres}) m_pSpacingRangeUnit->addItem(RangeUnitName(u));
    registerControl(IDC_LENGTH_UNIT, m_pLengthUnit);
    registerControl(IDC_UNIT_NOTE, m_pUnitNote);
    registerControl(IDC_SPACING_UNIT, m_pSpacingUnit);
    registerControl(IDC_SPACING_RANGE, m_pSpacingRange);
    registerControl(IDC_SPACING_RANGE_UNIT, m_pSpacingRangeUnit);

    m_pDiameterText = new QLabel(this);
    m_pDiameterText->setAlignment(Qt::AlignCenter);
    registerControl(IDC_DIAMETER_TEXT, m_pDiameterText);
    m_pPreviewHost = new QFrame(this);
    m_pPreviewHost->setFrameShape(QFrame::NoFrame);
    m_pPreviewHost->setMinimumSize(340, 340);
    m_pPreviewHost->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    registerControl(IDC_PREVIEW_FRAME, m_pPreviewHost);

    m_pOk = new QPushButton(QStringLiteral("OK"), this);
    m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_pOk->setDefault(true);
    registerControl(IDC_OK, m_pOk);
    registerControl(IDC_CANCEL, m_pCancel);
}

QGridLayout* CDesignerDlg::layoutRingGrid()
{
    // Column widths that hold the longest text each control shows.
    const QFontMetrics fm(font());
    const int numberWidth = fm.horizontalAdvance(QStringLiteral("000.000")) + 14;
    const int swatchWidth = fm.horizontalAdvance(QStringLiteral("WW")) + 20;
    const int labelWidth = fm.horizontalAdvance(QStringLiteral("WWWW")) + 12;

    enum { COL_NAME, COL_DIAMETER, COL_THICKNESS, COL_TYPE, COL_COLOR, COL_FILL, COL_LABEL, COL_COUNT };
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);

    auto header = [this](const QString& text) {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        return label;
    };
    grid->addWidget(header(QStringLiteral("Diameter")), 0, COL_DIAMETER);
    grid->addWidget(header(QStringLiteral("Thickness")), 0, COL_THICKNESS);
    grid->addWidget(header(QStringLiteral("Type")), 0, COL_TYPE);
    grid->addWidget(header(QStringLiteral("Color")), 0, COL_COLOR);
    grid->addWidget(header(QStringLiteral("Fill")), 0, COL_FILL);
    grid->addWidget(header(QStringLiteral("Label")), 0, COL_LABEL);

    auto place = [&](QWidget* w, int row, int col) {
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            edit->setFixedWidth(col == COL_LABEL ? labelWidth : numberWidth);
            edit->setAlignment(col == COL_LABEL ? Qt::AlignHCenter : Qt::AlignRight);
        } else if (auto* swatch = qobject_cast<ColorSwatchButton*>(w)) {
            swatch->setFixedWidth(swatchWidth);
        }
        grid->addWidget(w, row, col, col == COL_NAME ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    };

    int r = 1;
    place(m_pBullseyeEnable, r, COL_NAME);
    place(m_pBullseyeDiameter, r, COL_DIAMETER);
    place(m_pBullseyeThickness, r, COL_THICKNESS);
    place(m_pBullseyeType, r, COL_TYPE);
    place(m_pBullseyeColor, r, COL_COLOR);
    ++r;
    for (RingRow& row : m_rings) {
        place(row.enable, r, COL_NAME);
        place(row.diameter, r, COL_DIAMETER);
        place(row.thickness, r, COL_THICKNESS);
        place(row.shape, r, COL_TYPE);
        place(row.outline, r, COL_COLOR);
        place(row.fill, r, COL_FILL);
        place(row.label, r, COL_LABEL);
        ++r;
    }
    // The grid's first number is its line spacing, so it gets a heading of
    // its own over the diameter column.
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    grid->addWidget(rule, r++, 0, 1, COL_COUNT);
    grid->addWidget(header(QStringLiteral("Frequency")), r++, COL_DIAMETER);
    place(m_pGridEnable, r, COL_NAME);
    place(m_pGridFrequency, r, COL_DIAMETER);
    place(m_pGridThickness, r, COL_THICKNESS);
    place(m_pGridColor, r, COL_COLOR);
    ++r;
    grid->addLayout(layoutSpacingRow(numberWidth), r++, COL_NAME, 1, COL_COUNT);
    for (QComboBox* list : {m_pBullseyeType, m_pFontSize}) list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (RingRow& row : m_rings) row.shape->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    grid->setRowStretch(r, 1);
    return grid;
}

// The spacing's unit, and for an angle the distance it is seen from.
QHBoxLayout* CDesignerDlg::layoutSpacingRow(int numberWidth)
{
    auto* spacing = new QHBoxLayout;
    spacing->setSpacing(6);
    spacing->addWidget(new QLabel(QStringLiteral("Frequency in"), this));
    spacing->addWidget(m_pSpacingUnit);
    spacing->addWidget(new QLabel(QStringLiteral("at"), this));
    m_pSpacingRange->setFixedWidth(numberWidth);
    m_pSpacingRange->setAlignment(Qt::AlignRight);
    spacing->addWidget(m_pSpacingRange);
    spacing->addWidget(m_pSpacingRangeUnit);
    spacing->addStretch(1);
    return spacing;
}

void CDesignerDlg::layoutControls()
{
    QGridLayout* grid = layoutRingGrid();

    auto* preview = new QVBoxLayout;
    preview->setSpacing(4);
    preview->addWidget(m_pDiameterText);
    preview->addWidget(m_pPreviewHost, 1);

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addLayout(grid);
    top->addLayout(preview, 1);

    QHBoxLayout* bottom = layoutBottomRow();

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 10, 12, 10);
    outer->setSpacing(10);
    outer->addLayout(top, 1);
    outer->addLayout(bottom);
}

// The font size, the units and the buttons under the grid and preview.
QHBoxLayout* CDesignerDlg::layoutBottomRow()
{
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(6);
    bottom->addWidget(new QLabel(QStringLiteral("Label Font Size:"), this));
    bottom->addWidget(m_pFontSize);
    bottom->addWidget(new QLabel(QStringLiteral("pt."), this));
    bottom->addSpacing(24);
    bottom->addWidget(new QLabel(QStringLiteral("Units:"), this));
    bottom->addWidget(m_pLengthUnit);
    bottom->addSpacing(12);
    bottom->addWidget(m_pUnitNote);
    bottom->addStretch(1);
    bottom->addWidget(m_pOk);
    bottom->addWidget(m_pCancel);
    return bottom;
}

void CDesignerDlg::connectControls()
{
    const auto refresh = [this] { Refresh(); };

    connect(m_pBullseyeEnable, &QCheckBox::clicked, this, [this](bool on) {
        m_nBullseyeEnabled = on ? 1 : 0;
        applyEnablingRules();
    });
    for (int k = 0; k < RING_ROWS; ++k) {
        RingRow& row = m_rings[size_t(k)];
        connect(row.enable, &QCheckBox::clicked, this, [this, k](bool on) {
            m_nRingEnabled[size_t(k)] = on ? 1 : 0;
            applyEnablingRules();
        });
        connect(row.diameter, &NumericFieldBase::focusLost, this, refresh);
        connect(row.thickness, &NumericFieldBase::focusLost, this, refresh);
        connect(row.label, &DesignLabelEdit::focusLost, this, refresh);
        connect(row.shape, &QComboBox::currentIndexChanged, this, refresh);
        ColorSwatchButton* outline = row.outline;
        ColorSwatchButton* fill = row.fill;
        connect(outline, &QPushButton::clicked, this, [this, outline] { chooseColor(outline, COLOR_OUTLINE); });
        connect(fill, &QPushButton::clicked, this, [this, fill] { chooseColor(fill, COLOR_FILL); });
    }
    connect(m_pGridEnable, &QCheckBox::clicked, this, [this](bool on) {
        m_nGridEnabled = on ? 1 : 0;
        applyEnablingRules();
    });

    for (NumericEdit* field : {m_pBullseyeDiameter, m_pBullseyeThickness, m_pGridFrequency, m_pGridThickness})
        connect(field, &NumericFieldBase::focusLost, this, refresh);
    connect(m_pBullseyeType, &QComboBox::currentIndexChanged, this, refresh);
    connect(m_pFontSize, &QComboBox::currentIndexChanged, this, refresh);
    connect(m_pBullseyeColor, &QPushButton::clicked, this, [this] { chooseColor(m_pBullseyeColor, COLOR_OUTLINE); });
    connect(m_pGridColor, &QPushButton::clicked, this, [this] { chooseColor(m_pGridColor, COLOR_OUTLINE); });

    connect(m_pLengthUnit, &QComboBox::currentIndexChanged, this, [this](int i) {
        const LengthUnit before = m_lengthUnit;
        m_lengthUnit = LengthUnit(i);
        // A spacing in the lengths' unit follows it; an angle stays.
        if (m_spacingUnit == SpacingUnit(int(before))) m_spacingUnit = SpacingUnit(i);
        applyUnits(true);
    });
    connect(m_pSpacingUnit, &QComboBox::currentIndexChanged, this, [this](int i) {
        m_spacingUnit = SpacingUnit(i);
        applyUnits(true);
    });
    connect(m_pSpacingRangeUnit, &QComboBox::currentIndexChanged, this, [this](int i) {
        m_rangeUnit = RangeUnit(i);
        applyUnits(true);
    });
    connect(m_pSpacingRange, &NumericFieldBase::focusLost, this, [this] {
        if (m_pSpacingRange->GetValue() == m_dSpacingRange) return;
        m_dSpacingRange = m_pSpacingRange->GetValue();
        applyUnits(true);
    });

    connect(m_pOk, &QPushButton::clicked, this, &CDesignerDlg::OnOK);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
}

// ------------------------------------------------------------ interface

void CDesignerDlg::SetDesign(const CTargetDesign& design, const QString& name)
{
    m_design.CopyFrom(design);
    if (!name.isEmpty()) m_strCaption = QStringLiteral("Ringdesigner - %1").arg(name);
}

CMiniTargetView* CDesignerDlg::previewView() const
{
    return m_pPreviewFrame ? m_pPreviewFrame->GetActiveView() : nullptr;
}

int CDesignerDlg::DoModal()
{
    if (!m_pPreviewFrame) OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CDesignerDlg::showEvent(QShowEvent* event)
{
    if (!m_pPreviewFrame) OnInitDialog();
    QDialog::showEvent(event);
}

// ------------------------------------------------------------ opening

void CDesignerDlg::OnInitDialog()
{
    if (!m_strCaption.isEmpty()) setWindowTitle(m_strCaption);

    m_pPreviewFrame = new CMiniTargetFrame(m_pPreviewHost);
    m_pPreviewFrame->GetActiveView()->SetDesign(m_design);

    readUnitSettings();
    applyUnits(false);
    fillStartValues();
    loadControls();

    m_bInitialized = true;
    applyEnablingRules();
}

void CDesignerDlg::fillStartValues()
{
    m_lengths.set(m_pBullseyeDiameter, 0.5);
    m_lengths.set(m_pBullseyeThickness, 0.02);
    m_pBullseyeType->clear();
    m_pBullseyeType->addItem(QStringLiteral("X"), int(BULLSEYE_X));
    m_pBullseyeType->addItem(QStringLiteral("Cross"), int(BULLSEYE_CROSS));
    m_pBullseyeType->setCurrentIndex(0);
    m_pBullseyeColor->SetColor(kWhite);

    for (int k = 0; k < RING_ROWS; ++k) {
        RingRow& row = m_rings[size_t(k)];
        const int n = 10 - k;
        m_lengths.set(row.diameter, double(k + 1));
        m_lengths.set(row.thickness, 0.02);
        row.shape->clear();
        row.shape->addItem(QStringLiteral("Circle"), int(ELEMENT_CIRCLE));
        row.shape->addItem(QStringLiteral("Square"), int(ELEMENT_SQUARE));
        row.shape->addItem(QStringLiteral("Diamond"), int(ELEMENT_DIAMOND));
        row.shape->setCurrentIndex(0);
        const bool dark = n >= 9;
        row.outline->SetColor(dark ? kWhite : kBlack);
        row.fill->SetColor(dark ? kBlack : kWhite);
        row.label->setText(n < 10 ? QString::number(n) : QString());
        row.label->setTypingLimit(3);
    }

    m_pFontSize->clear();
    for (int size : FontSizes()) m_pFontSize->addItem(QStringLiteral(" %1").arg(size), size);
    m_pFontSize->setCurrentIndex(3);
}

void CDesignerDlg::loadControls()
{
    for (int i = 0; i < m_design.GetElementCount(); ++i) {
        const CDesignElement* e = m_design.GetElement(i);
        if (e->Type() != ELEMENT_BULLSEYE) continue;
        const auto* bullseye = static_cast<const CBullseyeElement*>(e);
        m_nBullseyeEnabled = e->IsEnabled() ? 1 : 0;
        m_lengths.set(m_pBullseyeDiameter, e->Diameter());
        m_lengths.set(m_pBullseyeThickness, e->Thickness());
        m_pBullseyeColor->SetColor(e->OutlineColor());
        m_pBullseyeType->setCurrentIndex(bullseye->Style() == BULLSEYE_CROSS ? 1 : 0);
        break;
    }

    int k = 0;
    for (int i = 0; i < m_design.GetElementCount() && k < RING_ROWS; ++i) {
        const CDesignElement* e = m_design.GetElement(i);
        if (e->Type() == ELEMENT_BULLSEYE) continue;
        RingRow& row = m_rings[size_t(k)];
        m_nRingEnabled[size_t(k)] = e->IsEnabled() ? 1 : 0;
        m_lengths.set(row.diameter, e->Diameter());
        m_lengths.set(row.thickness, e->Thickness());
        row.shape->setCurrentIndex(e->Type() == ELEMENT_SQUARE ? 1 : e->Type() == ELEMENT_DIAMOND ? 2 : 0);
        row.outline->SetColor(e->OutlineColor());
        row.fill->SetColor(e->FillColor());
        row.label->setText(e->Label());
        ++k;
    }

    const CGridElement& grid = m_design.Grid();
    m_nGridEnabled = grid.IsEnabled() ? 1 : 0;
    m_lengths.set(m_pGridFrequency, grid.Spacing());
    m_lengths.set(m_pGridThickness, grid.Thickness());
    m_pGridColor->SetColor(grid.OutlineColor());

    const QString prefix = QStringLiteral(" %1").arg(m_design.GetLabelFontSize() / 10);
    for (int i = 0; i < m_pFontSize->count(); ++i) {
        if (m_pFontSize->itemText(i).startsWith(prefix)) {
            m_pFontSize->setCurrentIndex(i);
            break;
        }
    }

    exchangeEnabledFlags(false);
}

void CDesignerDlg::exchangeEnabledFlags(bool fromControls)
{
    const auto exchange = [fromControls](QCheckBox* box, int& flag) {
        if (fromControls)
            flag = box->isChecked() ? 1 : 0;
        else
            box->setChecked(flag != 0);
    };
    exchange(m_pBullseyeEnable, m_nBullseyeEnabled);
    for (int k = 0; k < RING_ROWS; ++k) exchange(m_rings[size_t(k)].enable, m_nRingEnabled[size_t(k)]);
    exchange(m_pGridEnable, m_nGridEnabled);
}

void CDesignerDlg::applyEnablingRules()
{
    const bool bullseye = m_pBullseyeEnable->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{m_pBullseyeDiameter, m_pBullseyeThickness, m_pBullseyeType,
                                                      m_pBullseyeColor})
        w->setEnabled(bullseye);
    for (RingRow& row : m_rings) {
        const bool on = row.enable->isChecked();
        for (QWidget* w : std::initializer_list<QWidget*>{row.diameter, row.thickness, row.shape, row.outline,
                                                          row.fill, row.label})
            w->setEnabled(on);
    }
    const bool grid = m_pGridEnable->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{m_pGridFrequency, m_pGridThickness, m_pGridColor})
        w->setEnabled(grid);
    Refresh();
}

// ------------------------------------------------------------ refresh

void CDesignerDlg::Refresh()
{
    if (!m_bInitialized) return;

    m_design.Clear();
    m_design.SetLabelFontSize(selectedValue(m_pFontSize) * 10);
    m_design.AddBullseye(m_lengths.get(m_pBullseyeDiameter), m_pBullseyeColor->GetColor(),
                         m_lengths.get(m_pBullseyeThickness), m_nBullseyeEnabled != 0, selectedValue(m_pBullseyeType),
                         false);
    for (int k = 0; k < RING_ROWS; ++k) {
        const RingRow& row = m_rings[size_t(k)];
        const QString label = row.label->text();
        const double diameter = m_lengths.get(row.diameter);
        const double thickness = m_lengths.get(row.thickness);
        const DesignColor outline = row.outline->GetColor();
        const DesignColor fill = row.fill->GetColor();
        const bool enabled = m_nRingEnabled[size_t(k)] != 0;
        switch (selectedValue(row.shape)) {
        case ELEMENT_SQUARE: m_design.AddSquare(diameter, outline, thickness, enabled, fill, label, false); break;
        case ELEMENT_DIAMOND: m_design.AddDiamond(diameter, outline, thickness, enabled, fill, label, false); break;
        default: m_design.AddCircle(diameter, outline, thickness, enabled, fill, label, false); break;
        }
    }
    m_design.SetGrid(m_pGridColor->GetColor(), m_lengths.get(m_pGridThickness), m_nGridEnabled != 0,
                     m_lengths.get(m_pGridFrequency));
    m_design.Rebuild();

    CMiniTargetView* view = previewView();
    view->SetDesign(m_design);
    const CDesignElement* largest = view->GetDesign().GetFirstEnabledElement();
    const double diameter = largest ? largest->Diameter() : 0.0;
    m_pDiameterText->setText(m_lengthUnit == LengthUnit::Millimetres
                                 ? QString::asprintf("%1.2lf mm", Units::InchesToMm(diameter))
                                 : QString::asprintf("%1.2lf in", diameter));
}

// ------------------------------------------------------------ units

namespace {

const char* const kUnitSection = "Ringdesigner";

}  // namespace

void CDesignerDlg::readUnitSettings()
{
    const QString section = QLatin1String(kUnitSection);
    QString text;
    ReadProfileText(section, QStringLiteral("Units"), LengthUnitName(LengthUnit::Inches), &text);
    m_lengthUnit = text == LengthUnitName(LengthUnit::Millimetres) ? LengthUnit::Millimetres : LengthUnit::Inches;
    ReadProfileText(section, QStringLiteral("GridUnits"), LengthUnitName(m_lengthUnit), &text);
    m_spacingUnit = SpacingUnit(int(m_lengthUnit));
    for (int i = 0; i < SPACING_UNIT_COUNT; ++i)
        if (text == SpacingUnitName(SpacingUnit(i))) m_spacingUnit = SpacingUnit(i);
    double range = 100.0;
    ReadProfileReal(section, QStringLiteral("GridDistance"), 100.0, &range);
    m_dSpacingRange = range >= 1.0 && range <= 5000.0 ? range : 100.0;
    ReadProfileText(section, QStringLiteral("GridDistanceUnits"), RangeUnitName(RangeUnit::Yards), &text);
    m_rangeUnit = text == RangeUnitName(RangeUnit::Metres) ? RangeUnit::Metres : RangeUnit::Yards;
}

void CDesignerDlg::applyUnits(bool save)
{
    for (QComboBox* list : {m_pLengthUnit, m_pSpacingUnit, m_pSpacingRangeUnit}) list->blockSignals(true);
    m_pLengthUnit->setCurrentIndex(int(m_lengthUnit));
    m_pSpacingUnit->setCurrentIndex(int(m_spacingUnit));
    m_pSpacingRangeUnit->setCurrentIndex(int(m_rangeUnit));
    for (QComboBox* list : {m_pLengthUnit, m_pSpacingUnit, m_pSpacingRangeUnit}) list->blockSignals(false);
    m_pSpacingRange->SetValue(m_dSpacingRange);

    // Inches to 0.001 in, everything else to 0.01 of its unit.
    const double unit = LengthUnitInches(m_lengthUnit);
    const int decimals = m_lengthUnit == LengthUnit::Inches ? 3 : 2;
    m_lengths.setUnit(m_pBullseyeDiameter, unit, decimals);
    m_lengths.setUnit(m_pBullseyeThickness, unit, decimals);
    for (RingRow& row : m_rings) {
        m_lengths.setUnit(row.diameter, unit, decimals);
        m_lengths.setUnit(row.thickness, unit, decimals);
    }
    m_lengths.setUnit(m_pGridThickness, unit, decimals);
    const bool angle = IsAngleUnit(m_spacingUnit);
    m_lengths.setUnit(m_pGridFrequency,
                      SpacingUnitInches(m_spacingUnit, RangeInches(m_dSpacingRange, m_rangeUnit)),
                      m_spacingUnit == SpacingUnit::Inches ? 3 : 2);
    m_pSpacingRange->setEnabled(angle);
    m_pSpacingRangeUnit->setEnabled(angle);
    m_pUnitNote->setText(MeasurementNote(m_lengthUnit));

    if (save) {
        const QString section = QLatin1String(kUnitSection);
        WritePrivateProfileString(section, QStringLiteral("Units"), LengthUnitName(m_lengthUnit),
                                  QLatin1String(PROFILE_FILE));
        WritePrivateProfileString(section, QStringLiteral("GridUnits"), SpacingUnitName(m_spacingUnit),
                                  QLatin1String(PROFILE_FILE));
        WriteProfileReal(section, QStringLiteral("GridDistance"), m_dSpacingRange);
        WritePrivateProfileString(section, QStringLiteral("GridDistanceUnits"), RangeUnitName(m_rangeUnit),
                                  QLatin1String(PROFILE_FILE));
        Refresh();
    }
}

// ------------------------------------------------------------ colours

std::array<DesignColor, 16> CDesignerDlg::customColors(DesignColor buttonColor, ColorButtonKind kind) const
{
    std::array<DesignColor, 16> colors{};
    colors[0] = buttonColor;
    for (int k = 0; k < RING_ROWS; ++k) {
        const RingRow& row = m_rings[size_t(k)];
        colors[size_t(1 + k)] = kind == COLOR_FILL ? row.fill->GetColor() : row.outline->GetColor();
    }
    for (size_t i = 0; i < kFixedCustomColors.size(); ++i) colors[12 + i] = kFixedCustomColors[i];
    return colors;
}

void CDesignerDlg::chooseColor(ColorSwatchButton* button, ColorButtonKind kind)
{
    m_nLastColorKind = kind;
    const std::array<DesignColor, 16> custom = customColors(button->GetColor(), m_nLastColorKind);
    DesignColor chosen = button->GetColor();
    const ColorChooser& chooser = chooserSlot();
    const bool ok = chooser ? chooser(this, button->GetColor(), custom, chosen)
                            : systemColorChooser(this, button->GetColor(), custom, chosen);
    if (!ok) return;
    button->SetColor(chosen & 0xFFFFFF);
    Refresh();
}

// ------------------------------------------------------------ OK

void CDesignerDlg::OnOK()
{
    // A value typed into the field that still has the focus (OK by the Enter
    // key) counts as entered, as if the field had lost the focus.
    if (auto* field = qobject_cast<NumericFieldBase*>(focusWidget())) field->Reformat();

    exchangeEnabledFlags(true);
    bool any = m_nBullseyeEnabled != 0;
    for (int flag : m_nRingEnabled) any = any || flag != 0;
    if (!any) {
        ShowMessage(QStringLiteral("You don't have anything enabled.  At least one thing must be enabled."),
                    QStringLiteral("Ringdesigner"));
        return;
    }
    Refresh();
    accept();
}
