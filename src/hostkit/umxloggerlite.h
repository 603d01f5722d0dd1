#pragma once

#include "umliteglobal.h"

#include <QString>

#include <functional>
#include <string>

class UMLITE_API UmxLoggerLite
{
public:
    using Sink = std::function<void(const std::wstring& tag, const std::wstring& line)>;

    // Records one information line; callable from any thread.
    static void writeInfo(const std::wstring& tag, const std::wstring& text);

    // Every line is also handed to the sink, if one is installed (empty to remove).
    static void setSink(Sink sink);
    // Time-stamped lines are appended to this file; empty disables the file.
    static void setLogFile(const QString& path);
};
