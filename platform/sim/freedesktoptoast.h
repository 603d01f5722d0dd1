// A toast document read for a freedesktop notification server: what the
// document says, and the arguments of the Notify call that shows it.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QVector>

namespace winsim {

// The arguments of one org.freedesktop.Notifications.Notify call.
struct NotifyRequest
{
    QString appName;
    QString appIcon;
    QString summary;
    QString body;
    QStringList actions; // key, label, key, label ...
    QVariantMap hints;
    int timeoutMs = -1;
};

class FreedesktopToast
{
public:
    // The action key a server reports for a click on the body.
    static const QString DefaultActionKey;

    // Reads a serialised toast document. On failure returns false, leaves the
    // object empty and puts a one-line reason into *error.
    bool parse(const QString& xml, QString* error);

    // The Notify arguments for a server with these capabilities.
    NotifyRequest request(const QString& appUserModelId, const QStringList& capabilities) const;

    // The activation arguments behind an action key of request(); false for a
    // key this toast never issued.
    bool argumentsForKey(const QString& key, QString* arguments) const;

    bool hasActions() const { return !m_actions.isEmpty(); }

private:
    struct Action
    {
        QString key;
        QString content;
        QString arguments;
    };

    void assignActionKeys();

    QString m_launch;
    QString m_duration;
    QStringList m_texts;
    QString m_attribution;
    QString m_logo;
    QString m_image;
    QVector<Action> m_actions;
    QString m_audioSrc;
    bool m_silent = false;
};

} // namespace winsim
