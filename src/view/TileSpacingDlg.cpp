#include "view/TileSpacingDlg.h"

#include "platform/MessageBox.h"
#include "platform/ui/IntegerEdit.h"
#include "platform/NumberText.h"
#include "platform/ui/NumericEdit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CTileSpacingDlg::CTileSpacingDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Tile Target Spacing"));
    setObjectName(QStringLiteral("TileSpacingDlg"));

    m_rows = new IntegerEdit(this);
    m_cols = new IntegerEdit(this);
    m_rowSpacing = new NumericEdit(this);
    m_colSpacing = new NumericEdit(this);
    m_rows->setObjectName(QStringLiteral("rows"));
    m_cols->setObjectName(QStringLiteral("cols"));
    m_rowSpacing->setObjectName(QStringLiteral("rowSpacing"));
    m_colSpacing->setObjectName(QStringLiteral("colSpacing"));
    for (QLineEdit* edit : {static_cast<QLineEdit*>(m_rows), static_cast<QLineEdit*>(m_cols),
                            static_cast<QLineEdit*>(m_rowSpacing), static_cast<QLineEdit*>(m_colSpacing)}) {
        edit->setAlignment(Qt::AlignRight);
        edit->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000.00")) + 12);
    }

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(4);
    auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    auto withUnit = [this](QWidget* field) {
        auto* row = new QHBoxLayout;
        row->setSpacing(4);
        row->addWidget(field);
        row->addWidget(new QLabel(QStringLiteral("in."), this));
        return row;
    };
    grid->addWidget(label(QStringLiteral("Rows"), m_rows), 0, 0);
    grid->addWidget(label(QStringLiteral("Columns"), m_cols), 0, 1);
    grid->addWidget(m_rows, 1, 0);
    grid->addWidget(m_cols, 1, 1);
    grid->setRowMinimumHeight(2, 10);
    grid->addWidget(label(QStringLiteral("Row Spacing"), m_rowSpacing), 3, 0);
    grid->addWidget(label(QStringLiteral("Column Spacing"), m_colSpacing), 3, 1);
    grid->addLayout(withUnit(m_rowSpacing), 4, 0);
    grid->addLayout(withUnit(m_colSpacing), 4, 1);

    QHBoxLayout* buttons = MakeOkCancelRow([this] { OnOK(); });

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(14, 12, 14, 12);
    top->addLayout(grid);
    top->addSpacing(14);
    top->addLayout(buttons);
    setTabOrder(m_rows, m_cols);
    setTabOrder(m_cols, m_rowSpacing);
    setTabOrder(m_rowSpacing, m_colSpacing);
    auto* ok = findChild<QPushButton*>(QStringLiteral("ok"));
    setTabOrder(m_colSpacing, ok);
    setTabOrder(ok, findChild<QPushButton*>(QStringLiteral("cancel")));

    connect(m_cols, &NumericFieldBase::focusLost, this, &CTileSpacingDlg::OnColsLostFocus);
    connect(m_rows, &NumericFieldBase::focusLost, this, &CTileSpacingDlg::OnRowsLostFocus);
}

QWidget* CTileSpacingDlg::GetDlgItem(int id) const
{
    switch (id) {
    case IDC_ROWS: return m_rows;
    case IDC_COLS: return m_cols;
    case IDC_ROW_SPACING: return m_rowSpacing;
    case IDC_COL_SPACING: return m_colSpacing;
    case IDOK: return findChild<QPushButton*>(QStringLiteral("ok"));
    case IDCANCEL: return findChild<QPushButton*>(QStringLiteral("cancel"));
    default: return nullptr;
    }
}

void CTileSpacingDlg::SetLimits(int w, int h, int PW, int PH)
{
    m_model.SetLimits(w, h, PW, PH);
    m_rowSpacing->Configure(2, false, true, 0.0, m_model.m_dMaxRowSpacing);
    m_colSpacing->Configure(2, false, true, 0.0, m_model.m_dMaxColSpacing);
    m_cols->Configure(false, true, 1, m_model.m_nMaxCols);
    m_rows->Configure(false, true, 1, m_model.m_nMaxRows);
}

void CTileSpacingDlg::SetValues(int nRows, int nCols, int nRowSpacing, int nColSpacing)
{
    m_model.SetValues(nRows, nCols, nRowSpacing, nColSpacing);
    m_colSpacing->Configure(2, false, true, 0.0, m_model.m_dMaxColSpacing);
    m_rowSpacing->Configure(2, false, true, 0.0, m_model.m_dMaxRowSpacing);
}

void CTileSpacingDlg::OnInitDialog()
{
    m_rowSpacing->SetValue(m_model.m_dRowSpacing);
    m_colSpacing->SetValue(m_model.m_dColSpacing);
    m_rows->SetValue(m_model.m_nRows);
    m_cols->SetValue(m_model.m_nCols);
    const bool oneRow = m_model.m_nMaxRows == 1;
    const bool oneCol = m_model.m_nMaxCols == 1;
    m_rows->setReadOnly(oneRow);
    m_rowSpacing->setReadOnly(oneRow);
    m_cols->setReadOnly(oneCol);
    m_colSpacing->setReadOnly(oneCol);
    QWidget* first = !oneRow ? static_cast<QWidget*>(m_rows) : !oneCol ? static_cast<QWidget*>(m_cols) : nullptr;
    if (first)
        first->setFocus(Qt::OtherFocusReason);
}

void CTileSpacingDlg::OnColsLostFocus()
{
    m_model.SetCols(m_cols->GetValue());
    m_colSpacing->Configure(2, false, true, 0.0, m_model.m_dMaxColSpacing);
    if (m_colSpacing->GetValue() > m_model.m_dMaxColSpacing)
        m_colSpacing->SetValue(m_model.m_dMaxColSpacing);
}

void CTileSpacingDlg::OnRowsLostFocus()
{
    m_model.SetRows(m_rows->GetValue());
    m_rowSpacing->Configure(2, false, true, 0.0, m_model.m_dMaxRowSpacing);
    if (m_rowSpacing->GetValue() > m_model.m_dMaxRowSpacing)
        m_rowSpacing->SetValue(m_model.m_dMaxRowSpacing);
}

void CTileSpacingDlg::OnOK()
{
    // Values confirmed with Enter have not been through the fields' own
    // limits yet; they are held to them here as well.
    m_model.Choose(m_rows->GetValue(), m_cols->GetValue(), NumberText::ToReal(m_rowSpacing->text()),
                   NumberText::ToReal(m_colSpacing->text()));
    accept();
}

void CTileSpacingDlg::GetValues(int& nRows, int& nCols, int& nRowSpacing, int& nColSpacing) const
{
    m_model.GetValues(nRows, nCols, nRowSpacing, nColSpacing);
}
