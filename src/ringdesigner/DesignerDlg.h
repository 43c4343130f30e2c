#pragma once

#include <QDialog>
#include <QHash>
#include <QLineEdit>
#include <QString>

#include <array>
#include <functional>

#include "designer/DesignTypes.h"
#include "designer/DesignUnits.h"
#include "designer/TargetDesign.h"
#include "ringdesigner/ExactLengthFields.h"

class CMiniTargetFrame;
class CMiniTargetView;
class ColorSwatchButton;
class NumericEdit;
class QCheckBox;
class QComboBox;
class QFrame;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;

// The control identifiers of the Ringdesigner dialog (resource 147). Ring
// row k (0 = "Ring 10" ... 10 = "Ring 0") adds k to the IDC_RING_* bases.
enum DesignerControlId {
    IDC_RING_ENABLE = 1000,
    IDC_RING_DIAMETER = 1020,
    IDC_RING_LABEL = 1040,
    IDC_RING_THICKNESS = 1060,
    IDC_RING_COLOR = 1080,
    IDC_RING_FILL = 1100,
    IDC_RING_SHAPE = 1120,
    IDC_BULLSEYE_ENABLE = 1150,
    IDC_BULLSEYE_DIAMETER = 1151,
    IDC_BULLSEYE_THICKNESS = 1152,
    IDC_BULLSEYE_COLOR = 1153,
    IDC_BULLSEYE_TYPE = 1154,
    IDC_GRID_ENABLE = 1160,
    IDC_GRID_FREQUENCY = 1161,
    IDC_GRID_THICKNESS = 1162,
    IDC_GRID_COLOR = 1163,
    IDC_PREVIEW_FRAME = 2009,
    IDC_DIAMETER_TEXT = 2010,
    IDC_FONT_SIZE = 2013,
    // The units the lengths are shown in, and the grid spacing's unit with
    // the distance its angles are seen from.
    IDC_LENGTH_UNIT = 2020,
    IDC_UNIT_NOTE = 2021,
    IDC_SPACING_UNIT = 2022,
    IDC_SPACING_RANGE = 2023,
    IDC_SPACING_RANGE_UNIT = 2024,
    IDC_OK = 1,
    IDC_CANCEL = 2,
};

// A label field: typing and pasting are limited to a number of characters,
// as the platform's text limit does it, but a longer label the program puts
// in (one read from a file) is shown whole; it can be shortened, and no
// character can be added until it fits.
class DesignLabelEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DesignLabelEdit(QWidget* parent = nullptr);

    void setTypingLimit(int limit) { m_nLimit = limit; }

signals:
    void focusLost();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // How many characters an insertion in place of the selection may add.
    qsizetype room() const;
    // Pastes the clipboard's first line, cut to the room left.
    void pasteLimited();

    int m_nLimit = 3;
};

// The Ringdesigner: a bull's-eye row, eleven ring rows, a grid row and the
// label font size, with a live preview of the design the rows make. It works
// on its own copy of a design, rebuilt from the controls after each change.
class CDesignerDlg : public QDialog {
    Q_OBJECT
public:
    enum { IDD = 147 };
    static constexpr int RING_ROWS = 11;

    // Which kind of colour button was pressed last; it picks the custom
    // colours offered by the colour chooser.
    enum ColorButtonKind { COLOR_OUTLINE = 0, COLOR_FILL = 1 };

    // The colour chooser: initial colour and the 16 custom colours in, the
    // chosen colour out; false when the user cancels.
    using ColorChooser = std::function<bool(QWidget* parent, DesignColor initial,
                                            const std::array<DesignColor, 16>& customColors, DesignColor& chosen)>;

    explicit CDesignerDlg(QWidget* parent = nullptr);
    ~CDesignerDlg() override;

    // Copies the design into the working design; a non-empty name makes the
    // caption "Ringdesigner - <name>".
    void SetDesign(const CTargetDesign& design, const QString& name = QString());
    // The working design as of the last refresh.
    const CTargetDesign& GetDesign() const { return m_design; }
    // IDOK or IDCANCEL.
    int DoModal();

    // The control of a resource identifier; null for an unknown one.
    QWidget* GetDlgItem(int id) const { return m_controls.value(id); }
    CMiniTargetView* previewView() const;
    ColorButtonKind lastColorKind() const { return m_nLastColorKind; }
    // The 16 custom colours the chooser gets for a button of the given
    // colour and kind.
    std::array<DesignColor, 16> customColors(DesignColor buttonColor, ColorButtonKind kind) const;

    // The colour chooser used by every dialog (the system's by default; an
    // empty function restores it).
    static void SetColorChooser(ColorChooser chooser);

    // Rebuilds the working design from the controls and redraws the preview;
    // does nothing before the controls are loaded.
    void Refresh();

    // The values the font size list offers, in points.
    static const std::array<int, 16>& FontSizes();

protected:
    // Fills the controls with the start values, then from the working
    // design, and enables them.
    void OnInitDialog();
    void OnOK();
    void showEvent(QShowEvent* event) override;

private:
    struct RingRow {
        QCheckBox* enable = nullptr;
        NumericEdit* diameter = nullptr;
        NumericEdit* thickness = nullptr;
        QComboBox* shape = nullptr;
        ColorSwatchButton* outline = nullptr;
        ColorSwatchButton* fill = nullptr;
        DesignLabelEdit* label = nullptr;
    };

    void createControls();
    void layoutControls();
    // The grid of bullseye, rings and line spacing, one column per property.
    QGridLayout* layoutRingGrid();
    QHBoxLayout* layoutSpacingRow(int numberWidth);
    QHBoxLayout* layoutBottomRow();
    void connectControls();
    void fillStartValues();
    void loadControls();
    // Check boxes to enabled flags (true) or back (false).
    void exchangeEnabledFlags(bool fromControls);
    void applyEnablingRules();
    void chooseColor(ColorSwatchButton* button, ColorButtonKind kind);
    void registerControl(int id, QWidget* control);
    // Shows every length in the chosen units; remembers them in the settings
    // when save is set.
    void applyUnits(bool save);
    void readUnitSettings();

    CTargetDesign m_design;
    QString m_strCaption;
    int m_nBullseyeEnabled = 0;
    std::array<int, RING_ROWS> m_nRingEnabled{};
    int m_nGridEnabled = 0;
    ColorButtonKind m_nLastColorKind = COLOR_OUTLINE;
    bool m_bInitialized = false;

    QCheckBox* m_pBullseyeEnable = nullptr;
    NumericEdit* m_pBullseyeDiameter = nullptr;
    NumericEdit* m_pBullseyeThickness = nullptr;
    QComboBox* m_pBullseyeType = nullptr;
    ColorSwatchButton* m_pBullseyeColor = nullptr;
    std::array<RingRow, RING_ROWS> m_rings;
    QCheckBox* m_pGridEnable = nullptr;
    NumericEdit* m_pGridFrequency = nullptr;
    NumericEdit* m_pGridThickness = nullptr;
    ColorSwatchButton* m_pGridColor = nullptr;
    QComboBox* m_pFontSize = nullptr;
    QFrame* m_pPreviewHost = nullptr;
    QLabel* m_pDiameterText = nullptr;
    QPushButton* m_pOk = nullptr;
    QPushButton* m_pCancel = nullptr;
    CMiniTargetFrame* m_pPreviewFrame = nullptr;
    QComboBox* m_pLengthUnit = nullptr;
    QLabel* m_pUnitNote = nullptr;
    QComboBox* m_pSpacingUnit = nullptr;
    NumericEdit* m_pSpacingRange = nullptr;
    QComboBox* m_pSpacingRangeUnit = nullptr;

    ExactLengthFields m_lengths;
    LengthUnit m_lengthUnit = LengthUnit::Inches;
    SpacingUnit m_spacingUnit = SpacingUnit::Inches;
    double m_dSpacingRange = 100.0;
    RangeUnit m_rangeUnit = RangeUnit::Yards;

    QHash<int, QWidget*> m_controls;
};
