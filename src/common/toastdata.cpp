#include "toastdata.h"

#include "jsonhelper.h"
#include "toastrequestkey.h"

#include <json/json.h>

#include <QJsonValue>

#include <cstddef>
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
        return begin == end ? QString() : QString::fromUtf8(begin, int(end - begin));
    return QString::fromStdString(v.asString());
}

// A member by a literal name: no strlen, no null value made for a missing
// one. Anything but an object goes through operator[], which answers null
// for null and raises the library's own error for the other kinds.
template <std::size_t N>
const Json::Value& member(const Json::Value& v, const char (&name)[N])
{
    if (!v.isObject())
        return v[name];
    const Json::Value* found = v.find(name, name + N - 1);
    return found ? *found : Json::Value::nullSingleton();
}

// Answers why the line cannot be used, or an empty text when it can.
QString parseRichLine(const Json::Value& root, QList<ToastTextSegment>& line, QString& plain)
{
    const Json::Value& fields = member(root, "fields");
    if (!fields.isArray())
        return QStringLiteral("no fields array");
    const Json::ArrayIndex count = fields.size();
    line.reserve(int(count));
    for (Json::ArrayIndex i = 0; i < count; ++i) {
        const Json::Value& element = fields[i];
        ToastTextSegment segment;
        segment.text = jsonText(member(element, "text"));
        if (segment.text.isEmpty())
            continue;
        segment.action = jsonText(member(element, "action"));
        segment.click = member(element, "click").asBool();
        line.append(segment);
    }
    // Joined once the line is whole: an error part-way leaves nothing behind.
    for (const ToastTextSegment& segment : qAsConst(line))
        plain += segment.text;
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
    m_richLines.reserve(texts.size());
    m_textFields.reserve(texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        QList<ToastTextSegment> line;
        QString plain;
        const QString why = readJson(texts.at(i), [&line, &plain](const Json::Value& root) {
            return parseRichLine(root, line, plain);
        });
        if (!why.isEmpty()) {
            m_droppedJson << QStringLiteral("rich line %1: %2").arg(QString::number(i), why);
            continue;
        }
        m_richLines.append(line);
        m_textFields.append(plain);
    }
}

void ToastData::readActions(const QMap<int, QVariant>& request)
{
    const QStringList texts = request.value(ToastKeyActions).toStringList();
    m_actions.reserve(texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        const QString why = readJson(texts.at(i), [this](const Json::Value& root) {
            ToastAction action;
            action.text = jsonText(member(root, "text"));
            action.action = jsonText(member(root, "action"));
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
