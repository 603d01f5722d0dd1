// Export macro of the host's UI kit.
#pragma once

// Exported by the kit's own build (CMake defines umlite_EXPORTS there),
// imported by everyone who uses it.
#ifndef UMLITE_API
#if defined(_WIN32) && defined(umlite_EXPORTS)
#define UMLITE_API __declspec(dllexport)
#elif defined(_WIN32)
#define UMLITE_API __declspec(dllimport)
#else
#define UMLITE_API __attribute__((visibility("default")))
#endif
#endif
