#include "toastdata.h"

#include "jsonhelper.h"
#include "toastrequestkey.h"

#include <json/json.h>

#include <QJsonValue>

#include <exception>

namespace {

// A missing key gives an invalid variant, which converts to T's default.
template <typename T>
T readAs(const QMap<int, QVariant>& request, int key)
{
    return request.value(key).value<T>();
}

// Null as Qt 5 has it: a variant that holds no value, or a null string, byte
// array, character or JSON value. Qt 6 counts only the first, and would take a
// null string under key 0 for type 0; requests keep one meaning on both.
bool holdsNull(const QVariant& v)
{
    if (v.isNull())
        return true;
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    switch (v.metaType().id()) {
    case QMetaType::QString:
        return v.toString().isNull();
    case QMetaType::QByteArray:
        return v.toByteArray().isNull();
    case QMetaType::QChar:
        return v.toChar().isNull();
    case QMetaType::QJsonValue:
        return v.toJsonValue().isNull();
    default:
        break;
    }
#endif
    return false;
}

bool usable(const QVariant& v, int type)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const bool convertible = v.canConvert(QMetaType(type));
#else
    const bool convertible = v.canConvert(type);
#endif
    return v.isValid() && !holdsNull(v) && convertible;
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

// Answers why the line cannot be used, or an empty text when it can.
QString parseRichLine(const Json::Value& root, QList<ToastTextSegment>& line)
{
    const Json::Value& fields = root["fields"];
    if (!fields.isArray())
        return QStringLiteral("no fields array");
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
    return QString();
}

// The one place the module catches exceptions: the reader throws on documents
// nested deeper than it allows, and the value tree on members of the wrong
// kind. Either way the text is left out, like one that is not JSON.
template <typename Read>
QString readJson(const QString& text, Read read)
{
    try {
        Json::Value root;
        if (!JsonHelper::parseJsonString(root, text))
            return QStringLiteral("not JSON");
        return read(root);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
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
    const QStringList texts = lines.toStringList();
    for (int i = 0; i < texts.size(); ++i) {
        QList<ToastTextSegment> line;
        const QString why = readJson(texts.at(i), [&line](const Json::Value& root) { return parseRichLine(root, line); });
        if (!why.isEmpty()) {
            m_droppedJson << QStringLiteral("rich line %1: %2").arg(QString::number(i), why);
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
    const QStringList texts = request.value(ToastKeyActions).toStringList();
    for (int i = 0; i < texts.size(); ++i) {
        const QString why = readJson(texts.at(i), [this](const Json::Value& root) {
            ToastAction action;
            action.text = jsonText(root["text"]);
            action.action = jsonText(root["action"]);
            m_actions.append(action);
            return QString();
        });
        if (!why.isEmpty())
            m_droppedJson << QStringLiteral("action %1: %2").arg(QString::number(i), why);
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
