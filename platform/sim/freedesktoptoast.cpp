#include "freedesktoptoast.h"

#include <QHash>
#include <QSet>
#include <QXmlStreamReader>

namespace winsim {

namespace {

const QString kSoundEventScheme = QStringLiteral("ms-winsoundevent:");

// Windows sound events by their nearest name in the freedesktop sound theme.
QString soundThemeName(const QString& event)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("Notification.Default"), QStringLiteral("dialog-information")},
        {QStringLiteral("Notification.IM"), QStringLiteral("message-new-instant")},
        {QStringLiteral("Notification.SMS"), QStringLiteral("message-new-instant")},
        {QStringLiteral("Notification.Mail"), QStringLiteral("message-new-email")},
        {QStringLiteral("Notification.Reminder"), QStringLiteral("alarm-clock-elapsed")},
    };
    const auto found = names.constFind(event);
    if (found != names.constEnd())
        return found.value();
    if (event.startsWith(QLatin1String("Notification.Looping.Alarm")))
        return QStringLiteral("alarm-clock-elapsed");
    if (event.startsWith(QLatin1String("Notification.Looping.Call")))
        return QStringLiteral("phone-incoming-call");
    return QStringLiteral("dialog-information");
}

// The toast names local files as "file:///" + a path; on this system the path
// already starts with a slash, so "file:////home/x.png" is common. Any number of
// slashes after the scheme collapses to one absolute path.
QString localPath(const QString& source)
{
    if (!source.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return source;
    QString path = source.mid(5);
    int slashes = 0;
    while (slashes < path.size() && path.at(slashes) == QLatin1Char('/'))
        ++slashes;
    return QLatin1Char('/') + path.mid(slashes);
}

int durationMs(const QString& duration)
{
    if (duration == QLatin1String("short"))
        return 7000;
    if (duration == QLatin1String("long"))
        return 25000;
    return -1;
}

bool isTrue(QStringView value)
{
    return value == QLatin1String("true") || value == QLatin1String("1");
}

} // namespace

const QString FreedesktopToast::DefaultActionKey = QStringLiteral("default");

bool FreedesktopToast::parse(const QString& xml, QString* error)
{
    *this = FreedesktopToast();
    QXmlStreamReader reader(xml);
    QStringList open; // names of the elements around the reader
    int bindings = 0;
    bool genericBinding = false;

    auto parentIs = [&open](const char* name) {
        return !open.isEmpty() && open.last() == QLatin1String(name);
    };

    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            open.removeLast();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;

        const QStringView name = reader.name();
        const QXmlStreamAttributes attributes = reader.attributes();
        if (open.isEmpty()) {
            if (name != QLatin1String("toast")) {
                *error = QStringLiteral("the document element is <%1>, not <toast>").arg(name.toString());
                *this = FreedesktopToast();
                return false;
            }
            m_launch = attributes.value(QLatin1String("launch")).toString();
            m_duration = attributes.value(QLatin1String("duration")).toString();
        } else if (name == QLatin1String("binding") && parentIs("visual") && open.size() == 2) {
            // Only the first binding is shown; later ones are for other surfaces.
            ++bindings;
            genericBinding = attributes.value(QLatin1String("template")) == QLatin1String("ToastGeneric");
        } else if (bindings == 1 && parentIs("binding") && open.size() == 3 && name == QLatin1String("text")) {
            const bool attribution = attributes.value(QLatin1String("placement")) == QLatin1String("attribution");
            // Reads up to and including the end tag, so the element is never pushed.
            const QString text = reader.readElementText(QXmlStreamReader::IncludeChildElements);
            if (reader.hasError())
                break;
            if (attribution)
                m_attribution = text;
            else
                m_texts.append(text);
            continue;
        } else if (bindings == 1 && parentIs("binding") && open.size() == 3 && name == QLatin1String("image")) {
            const QString src = attributes.value(QLatin1String("src")).toString();
            const QStringView placement = attributes.value(QLatin1String("placement"));
            if (src.isEmpty() || localPath(src) == QLatin1String("/")) {
                // an unfilled template image, or one left as a bare "file:///"
            } else if (placement == QLatin1String("appLogoOverride")) {
                m_logo = src;
            } else if (placement == QLatin1String("hero")) {
                m_image = src;
            } else if (placement.isEmpty() && !genericBinding) {
                // Legacy templates show their image where the logo goes.
                if (m_logo.isEmpty())
                    m_logo = src;
            } else if (placement.isEmpty() && m_image.isEmpty()) {
                m_image = src; // inline image of a generic toast
            }
        } else if (name == QLatin1String("action") && parentIs("actions") && open.size() == 2) {
            m_actions.append({QString(), attributes.value(QLatin1String("content")).toString(),
                              attributes.value(QLatin1String("arguments")).toString()});
        } else if (name == QLatin1String("audio") && parentIs("toast")) {
            m_audioSrc = attributes.value(QLatin1String("src")).toString();
            m_silent = isTrue(attributes.value(QLatin1String("silent")));
        }
        open.append(name.toString());
    }

    if (reader.hasError()) {
        *error = QStringLiteral("unreadable toast document at line %1, column %2: %3")
                     .arg(reader.lineNumber())
                     .arg(reader.columnNumber())
                     .arg(reader.errorString());
        *this = FreedesktopToast();
        return false;
    }
    assignActionKeys();
    return true;
}

// Servers key actions by string; the activation arguments serve as keys unless
// they are empty, repeat an earlier key or would read as a click on the body.
void FreedesktopToast::assignActionKeys()
{
    QSet<QString> used{DefaultActionKey};
    for (Action& action : m_actions) {
        if (!action.arguments.isEmpty() && !used.contains(action.arguments)) {
            action.key = action.arguments;
        } else {
            int n = 1;
            do {
                action.key = QStringLiteral("action-%1").arg(n++);
            } while (used.contains(action.key));
        }
        used.insert(action.key);
    }
}

NotifyRequest FreedesktopToast::request(const QString& appUserModelId, const QStringList& capabilities) const
{
    const bool markup = capabilities.contains(QLatin1String("body-markup"));
    auto bodyText = [markup](const QString& text) { return markup ? text.toHtmlEscaped() : text; };

    NotifyRequest call;
    call.appName = appUserModelId;
    call.summary = m_texts.value(0);

    QStringList lines;
    for (int i = 1; i < m_texts.size(); ++i) {
        if (!m_texts.at(i).isEmpty())
            lines.append(bodyText(m_texts.at(i)));
    }
    if (!m_attribution.isEmpty())
        lines.append(markup ? QStringLiteral("<i>%1</i>").arg(bodyText(m_attribution)) : m_attribution);
    call.body = lines.join(QLatin1Char('\n'));

    if (!m_logo.isEmpty())
        call.appIcon = localPath(m_logo);
    if (!m_image.isEmpty())
        call.hints.insert(QStringLiteral("image-path"), localPath(m_image));

    if (capabilities.contains(QLatin1String("actions"))) {
        call.actions << DefaultActionKey << QString();
        for (const Action& action : m_actions)
            call.actions << action.key << action.content;
    }

    if (m_audioSrc.startsWith(kSoundEventScheme))
        call.hints.insert(QStringLiteral("sound-name"), soundThemeName(m_audioSrc.mid(kSoundEventScheme.size())));
    else if (!m_audioSrc.isEmpty())
        call.hints.insert(QStringLiteral("sound-file"), localPath(m_audioSrc));
    if (m_silent)
        call.hints.insert(QStringLiteral("suppress-sound"), true);

    if (!appUserModelId.isEmpty())
        call.hints.insert(QStringLiteral("desktop-entry"), appUserModelId);
    call.timeoutMs = durationMs(m_duration);
    return call;
}

bool FreedesktopToast::argumentsForKey(const QString& key, QString* arguments) const
{
    if (key == DefaultActionKey) {
        // A click on the body activates with the toast's launch arguments, as on Windows.
        *arguments = m_launch;
        return true;
    }
    for (const Action& action : m_actions) {
        if (action.key == key) {
            *arguments = action.arguments;
            return true;
        }
    }
    return false;
}

} // namespace winsim
