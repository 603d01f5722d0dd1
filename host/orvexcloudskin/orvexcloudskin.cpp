// The cloud-skin add-on: hands its skin to any module that asks.
#include "orvexcloudskinproxy.h"
#include "umskin.h"

namespace {

class CloudSkinProxy : public OrvexCloudSkinProxy
{
public:
    UmLiteSkin* skinObject() override
    {
        // Created on first use, on the GUI thread, and kept for the process.
        static UmLiteSkin* skin = new UmLiteSkin(nullptr);
        return skin;
    }
};

} // namespace

OrvexCloudSkinProxy* getOrvexCloudSkinProxy()
{
    static CloudSkinProxy proxy;
    return &proxy;
}
