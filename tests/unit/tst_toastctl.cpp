// Guards toastctl as a host sees it: JSON in, JSON lines and exit statuses out (help, usage, no module, refusal, no screen),
// request files that are no file or too large, every event printed under the keys the documentation gives, and the
// native road's whole transcript: log lines, document, hide.
#include "dunstprobe.h"
#include "testdata.h"
#include "toastctlsession.h"

#include <QtTest>

#include <cstdio>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;
};

// Without a screen: a terminal with no display, where nobody chose a Qt platform,
// or one whose display (NAME=value) does not answer.
Run toastctl(const QStringList& arguments, const QString& display)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    if (display != "offscreen") {
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QLatin1String(name));
        if (!display.isEmpty())
            env.insert(display.section('=', 0, 0), display.section('=', 1));
    }
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(SNT_TOASTCTL_FILE), arguments);
    Run run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.output = process.readAllStandardOutput();
    run.errors = process.readAllStandardError();
    return run;
}

// What call writes to standard output, file descriptor 1 itself.
QByteArray printedBy(const std::function<void()>& call)
{
    QTemporaryFile file;
    if (!file.open())
        return QByteArray();
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    dup2(file.handle(), STDOUT_FILENO);
    call();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    file.seek(0);
    return file.readAll();
}

// Sorted key sets of the event lines the README and the manual page show, by event ("supported" for the answer of
// that command); a form written with "..." names its event and no keys.
QMap<QString, QList<QStringList>> documentedForms()
{
    QMap<QString, QList<QStringList>> forms;
    for (const char* name : {"/README.md", "/host/toastctl/toastctl.1"}) {
        QFile file(QStringLiteral(SNT_SOURCE_DIR) + QLatin1String(name));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QString text = QString::fromUtf8(file.readAll()).remove(QRegularExpression(R"(\\f[A-Z])"));
        auto objects = QRegularExpression(R"(\{("\w+":[^{}]*)\})").globalMatch(text);
        while (objects.hasNext()) {
            const QString body = objects.next().captured(1);
            QStringList keys;
            auto names = QRegularExpression(R"re("(\w+)":)re").globalMatch(body);
            while (names.hasNext())
                keys << names.next().captured(1);
            const QString event = QRegularExpression(R"re("event":"(\w+)")re").match(body).captured(1);
            if (event.isEmpty() && keys != QStringList{"supported"})
                continue;
            keys.sort();
            QList<QStringList>& known = forms[event.isEmpty() ? keys.first() : event];
            if (!body.contains(QLatin1String("...")) && !known.contains(keys))
                known << keys;
        }
    }
    return forms;
}

// What is wrong with a printed event line (one JSON object) by the documentation: its event is not there, or its
// keys are none of the event's forms; empty when nothing is, or the event is shown only with "...".
QString undocumented(const QByteArray& line)
{
    static const QMap<QString, QList<QStringList>> forms = documentedForms();
    const QJsonObject event = QJsonDocument::fromJson(line).object();
    QStringList keys = event.keys();
    keys.sort();
    const QString name = event.contains("event") ? event.value("event").toString() : keys.value(0);
    if (!forms.contains(name))
        return "no documented form of " + name + ": " + QString::fromUtf8(line);
    const QList<QStringList> known = forms.value(name);
    return known.isEmpty() || known.contains(keys) ? QString() : "keys not documented: " + QString::fromUtf8(line);
}

} // namespace

class TestToastctl : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void terminalRuns_data();
    void terminalRuns();
    void eventsKeepTheirDocumentedKeys_data();
    void eventsKeepTheirDocumentedKeys();
    void nativeTranscript();

private:
    QTemporaryDir m_dir;
};

void TestToastctl::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(mkfifo(QFile::encodeName(m_dir.filePath("fifo.json")).constData(), 0600) == 0);
    // Sparse: as large as they say without taking the room.
    for (const auto& file : {qMakePair(QStringLiteral("16MiB.json"), qint64(16) << 20),
                             qMakePair(QStringLiteral("over16MiB.json"), (qint64(16) << 20) + 1)}) {
        QFile big(m_dir.filePath(file.first));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(file.second));
    }
}

void TestToastctl::terminalRuns_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("display"); // "offscreen" Qt, as under a desktop; else a terminal without a display
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // what all of standard output must match
    QTest::addColumn<QString>("errors"); // what part of standard error must match

    const QString hello = R"({"0":1,"5":["Hello","from a terminal"]})";
    const QString shown = R"(\{"event":"shown","id":[1-9]\d*\}\n)";
    const QStringList win10{"--platform-version", "10.0.19045"};
    QTest::newRow("help") << QStringList{"--help"} << "" << 0 << "usage: toastctl .*Exit status:.*" << "";
    QTest::newRow("version") << QStringList{"--version"} << "" << 0 << "toastctl \\d+\\.\\d+\\.\\d+\n" << "";
    const QList<QPair<QStringList, QString>> usageErrors{
        {{}, "missing command"},
        {{"blink"}, "unknown command"},
        {{"--colour", "show", "{}"}, "colour"},
        {{"show"}, "exactly one REQUEST"},
        {{"show", "@/no/such/request.json"}, "cannot read"},
        // Nothing that would block or read without end: a FIFO without a writer, a device, a huge file.
        {{"show", "@" + m_dir.filePath("fifo.json")}, "fifo.json: not a regular file"},
        {{"show", "@/dev/zero"}, "/dev/zero: not a regular file"},
        {{"show", "@" + m_dir.path()}, ": not a regular file"},
        {{"--config", "@/dev/zero", "show", "{\"0\":1}"}, "/dev/zero: not a regular file"},
        {{"show", "@" + m_dir.filePath("over16MiB.json")}, "over16MiB.json: larger than 16 MiB"},
        {{"show", "@" + m_dir.filePath("16MiB.json")}, "invalid JSON"},
        {{"--wait", "soon", "show", "{\"0\":1}"}, "--wait"},
        {{"--update", "{\"0\":1}", "show", "{\"0\":1}"}, "go together"},
        {{"--platform-version", "ten", "supported"}, "X.Y.Z"},
        {{"--config", "{\"appName\":3}", "show", "{\"0\":1}"}, "appName"},
        {{"show", "{\"0\":"}, "invalid JSON"},
        {{"show", "{\"0\":1,\"5\":[{\"a\":1}]}"}, "key \"5\""},
        {{"show", "{\"0\":1,\"4\":[1]}"}, "key \"4\" takes [width, height]"},
        {{"show", "{\"0\":{\"x\":1}}"}, "key \"0\" cannot be an object"},
        {win10 + QStringList{"--app-id", QString(129, 'a'), "show", hello}, "refused by the platform"},
    };
    for (const auto& usage : usageErrors) {
        QTest::addRow("usage: %s", qPrintable(usage.second))
            << usage.first << "" << 2 << "" << QRegularExpression::escape(usage.second) + ".*\nusage: toastctl";
    }
    QTest::newRow("no module") << QStringList{"--module", "/no/such/libmodule.so", "supported"} << "" << 3 << ""
                               << "cannot load the module";
    QTest::newRow("8.1 unsupported") << QStringList{"--platform-version", "6.3.9600", "supported"} << "" << 0
                                     << "\\{\"supported\":false\\}\n" << "";
    QTest::newRow("10 supported") << QStringList{"--platform-version", "10.0.10240", "supported"} << "" << 0
                                  << "\\{\"supported\":true\\}\n" << "";
    QTest::newRow("native, in memory") << win10 + QStringList{"--wait", "100", "show", hello} << "" << 4 << shown << "";
    // Objects in the request's JSON reach the module as the JSON strings it reads.
    QTest::newRow("objects in the request")
        << win10 + QStringList{"--dump-xml", "--wait", "100", "show",
                               R"({"0":1,"17":1,"5":[{"fields":[{"text":"x"},{"text":"y"}]}],"10":[{"text":"Open","action":"o"}]})"}
        << "" << 4 << R"(.*<text id=\\"1\\">xy</text>.*<action content=\\"Open\\" arguments=\\"o\\"/>.*)" << "";
    QTest::newRow("refused type")
        << win10 + QStringList{"show", R"({"0":8,"5":["x"]})"} << "" << 5
        << R"(\{"event":"failed","id":0,"log":"call SystemToastWinImpl::showToast : field count no equal to toast type","reason":"refused"\}\n)"
        << "";
    QTest::newRow("popup") << QStringList{"--app-drawn", "show", hello} << "" << 2 << "" << "needs a screen";
    QTest::newRow("tray") << QStringList{"--platform-version", "6.3.9600", "show", hello} << "" << 2 << "" << "needs a screen";
    // The offscreen platform has no tray: the balloon is never clicked, but hide and update answer.
    QTest::newRow("tray, hidden and updated")
        << QStringList{"--platform-version", "6.3.9600", "--wait", "500", "--hide-after", "50", "--update", R"({"0":1})",
                       "--update-after", "100", "show", R"({"0":1,"5":["a"]})"}
        << "offscreen" << 4
        << R"(\{"event":"shown","id":0\}\n\{"event":"hidden","id":0,"result":true\}\n\{"event":"updated","id":0,"result":false\}\n)"
        << "";
    // A stale display (an ssh session's) is no screen either, whatever its form.
    const QString stale = "(DISPLAY|WAYLAND_DISPLAY) \".+\" does not answer";
    QTest::newRow("stale display, native") << win10 + QStringList{"--wait", "100", "show", hello} << "DISPLAY=:7193"
                                           << 4 << shown << stale;
    QTest::newRow("stale display, popup") << QStringList{"--app-drawn", "show", hello} << "DISPLAY=unix:7193" << 2 << ""
                                          << "needs a screen, and " + stale;
    QTest::newRow("stale display, tray") << QStringList{"--platform-version", "6.3.9600", "show", hello}
                                         << "DISPLAY=127.0.0.1:7193.0" << 2 << "" << "needs a screen, and " + stale;
    QTest::newRow("stale Wayland, popup") << QStringList{"--app-drawn", "show", hello} << "WAYLAND_DISPLAY=no-such-wayland"
                                          << 2 << "" << "needs a screen, and " + stale;
    // Run by the test tst_toastctl_desktop, on a private desktop with dunst: text XML cannot hold is shown all the same.
    const QString toDunst = R"({"0":5,"3":")" SNT_TEST_DATA_DIR R"(/toast-icon.png","5":["Hello\u000b\u001b\u0000\uffff","from a terminal"]})";
    QTest::newRow("dunst") << QStringList{"--wait", "300", "show", toDunst} << "" << 4 << shown << "";
}

void TestToastctl::terminalRuns()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, display);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, errors);
    // The row that must reach the desktop's dunst.
    const bool dunst = QTest::currentDataTag() == QByteArray("dunst");
    if (dunst && qEnvironmentVariableIsEmpty("WITH_DESKTOP_DIR"))
        QSKIP("needs the private desktop of tst_toastctl_desktop");

    const Run run = toastctl(arguments, display);
    QCOMPARE(run.exitCode, exitCode);
    const auto matches = [](const QString& pattern, const QByteArray& text) {
        const QRegularExpression expression(QRegularExpression::anchoredPattern(pattern),
                                            QRegularExpression::DotMatchesEverythingOption);
        return expression.match(QString::fromUtf8(text)).hasMatch();
    };
    QVERIFY2(matches(output, run.output), run.output.constData());
    QVERIFY2(matches(".*" + errors + ".*", run.errors), run.errors.constData());
    for (const QByteArray& line : run.output.split('\n')) {
        const QString wrong = line.startsWith('{') ? undocumented(line) : QString();
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
    if (!dunst)
        return;
    QTRY_COMPARE(dunst::holds(), 1);
    QVERIFY(dunst::ctl("close-all"));
    const QVector<QVariantMap> history = dunst::history();
    QCOMPARE(history.size(), 1);
    QCOMPARE(history[0].value("summary").toString(), QStringLiteral("Hello\uFFFD\uFFFD\uFFFD\uFFFD"));
    QCOMPARE(history[0].value("icon_path").toString(), QStringLiteral(SNT_TEST_DATA_DIR "/toast-icon.png"));
    QVERIFY(history[0].value("body").toString().contains(QStringLiteral("from a terminal")));
    QCOMPARE(history[0].value("appname").toString(), QStringLiteral("toastctl"));
}

// The listener's own events; toastctl's are checked with every run of terminalRuns.
void TestToastctl::eventsKeepTheirDocumentedKeys_data()
{
    QTest::addColumn<QString>("call");
    for (const char* call : {"activated 1", "activated 2", "dismissed", "failed"})
        QTest::newRow(call) << QString::fromLatin1(call);
}

void TestToastctl::eventsKeepTheirDocumentedKeys()
{
    QFETCH(QString, call);
    ToastctlListener listener;
    const QByteArray printed = printedBy([&] {
        if (call.startsWith(QLatin1String("activated")))
            listener.onToastActivated(286646082, call.section(' ', 1).toInt(), 1, QStringLiteral("open"));
        else if (call == QLatin1String("dismissed"))
            listener.onToastDismissed(286646082, 2);
        else
            listener.onToastFailed(286646082, -2147467259);
    });
    const QString event = undocumented(printed.trimmed());
    QVERIFY2(event.isEmpty(), qPrintable(event));
}

void TestToastctl::nativeTranscript()
{
    const Run run = toastctl({"--module", SNT_MODULE_FILE, "--platform-version", "10.0.19045", "--config",
                              "{\"appUserModeId\":\"Orvex.Office\"}", "--log", "--dump-xml", "--hide-after", "0", "show",
                              "{\"0\":0,\"5\":[\"a & b\"]}"},
                             QString());
    QCOMPARE(run.exitCode, 0);
    // The toast's id as ID. The platform's own "hidden" event may reach the handlers before hideToast removes them;
    // its lines are left out.
    QStringList printed = QString::fromUtf8(run.output).split('\n', Qt::SkipEmptyParts);
    const QString id = printed.filter("\"event\":\"shown\"").value(0).section(':', 2).section('}', 0, 0);
    QVERIFY2(id.toULongLong() > 0, qPrintable(printed.join('\n')));
    printed = printed.filter(QRegularExpression("^(?!.*(attachDismissed|onDismissed))"));
    printed.replaceInStrings(QRegularExpression("(\"id\":|end id = )" + id + "\\b"), "\\1ID");
    QCOMPARE(printed, testdata::lines("toastctl.txt", "native show, dump, hide"));
}

QTEST_GUILESS_MAIN(TestToastctl)
#include "tst_toastctl.moc"
