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

extern "C" {
typedef OrvexCloudSkinProxy* (*GetOrvexCloudSkinProxyFn)();
}
