#pragma once

#include "isystemnotifytoast.h"

#include <memory>

// The service object handed to hosts: forwards to the implementation chosen at creation.
class VantorToastWrapper : public ISystemNotifyToast
{
public:
    explicit VantorToastWrapper(bool useApplicationToast);
    ~VantorToastWrapper() override;

    bool init(const QVariantMap& config) override;
    quint64 showToast(const QMap<int, QVariant>& request,
                      const std::weak_ptr<ISystemNotifyToastListener>& listener) override;
    bool updateToast(quint64 id, const QMap<int, QVariant>& request) override;
    bool hideToast(quint64 id) override;
    bool isToastExist(quint64 id) override;

    // For tests: the chosen implementation, null when none could be made.
    ISystemNotifyToast* implementation() const { return m_impl.get(); }

private:
    std::unique_ptr<ISystemNotifyToast> m_impl;
};
