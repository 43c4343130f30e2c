#include "app/AboutDlg.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/Icons.h"
#include "platform/ui/HyperlinkButton.h"

CAboutDlg::CAboutDlg(QWidget* parent, const QString& programFolder) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Vantric"));
    auto* icon = new QLabel;
    icon->setPixmap(ProgramIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(QStringLiteral("<b>Vantric</b> Version %1").arg(QStringLiteral(VANTRIC_VERSION)));
    auto* about = new QLabel(QStringLiteral("Prints shooting targets at their exact physical size."));
    // The help page in the program folder tells the rest.
    const QString help = QDir(programFolder).absoluteFilePath(QStringLiteral("Vantric.htm"));
    m_link = new HyperlinkButton(QStringLiteral("How to use Vantric"), help);
    m_link->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(about);
    text->addWidget(m_link, 0, Qt::AlignLeft);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setWindowIcon(ProgramIcon());
}
