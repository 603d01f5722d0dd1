#include "toastaccessibility.h"

#include "middlelitelabel.h"
#include "toastlineaccessible.h"
#include "toastlinelabel.h"
#include "toastsegmentaccessible.h"

#include <QAccessibleWidget>

namespace {

QAccessibleInterface* toastAccessible(const QString& className, QObject* object)
{
    // Qt asks once per class of the object, most derived first.
    if (className == QLatin1String("ApplicationToastWidget"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    if (className == QLatin1String("ToastLineLabel"))
        return new ToastLineAccessible(static_cast<ToastLineLabel*>(object));
    if (className == QLatin1String("MiddleLiteLabel") && qobject_cast<ToastLineLabel*>(object->parent()))
        return new ToastSegmentAccessible(static_cast<MiddleLiteLabel*>(object));
    return nullptr;
}

} // namespace

void installToastAccessibility()
{
    // The module stays loaded once it made a service, so the function
    // pointer Qt keeps never dangles.
    static const bool installed = [] {
        QAccessible::installFactory(toastAccessible);
        return true;
    }();
    Q_UNUSED(installed)
}

void announceToastPopup(QWidget* popup)
{
    QAccessibleEvent shown(popup, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
