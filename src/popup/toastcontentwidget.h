#pragma once

#include "toastdata.h"
#include "umlitewidget.h"

#include <QMap>
#include <QPointer>
#include <QSharedPointer>

#include <memory>

class QVBoxLayout;
class ToastContentAnimationController;

// The popup's content: an optional image on the left and up to three lines,
// plain labels or rows of clickable segments.
class ToastContentWidget : public UmLiteWidget
{
    Q_OBJECT
public:
    static QSharedPointer<ToastContentWidget> create(const ToastData& data);
    ~ToastContentWidget() override;

    void updateContent(const ToastData& data);
    void refreshTheme();

    // 0: the image widget; 1 to 3: the lines top to bottom. Null once deleted.
    QWidget* item(int key) const;
    bool isRichText() const { return m_richText; }
    std::shared_ptr<ToastContentAnimationController> animationController() const { return m_animationController; }

signals:
    void sigLineTextClicked(qint64 lineIndex, QString action);

private:
    ToastContentWidget();

    void buildContent(const ToastData& data);
    void createLines(const ToastData& data);
    void clearLines();
    void updateImage(const ToastData& data);
    void updateLine(int i, const ToastData& data);

    QMap<int, QPointer<QWidget>> m_items;
    std::shared_ptr<ToastContentAnimationController> m_animationController;
    bool m_richText = false;
    QVBoxLayout* m_linesLayout = nullptr;
};
