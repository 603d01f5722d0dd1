#pragma once

#include <QToolButton>

// The dialog's close button: the skin's close glyph drawn at the screen's
// device pixel ratio, or a text glyph when the skin has none.
class UmLiteCloseButton : public QToolButton
{
    Q_OBJECT
public:
    explicit UmLiteCloseButton(QWidget* parent);
    ~UmLiteCloseButton() override;

    // Takes the glyph of the current theme.
    void reloadGlyph();

protected:
    void paintEvent(QPaintEvent* event) override;
};
