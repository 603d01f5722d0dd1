// A native toast through the module against the desktop's own client library,
// side by side against the same dunst: how long the show call takes to return,
// and how long until dunst holds the toast. With --no-server (a bus without a
// notification server) only how long showToast takes to return.
//
// Run it through bench/desktop/run.sh, which gives it a private desktop.
// GLib names a struct member "signals": before any Qt header.
#include <libnotify/notify.h>

#include "freedesktopbackend.h"

#include "isystemnotifytoast.h"
#include "isystemnotifytoastlistener.h"
#include "systemnotifytoastexports.h"

#include <winsim/control.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QImage>
#include <QLibrary>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>

namespace {

const char kAppId[] = "Vantor.Office.Bench";
constexpr int kPerRound = 10;
constexpr qint64 kWaitLimitNs = 10LL * 1000 * 1000 * 1000;

class CountingListener : public ISystemNotifyToastListener
{
public:
    void onToastActivated(quint64, int, qint64, const QString&) override { ++heard; }
    void onToastDismissed(quint64, int) override { ++heard; }
    void onToastFailed(quint64, int errorCode) override
    {
        ++heard;
        lastError = errorCode;
    }
    std::atomic<int> heard{0};
    std::atomic<int> lastError{0};
};

struct Module
{
    QLibrary library{QStringLiteral(SNT_MODULE_FILE)};
    IsSupportSystemToastFn isSupported = nullptr;
    CreateSystemNotifyToastFn create = nullptr;
    DeleteSystemNotifyToastFn destroy = nullptr;

    bool load()
    {
        if (!library.load()) {
            std::fprintf(stderr, "cannot load the module: %s\n", qPrintable(library.errorString()));
            return false;
        }
        isSupported = reinterpret_cast<IsSupportSystemToastFn>(library.resolve("isSupportSystemToast"));
        create = reinterpret_cast<CreateSystemNotifyToastFn>(library.resolve("createSystemNotifyToast"));
        destroy = reinterpret_cast<DeleteSystemNotifyToastFn>(library.resolve("deleteSystemNotifyToast"));
        return isSupported && create && destroy;
    }
};

struct Figures
{
    QVector<qint64> ns;
    void add(qint64 value) { ns.append(value); }
    double quantileMs(double q) const
    {
        if (ns.isEmpty())
            return 0;
        QVector<qint64> sorted = ns;
        std::sort(sorted.begin(), sorted.end());
        return sorted.at(qMin(sorted.size() - 1, int(q * sorted.size()))) / 1e6;
    }
    Figures since(int first) const { return Figures{ns.mid(first)}; }
    double medianMs() const
    {
        if (ns.isEmpty())
            return 0;
        QVector<qint64> sorted = ns;
        std::sort(sorted.begin(), sorted.end());
        const int n = sorted.size();
        return (n % 2 ? sorted.at(n / 2) : (sorted.at(n / 2 - 1) + sorted.at(n / 2)) / 2.0) / 1e6;
    }
};

// Toasts dunst holds, on screen or queued; -1 when it does not answer.
int dunstHolds()
{
    static QDBusInterface properties(QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
                                     QStringLiteral("org.freedesktop.DBus.Properties"));
    const QDBusReply<QVariantMap> reply = properties.call(QStringLiteral("GetAll"), QStringLiteral("org.dunstproject.cmd0"));
    if (!reply.isValid())
        return -1;
    return reply.value().value(QStringLiteral("displayedLength")).toInt() + reply.value().value(QStringLiteral("waitingLength")).toInt();
}

// Watches the bus for Notify calls and the notification server's answers to
// them (a method return carrying one uint), from a monitor connection of its
// own, so that "the call is on the bus" and "the server has the toast" are
// timed the same way for both clients.
class NotifyReplyWatch
{
public:
    bool start(QString* error)
    {
        const QDBusReply<QString> owner =
            QDBusConnection::sessionBus().interface()->serviceOwner(QStringLiteral("org.freedesktop.Notifications"));
        if (!owner.isValid()) {
            *error = owner.error().message();
            return false;
        }
        GError* failure = nullptr;
        gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &failure);
        if (address) {
            m_connection = g_dbus_connection_new_for_address_sync(
                address, GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT | G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                nullptr, nullptr, &failure);
            g_free(address);
        }
        if (!m_connection)
            return fail(failure, error);
        g_dbus_connection_add_filter(m_connection, &NotifyReplyWatch::filter, this, nullptr);
        const QByteArray rule = "type='method_return',sender='" + owner.value().toUtf8() + "'";
        GVariantBuilder rules;
        g_variant_builder_init(&rules, G_VARIANT_TYPE("as"));
        g_variant_builder_add(&rules, "s", rule.constData());
        g_variant_builder_add(&rules, "s", "type='method_call',interface='org.freedesktop.Notifications',member='Notify'");
        GVariant* result = g_dbus_connection_call_sync(m_connection, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                       "org.freedesktop.DBus.Monitoring", "BecomeMonitor",
                                                       g_variant_new("(asu)", &rules, 0u), nullptr, G_DBUS_CALL_FLAGS_NONE,
                                                       5000, nullptr, &failure);
        if (!result)
            return fail(failure, error);
        g_variant_unref(result);
        return true;
    }

    ~NotifyReplyWatch()
    {
        if (m_connection) {
            g_dbus_connection_close_sync(m_connection, nullptr, nullptr);
            g_object_unref(m_connection);
        }
    }

    int replies()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_replies;
    }

    int calls()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }

    // When the call after the first `seen` crossed the bus; -1 if it did not.
    // Asked once its answer came, so it has.
    qint64 callAfter(int seen)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls > seen ? m_callStamps[seen % kStamps] : -1;
    }

    // Waits until more than `seen` replies came; the time of the next one, or -1.
    // Sleeps meanwhile: a spinning waiter would take a core from the sender.
    qint64 waitPast(int seen)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_arrived.wait_for(lock, std::chrono::nanoseconds(kWaitLimitNs), [&] { return m_replies > seen; }))
            return -1;
        return m_stamps[seen % kStamps];
    }

    static qint64 now() { return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

private:
    static bool fail(GError* failure, QString* error)
    {
        *error = failure ? QString::fromUtf8(failure->message) : QStringLiteral("no session bus");
        if (failure)
            g_error_free(failure);
        return false;
    }

    // Runs on GDBus's own thread: stamps as the message arrives.
    static GDBusMessage* filter(GDBusConnection*, GDBusMessage* message, gboolean incoming, gpointer data)
    {
        auto* self = static_cast<NotifyReplyWatch*>(data);
        const gchar* signature = g_dbus_message_get_signature(message);
        if (incoming && g_dbus_message_get_message_type(message) == G_DBUS_MESSAGE_TYPE_METHOD_CALL
            && qstrcmp(g_dbus_message_get_member(message), "Notify") == 0) {
            const qint64 stamp = now();
            {
                std::lock_guard<std::mutex> lock(self->m_mutex);
                self->m_callStamps[self->m_calls % kStamps] = stamp;
                ++self->m_calls;
            }
            // Dropped here: GDBus would answer a call nobody handles, and the
            // bus closes a monitor that sends anything.
            g_object_unref(message);
            return nullptr;
        } else if (incoming && g_dbus_message_get_message_type(message) == G_DBUS_MESSAGE_TYPE_METHOD_RETURN && signature
                   && qstrcmp(signature, "u") == 0) {
            const qint64 stamp = now();
            std::lock_guard<std::mutex> lock(self->m_mutex);
            self->m_stamps[self->m_replies % kStamps] = stamp;
            ++self->m_replies;
            self->m_arrived.notify_all();
        }
        return message;
    }

    static constexpr int kStamps = 64;
    GDBusConnection* m_connection = nullptr;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    int m_replies = 0;
    qint64 m_stamps[kStamps] = {};
    int m_calls = 0;
    qint64 m_callStamps[kStamps] = {};
};

// Polls dunst until it holds `count` toasts; false after the limit.
bool waitUntilDunstHolds(int count)
{
    QElapsedTimer clock;
    clock.start();
    while (dunstHolds() != count) {
        if (clock.nsecsElapsed() > kWaitLimitNs)
            return false;
    }
    return true;
}

bool closeAllInDunst()
{
    QProcess ctl;
    ctl.start(QStringLiteral("dunstctl"), {QStringLiteral("close-all")});
    if (!ctl.waitForFinished(10000) || ctl.exitCode() != 0)
        return false;
    return waitUntilDunstHolds(0);
}

QString summaryText(int n)
{
    return QStringLiteral("Document saved %1").arg(n);
}

const QString kBody = QStringLiteral("Quarterly report.docx is in the cloud");

QMap<int, QVariant> moduleRequest(int n, const QString& icon)
{
    return {
        {0, 5},
        {3, icon},
        {5, QStringList{summaryText(n), kBody}},
        {8, 2},
        {10, QStringList{QStringLiteral("{\"text\":\"Open\",\"action\":\"open-doc\"}"),
                         QStringLiteral("{\"text\":\"Later\",\"action\":\"remind-later\"}")}},
    };
}

void onAction(NotifyNotification*, char*, gpointer)
{
}

// The same toast as the module sends: summary, body, icon, a body click and two
// buttons, the long duration and the application's desktop entry. libnotify
// refuses an empty label, so the body click's reads "default" here.
bool showWithLibnotify(int n, const QString& icon, QVector<NotifyNotification*>* shown)
{
    NotifyNotification* toast = notify_notification_new(summaryText(n).toUtf8().constData(), kBody.toUtf8().constData(),
                                                         icon.toUtf8().constData());
    notify_notification_add_action(toast, "default", "default", onAction, nullptr, nullptr);
    notify_notification_add_action(toast, "open-doc", "Open", onAction, nullptr, nullptr);
    notify_notification_add_action(toast, "remind-later", "Later", onAction, nullptr, nullptr);
    notify_notification_set_hint_string(toast, "desktop-entry", kAppId);
    notify_notification_set_timeout(toast, 25000);
    GError* error = nullptr;
    const bool ok = notify_notification_show(toast, &error);
    if (error) {
        g_error_free(error);
    }
    shown->append(toast);
    return ok;
}

void releaseLibnotify(QVector<NotifyNotification*>* shown)
{
    for (NotifyNotification* toast : qAsConst(*shown))
        g_object_unref(toast);
    shown->clear();
}

int desktopRun(int toasts, int repetitions)
{
    Module module;
    if (!module.load())
        return 1;
    if (!module.isSupported()) {
        std::fprintf(stderr, "no notification server on the session bus: run this through bench/desktop/run.sh\n");
        return 1;
    }
    if (!notify_init(kAppId)) {
        std::fprintf(stderr, "libnotify could not start\n");
        return 1;
    }
    QTemporaryDir files;
    const QString icon = files.filePath(QStringLiteral("logo.png"));
    QImage logo(48, 48, QImage::Format_ARGB32);
    logo.fill(Qt::darkCyan);
    if (!logo.save(icon))
        return 1;

    ISystemNotifyToast* service = module.create(false);
    service->init({{QStringLiteral("appUserModeId"), QString::fromLatin1(kAppId)}});
    auto listener = std::make_shared<CountingListener>();
    QVector<NotifyNotification*> libnotifyShown;

    NotifyReplyWatch replies;
    QString watchError;
    if (!replies.start(&watchError)) {
        std::fprintf(stderr, "cannot watch the bus: %s\n", qPrintable(watchError));
        return 1;
    }

    struct Side
    {
        Figures returned, sent, answered, listed;
    } ours, theirs;
    int n = 0;
    int failures = 0;

    // Each toast meets an idle dunst: the next is shown once it lists the last.
    auto round = [&](Side* side, const std::function<bool()>& show) {
        for (int i = 0; i < kPerRound; ++i) {
            const int seen = replies.replies();
            const int seenCalls = replies.calls();
            const qint64 start = NotifyReplyWatch::now();
            const bool ok = show();
            const qint64 returned = NotifyReplyWatch::now();
            const qint64 answered = replies.waitPast(seen);
            const qint64 sent = replies.callAfter(seenCalls);
            const bool listed = waitUntilDunstHolds(i + 1);
            if (!ok || answered < 0 || sent < 0 || !listed) {
                ++failures;
                continue;
            }
            if (side) {
                side->returned.add(returned - start);
                side->sent.add(sent - start);
                side->answered.add(answered - start);
                side->listed.add(NotifyReplyWatch::now() - start);
            }
        }
        failures += !closeAllInDunst();
        QCoreApplication::processEvents();
        releaseLibnotify(&libnotifyShown);
    };
    auto moduleRound = [&](bool measure) {
        round(measure ? &ours : nullptr, [&] { return service->showToast(moduleRequest(++n, icon), listener) != 0; });
    };
    auto libnotifyRound = [&](bool measure) {
        round(measure ? &theirs : nullptr, [&] { return showWithLibnotify(++n, icon, &libnotifyShown); });
    };

    // Warm both up (first bus calls, capabilities, the module's delivery thread).
    failures += !closeAllInDunst();
    moduleRound(false);
    libnotifyRound(false);
    // Each repetition gives one ratio of medians; their spread says how far
    // one run of this benchmark can be trusted.
    const int rounds = (toasts + kPerRound - 1) / kPerRound;
    QVector<double> answeredRatios;
    QVector<double> listedRatios;
    for (int repetition = 0; repetition < repetitions; ++repetition) {
        const int oursBefore = ours.answered.ns.size();
        const int theirsBefore = theirs.answered.ns.size();
        for (int round = 0; round < rounds; ++round) {
            // Alternate who goes first, so neither always meets a freshly emptied dunst.
            if (round % 2) {
                libnotifyRound(true);
                moduleRound(true);
            } else {
                moduleRound(true);
                libnotifyRound(true);
            }
        }
        answeredRatios.append(ours.answered.since(oursBefore).medianMs() / theirs.answered.since(theirsBefore).medianMs());
        listedRatios.append(ours.listed.since(oursBefore).medianMs() / theirs.listed.since(theirsBefore).medianMs());
    }
    module.destroy(service);
    notify_uninit();
    if (failures) {
        std::fprintf(stderr, "%d toasts or closes did not reach dunst in time\n", failures);
        return 1;
    }

    auto line = [](const char* what, const Figures& figures) {
        std::printf("%-52s %10.3f %10.3f\n", what, figures.medianMs(), figures.quantileMs(0.9));
    };
    std::printf("%d toasts each (summary, body, icon, two actions), %d at a time, closed between rounds, "
                "%d repetitions\n",
                ours.returned.ns.size(), kPerRound, repetitions);
    std::printf("%-52s %10s %10s\n", "", "median ms", "p90 ms");
    line("module showToast returns", ours.returned);
    line("libnotify notify_notification_show returns", theirs.returned);
    line("module: until Notify is on the bus", ours.sent);
    line("libnotify: until Notify is on the bus", theirs.sent);
    line("module: until dunst answered Notify", ours.answered);
    line("libnotify: until dunst answered Notify", theirs.answered);
    line("module: until dunst lists the toast", ours.listed);
    line("libnotify: until dunst lists the toast", theirs.listed);
    std::printf("ratio showToast / notify_notification_show (call returns) = %.2f (goal <= 1.1)\n",
                ours.returned.medianMs() / theirs.returned.medianMs());
    auto spread = [repetitions](const char* what, QVector<double> ratios) {
        std::sort(ratios.begin(), ratios.end());
        const int n = ratios.size();
        const double median = n % 2 ? ratios.at(n / 2) : (ratios.at(n / 2 - 1) + ratios.at(n / 2)) / 2;
        std::printf("ratio module / libnotify (%s) = %.2f (%.2f-%.2f over %d repetitions)\n", what, median,
                    ratios.first(), ratios.last(), repetitions);
    };
    spread("until dunst answered Notify", answeredRatios);
    spread("until dunst lists the toast", listedRatios);
    return 0;
}

int noServerRun(int toasts)
{
    if (dunstHolds() >= 0) {
        std::fprintf(stderr, "a notification server is on the bus: run this with scripts/with-desktop.sh --bus-only\n");
        return 1;
    }
    // Pinned, the facade picks the native service; a pinned platform keeps the
    // in-memory back end, so the desktop's one is installed by hand.
    winsim::control::pinOsVersion(QVersionNumber(10, 0, 19045));
    winsim::control::setDeliveryBackend(std::make_shared<winsim::FreedesktopBackend>());
    Module module;
    if (!module.load())
        return 1;
    ISystemNotifyToast* service = module.create(false);
    service->init({{QStringLiteral("appUserModeId"), QString::fromLatin1(kAppId)}});
    auto listener = std::make_shared<CountingListener>();
    const QString icon = QStringLiteral("/nonexistent/logo.png");

    Figures ourReturn, untilFailed;
    for (int i = -kPerRound; i < toasts; ++i) {
        const int before = listener->heard;
        QElapsedTimer clock;
        clock.start();
        service->showToast(moduleRequest(i, icon), listener);
        const qint64 returned = clock.nsecsElapsed();
        // Let the failure come back before the next toast, so each call meets an idle back end.
        while (listener->heard == before && clock.nsecsElapsed() < kWaitLimitNs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        const qint64 failed = clock.nsecsElapsed();
        if (i >= 0) {
            ourReturn.add(returned);
            untilFailed.add(failed);
        }
    }
    const int error = listener->lastError;
    module.destroy(service);
    winsim::control::setDeliveryBackend(nullptr);
    std::printf("%d toasts, no notification server on the session bus\n", ourReturn.ns.size());
    std::printf("%-44s %10s %10s\n", "", "median ms", "p90 ms");
    std::printf("%-44s %10.3f %10.3f\n", "module showToast returns", ourReturn.medianMs(), ourReturn.quantileMs(0.9));
    std::printf("%-44s %10.3f %10.3f\n", "module: until the listener hears the failure", untilFailed.medianMs(),
                untilFailed.quantileMs(0.9));
    std::printf("failure reported to the listener: 0x%08X\n", quint32(error));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int toasts = 200;
    int repetitions = 5;
    bool noServer = false;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        bool ok = true;
        if (arg == QLatin1String("--no-server"))
            noServer = true;
        else if (arg == QLatin1String("--toasts") && !args.isEmpty())
            toasts = args.takeFirst().toInt(&ok);
        else if (arg == QLatin1String("--repetitions") && !args.isEmpty())
            repetitions = args.takeFirst().toInt(&ok);
        else
            ok = false;
        if (!ok || toasts < 1 || repetitions < 1) {
            std::fprintf(stderr, "usage: %s [--toasts N] [--repetitions N] [--no-server]\n", argv[0]);
            return 2;
        }
    }
    return noServer ? noServerRun(toasts) : desktopRun(toasts, repetitions);
}
