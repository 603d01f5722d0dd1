// toastctl as a host sees it: JSON in, exit codes and JSON lines out.
#include "dunstprobe.h"
#include "requestjson.h"

#include <QtTest>

using Request = QMap<int, QVariant>;
Q_DECLARE_METATYPE(Request)

namespace {

struct Run
{
    int exitCode = -1;
    QList<QByteArray> lines;
    QByteArray errors;
};

// Without a screen: a terminal with no display, where nobody chose a Qt platform.
Run toastctl(const QStringList& arguments, int timeoutMs = 30000, bool screen = true)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    if (!screen) {
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QLatin1String(name));
    }
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(SNT_TOASTCTL_FILE), arguments);
    Run run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        if (!line.isEmpty())
            run.lines << line;
    }
    run.errors = process.readAllStandardError();
    return run;
}

} // namespace

class TestToastctl : public QObject
{
    Q_OBJECT
private slots:
    void requestConversion_data();
    void requestConversion();
    void badRequests_data();
    void badRequests();
    void config();
    void usageErrors_data();
    void usageErrors();
    void missingModule();
    void supported_data();
    void supported();
    void showWithoutOutcomeTimesOut();
    void hideAfterReportsResult();
    void terminalRuns_data();
    void terminalRuns();
};

void TestToastctl::requestConversion_data()
{
    QTest::addColumn<QString>("json");
    QTest::addColumn<Request>("expected");

    QTest::newRow("scalars") << R"({"0":4,"2":"Title","9":3000,"11":true})"
                             << Request{{0, qlonglong(4)}, {2, "Title"}, {9, qlonglong(3000)}, {11, true}};
    QTest::newRow("type as text") << R"({"0":"7"})" << Request{{0, "7"}};
    QTest::newRow("image size") << R"({"0":1,"4":[48,32]})" << Request{{0, qlonglong(1)}, {4, QSize(48, 32)}};
    QTest::newRow("plain lines") << R"({"0":1,"5":["a","b"]})" << Request{{0, qlonglong(1)}, {5, QStringList{"a", "b"}}};
    QTest::newRow("action objects") << R"({"0":1,"10":[{"text":"Open","action":"o"},"{\"text\":\"B\"}"]})"
                                    << Request{{0, qlonglong(1)},
                                               {10, QStringList{R"({"action":"o","text":"Open"})", R"({"text":"B"})"}}};
    QTest::newRow("rich lines") << R"({"0":1,"17":1,"5":[{"fields":[{"text":"x"}]}]})"
                                << Request{{0, qlonglong(1)}, {17, qlonglong(1)},
                                           {5, QStringList{R"({"fields":[{"text":"x"}]})"}}};
    QTest::newRow("fractional number") << R"({"0":1.5})" << Request{{0, 1.5}};
}

void TestToastctl::requestConversion()
{
    QFETCH(QString, json);
    QFETCH(Request, expected);
    Request request;
    QString error;
    QVERIFY2(requestFromJson(json, request, error), qPrintable(error));
    QCOMPARE(request.keys(), expected.keys());
    for (int key : expected.keys())
        QCOMPARE(request.value(key), expected.value(key));
}

void TestToastctl::badRequests_data()
{
    QTest::addColumn<QString>("json");
    QTest::addColumn<QString>("error");
    QTest::newRow("not json") << "{" << "invalid JSON";
    QTest::newRow("not an object") << "[1]" << "expected a JSON object";
    QTest::newRow("unknown key") << R"({"18":1})" << "unknown request key \"18\"";
    QTest::newRow("word key") << R"({"type":1})" << "unknown request key \"type\"";
    QTest::newRow("objects in plain lines") << R"({"0":1,"5":[{"a":1}]})" << "key \"5\"";
    QTest::newRow("numbers in a list") << R"({"0":1,"16":[1]})" << "key \"16\"";
    QTest::newRow("short size") << R"({"0":1,"4":[1]})" << "key \"4\" takes [width, height]";
    QTest::newRow("object value") << R"({"0":{"x":1}})" << "key \"0\" cannot be an object";
}

void TestToastctl::badRequests()
{
    QFETCH(QString, json);
    QFETCH(QString, error);
    Request request;
    QString actual;
    QVERIFY(!requestFromJson(json, request, actual));
    QVERIFY2(actual.contains(error), qPrintable(actual));
}

void TestToastctl::config()
{
    QVariantMap config;
    QString error;
    QVERIFY(configFromJson(R"({"appUserModeId":"Orvex.Office","rccSources":["a.rcc","b.rcc"]})", config, error));
    QCOMPARE(config.value("appUserModeId"), QVariant("Orvex.Office"));
    QCOMPARE(config.value("rccSources"), QVariant(QStringList{"a.rcc", "b.rcc"}));
    QVERIFY(!configFromJson(R"({"appName":3})", config, error));
    QVERIFY(error.contains("appName"));
}

void TestToastctl::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("no command") << QStringList{} << "missing command";
    QTest::newRow("unknown command") << QStringList{"blink"} << "unknown command";
    QTest::newRow("unknown option") << QStringList{"--colour", "show", "{}"} << "colour";
    QTest::newRow("show without request") << QStringList{"show"} << "exactly one REQUEST";
    QTest::newRow("bad request") << QStringList{"show", "{\"0\":"} << "invalid JSON";
    QTest::newRow("missing file") << QStringList{"show", "@/no/such/request.json"} << "cannot read";
    QTest::newRow("bad wait") << QStringList{"--wait", "soon", "show", "{\"0\":1}"} << "--wait";
    QTest::newRow("update alone") << QStringList{"--update", "{\"0\":1}", "show", "{\"0\":1}"} << "go together";
    QTest::newRow("bad version") << QStringList{"--platform-version", "ten", "supported"} << "X.Y.Z";
    QTest::newRow("bad config") << QStringList{"--config", "[]", "show", "{\"0\":1}"} << "JSON object";
    QTest::newRow("supported with argument") << QStringList{"supported", "x"} << "no argument";
}

void TestToastctl::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const Run run = toastctl(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.lines.isEmpty());
    QVERIFY2(run.errors.contains(message.toUtf8()), run.errors.constData());
    QVERIFY(run.errors.contains("usage:"));
}

void TestToastctl::missingModule()
{
    const Run run = toastctl({"--module", "/no/such/libmodule.so", "supported"});
    QCOMPARE(run.exitCode, 3);
    QVERIFY(run.errors.contains("cannot load the module"));
}

void TestToastctl::supported_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("8.1") << "6.3.9600" << QByteArray(R"({"supported":false})");
    QTest::newRow("10") << "10.0.10240" << QByteArray(R"({"supported":true})");
}

void TestToastctl::supported()
{
    QFETCH(QString, version);
    QFETCH(QByteArray, line);
    const Run run = toastctl({"--platform-version", version, "supported"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.lines, QList<QByteArray>{line});
}

void TestToastctl::showWithoutOutcomeTimesOut()
{
    // The offscreen platform has no tray: the balloon is never clicked.
    const Run run = toastctl({"--platform-version", "6.3.9600", "--wait", "300", "show", R"({"0":1,"5":["a","b"]})"});
    QCOMPARE(run.exitCode, 4);
    QCOMPARE(run.lines, QList<QByteArray>{R"({"event":"shown","id":0})"});
}

void TestToastctl::hideAfterReportsResult()
{
    const Run run = toastctl({"--platform-version", "6.3.9600", "--wait", "500", "--hide-after", "50",
                              "--update", R"({"0":1})", "--update-after", "100", "show", R"({"0":1,"5":["a"]})"});
    QCOMPARE(run.exitCode, 4);
    QCOMPARE(run.lines, (QList<QByteArray>{R"({"event":"shown","id":0})", R"({"event":"hidden","id":0,"result":true})",
                                           R"({"event":"updated","id":0,"result":false})"}));
}

void TestToastctl::terminalRuns_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // what all of standard output must match
    QTest::addColumn<QString>("errors"); // part of standard error
    QTest::addColumn<bool>("dunst");     // the toast must reach the desktop's dunst

    const QString hello = R"({"0":1,"5":["Hello","from a terminal"]})";
    const QString shown = R"(\{"event":"shown","id":[1-9]\d*\}\n)";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "usage: toastctl .*Exit status:.*" << "" << false;
    QTest::newRow("-h") << QStringList{"-h", "show"} << 0 << "usage: toastctl .*" << "" << false;
    QTest::newRow("version") << QStringList{"--version"} << 0 << "toastctl \\d+\\.\\d+\\.\\d+\n" << "" << false;
    QTest::newRow("native, in memory") << QStringList{"--platform-version", "10.0.19045", "--wait", "100", "show", hello}
                                       << 4 << shown << "" << false;
    QTest::newRow("refused type")
        << QStringList{"--platform-version", "10.0.19045", "show", R"({"0":8,"5":["x"]})"} << 5
        << R"(\{"event":"failed","id":0,"log":"call SystemToastWinImpl::showToast : field count no equal to toast type","reason":"refused"\}\n)"
        << "" << false;
    QTest::newRow("app id too long") << QStringList{"--platform-version", "10.0.19045", "--app-id", QString(129, 'a'), "show", hello}
                                     << 2 << "" << "refused by the platform" << false;
    QTest::newRow("popup") << QStringList{"--app-drawn", "show", hello} << 2 << "" << "needs a screen" << false;
    QTest::newRow("tray") << QStringList{"--platform-version", "6.3.9600", "show", hello} << 2 << "" << "needs a screen"
                          << false;
    // Run by the test tst_toastctl_desktop, on a private desktop with dunst.
    QTest::newRow("dunst") << QStringList{"--wait", "300", "show", hello} << 4 << shown << "" << true;
}

void TestToastctl::terminalRuns()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, errors);
    QFETCH(bool, dunst);
    if (dunst && qEnvironmentVariableIsEmpty("WITH_DESKTOP_DIR"))
        QSKIP("needs the private desktop of tst_toastctl_desktop");

    const Run run = toastctl(arguments, 30000, false);
    QCOMPARE(run.exitCode, exitCode);
    QByteArray out;
    for (const QByteArray& line : run.lines)
        out += line + '\n';
    const QRegularExpression expected(QRegularExpression::anchoredPattern(output),
                                      QRegularExpression::DotMatchesEverythingOption);
    QVERIFY2(expected.match(QString::fromUtf8(out)).hasMatch(), out.constData());
    QVERIFY2(run.errors.contains(errors.toUtf8()), run.errors.constData());
    if (!dunst)
        return;
    QTRY_COMPARE(dunst::holds(), 1);
    QVERIFY(dunst::ctl("close-all"));
    const QVector<QVariantMap> history = dunst::history();
    QCOMPARE(history.size(), 1);
    QCOMPARE(history[0].value("summary").toString(), QStringLiteral("Hello"));
    QVERIFY(history[0].value("body").toString().contains(QStringLiteral("from a terminal")));
    QCOMPARE(history[0].value("appname").toString(), QStringLiteral("toastctl"));
}

QTEST_GUILESS_MAIN(TestToastctl)
#include "tst_toastctl.moc"
