#pragma once

#include <QList>
#include <QMap>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>

struct ToastAction
{
    QString text;   // caption
    QString action; // reported back when chosen
};

struct ToastTextSegment
{
    QString text;
    QString action;
    bool click = false;
};

// A toast request map turned into typed fields; built fresh for every request.
class ToastData
{
public:
    ToastData();

    // False only when key 0 is missing, null or not a number.
    bool parse(const QMap<int, QVariant>& request);

    int tostType() const { return m_tostType; }
    QString iconPath() const { return m_iconPath; }
    QString titleText() const { return m_titleText; }
    QString imagePath() const { return m_imagePath; }
    QSize imageSize() const { return m_imageSize; }
    QString heroImagePath() const { return m_heroImagePath; }
    QString attributionText() const { return m_attributionText; }
    int durationType() const { return m_durationType; }
    quint32 expiration() const { return m_expiration; }
    QList<ToastAction> actions() const { return m_actions; }
    bool isInlineImage() const { return m_isInlineImage; }
    QString audioPath() const { return m_audioPath; }
    int audioType() const { return m_audioType; }
    QString themeClassName() const { return m_themeClassName; }
    QStringList rccSources() const { return m_rccSources; }

    QString textField(int i) const;
    int textFieldCount() const { return m_textFields.size(); }
    bool isRichText() const { return m_textFormat == 1; }
    bool richLine(int i, QList<ToastTextSegment>& out) const;

    // Why each rich line or action text was left out, in the order read
    // ("action 2: not JSON"); for the services that log.
    QStringList droppedJson() const { return m_droppedJson; }

private:
    void readTextLines(const QMap<int, QVariant>& request);
    void readActions(const QMap<int, QVariant>& request);

    int m_tostType = 0;
    QString m_iconPath;
    QString m_titleText;
    QString m_imagePath;
    QString m_heroImagePath;
    QString m_attributionText;
    QString m_audioPath;
    QString m_themeClassName;
    QSize m_imageSize;
    int m_durationType = 0;
    int m_audioType = 0;
    int m_textFormat = 0;
    quint32 m_expiration = 0;
    bool m_isInlineImage = false;
    QStringList m_textFields;
    QList<QList<ToastTextSegment>> m_richLines;
    QList<ToastAction> m_actions;
    QStringList m_rccSources;
    QStringList m_droppedJson;
};
