#include "platform/ui/WindowListDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

CWindowListDlg::CWindowListDlg(const QStringList& titles, int current, QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Select Window"));
    setObjectName(QStringLiteral("WindowListDlg"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("windows"));
    m_list->addItems(titles);
    m_list->setCurrentRow(current >= 0 && current < titles.size() ? current : 0);
    m_list->setMinimumWidth(360);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* column = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("&Select window:"), this);
    label->setBuddy(m_list);
    column->addWidget(label);
    column->addWidget(m_list);
    column->addLayout(MakeOkCancelRow([this] { accept(); }));
}

int CWindowListDlg::SelectedRow() const { return m_list->currentRow(); }
