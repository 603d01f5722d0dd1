#include "jsonhelper.h"

#include <json/json.h>

#include <memory>

namespace {

// Building a reader is far dearer than a parse; keep one per thread.
Json::CharReader& reader()
{
    thread_local std::unique_ptr<Json::CharReader> instance = [] {
        Json::CharReaderBuilder builder;
        builder["collectComments"] = false;
        builder["allowComments"] = false;
        builder["failIfExtra"] = true;
        builder["rejectDupKeys"] = false;
        builder["allowSpecialFloats"] = false;
        return std::unique_ptr<Json::CharReader>(builder.newCharReader());
    }();
    return *instance;
}

} // namespace

bool JsonHelper::parseJsonString(Json::Value& value, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    if (utf8.isEmpty())
        return false;
    Json::Value parsed;
    if (!reader().parse(utf8.constData(), utf8.constData() + utf8.size(), &parsed, nullptr))
        return false;
    value.swap(parsed);
    return true;
}
