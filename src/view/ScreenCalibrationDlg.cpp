#include "view/ScreenCalibrationDlg.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/Units.h"
#include "platform/ui/NumericEdit.h"
#include "platform/ui/ScreenCalibration.h"

namespace {

constexpr double MIN_RULER_MM = 20.0;
constexpr double MAX_RULER_MM = 300.0;
constexpr double DEFAULT_RULER_MM = 100.0;
constexpr int BAR_HEIGHT = 28;

}  // namespace

CalibrationBar::CalibrationBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("bar"));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::SizeHorCursor);
    setMinimumHeight(BAR_HEIGHT + 2 * MARGIN);
}

void CalibrationBar::SetLength(double pixels)
{
    pixels = std::max(10.0, pixels);
    if (pixels == m_length) return;
    m_length = pixels;
    setMinimumWidth(int(m_length) + 4 * MARGIN);
    update();
    emit lengthChanged(m_length);
}

void CalibrationBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QRectF bar(MARGIN, MARGIN, m_length, BAR_HEIGHT);
    p.fillRect(bar, Qt::black);
    const QRectF handle(bar.right() - 6, bar.top() - 6, 12, bar.height() + 12);
    p.fillRect(handle, hasFocus() ? QColor(0x1c, 0x4f, 0x8c) : Qt::darkGray);
}

void CalibrationBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) SetLength(event->position().x() - MARGIN);
}

void CalibrationBar::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton) SetLength(event->position().x() - MARGIN);
}

void CalibrationBar::keyPressEvent(QKeyEvent* event)
{
    const double step = event->modifiers() & Qt::ShiftModifier ? 10.0 : 1.0;
    if (event->key() == Qt::Key_Right) SetLength(m_length + step);
    else if (event->key() == Qt::Key_Left) SetLength(m_length - step);
    else QWidget::keyPressEvent(event);
}

CScreenCalibrationDlg::CScreenCalibrationDlg(QScreen* screen, QWidget* parent) : CDialog(parent), m_screen(screen)
{
    setWindowTitle(QStringLiteral("Screen Calibration"));
    setObjectName(QStringLiteral("ScreenCalibrationDlg"));

    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(QStringLiteral("Screen: %1").arg(ScreenCalibrationKey(screen)), this));
    auto* intro = new QLabel(QStringLiteral("Hold a credit card or a ruler against the screen and drag the end of "
                                            "the bar until the bar is exactly as long."),
                             this);
    intro->setWordWrap(true);
    column->addWidget(intro);

    m_cardButton = new QRadioButton(QStringLiteral("&Credit card, 85.60 mm"), this);
    m_rulerButton = new QRadioButton(QStringLiteral("&Ruler, mm:"), this);
    m_cardButton->setObjectName(QStringLiteral("card"));
    m_rulerButton->setObjectName(QStringLiteral("ruler"));
    m_cardButton->setChecked(true);
    m_ruler = new NumericEdit(this);
    m_ruler->setObjectName(QStringLiteral("rulerLength"));
    m_ruler->Configure(1, false, false, MIN_RULER_MM, MAX_RULER_MM);
    m_ruler->LimitText();
    m_ruler->SetValue(DEFAULT_RULER_MM);
    m_ruler->setEnabled(false);
    auto* choice = new QHBoxLayout;
    choice->addWidget(m_cardButton);
    choice->addSpacing(16);
    choice->addWidget(m_rulerButton);
    choice->addWidget(m_ruler);
    choice->addStretch();
    column->addLayout(choice);

    m_bar = new CalibrationBar(this);
    column->addWidget(m_bar);
    m_result = new QLabel(this);
    m_result->setObjectName(QStringLiteral("result"));
    column->addWidget(m_result);
    m_stored = new QLabel(this);
    column->addWidget(m_stored);

    connect(m_cardButton, &QRadioButton::toggled, this, [this] { lengthChosen(); });
    connect(m_ruler, &QLineEdit::textChanged, this, [this] { lengthChosen(); });
    connect(m_bar, &CalibrationBar::lengthChanged, this, [this] { updateText(); });

    QHBoxLayout* buttons = MakeOkCancelRow([this] { OnOK(); });
    auto* reset = new QPushButton(QStringLiteral("R&eset"), this);
    reset->setObjectName(QStringLiteral("reset"));
    connect(reset, &QPushButton::clicked, this, [this] { OnReset(); });
    buttons->insertWidget(0, reset);
    column->addLayout(buttons);

    setPixelsPerInch(ScreenPixelsPerInch(m_screen));
}

void CScreenCalibrationDlg::lengthChosen()
{
    // What is held changed, not the screen: the bar takes the new length at
    // the same pixels per inch.
    const double ppi = m_bar->Length() / Units::MmToInches(m_lengthMm);
    m_ruler->setEnabled(m_rulerButton->isChecked());
    m_lengthMm = LengthMm();
    setPixelsPerInch(ppi);
}

double CScreenCalibrationDlg::LengthMm() const
{
    return m_rulerButton->isChecked() ? std::clamp(m_ruler->GetValue(), MIN_RULER_MM, MAX_RULER_MM) : CARD_MM;
}

double CScreenCalibrationDlg::PixelsPerInch() const { return m_bar->Length() / Units::MmToInches(LengthMm()); }

void CScreenCalibrationDlg::setPixelsPerInch(double ppi)
{
    m_bar->SetLength(ppi * LengthMm() / Units::MM_PER_INCH);
    updateText();
}

void CScreenCalibrationDlg::updateText()
{
    const double ppi = PixelsPerInch();
    m_result->setText(QStringLiteral("%1 pixels per inch (the screen reports %2)")
                          .arg(ppi, 0, 'f', 1)
                          .arg(ReportedScreenPixelsPerInch(m_screen), 0, 'f', 1));
    const std::optional<double> stored = LoadScreenCalibration(m_screen);
    m_stored->setText(stored ? QStringLiteral("In force now: %1 pixels per inch").arg(*stored, 0, 'f', 1)
                             : QStringLiteral("In force now: none"));
    if (QWidget* ok = findChild<QWidget*>(QStringLiteral("ok")))
        ok->setEnabled(ppi >= MIN_SCREEN_PPI && ppi <= MAX_SCREEN_PPI);
}

void CScreenCalibrationDlg::OnReset()
{
    ResetScreenCalibration(m_screen);
    setPixelsPerInch(ReportedScreenPixelsPerInch(m_screen));
}

void CScreenCalibrationDlg::OnOK()
{
    if (!SaveScreenCalibration(m_screen, PixelsPerInch())) return;
    accept();
}
