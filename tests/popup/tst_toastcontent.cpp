// The popup's content area: lines, rich segments and their clicks, the image,
// and the icon lookup it shares with the title.
#include "middlelitelabel.h"
#include "popuptestutil.h"
#include "toastcontentwidget.h"
#include "toasticon.h"
#include "toastlinelabel.h"
#include "toastskinresources.h"
#include "umliteiconwidget.h"
#include "umlitestyle.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace popuptest;

namespace {

const QString k_middleAction = QStringLiteral("open_report");

QString threeSegmentLine()
{
    return richLine({{"Report ", "first", false}, {"Q3 figures", k_middleAction, true}, {" is ready", "last", false}});
}

// A shown content area, so that clicks travel through the window like real ones.
struct ShownContent
{
    explicit ShownContent(const ToastData& data)
        : content(ToastContentWidget::create(data))
    {
        content->updateContent(data);
        content->resize(420, 120);
        content->show();
    }
    ~ShownContent() { content->hide(); }

    QWindow* window() const { return content->windowHandle(); }
    QPoint centerOf(QWidget* w) const { return w->mapTo(content.data(), w->rect().center()); }
    ToastLineLabel* line(int key) const { return qobject_cast<ToastLineLabel*>(content->item(key)); }

    QSharedPointer<ToastContentWidget> content;
};

QStringList shownTexts(const ToastContentWidget& content)
{
    QStringList texts;
    for (int key = 1; key <= 3; ++key) {
        auto* label = qobject_cast<UmLiteLabel*>(content.item(key));
        if (label && label->isVisibleTo(const_cast<ToastContentWidget*>(&content)))
            texts << label->text();
    }
    return texts;
}

} // namespace

class TestToastContent : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void plainLines_data();
    void plainLines();
    void richLinesShowTheirSegmentsAsOneLine();

    void segmentClicks_data();
    void segmentClicks();
    void richLineShrinksFromThreeSegmentsToOne();
    void unreadableRichLineKeepsItsSegments();
    void switchingKindRebuildsLines();

    void image_data();
    void image();

    void loadToastIcon_data();
    void loadToastIcon();
};

void TestToastContent::initTestCase()
{
    registerDefaultRccSources({});
}

void TestToastContent::plainLines_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("none") << QStringList() << QStringList();
    QTest::newRow("two") << QStringList{"Saved", "Budget.xlsx"} << QStringList{"Saved", "Budget.xlsx"};
    QTest::newRow("three") << QStringList{"a", "b", "c"} << QStringList{"a", "b", "c"};
    QTest::newRow("five, first three shown") << QStringList{"a", "b", "c", "d", "e"} << QStringList{"a", "b", "c"};
    QTest::newRow("empty text still a line") << QStringList{"", "b"} << QStringList{"", "b"};
}

void TestToastContent::plainLines()
{
    QFETCH(QStringList, fields);
    QFETCH(QStringList, shown);

    const ToastData data = parsed(plainRequest(fields));
    QSharedPointer<ToastContentWidget> content = ToastContentWidget::create(data);
    content->updateContent(data);

    QCOMPARE(shownTexts(*content), shown);
    for (int key = 1; key <= 3; ++key) {
        auto* label = qobject_cast<MiddleLiteLabel*>(content->item(key));
        QVERIFY2(label, "plain lines are middle-eliding labels");
        QVERIFY(label->testAttribute(Qt::WA_TransparentForMouseEvents));
        QCOMPARE(label->getThemeClassName(), QString("Toast_Content_Label_Of_%1").arg(key));
    }
}

void TestToastContent::richLinesShowTheirSegmentsAsOneLine()
{
    const QString second = richLine({{"Shared by ", "", false}, {"Ana", "profile", true}});
    const ToastData data = parsed(richRequest({threeSegmentLine(), second}));
    QSharedPointer<ToastContentWidget> content = ToastContentWidget::create(data);
    content->updateContent(data);

    ToastLineLabel* first = qobject_cast<ToastLineLabel*>(content->item(1));
    ToastLineLabel* secondLine = qobject_cast<ToastLineLabel*>(content->item(2));
    ToastLineLabel* third = qobject_cast<ToastLineLabel*>(content->item(3));
    QVERIFY(first && secondLine && third);
    QVERIFY(!first->isHidden());
    QVERIFY(!secondLine->isHidden());
    QVERIFY(third->isHidden());
    QCOMPARE(first->lineIndex(), qint64(0));
    QCOMPARE(secondLine->lineIndex(), qint64(1));

    QStringList texts;
    for (MiddleLiteLabel* label : first->segmentLabels())
        texts << label->text();
    QCOMPARE(texts, (QStringList{"Report ", "Q3 figures", " is ready"}));
    const QList<MiddleLiteLabel*> segments = first->segmentLabels();
    QCOMPARE(segments.at(1)->property("click_action_name").toString(), k_middleAction);
    QVERIFY(segments.at(0)->testAttribute(Qt::WA_TransparentForMouseEvents));
    QVERIFY(!segments.at(1)->testAttribute(Qt::WA_TransparentForMouseEvents));
    QCOMPARE(segments.at(1)->getThemeClassName(), QString("Toast_Content_Label_Of_1"));
}

void TestToastContent::segmentClicks_data()
{
    QTest::addColumn<int>("pressOn");   // segment index
    QTest::addColumn<int>("releaseOn"); // segment index, -1: outside the line
    QTest::addColumn<int>("buttonValue");
    QTest::addColumn<bool>("reported");

    QTest::newRow("left click on the clickable segment") << 1 << 1 << int(Qt::LeftButton) << true;
    QTest::newRow("left click on the leading plain segment") << 0 << 0 << int(Qt::LeftButton) << false;
    QTest::newRow("left click on the trailing plain segment") << 2 << 2 << int(Qt::LeftButton) << false;
    QTest::newRow("right click on the clickable segment") << 1 << 1 << int(Qt::RightButton) << false;
    QTest::newRow("pressed inside, released outside") << 1 << -1 << int(Qt::LeftButton) << false;
    QTest::newRow("pressed inside, released on a neighbour") << 1 << 2 << int(Qt::LeftButton) << false;
}

void TestToastContent::segmentClicks()
{
    QFETCH(int, pressOn);
    QFETCH(int, releaseOn);
    QFETCH(int, buttonValue);
    const Qt::MouseButton button = Qt::MouseButton(buttonValue);
    QFETCH(bool, reported);

    ShownContent shown(parsed(richRequest({threeSegmentLine()})));
    QVERIFY(QTest::qWaitForWindowExposed(shown.content.data()));
    QSignalSpy clicks(shown.content.data(), &ToastContentWidget::sigLineTextClicked);

    const QList<MiddleLiteLabel*> segments = shown.line(1)->segmentLabels();
    const QPoint press = shown.centerOf(segments.at(pressOn));
    const QPoint release = releaseOn < 0 ? QPoint(shown.content->width() - 2, shown.content->height() - 2)
                                         : shown.centerOf(segments.at(releaseOn));
    QTest::mousePress(shown.window(), button, Qt::NoModifier, press);
    QTest::mouseRelease(shown.window(), button, Qt::NoModifier, release);

    if (!reported) {
        QCOMPARE(clicks.count(), 0);
        return;
    }
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).value<qint64>(), qint64(0));
    QCOMPARE(clicks.at(0).at(1).toString(), k_middleAction);
}

void TestToastContent::richLineShrinksFromThreeSegmentsToOne()
{
    const ToastData before = parsed(richRequest({threeSegmentLine()}));
    QSharedPointer<ToastContentWidget> content = ToastContentWidget::create(before);
    content->updateContent(before);
    ToastLineLabel* line = qobject_cast<ToastLineLabel*>(content->item(1));

    content->updateContent(parsed(richRequest({richLine({{"Done", "done", true}})})));

    QCOMPARE(content->item(1), static_cast<QWidget*>(line));
    const QList<MiddleLiteLabel*> labels = line->segmentLabels();
    QCOMPARE(labels.size(), 3);
    QVERIFY(!labels.at(0)->isHidden());
    QCOMPARE(labels.at(0)->text(), QString("Done"));
    QCOMPARE(labels.at(0)->property("click_action_name").toString(), QString("done"));
    QVERIFY(labels.at(1)->isHidden());
    QVERIFY(labels.at(2)->isHidden());
}

void TestToastContent::unreadableRichLineKeepsItsSegments()
{
    const ToastData before = parsed(richRequest({threeSegmentLine()}));
    QSharedPointer<ToastContentWidget> content = ToastContentWidget::create(before);
    content->updateContent(before);

    // The second request's line is not JSON: the record drops it, so line 1 has
    // nothing to show and hides, while keeping what it had.
    content->updateContent(parsed(richRequest({"not json"})));
    ToastLineLabel* line = qobject_cast<ToastLineLabel*>(content->item(1));
    QVERIFY(line->isHidden());
    QCOMPARE(line->segmentLabels().at(1)->text(), QString("Q3 figures"));
}

void TestToastContent::switchingKindRebuildsLines()
{
    const ToastData plain = parsed(plainRequest({"one", "two"}));
    QSharedPointer<ToastContentWidget> content = ToastContentWidget::create(plain);
    content->updateContent(plain);
    QList<QPointer<QWidget>> plainLines;
    for (int key = 1; key <= 3; ++key)
        plainLines << content->item(key);

    QSignalSpy clicks(content.data(), &ToastContentWidget::sigLineTextClicked);
    content->updateContent(parsed(richRequest({threeSegmentLine()})));

    QVERIFY(content->isRichText());
    for (int key = 1; key <= 3; ++key) {
        QVERIFY2(plainLines.at(key - 1).isNull(), "plain labels are deleted");
        QVERIFY(qobject_cast<ToastLineLabel*>(content->item(key)));
        QCOMPARE(qobject_cast<ToastLineLabel*>(content->item(key))->getThemeClassName(),
                 QString("Toast_Content_Label_Of_%1").arg(key));
    }
    // The new lines are wired: a segment click reaches the area's signal.
    emit qobject_cast<ToastLineLabel*>(content->item(1))->segmentLabels().at(1)->labelClicked();
    QCOMPARE(clicks.count(), 1);

    content->updateContent(parsed(plainRequest({"back"})));
    QVERIFY(qobject_cast<MiddleLiteLabel*>(content->item(1)));
    QCOMPARE(shownTexts(*content), QStringList{"back"});
}

void TestToastContent::image_data()
{
    QTest::addColumn<QString>("imagePath");
    QTest::addColumn<QString>("heroPath");
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QSize>("logicalSize");
    QTest::addColumn<qreal>("ratio");  // device pixels per logical pixel of the drawing
    QTest::addColumn<QSize>("painted"); // logical size an opaque image covers; invalid: not looked at

    const QSize any;
    QTest::newRow("0x0 falls back to 64") << ".pdf" << "" << QSize(0, 0) << true << QSize(64, 64) << 1.0 << any;
    QTest::newRow("one side 0 falls back to 64") << ".pdf" << "" << QSize(48, 0) << true << QSize(64, 64) << 1.0 << any;
    QTest::newRow("requested size kept") << ".pdf" << "" << QSize(32, 40) << true << QSize(32, 40) << 1.0 << any;
    QTest::newRow("hero wins over image") << "" << ".docx" << QSize(16, 16) << true << QSize(16, 16) << 1.0 << any;
    QTest::newRow("no path hides the image") << "" << "" << QSize(32, 32) << false << QSize(32, 32) << 1.0 << any;
    // "@WxH": an opaque file of that size. Drawn at the size asked for, not its own.
    QTest::newRow("small file scaled up") << "@64x64" << "" << QSize(160, 160) << true << QSize(160, 160) << 1.0
                                          << QSize(160, 160);
    QTest::newRow("aspect ratio kept") << "@64x32" << "" << QSize(160, 160) << true << QSize(160, 160) << 1.0
                                       << QSize(160, 80);
    QTest::newRow("scaled up at 2x") << "@64x64" << "" << QSize(160, 160) << true << QSize(160, 160) << 2.0
                                     << QSize(160, 160);
    QTest::newRow("large file scaled down") << "" << "@256x256" << QSize(48, 48) << true << QSize(48, 48) << 1.0
                                            << QSize(48, 48);
}

void TestToastContent::image()
{
    QFETCH(QString, imagePath);
    QFETCH(QString, heroPath);
    QFETCH(QSize, requested);
    QFETCH(bool, visible);
    QFETCH(QSize, logicalSize);
    QFETCH(qreal, ratio);
    QFETCH(QSize, painted);

    QTemporaryDir dir;
    for (QString* path : {&imagePath, &heroPath}) {
        if (!path->startsWith('@'))
            continue;
        const QStringList size = path->mid(1).split('x');
        QImage file(size.at(0).toInt(), size.at(1).toInt(), QImage::Format_RGB32);
        file.fill(Qt::darkGreen);
        *path = dir.filePath(path->mid(1) + ".png");
        QVERIFY(file.save(*path));
    }
    QMap<int, QVariant> request = plainRequest({"x"});
    request[ToastKeyImagePath] = imagePath;
    request[ToastKeyHeroImagePath] = heroPath;
    request[ToastKeyImageSize] = requested;
    const ToastData data = parsed(request);
    QSharedPointer<ToastContentWidget> content = ToastContentWidget::create(data);
    content->updateContent(data);

    auto* image = qobject_cast<UmLiteIconWidget*>(content->item(0));
    QVERIFY(image);
    QCOMPARE(!image->isHidden(), visible);
    QCOMPARE(image->iconSize(), UmLiteStyle::dpiScaledSize(logicalSize));
    QVERIFY2(!image->icon().isNull(), "an unknown image still gets the generic file icon");
    if (!painted.isValid())
        return;

    image->resize(image->sizeHint());
    QImage canvas(image->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::transparent);
    image->render(&canvas, QPoint(), QRegion(), QWidget::DrawChildren);
    QRect opaque;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (qAlpha(canvas.pixel(x, y)) > 127)
                opaque |= QRect(x, y, 1, 1);
        }
    }
    QCOMPARE(opaque.size(), UmLiteStyle::dpiScaledSize(painted) * ratio);
}

void TestToastContent::loadToastIcon_data()
{
    QTest::addColumn<QString>("iconName");
    QTest::addColumn<QColor>("expected"); // invalid: a null icon

    QTest::newRow("existing file") << "@red.png" << QColor(220, 20, 20);
    QTest::newRow("ico of the skin") << "/nowhere/orvex.ico" << QColor("#2e9e4f");
    QTest::newRow("ico suffix in capitals") << "/nowhere/Orvex.ICO" << QColor("#2e9e4f");
    QTest::newRow("ico nobody has") << "/nowhere/missing.ico" << QColor();
    QTest::newRow("file type by suffix") << ".pdf" << QColor("#d93025");
    QTest::newRow("unknown file type is generic") << ".zzqx" << QColor("#8a8f98");
    QTest::newRow("named skin icon") << "toast_info" << QColor("#1a73e8");
    QTest::newRow("unknown name") << "no_such_icon_anywhere" << QColor();
    QTest::newRow("empty") << "" << QColor();
}

void TestToastContent::loadToastIcon()
{
    QFETCH(QString, iconName);
    QFETCH(QColor, expected);

    QTemporaryDir dir;
    if (iconName.startsWith('@')) {
        QImage red(16, 16, QImage::Format_ARGB32);
        red.fill(QColor(220, 20, 20));
        iconName = dir.filePath(iconName.mid(1));
        QVERIFY(red.save(iconName));
    }
    const QIcon icon = ::loadToastIcon(iconName);
    if (!expected.isValid()) {
        QVERIFY(icon.isNull());
        return;
    }
    QVERIFY(!icon.isNull());
    const QColor got = sampleColor(icon);
    QVERIFY2(closeColors(got, expected), qPrintable(got.name(QColor::HexArgb)));
}

QTEST_MAIN(TestToastContent)
#include "tst_toastcontent.moc"
