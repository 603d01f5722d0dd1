#pragma once

#include "umlitewidget.h"

#include <QIcon>
#include <QSize>

// Draws one icon at a fixed size inside its contents margins, scaled to that
// size (keeping its aspect ratio) when its files are smaller or larger.
class UMLITE_API UmLiteIconWidget : public UmLiteWidget
{
    Q_OBJECT
public:
    explicit UmLiteIconWidget(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~UmLiteIconWidget() override;

    void setIcon(const QIcon& icon);
    QIcon icon() const;
    void setIconSize(const QSize& size);
    QSize iconSize() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon m_icon;
    QSize m_iconSize;
};
