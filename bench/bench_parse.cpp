// Cost of turning a full request into a ToastData record, against parsing the
// same JSON texts with jsoncpp alone.
#include "jsonhelper.h"
#include "toastdata.h"
#include "toastrequestkey.h"

#include "support/ratioreporter.h"

#include <json/json.h>

#include <memory>

namespace {

QStringList richLines()
{
    QStringList lines;
    for (int i = 0; i < 3; ++i) {
        lines << QStringLiteral("{\"fields\":[{\"text\":\"Line %1 starts \",\"action\":\"\",\"click\":false},"
                                "{\"text\":\"with a link\",\"action\":\"open-%1\",\"click\":true},"
                                "{\"text\":\" and ends here\",\"action\":\"\",\"click\":false}]}")
                     .arg(i);
    }
    return lines;
}

QStringList actionTexts()
{
    return {QStringLiteral("{\"text\":\"Open\",\"action\":\"open-file\"}"),
            QStringLiteral("{\"text\":\"Show in folder\",\"action\":\"show-folder\"}"),
            QStringLiteral("{\"text\":\"Dismiss\",\"action\":\"dismiss\"}")};
}

QMap<int, QVariant> fullRequest()
{
    return {
        {ToastKeyType, 5},
        {ToastKeyIconPath, QStringLiteral("/usr/share/icons/app.png")},
        {ToastKeyTitleText, QStringLiteral("Orvex Office")},
        {ToastKeyImagePath, QStringLiteral("/tmp/logo.png")},
        {ToastKeyImageSize, QSize(48, 48)},
        {ToastKeyTextFields, richLines()},
        {ToastKeyHeroImagePath, QStringLiteral("/tmp/hero.png")},
        {ToastKeyAttributionText, QStringLiteral("via Orvex Cloud")},
        {ToastKeyDurationType, 1},
        {ToastKeyExpiration, 5000u},
        {ToastKeyActions, actionTexts()},
        {ToastKeyIsInlineImage, false},
        {ToastKeyAudioPath, QStringLiteral("ms-winsoundevent:Notification.Default")},
        {ToastKeyAudioType, 2},
        {ToastKeyReserved, QSize(1, 1)},
        {ToastKeyThemeClassName, QStringLiteral("ToastApplicationWidgetDlg")},
        {ToastKeyRccSources, QStringList{QStringLiteral("a.rcc"), QStringLiteral("b.rcc")}},
        {ToastKeyTextFormat, 1},
    };
}

// The floor: the same six documents through one reader, already UTF-8, with
// the settings the host's JSON helper uses, so only our own work differs.
class JsoncppAlone
{
public:
    JsoncppAlone()
    {
        for (const QString& text : richLines() + actionTexts())
            m_texts.push_back(text.toStdString());
        Json::CharReaderBuilder builder;
        builder["collectComments"] = false;
        builder["allowComments"] = false;
        builder["failIfExtra"] = true;
        m_reader.reset(builder.newCharReader());
    }

    void operator()() const
    {
        for (const std::string& text : m_texts) {
            Json::Value root;
            benchmark::DoNotOptimize(m_reader->parse(text.data(), text.data() + text.size(), &root, nullptr));
        }
    }

private:
    std::vector<std::string> m_texts;
    std::unique_ptr<Json::CharReader> m_reader;
};

void parseRequest(const QMap<int, QVariant>& request)
{
    ToastData data;
    benchmark::DoNotOptimize(data.parse(request));
    benchmark::DoNotOptimize(data.textFieldCount());
}

void BM_ToastDataParse(benchmark::State& state)
{
    const QMap<int, QVariant> request = fullRequest();
    for (auto _ : state)
        parseRequest(request);
}

void BM_JsoncppAlone(benchmark::State& state)
{
    const JsoncppAlone jsoncpp;
    for (auto _ : state)
        jsoncpp();
}

// Each timed call runs its work this often: long enough that reading the
// clock is no part of the figure.
template <class Work>
auto batch(Work work)
{
    return [work] {
        for (int i = 0; i < 20; ++i)
            work();
    };
}

// The figure: one batch of each in turn.
void BM_ParseVsJsoncpp(benchmark::State& state)
{
    const QMap<int, QVariant> request = fullRequest();
    const JsoncppAlone jsoncpp;
    timePaired(state, batch([&request] { parseRequest(request); }), batch([&jsoncpp] { jsoncpp(); }));
}

// The host's share: its helper, which takes the text as a QString and
// converts it, against the same reader on UTF-8 it already has.
void BM_HostHelperVsJsoncpp(benchmark::State& state)
{
    const QStringList texts = richLines() + actionTexts();
    const JsoncppAlone jsoncpp;
    const auto helper = [&texts] {
        for (const QString& text : texts) {
            Json::Value root;
            benchmark::DoNotOptimize(JsonHelper::parseJsonString(root, text));
        }
    };
    timePaired(state, batch(helper), batch([&jsoncpp] { jsoncpp(); }));
}

} // namespace

BENCHMARK(BM_ToastDataParse);
BENCHMARK(BM_JsoncppAlone);
BENCHMARK(BM_ParseVsJsoncpp)->Apply(withSpread);
BENCHMARK(BM_HostHelperVsJsoncpp)->Apply(withSpread);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
