#include "toastdata.h"

#include "jsonhelper.h"
#include "toastrequestkey.h"

#include <json/json.h>

namespace {

// A missing key gives an invalid variant, which converts to T's default.
template <typename T>
T readAs(const QMap<int, QVariant>& request, int key)
{
    return request.value(key).value<T>();
}

bool usable(const QVariant& v, int type)
{
    return v.isValid() && !v.isNull() && v.canConvert(type);
}

QString jsonText(const Json::Value& v)
{
    // Strings are decoded in place; other scalars take the library's text form.
    const char* begin = nullptr;
    const char* end = nullptr;
    if (v.isString() && v.getString(&begin, &end))
        return QString::fromUtf8(begin, int(end - begin));
    return QString::fromStdString(v.asString());
}

// Throws Json::Exception on members of the wrong kind; the caller drops the line.
bool parseRichLine(const QString& text, QList<ToastTextSegment>& line)
{
    Json::Value root;
    if (!JsonHelper::parseJsonString(root, text))
        return false;
    const Json::Value& fields = root["fields"];
    if (!fields.isArray())
        return false;
    for (Json::ArrayIndex i = 0; i < fields.size(); ++i) {
        const Json::Value& element = fields[i];
        ToastTextSegment segment;
        segment.text = jsonText(element["text"]);
        if (segment.text.isEmpty())
            continue;
        segment.action = jsonText(element["action"]);
        segment.click = element["click"].asBool();
        line.append(segment);
    }
    return true;
}

} // namespace

ToastData::ToastData() = default;

bool ToastData::parse(const QMap<int, QVariant>& request)
{
    const QVariant type = request.value(ToastKeyType);
    if (!usable(type, QMetaType::Int))
        return false;
    m_tostType = type.toInt();

    m_imagePath = readAs<QString>(request, ToastKeyImagePath);
    m_heroImagePath = readAs<QString>(request, ToastKeyHeroImagePath);
    m_attributionText = readAs<QString>(request, ToastKeyAttributionText);
    m_durationType = readAs<int>(request, ToastKeyDurationType);
    m_expiration = readAs<uint>(request, ToastKeyExpiration);
    m_isInlineImage = readAs<bool>(request, ToastKeyIsInlineImage);
    m_audioPath = readAs<QString>(request, ToastKeyAudioPath);
    m_audioType = readAs<int>(request, ToastKeyAudioType);
    m_iconPath = readAs<QString>(request, ToastKeyIconPath);
    m_titleText = readAs<QString>(request, ToastKeyTitleText);
    m_imageSize = readAs<QSize>(request, ToastKeyImageSize);
    m_themeClassName = readAs<QString>(request, ToastKeyThemeClassName);
    m_rccSources = readAs<QStringList>(request, ToastKeyRccSources);

    readTextLines(request);
    readActions(request);
    return true;
}

void ToastData::readTextLines(const QMap<int, QVariant>& request)
{
    m_textFormat = readAs<int>(request, ToastKeyTextFormat);
    const QVariant lines = request.value(ToastKeyTextFields);
    if (!usable(lines, QMetaType::QStringList))
        return;
    if (m_textFormat != 1) {
        m_textFields = lines.toStringList();
        return;
    }
    for (const QString& text : lines.toStringList()) {
        QList<ToastTextSegment> line;
        try {
            if (!parseRichLine(text, line))
                continue;
        } catch (const Json::Exception&) {
            continue;
        }
        m_richLines.append(line);
    }
    for (const QList<ToastTextSegment>& line : qAsConst(m_richLines)) {
        QString plain;
        for (const ToastTextSegment& segment : line)
            plain += segment.text;
        m_textFields.append(plain);
    }
}

void ToastData::readActions(const QMap<int, QVariant>& request)
{
    for (const QString& text : request.value(ToastKeyActions).toStringList()) {
        Json::Value root;
        if (!JsonHelper::parseJsonString(root, text))
            continue;
        // A document that is not an object (or a member that is not a scalar)
        // makes the JSON library throw: skip that action, as a bad rich line is dropped.
        try {
            ToastAction action;
            action.text = jsonText(root["text"]);
            action.action = jsonText(root["action"]);
            m_actions.append(action);
        } catch (const Json::Exception&) {
        }
    }
}

QString ToastData::textField(int i) const
{
    if (i < 0 || i >= m_textFields.size())
        return QString();
    return m_textFields.at(i);
}

bool ToastData::richLine(int i, QList<ToastTextSegment>& out) const
{
    if (i < 0 || i >= m_richLines.size())
        return false;
    out = m_richLines.at(i);
    return true;
}
