#pragma once

#include "umliteglobal.h"

#include <QString>

namespace Json {
class Value;
}

class UMLITE_API JsonHelper
{
public:
    // Fills value from UTF-16 text; false when the text is not valid JSON.
    static bool parseJsonString(Json::Value& value, const QString& text);
};
