#pragma once

#include "umliteglobal.h"

#include <QPushButton>
#include <QString>

// A push button whose label ends in an ellipsis when its row gives it less
// room than the label needs; the full label is then its tooltip. In a row too
// narrow for every label, short labels stay whole and long ones give way.
class UMLITE_API UmLitePushButton : public QPushButton
{
    Q_OBJECT
public:
    explicit UmLitePushButton(QWidget* parent = nullptr);
    ~UmLitePushButton() override;

    // What the button draws: its text, elided to the room it has.
    QString shownText() const;

    // The size it keeps even with the shortest label. Unlike a minimum size it
    // leaves the width a row may squeeze the button to to the button.
    void setLeastSize(const QSize& size);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // Fits the label (and sets the tooltip) when drawn: the row resizes the
    // button several times while it is laid out.
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int labelRoom() const;
    int labelAdvance() const;
    void refit() const;

    QSize m_leastSize;

    // What the shown text was fitted to; the label changes behind our back
    // (setText is not virtual), so it is checked before each use. Measuring
    // text and asking a style sheet for the label's room are dear, and the
    // button is painted and measured often.
    mutable QString m_fittedText;
    mutable QSize m_fittedSize;
    mutable qint64 m_fittedIcon = 0;
    mutable QFont m_fittedFont;
    mutable QString m_shown;
    mutable QString m_measuredText;
    mutable QFont m_measuredFont;
    mutable int m_advance = 0;
    // The tooltip this button set itself; one set by others is left alone.
    mutable QString m_ownTip;
};
