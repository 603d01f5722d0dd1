// The module's runtime binding over the stand-ins of the Windows libraries.
#include "activationfactory.h"
#include "hstringwrapper.h"
#include "winrtlibrary.h"

#include <windows.ui.notifications.h>
#include <winsim/control.h>
#include <winstring.h>
#include <wrl/client.h>

#include <QProcess>
#include <QSet>
#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

using ABI::Windows::UI::Notifications::IToastNotificationFactory;
using ABI::Windows::UI::Notifications::IToastNotificationManagerStatics;
using Microsoft::WRL::ComPtr;

namespace {

QMap<QString, QString> runProbe(const QString& scenario, const QString& missing)
{
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WINSIM_MISSING_LIBRARIES"), missing);
    probe.setProcessEnvironment(env);
    probe.start(QStringLiteral(BINDINGPROBE_FILE), {scenario});
    QMap<QString, QString> seen;
    if (!probe.waitForFinished(30000) || probe.exitCode() != 0) {
        qWarning() << "probe failed:" << probe.readAllStandardError();
        return seen;
    }
    const QStringList lines = QString::fromUtf8(probe.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines)
        seen.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    return seen;
}

QString rawText(HSTRING string)
{
    auto rawBuffer = reinterpret_cast<decltype(&WindowsGetStringRawBuffer)>(resolveCombaseFunction("WindowsGetStringRawBuffer"));
    UINT32 length = 0;
    const wchar_t* buffer = rawBuffer(string, &length);
    return QString::fromWCharArray(buffer, static_cast<int>(length));
}

} // namespace

class TestWinrtBinding : public QObject
{
    Q_OBJECT

private slots:
    void init() { winsim::control::reset(); }

    void secondLookupUsesTheCache_data();
    void secondLookupUsesTheCache();
    void missingEntryKeepsTheLibrary();
    void failedLoadIsTriedAgain();
    void withoutCombaseNothingIsReached();

    void referenceAndOwnedStrings_data();
    void referenceAndOwnedStrings();
    void wrapperOfPlatformHandleDoesNotReleaseIt();
    void failedStringCreationLeavesNullHandle();

    void activationFactoryOfKnownAndUnknownClasses();
    void concurrentLookupsKeepTheCacheConsistent();
};

void TestWinrtBinding::secondLookupUsesTheCache_data()
{
    QTest::addColumn<QString>("library");
    QTest::addColumn<QByteArray>("entry");
    QTest::newRow("combase") << QStringLiteral("combase.dll") << QByteArray("RoGetActivationFactory");
    QTest::newRow("propsys") << QStringLiteral("propsys.dll") << QByteArray("PropVariantToString");
    QTest::newRow("shell32") << QStringLiteral("shell32.dll") << QByteArray("GetCurrentProcessExplicitAppUserModelID");
}

void TestWinrtBinding::secondLookupUsesTheCache()
{
    QFETCH(QString, library);
    QFETCH(QByteArray, entry);
    QLibrary* first = loadCachedLibrary(library);
    QVERIFY(first);
    QVERIFY(first->isLoaded());
    // Even a library that could no longer be found is answered from the cache.
    winsim::control::setLibraryMissing(library, true);
    QCOMPARE(loadCachedLibrary(library), first);
    QVERIFY(first->resolve(entry.constData()));
}

void TestWinrtBinding::missingEntryKeepsTheLibrary()
{
    QLibrary* before = loadCachedLibrary(QStringLiteral("shell32.dll"));
    QVERIFY(before);
    QVERIFY(!resolveShell32Function("NoSuchEntryPoint"));
    QCOMPARE(loadCachedLibrary(QStringLiteral("shell32.dll")), before);
    QVERIFY(resolveShell32Function("GetCurrentProcessExplicitAppUserModelID"));
    // A name that is no library at all: null, every time.
    QCOMPARE(loadCachedLibrary(QStringLiteral("nosuchlibrary.dll")), static_cast<QLibrary*>(nullptr));
    QCOMPARE(loadCachedLibrary(QStringLiteral("nosuchlibrary.dll")), static_cast<QLibrary*>(nullptr));
}

void TestWinrtBinding::failedLoadIsTriedAgain()
{
    const QMap<QString, QString> seen = runProbe(QStringLiteral("retry"), QString());
    QCOMPARE(seen.value("firstLoaded"), QStringLiteral("no"));
    QCOMPARE(seen.value("firstResolved"), QStringLiteral("no"));
    QCOMPARE(seen.value("secondLoaded"), QStringLiteral("yes"));
    QCOMPARE(seen.value("secondResolved"), QStringLiteral("yes"));
    QCOMPARE(seen.value("cachedKept"), QStringLiteral("yes"));
}

void TestWinrtBinding::withoutCombaseNothingIsReached()
{
    const QMap<QString, QString> seen = runProbe(QStringLiteral("without-runtime"), QStringLiteral("combase.dll"));
    QCOMPARE(seen.value("result"), QString::number(E_FAIL));
    QCOMPARE(seen.value("untouched"), QStringLiteral("yes"));
    QCOMPARE(seen.value("referenceNull"), QStringLiteral("yes"));
    QCOMPARE(seen.value("ownedNull"), QStringLiteral("yes"));
    QCOMPARE(seen.value("viewText"), QString());
}

void TestWinrtBinding::referenceAndOwnedStrings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("owned");
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    for (bool owned : {false, true}) {
        const char* kind = owned ? "owned" : "reference";
        QTest::newRow(QByteArray(kind).append(" plain").constData()) << QStringLiteral("ToastGeneric") << owned;
        QTest::newRow(QByteArray(kind).append(" empty").constData()) << QString() << owned;
        QTest::newRow(QByteArray(kind).append(" non-latin").constData()) << QStringLiteral("Grüße ✓ 通知") << owned;
        QTest::newRow(QByteArray(kind).append(" embedded nul").constData()) << withNul << owned;
    }
}

void TestWinrtBinding::referenceAndOwnedStrings()
{
    QFETCH(QString, text);
    QFETCH(bool, owned);
    const int liveBefore = winsim::control::liveStrings();
    const int invalidBefore = winsim::control::invalidStringReleases();
    {
        HstringWrapper wrapper(text, owned);
        QCOMPARE(wrapper.get() == nullptr, text.isEmpty());
        // The platform sees the whole text, embedded NULs included.
        QCOMPARE(rawText(wrapper.get()), text);
        QCOMPARE(QString::fromStdWString(wrapper.toWString()), text);
        // Only an owned wrapper makes a platform copy.
        QCOMPARE(winsim::control::liveStrings(), liveBefore + (owned && !text.isEmpty() ? 1 : 0));
    }
    QCOMPARE(winsim::control::liveStrings(), liveBefore);
    QCOMPARE(winsim::control::invalidStringReleases(), invalidBefore);
}

void TestWinrtBinding::wrapperOfPlatformHandleDoesNotReleaseIt()
{
    auto create = reinterpret_cast<decltype(&WindowsCreateString)>(resolveCombaseFunction("WindowsCreateString"));
    auto release = reinterpret_cast<decltype(&WindowsDeleteString)>(resolveCombaseFunction("WindowsDeleteString"));
    QVERIFY(create && release);
    const std::wstring text = L"action=reply";
    HSTRING handle = nullptr;
    QCOMPARE(create(text.c_str(), static_cast<UINT32>(text.size()), &handle), S_OK);
    const int live = winsim::control::liveStrings();
    {
        HstringWrapper view(handle);
        QVERIFY(view.toWString() == text);
        QVERIFY(view.toWString() == text); // fetched once, kept
    }
    QCOMPARE(winsim::control::liveStrings(), live);
    const int invalidBefore = winsim::control::invalidStringReleases();
    QCOMPARE(release(handle), S_OK);
    QCOMPARE(winsim::control::liveStrings(), live - 1);
    QCOMPARE(winsim::control::invalidStringReleases(), invalidBefore);
}

void TestWinrtBinding::failedStringCreationLeavesNullHandle()
{
    winsim::control::failCall(QStringLiteral("WindowsCreateStringReference"), E_OUTOFMEMORY);
    HstringWrapper failed(QStringLiteral("src"), false);
    QCOMPARE(failed.get(), static_cast<HSTRING>(nullptr));
    QCOMPARE(QString::fromStdWString(failed.toWString()), QStringLiteral("src")); // its own copy still reads
    HstringWrapper next(QStringLiteral("src"), false);
    QVERIFY(next.get()); // the fault was for one call only
}

void TestWinrtBinding::activationFactoryOfKnownAndUnknownClasses()
{
    ComPtr<IToastNotificationManagerStatics> manager;
    QCOMPARE(getActivationFactory<IToastNotificationManagerStatics>(
                 RuntimeClass_Windows_UI_Notifications_ToastNotificationManager, &manager),
             S_OK);
    QVERIFY(manager);
    ComPtr<IToastNotificationFactory> factory;
    QCOMPARE(getActivationFactory<IToastNotificationFactory>(RuntimeClass_Windows_UI_Notifications_ToastNotification,
                                                             &factory),
             S_OK);
    QVERIFY(factory);
    // The right class asked for the wrong interface, and a class nobody registered.
    ComPtr<IToastNotificationFactory> wrongInterface;
    QCOMPARE(getActivationFactory<IToastNotificationFactory>(
                 RuntimeClass_Windows_UI_Notifications_ToastNotificationManager, &wrongInterface),
             E_NOINTERFACE);
    QVERIFY(!wrongInterface);
    ComPtr<IToastNotificationManagerStatics> unknown;
    QCOMPARE(getActivationFactory<IToastNotificationManagerStatics>(L"Windows.UI.Notifications.Nothing", &unknown),
             REGDB_E_CLASSNOTREG);
    QVERIFY(!unknown);
}

void TestWinrtBinding::concurrentLookupsKeepTheCacheConsistent()
{
    const QStringList libraries = {QStringLiteral("combase.dll"), QStringLiteral("propsys.dll"),
                                   QStringLiteral("shell32.dll"), QStringLiteral("nosuchlibrary.dll")};
    constexpr int threadCount = 8;
    constexpr int rounds = 300;
    std::vector<QSet<QLibrary*>> seen(static_cast<size_t>(threadCount * libraries.size()));
    std::atomic<int> wrongTexts{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            while (!go.load()) {
            }
            for (int round = 0; round < rounds; ++round) {
                for (int l = 0; l < libraries.size(); ++l)
                    seen[static_cast<size_t>(t * libraries.size() + l)].insert(loadCachedLibrary(libraries.at(l)));
                // The lookups the event threads make: a string read back through combase.
                const QString text = QStringLiteral("thread %1 round %2").arg(t).arg(round);
                HstringWrapper owned(text, true);
                HstringWrapper view(owned.get());
                if (QString::fromStdWString(view.toWString()) != text)
                    ++wrongTexts;
            }
        });
    }
    go = true;
    for (std::thread& thread : threads)
        thread.join();
    QCOMPARE(wrongTexts.load(), 0);
    for (int l = 0; l < libraries.size(); ++l) {
        QLibrary* expected = loadCachedLibrary(libraries.at(l));
        for (int t = 0; t < threadCount; ++t) {
            const QSet<QLibrary*>& got = seen[static_cast<size_t>(t * libraries.size() + l)];
            QCOMPARE(got.size(), 1);
            QCOMPARE(*got.begin(), expected);
        }
    }
    QVERIFY(loadCachedLibrary(QStringLiteral("combase.dll")));
}

QTEST_GUILESS_MAIN(TestWinrtBinding)
#include "tst_winrtbinding.moc"
