#pragma once

#include <QString>

#ifndef ZANDR_API
#define ZANDR_API __attribute__((visibility("default")))
#endif

// The host runtime: where the office is installed and how libraries are named.
namespace zandr {
namespace dirs {
// The frameworks directory; reserved must be null.
ZANDR_API QString frameworks(const QString& subDir, void* reserved);
ZANDR_API QString officeInstallRoot();
} // namespace dirs

// The platform's file name of a library base name ("name" -> "libname.so").
ZANDR_API QString getLibFileName(const QString& baseName);
} // namespace zandr
