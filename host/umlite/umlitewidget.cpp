#include "umlitewidget.h"

#include "umlitetheme_p.h"

#include <QPainter>
#include <QStyleOption>

UmLiteWidget::UmLiteWidget(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
}

UmLiteWidget::~UmLiteWidget() = default;

void UmLiteWidget::applyThemeClass(const QString& themeClass, bool withChildren)
{
    m_themeClass = themeClass;
    umlite::applyThemeSheet(this, themeClass, withChildren);
}

QString UmLiteWidget::getThemeClassName() const
{
    return m_themeClass;
}

void UmLiteWidget::paintEvent(QPaintEvent*)
{
    // A plain QWidget ignores background and border rules of its style sheet.
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
