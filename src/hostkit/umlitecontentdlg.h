#pragma once

#include "umliteglobal.h"

#include <QDialog>
#include <QIcon>
#include <QMargins>
#include <QPixmap>
#include <QSize>
#include <QString>

class QAbstractButton;
class QBoxLayout;
class QFrame;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QToolButton;
class QVBoxLayout;
class UmLiteIconWidget;
class UmLiteLabel;

// A frameless dialog with a soft shadow: title row (icon, text, close button),
// a slot for custom content and a row of three buttons.
class UMLITE_API UmLiteContentDlg : public QDialog
{
    Q_OBJECT
public:
    // Fixed underlying type: callers may pass numbers past the row's three buttons.
    enum BtnType : int { Btn0 = 0, Btn1 = 1, Btn2 = 2 };
    static constexpr int ButtonCount = 3;

    explicit UmLiteContentDlg(QWidget* parent = nullptr, int iconType = 0);
    ~UmLiteContentDlg() override;

    void ensureButton(BtnType type);
    QPushButton* button(BtnType type) const;
    void setButtonVisible(BtnType type, bool visible);
    void setButtonText(BtnType type, const QString& text);

    void setMainTitleIcon(const QIcon& icon);
    void setMainTitleText(const QString& text);
    QString mainTitleText() const;
    QIcon mainTitleIcon() const;
    QToolButton* closeButton() const;

    // stretch < 0 lets the content take the remaining height.
    void setCustomContentWidget(QWidget* widget, int stretch, Qt::Alignment alignment);
    QWidget* customContentWidget() const;

    // The size of the visible frame; the window adds the shadow around it.
    void setCustomFrameSize(const QSize& size);
    QSize customFrameSize() const;
    void updateFrameSize();
    void updateFixedHeight();
    QMargins shadowMargins() const;

    void setThemeClassName(const QString& themeClass);
    void applyThemeClass(const QString& themeClass, bool withChildren);
    QString themeClassName() const;

    // Re-reads the style sheets of the current theme.
    virtual void changeStyle();

    void setVisible(bool visible) override;

protected:
    virtual void onButton0Clicked();
    virtual void onButton1Clicked();
    virtual void onButton2Clicked();
    // Default: reject().
    virtual void onCloseButtonClicked();

    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void dispatchButton(int index);
    void alignTitle();
    void keepReadingOrder();
    static QPixmap shadowPixmap(const QSize& size, const QMargins& shadow, bool dark);

    QFrame* m_frame = nullptr;
    QVBoxLayout* m_frameLayout = nullptr;
    UmLiteIconWidget* m_titleIcon = nullptr;
    UmLiteLabel* m_titleText = nullptr;
    QToolButton* m_closeButton = nullptr;
    QVBoxLayout* m_contentSlot = nullptr;
    QWidget* m_content = nullptr;
    QHBoxLayout* m_buttonRow = nullptr;
    QPushButton* m_buttons[ButtonCount] = {nullptr, nullptr, nullptr};
    QSize m_frameSize;
    QMargins m_shadow;
    QString m_themeClass;
};
