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

// The host's side of the boundary hears answers, never exceptions (out of
// memory, a listener of its own that threw): an operation that throws gives
// the answer of a facade without implementation.
template<class Result, class Operation>
Result answer(Result refusal, Operation operation)
{
    try {
        return operation();
    } catch (...) {
        return refusal;
    }
}

} // namespace

VantorToastWrapper::VantorToastWrapper(bool useApplicationToast)
    : m_impl(answer(std::unique_ptr<ISystemNotifyToast>(), [=] { return createImplementation(useApplicationToast); }))
{
}

VantorToastWrapper::~VantorToastWrapper() = default;

bool VantorToastWrapper::init(const QVariantMap& config)
{
    return m_impl && answer(false, [&] { return m_impl->init(config); });
}

quint64 VantorToastWrapper::showToast(const QMap<int, QVariant>& request,
                                      const std::weak_ptr<ISystemNotifyToastListener>& listener)
{
    return m_impl ? answer(quint64(0), [&] { return m_impl->showToast(request, listener); }) : 0;
}

bool VantorToastWrapper::updateToast(quint64 id, const QMap<int, QVariant>& request)
{
    return m_impl && answer(false, [&] { return m_impl->updateToast(id, request); });
}

bool VantorToastWrapper::hideToast(quint64 id)
{
    return m_impl && answer(false, [&] { return m_impl->hideToast(id); });
}

bool VantorToastWrapper::isToastExist(quint64 id)
{
    return m_impl && answer(false, [&] { return m_impl->isToastExist(id); });
}
