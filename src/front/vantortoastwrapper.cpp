#include "vantortoastwrapper.h"

#include "applicationtoastimpl.h"
#include "oldsystemnotifytoastwinimpl.h"
#include "systemtoastwinimpl.h"
#include "systemversion.h"

namespace {

std::unique_ptr<ISystemNotifyToast> createImplementation(bool useApplicationToast)
{
    if (useApplicationToast)
        return std::make_unique<ApplicationToastImpl>();
    const QOperatingSystemVersion current = currentSystemVersion();
    if (current.type() == QOperatingSystemVersion::Windows10.type()
        && current >= QOperatingSystemVersion::Windows10)
        return std::make_unique<SystemToastWinImpl>();
    return std::make_unique<OldSystemNotifyToastWinImpl>();
}

} // namespace

VantorToastWrapper::VantorToastWrapper(bool useApplicationToast)
    : m_impl(createImplementation(useApplicationToast))
{
}

VantorToastWrapper::~VantorToastWrapper() = default;

bool VantorToastWrapper::init(const QVariantMap& config)
{
    return m_impl ? m_impl->init(config) : false;
}

quint64 VantorToastWrapper::showToast(const QMap<int, QVariant>& request,
                                      const std::weak_ptr<ISystemNotifyToastListener>& listener)
{
    return m_impl ? m_impl->showToast(request, listener) : 0;
}

bool VantorToastWrapper::updateToast(quint64 id, const QMap<int, QVariant>& request)
{
    return m_impl ? m_impl->updateToast(id, request) : false;
}

bool VantorToastWrapper::hideToast(quint64 id)
{
    return m_impl ? m_impl->hideToast(id) : false;
}

bool VantorToastWrapper::isToastExist(quint64 id)
{
    return m_impl ? m_impl->isToastExist(id) : false;
}
