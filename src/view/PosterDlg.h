#pragma once

#include <QDialog>
#include <QString>

#include "print/PosterLayout.h"

class QCheckBox;
class QDoubleSpinBox;

// The settings file's section "Poster": "Overlap" (millimetres), and
// "SheetLabels", "CentreOnSheet", "SkipEmpty" (0 or 1). A value out of range
// reads as off.
PosterOptions ReadPosterOptions();
void WritePosterOptions(const PosterOptions& options);

// The "--overlap" value: millimetres, with or without "mm" ("10mm", "2.5").
// Empty when good (and stored in HIMETRIC), else the message.
QString ParseOverlapOption(const QString& value, int* himetric);

// "Poster Options": the glue overlap and the three choices of a poster.
class CPosterDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPosterDlg(const PosterOptions& options, QWidget* parent = nullptr);
    PosterOptions Options() const;

    QDoubleSpinBox* m_pOverlap = nullptr;
    QCheckBox* m_pLabels = nullptr;
    QCheckBox* m_pCentre = nullptr;
    QCheckBox* m_pSkipEmpty = nullptr;
};
