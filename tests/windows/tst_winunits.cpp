// Guards what only a Windows build can get wrong: the module's own event handlers
// (MinGW has no WRL Callback) and the host kit's Windows path rules.
#include "systemtoastnotify.h"
#include "toasteventhandler.h"
#include "toastskinresources.h"
#include "umplugintesting.h"
#include "umskin.h"
#include "umxloggerlite.h"
#include "zandrtesting.h"

#include <QtTest>

#include <memory>

using ABI::Windows::Foundation::ITypedEventHandler;
using ABI::Windows::UI::Notifications::IToastDismissedEventArgs;
using ABI::Windows::UI::Notifications::IToastFailedEventArgs;
using ABI::Windows::UI::Notifications::IToastNotification;
using ABI::Windows::UI::Notifications::ToastDismissedEventArgs;
using ABI::Windows::UI::Notifications::ToastFailedEventArgs;
using ABI::Windows::UI::Notifications::ToastNotification;
using Microsoft::WRL::ComPtr;

namespace {

using ActivatedHandler = ITypedEventHandler<ToastNotification*, IInspectable*>;
using DismissedHandler = ITypedEventHandler<ToastNotification*, ToastDismissedEventArgs*>;
using FailedHandler = ITypedEventHandler<ToastNotification*, ToastFailedEventArgs*>;

// Keeps the handlers the module subscribes, as the platform would.
class FakeNotification final : public IToastNotification
{
public:
    ComPtr<ActivatedHandler> activated;
    ComPtr<DismissedHandler> dismissed;
    ComPtr<FailedHandler> failed;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!IsEqualIID(iid, __uuidof(IUnknown)) && !IsEqualIID(iid, __uuidof(IToastNotification))) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_references; } // lives on the test's stack
    HRESULT STDMETHODCALLTYPE GetIids(ULONG*, IID**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Content(ABI::Windows::Data::Xml::Dom::IXmlDocument**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_ExpirationTime(ABI::Windows::Foundation::IReference<ABI::Windows::Foundation::DateTime>*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ExpirationTime(ABI::Windows::Foundation::IReference<ABI::Windows::Foundation::DateTime>**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE add_Dismissed(DismissedHandler* handler, EventRegistrationToken* token) override { return keep(dismissed, handler, token); }
    HRESULT STDMETHODCALLTYPE remove_Dismissed(EventRegistrationToken) override { dismissed.Reset(); return S_OK; }
    HRESULT STDMETHODCALLTYPE add_Activated(ActivatedHandler* handler, EventRegistrationToken* token) override { return keep(activated, handler, token); }
    HRESULT STDMETHODCALLTYPE remove_Activated(EventRegistrationToken) override { activated.Reset(); return S_OK; }
    HRESULT STDMETHODCALLTYPE add_Failed(FailedHandler* handler, EventRegistrationToken* token) override { return keep(failed, handler, token); }
    HRESULT STDMETHODCALLTYPE remove_Failed(EventRegistrationToken) override { failed.Reset(); return S_OK; }

private:
    template <class T>
    HRESULT keep(ComPtr<T>& slot, T* handler, EventRegistrationToken* token)
    {
        if (!handler)
            return E_INVALIDARG;
        slot = handler;
        token->value = ++m_tokens;
        return S_OK;
    }

    ULONG m_references = 1;
    __int64 m_tokens = 0;
};

template <class THandler>
QStringList answeredInterfaces(THandler* handler)
{
    const struct
    {
        const char* name;
        IID iid;
    } asked[] = {
        {"IUnknown", __uuidof(IUnknown)},
        {"IInspectable", __uuidof(IInspectable)},
        {"IAgileObject", __uuidof(IAgileObject)},
        {"activated handler", __uuidof(ActivatedHandler)},
        {"dismissed handler", __uuidof(DismissedHandler)},
        {"failed handler", __uuidof(FailedHandler)},
    };
    QStringList answered;
    for (const auto& entry : asked) {
        ComPtr<IUnknown> out;
        const HRESULT hr = handler->QueryInterface(entry.iid, reinterpret_cast<void**>(out.GetAddressOf()));
        if (SUCCEEDED(hr) != bool(out))
            answered << QStringLiteral("%1: result %2 with pointer %3").arg(entry.name).arg(hr).arg(bool(out));
        else if (SUCCEEDED(hr))
            answered << QString::fromLatin1(entry.name);
    }
    return answered;
}

// Writes version.tag and a file under the add-on library's name into dir.
bool makeAddon(const QString& dir)
{
    QDir().mkpath(dir);
    QFile library(dir + "/" + zandr::getLibFileName("orvexcloudskin"));
    QFile tag(dir + "/version.tag");
    return library.open(QIODevice::WriteOnly) && library.write("MZ") == 2 && tag.open(QIODevice::WriteOnly)
        && tag.write("1.2.0\n") == 6;
}

} // namespace

class TestWinUnits : public QObject
{
    Q_OBJECT
private slots:
    void handlerLifetime();
    void moduleHandlers_data();
    void moduleHandlers();
    void skinPathListUsesSemicolons();
    void staleAddonSeenThroughNativePaths();
};

// Each reference counted once, the function object destroyed with the last one.
void TestWinUnits::handlerLifetime()
{
    auto token = std::make_shared<int>(0);
    std::weak_ptr<int> alive = token;
    ComPtr<ActivatedHandler> handler = makeToastEventHandler<ActivatedHandler, IInspectable>(
        [token](IToastNotification*, IInspectable*) -> HRESULT { return ++*token == 1 ? S_OK : E_FAIL; });
    token.reset();
    QVERIFY(handler);
    QCOMPARE(handler->Invoke(nullptr, nullptr), S_OK);
    QCOMPARE(answeredInterfaces(handler.Get()), (QStringList{"IUnknown", "activated handler"}));
    ActivatedHandler* raw = handler.Detach();
    QCOMPARE(raw->AddRef(), ULONG(2));
    QCOMPARE(raw->Release(), ULONG(1));
    QVERIFY(!alive.expired());
    QCOMPARE(raw->Release(), ULONG(0));
    QVERIFY(alive.expired());
}

void TestWinUnits::moduleHandlers_data()
{
    QTest::addColumn<int>("event");
    QTest::addColumn<QString>("name");
    QTest::newRow("activated") << 0 << "Activated";
    QTest::newRow("dismissed") << 1 << "Dismissed";
    QTest::newRow("failed") << 2 << "Failed";
}

// The handlers a toast subscribes answer only their own interface, and take
// whatever the platform passes without letting anything reach it.
void TestWinUnits::moduleHandlers()
{
    QFETCH(int, event);
    QFETCH(QString, name);
    const QString where = "SystemToastNotify::attach" + name + "::<lambda>::operator ()";
    QStringList logged;
    UmxLoggerLite::setSink([&logged](const std::wstring&, const std::wstring& line) {
        logged << QString::fromStdWString(line);
    });
    FakeNotification notification;
    {
        std::shared_ptr<SystemToastNotify> toast = SystemToastNotify::create(7, {});
        QVERIFY(toast->attach(&notification, 0));
        QVERIFY(notification.activated && notification.dismissed && notification.failed);
        QStringList answered;
        HRESULT invoked = E_FAIL;
        if (event == 0) {
            answered = answeredInterfaces(notification.activated.Get());
            invoked = notification.activated->Invoke(nullptr, nullptr);
        } else if (event == 1) {
            answered = answeredInterfaces(notification.dismissed.Get());
            invoked = notification.dismissed->Invoke(nullptr, nullptr);
        } else {
            answered = answeredInterfaces(notification.failed.Get());
            invoked = notification.failed->Invoke(&notification, nullptr);
        }
        QCOMPARE(answered, (QStringList{"IUnknown", name.toLower() + " handler"}));
        QCOMPARE(invoked, S_OK);
    }
    UmxLoggerLite::setSink({});
    QCOMPARE(logged, QStringList{"call " + where + " : data is null"});
}

// A Windows list of folders is split on ';': a ':' would cut every drive letter off.
void TestWinUnits::skinPathListUsesSemicolons()
{
    QTemporaryDir empty, holder;
    const QString shipped = QCoreApplication::applicationDirPath() + "/../share/systemnotifytoast/skin/ico.rcc";
    QVERIFY2(QFile::copy(shipped, holder.filePath("probe.rcc")), qPrintable(shipped));
    qputenv("UMLITE_SKIN_PATH", QDir::toNativeSeparators(empty.path() + ";" + holder.path()).toLocal8Bit());
    UmLiteSkin skin;
    const bool registered = skin.resourceRegistry()->registerRcc(QStringLiteral("probe.rcc"), QStringLiteral("/probe"));
    qunsetenv("UMLITE_SKIN_PATH");
    QVERIFY(registered);
    QCOMPARE(QFileInfo(skin.resourceRegistry()->registeredFiles().value(0)), QFileInfo(holder.filePath("probe.rcc")));
}

// The host's runtime and the plug-in manager both give native paths; the
// stale-copy rule compares them case-sensitively, so they must agree.
void TestWinUnits::staleAddonSeenThroughNativePaths()
{
    QTemporaryDir root;
    const QString stale = root.filePath("office/plugins/cloud");
    const QString current = root.filePath("fw/addons/orvexcloudskin");
    QVERIFY(makeAddon(stale) && makeAddon(current));
    umpluginconfig::testing::setPluginPath("orvexcloudskin", stale);
    zandr::testing::setFrameworks(root.filePath("fw"));
    zandr::testing::setOfficeInstallRoot(root.filePath("office"));
    const QString found = findAddonModulePath("orvexcloudskin", "orvexcloudskin", "1.0.0");
    umpluginconfig::testing::clearPluginPaths();
    zandr::testing::setFrameworks(QString());
    zandr::testing::setOfficeInstallRoot(QString());
    QCOMPARE(QDir::fromNativeSeparators(found), current + "/" + zandr::getLibFileName("orvexcloudskin"));
}

QTEST_MAIN(TestWinUnits)
#include "tst_winunits.moc"
