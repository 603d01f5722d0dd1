#pragma once

#include "umliteglobal.h"

#include <QString>
#include <QWidget>

class UMLITE_API UmLiteWidget : public QWidget
{
    Q_OBJECT
public:
    explicit UmLiteWidget(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~UmLiteWidget() override;

    // Styles the widget with the current theme's sheet for themeClass. When
    // the sheet is the one it already has, withChildren re-polishes the
    // descendants instead (for rules on dynamic properties).
    void applyThemeClass(const QString& themeClass, bool withChildren);
    QString getThemeClassName() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_themeClass;
};
