#pragma once

class UmLiteSkin;

// What the cloud-skin add-on hands out through its exported entry.
class OrvexCloudSkinProxy
{
public:
    // The add-on's skin; null while it has none.
    virtual UmLiteSkin* skinObject() = 0;

protected:
    virtual ~OrvexCloudSkinProxy() = default;
};

// Exported by the add-on's own build (CMake defines orvexcloudskin_EXPORTS
// there); modules find it at run time by name, through the typedef.
#ifndef ORVEXCLOUDSKIN_API
#if defined(_WIN32) && defined(orvexcloudskin_EXPORTS)
#define ORVEXCLOUDSKIN_API __declspec(dllexport)
#elif defined(_WIN32)
#define ORVEXCLOUDSKIN_API __declspec(dllimport)
#else
#define ORVEXCLOUDSKIN_API __attribute__((visibility("default")))
#endif
#endif

extern "C" {
typedef OrvexCloudSkinProxy* (*GetOrvexCloudSkinProxyFn)();
ORVEXCLOUDSKIN_API OrvexCloudSkinProxy* getOrvexCloudSkinProxy();
}
