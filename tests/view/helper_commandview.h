#pragma once

#include "view/TargetViewState.h"

// A target view's state with a target of a chosen size and no document:
// the commands only ask for the size.
class CommandTestView : public TargetViewState {
public:
    explicit CommandTestView(QSize himetric = QSize(7620, 7620)) : m_size(himetric)
    {
        // 8 x 10.5 inches printable on letter paper.
        m_sizePaper = QSize(21590, 27940);
        m_sizePrintable = QSize(20320, 26670);
        m_sizeOffset = QSize(635, 635);
    }
    TargetImage* Target() const override { return nullptr; }
    QString DocumentTitle() const override { return QStringLiteral("command test"); }
    int TargetKind() const override { return m_size.isEmpty() ? 0 : 1; }
    QSize TargetSizeHimetric() const override { return m_size; }

    QSize m_size;
};
