// Cost of turning a full request into a ToastData record, against parsing the
// same JSON texts with jsoncpp alone.
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

void BM_ToastDataParse(benchmark::State& state)
{
    const QMap<int, QVariant> request = fullRequest();
    for (auto _ : state) {
        ToastData data;
        benchmark::DoNotOptimize(data.parse(request));
        benchmark::DoNotOptimize(data.textFieldCount());
    }
}

// The floor: the same six documents through one reader, already UTF-8.
void BM_JsoncppAlone(benchmark::State& state)
{
    std::vector<std::string> texts;
    for (const QString& text : richLines() + actionTexts())
        texts.push_back(text.toStdString());
    Json::CharReaderBuilder builder;
    // The settings the host's JSON helper uses, so only our own work differs.
    builder["collectComments"] = false;
    builder["allowComments"] = false;
    builder["failIfExtra"] = true;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    for (auto _ : state) {
        for (const std::string& text : texts) {
            Json::Value root;
            benchmark::DoNotOptimize(reader->parse(text.data(), text.data() + text.size(), &root, nullptr));
        }
    }
}

} // namespace

BENCHMARK(BM_ToastDataParse);
BENCHMARK(BM_JsoncppAlone);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter({std::make_pair(std::string("BM_ToastDataParse"), std::string("BM_JsoncppAlone"))});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
