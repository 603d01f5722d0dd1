// Guards the runtime binding: each function looked up in its own library, no crash without combase, lookups from many threads.
#include "activationfactory.h"
#include "hstringwrapper.h"
#include "winrtlibrary.h"

#include <windows.ui.notifications.h>
#include <winsim/control.h>

#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

using ABI::Windows::UI::Notifications::IToastNotificationManagerStatics;

class TestWinrtBinding : public QObject
{
    Q_OBJECT

private slots:
    void init() { winsim::control::reset(); }
    void functionComesFromItsLibrary_data();
    void functionComesFromItsLibrary();
    void withoutCombase();
    void withoutCombaseInThisProcess();
    void concurrentLookupsKeepTheCacheConsistent();
};

void TestWinrtBinding::functionComesFromItsLibrary_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<void*>("resolved");
    QTest::newRow("combase") << SNT_COMBASE_FILE << QByteArray("RoGetActivationFactory")
                             << reinterpret_cast<void*>(resolveCombaseFunction("RoGetActivationFactory"));
    QTest::newRow("propsys") << SNT_PROPSYS_FILE << QByteArray("PropVariantToString")
                             << reinterpret_cast<void*>(resolvePropsysFunction("PropVariantToString"));
    QTest::newRow("shell32") << SNT_SHELL32_FILE << QByteArray("GetCurrentProcessExplicitAppUserModelID")
                             << reinterpret_cast<void*>(resolveShell32Function("GetCurrentProcessExplicitAppUserModelID"));
}

void TestWinrtBinding::functionComesFromItsLibrary()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, entry);
    QFETCH(void*, resolved);
    QLibrary own(file);
    QVERIFY2(resolved == reinterpret_cast<void*>(own.resolve(entry.constData())),
             qPrintable(QString("%1 is not the one %2 exports").arg(entry.constData(), file)));
}

void TestWinrtBinding::withoutCombase()
{
    // The library cache lives as long as the process: ask a fresh one.
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WINSIM_MISSING_LIBRARIES"), QStringLiteral("combase.dll"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"withoutCombaseInThisProcess"});
    QVERIFY(child.waitForFinished(30000));
    const QByteArray output = child.readAll();
    QVERIFY2(child.exitCode() == 0 && output.contains("PASS   : TestWinrtBinding::withoutCombaseInThisProcess"),
             output.constData());
}

void TestWinrtBinding::withoutCombaseInThisProcess()
{
    if (qEnvironmentVariable("WINSIM_MISSING_LIBRARIES") != QLatin1String("combase.dll"))
        QSKIP("run by withoutCombase in a process of its own");
    winsim::control::setLibraryMissing(QStringLiteral("combase.dll"), true); // init() has reset the platform
    auto* sentinel = reinterpret_cast<IToastNotificationManagerStatics*>(quintptr(0x5a5a));
    IToastNotificationManagerStatics* factory = sentinel;
    QCOMPARE(getActivationFactory<IToastNotificationManagerStatics>(
                 RuntimeClass_Windows_UI_Notifications_ToastNotificationManager, &factory),
             E_FAIL);
    QCOMPARE(factory, sentinel);
    QCOMPARE(HstringWrapper(QStringLiteral("text"), false).get(), static_cast<HSTRING>(nullptr));
    QCOMPARE(HstringWrapper(QStringLiteral("text"), true).get(), static_cast<HSTRING>(nullptr));
    QVERIFY(HstringWrapper(static_cast<HSTRING>(nullptr)).toWString().empty());
}

void TestWinrtBinding::concurrentLookupsKeepTheCacheConsistent()
{
    // Event threads of the platform look up combase while the GUI thread does.
    const QStringList libraries = {QStringLiteral("combase.dll"), QStringLiteral("propsys.dll"),
                                   QStringLiteral("shell32.dll"), QStringLiteral("nosuchlibrary.dll")};
    constexpr int threadCount = 8;
    std::vector<QSet<QLibrary*>> seen(static_cast<size_t>(threadCount * libraries.size()));
    std::atomic<int> wrongTexts{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            while (!go.load()) {
            }
            for (int round = 0; round < 300; ++round) {
                for (int l = 0; l < libraries.size(); ++l)
                    seen[static_cast<size_t>(t * libraries.size() + l)].insert(loadCachedLibrary(libraries.at(l)));
                const QString text = QStringLiteral("thread %1 round %2").arg(t).arg(round);
                HstringWrapper owned(text, true);
                if (QString::fromStdWString(HstringWrapper(owned.get()).toWString()) != text)
                    ++wrongTexts;
            }
        });
    }
    go = true;
    for (std::thread& thread : threads)
        thread.join();
    QCOMPARE(wrongTexts.load(), 0);
    for (int l = 0; l < libraries.size(); ++l) {
        for (int t = 0; t < threadCount; ++t) {
            const QSet<QLibrary*>& got = seen[static_cast<size_t>(t * libraries.size() + l)];
            QCOMPARE(got, QSet<QLibrary*>{loadCachedLibrary(libraries.at(l))});
        }
    }
}

QTEST_GUILESS_MAIN(TestWinrtBinding)
#include "tst_winrtbinding.moc"
