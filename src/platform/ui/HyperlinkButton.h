#pragma once

#include <QColor>
#include <QFont>
#include <QPushButton>

// A button that shows a link: blue until visited, purple after, red while
// the pointer is over it; underlined while hovering (or always, or never).
// A click opens the link with the desktop's default handler.
class HyperlinkButton : public QPushButton {
    Q_OBJECT
public:
    enum Underline { UnderlineHover = -1, UnderlineNever = 0, UnderlineAlways = 1 };

    HyperlinkButton(const QString& text, const QString& link, QWidget* parent = nullptr);

    QString link() const { return m_strLink; }
    QString tooltip() const { return m_strTooltip; }

    void SetVisited(bool visited = true);
    bool visited() const { return m_bVisited; }
    bool hovering() const { return m_bHover; }


    // Where the text sits in the control (left, right or centred; top,
    // bottom or centred); centred both ways unless set.
    void SetAlignment(Qt::Alignment alignment);
    Qt::Alignment alignment() const { return m_alignment; }

    // The colour and font the text is drawn with now.
    QColor currentColour() const;
    QFont currentFont() const;

    // Sizes the control to its text in the underlined font, keeping the
    // edge its alignment names (the centre when centred).
    void PositionWindow();

    QSize sizeHint() const override;

    // How the control behaves on a click: OpenWithShell; true when opened,
    // else one beep and the launch error.
    bool OpenLink();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void attach();
    void setHover(bool hover);

    QString m_strLink;
    QFont m_underlineFont;
    QFont m_stdFont;
    QString m_strTooltip;
    QColor m_crLinkColour{0, 0, 238};
    QColor m_crVisitedColour{85, 26, 139};
    QColor m_crHoverColour{255, 0, 0};
    bool m_bHover = false;
    bool m_bVisited = false;
    Underline m_nUnderline = UnderlineHover;
    bool m_bAdjustToFit = true;
    Qt::Alignment m_alignment = Qt::AlignCenter;
};
