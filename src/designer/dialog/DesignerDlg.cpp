#include "designer/dialog/DesignerDlg.h"

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

#include "designer/dialog/MiniTargetView.h"
#include "platform/MessageBox.h"
#include "platform/ui/ColorSwatchButton.h"
#include "platform/ui/NumericEdit.h"

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

    m_pBullseyeDiameter->Configure(2, false, true, 0.15, 36.0);
    m_pBullseyeThickness->Configure(3, false, true, 0.003, 0.5);
    m_pBullseyeThickness->LimitText();
    for (RingRow& row : m_rings) {
        row.diameter->Configure(2, false, true, 0.15, 48.0);
        row.thickness->Configure(3, false, true, 0.003, 0.5);
        row.diameter->LimitText();
        row.thickness->LimitText();
    }
    m_pGridFrequency->Configure(2, false, true, 0.25, 12.0);
    m_pGridThickness->Configure(3, false, true, 0.003, 0.5);
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

void CDesignerDlg::layoutControls()
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
    for (QComboBox* list : {m_pBullseyeType, m_pFontSize}) list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (RingRow& row : m_rings) row.shape->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    grid->setRowStretch(r, 1);

    auto* preview = new QVBoxLayout;
    preview->setSpacing(4);
    preview->addWidget(m_pDiameterText);
    preview->addWidget(m_pPreviewHost, 1);

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addLayout(grid);
    top->addLayout(preview, 1);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(6);
    bottom->addWidget(new QLabel(QStringLiteral("Label Font Size:"), this));
    bottom->addWidget(m_pFontSize);
    bottom->addWidget(new QLabel(QStringLiteral("pt."), this));
    bottom->addSpacing(24);
    bottom->addWidget(new QLabel(QStringLiteral("NOTE: All measurements are in inches."), this));
    bottom->addStretch(1);
    bottom->addWidget(m_pOk);
    bottom->addWidget(m_pCancel);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 10, 12, 10);
    outer->setSpacing(10);
    outer->addLayout(top, 1);
    outer->addLayout(bottom);
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

    fillStartValues();
    loadControls();

    m_bInitialized = true;
    applyEnablingRules();
}

void CDesignerDlg::fillStartValues()
{
    m_pBullseyeDiameter->SetValue(0.5);
    m_pBullseyeThickness->SetValue(0.02);
    m_pBullseyeType->clear();
    m_pBullseyeType->addItem(QStringLiteral("X"), int(BULLSEYE_X));
    m_pBullseyeType->addItem(QStringLiteral("Cross"), int(BULLSEYE_CROSS));
    m_pBullseyeType->setCurrentIndex(0);
    m_pBullseyeColor->SetColor(kWhite);

    for (int k = 0; k < RING_ROWS; ++k) {
        RingRow& row = m_rings[size_t(k)];
        const int n = 10 - k;
        row.diameter->SetValue(double(k + 1));
        row.thickness->SetValue(0.02);
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
        m_pBullseyeDiameter->SetValue(e->Diameter());
        m_pBullseyeThickness->SetValue(e->Thickness());
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
        row.diameter->SetValue(e->Diameter());
        row.thickness->SetValue(e->Thickness());
        row.shape->setCurrentIndex(e->Type() == ELEMENT_SQUARE ? 1 : e->Type() == ELEMENT_DIAMOND ? 2 : 0);
        row.outline->SetColor(e->OutlineColor());
        row.fill->SetColor(e->FillColor());
        row.label->setText(e->Label());
        ++k;
    }

    const CGridElement& grid = m_design.Grid();
    m_nGridEnabled = grid.IsEnabled() ? 1 : 0;
    m_pGridFrequency->SetValue(grid.Spacing());
    m_pGridThickness->SetValue(grid.Thickness());
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
    m_design.AddBullseye(m_pBullseyeDiameter->GetValue(), m_pBullseyeColor->GetColor(),
                         m_pBullseyeThickness->GetValue(), m_nBullseyeEnabled != 0, selectedValue(m_pBullseyeType),
                         false);
    for (int k = 0; k < RING_ROWS; ++k) {
        const RingRow& row = m_rings[size_t(k)];
        const QString label = row.label->text();
        const double diameter = row.diameter->GetValue();
        const double thickness = row.thickness->GetValue();
        const DesignColor outline = row.outline->GetColor();
        const DesignColor fill = row.fill->GetColor();
        const bool enabled = m_nRingEnabled[size_t(k)] != 0;
        switch (selectedValue(row.shape)) {
        case ELEMENT_SQUARE: m_design.AddSquare(diameter, outline, thickness, enabled, fill, label, false); break;
        case ELEMENT_DIAMOND: m_design.AddDiamond(diameter, outline, thickness, enabled, fill, label, false); break;
        default: m_design.AddCircle(diameter, outline, thickness, enabled, fill, label, false); break;
        }
    }
    m_design.SetGrid(m_pGridColor->GetColor(), m_pGridThickness->GetValue(), m_nGridEnabled != 0,
                     m_pGridFrequency->GetValue());
    m_design.Rebuild();

    CMiniTargetView* view = previewView();
    view->SetDesign(m_design);
    const CDesignElement* largest = view->GetDesign().GetFirstEnabledElement();
    m_pDiameterText->setText(QString::asprintf("%1.2lf in", largest ? largest->Diameter() : 0.0));
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
