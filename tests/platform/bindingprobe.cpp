// Runs one lookup scenario of the runtime binding in a fresh process, where the
// library cache is still empty, and prints what it saw as key=value lines.
// Started by tst_winrtbinding, with WINSIM_MISSING_LIBRARIES naming the
// libraries that cannot be loaded.
#include "activationfactory.h"
#include "hstringwrapper.h"
#include "winrtlibrary.h"

#include <windows.ui.notifications.h>
#include <winsim/control.h>

#include <QCoreApplication>
#include <QTextStream>

using ABI::Windows::UI::Notifications::IToastNotificationManagerStatics;

namespace {

void print(const char* key, const QString& value)
{
    QTextStream(stdout) << key << '=' << value << '\n';
}

QString yesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

// With combase.dll missing: no factory, untouched out-pointer, null strings.
void withoutRuntime()
{
    auto* sentinel = reinterpret_cast<IToastNotificationManagerStatics*>(quintptr(0x5a5a));
    IToastNotificationManagerStatics* factory = sentinel;
    const HRESULT hr = getActivationFactory<IToastNotificationManagerStatics>(
        RuntimeClass_Windows_UI_Notifications_ToastNotificationManager, &factory);
    print("result", QString::number(hr));
    print("untouched", yesNo(factory == sentinel));
    HstringWrapper reference(QStringLiteral("text"), false);
    HstringWrapper owned(QStringLiteral("text"), true);
    print("referenceNull", yesNo(reference.get() == nullptr));
    print("ownedNull", yesNo(owned.get() == nullptr));
    HstringWrapper view(static_cast<HSTRING>(nullptr));
    print("viewText", QString::fromStdWString(view.toWString()));
}

// A library that failed to load is tried again once it can be found.
void retryAfterFailure()
{
    winsim::control::setLibraryMissing(QStringLiteral("propsys.dll"), true);
    print("firstLoaded", yesNo(loadCachedLibrary(QStringLiteral("propsys.dll")) != nullptr));
    print("firstResolved", yesNo(resolvePropsysFunction("PropVariantToString") != nullptr));
    winsim::control::setLibraryMissing(QStringLiteral("propsys.dll"), false);
    QLibrary* second = loadCachedLibrary(QStringLiteral("propsys.dll"));
    print("secondLoaded", yesNo(second != nullptr));
    print("secondResolved", yesNo(resolvePropsysFunction("PropVariantToString") != nullptr));
    // Once cached, the library no longer depends on the search path.
    winsim::control::setLibraryMissing(QStringLiteral("propsys.dll"), true);
    print("cachedKept", yesNo(loadCachedLibrary(QStringLiteral("propsys.dll")) == second));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString scenario = app.arguments().value(1);
    if (scenario == QLatin1String("without-runtime")) {
        withoutRuntime();
    } else if (scenario == QLatin1String("retry")) {
        retryAfterFailure();
    } else {
        QTextStream(stderr) << "usage: bindingprobe without-runtime|retry\n";
        return 2;
    }
    return 0;
}
