#pragma once

#include <QString>

// Exported by the runtime's own build (CMake defines zandr_EXPORTS there),
// imported by everyone who uses it.
#ifndef ZANDR_API
#if defined(_WIN32) && defined(zandr_EXPORTS)
#define ZANDR_API __declspec(dllexport)
#elif defined(_WIN32)
#define ZANDR_API __declspec(dllimport)
#else
#define ZANDR_API __attribute__((visibility("default")))
#endif
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
