#pragma once

#include "umliteglobal.h"

#include <QFont>
#include <QMargins>
#include <QSize>
#include <QLabel>
#include <QString>

class UMLITE_API UmLiteLabel : public QLabel
{
    Q_OBJECT
public:
    explicit UmLiteLabel(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~UmLiteLabel() override;

    void applyThemeClass(const QString& themeClass, bool withChildren);
    QString getThemeClassName() const;

    // The full text; what is drawn may be elided.
    void setText(const QString& text);
    QString text() const;
    void setTextAutoElide(bool on);
    bool isTextAutoElide() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // Where the ellipsis goes (a Qt::TextElideMode value).
    virtual int elideMode() const;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void refreshShownText();
    void nameForAssistiveTechnologies();
    QString fittedText(const QSize& room) const;
    bool isPlainText(const QString& text) const;
    int fullTextAdvance() const;
    int textHeight(bool minimum) const;

    QString m_themeClass;
    QString m_fullText;
    bool m_autoElide = false;
    // The accessible name this label gave itself.
    QString m_ownName;
    // Shaping text is dear and polishing changes fonts often: remember what
    // the shown text was fitted to, and the full text's width per font.
    QSize m_fittedRoom;
    QFont m_fittedFont;
    mutable int m_advance = -1;
    mutable QFont m_advanceFont;
    // QLabel lays its text out three times for its two size hints; a label
    // that never wraps is as high at any width, so once is enough.
    struct HeightKey {
        QString text;
        QString fullText;
        QFont font;
        QMargins margins;
        int margin = 0;
        int indent = 0;
        int alignment = 0;
        QSize minimum;
        bool operator==(const HeightKey& other) const;
    };
    mutable HeightKey m_heightKey;
    mutable int m_height = -1;
};
