// The host kit stand-in as the popup relies on it.
#include "middlelitelabel.h"
#include "popuptestutil.h"
#include "toastskinresources.h"
#include "umdrawhelper.h"
#include "umlitecontentdlg.h"
#include "umlitelabel.h"
#include "umlitestyle.h"
#include "umrtlhelper.h"
#include "umskin.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

class RecordingDialog : public UmLiteContentDlg
{
public:
    QList<int> clicked;
    int closes = 0;

protected:
    void onButton0Clicked() override { clicked << 0; }
    void onButton1Clicked() override { clicked << 1; }
    void onButton2Clicked() override { clicked << 2; }
    void onCloseButtonClicked() override { ++closes; }
};

// Shows the label with a fixed width and returns what it draws.
QString drawnText(UmLiteLabel& label, int width)
{
    label.setFixedWidth(width);
    label.show();
    return label.QLabel::text();
}

} // namespace

class TestKitWidgets : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void toVisualRect_data();
    void toVisualRect();

    void elision_data();
    void elision();

    void buttonsKeepRowOrderAndDispatch();
    void closeButtonDefaultRejects();
    void heightFollowsContent();

    void themeSwitchRestylesEverySkin();

    void loadersAnswerNullWhenNothingFits_data();
    void loadersAnswerNullWhenNothingFits();
};

void TestKitWidgets::initTestCase()
{
    registerDefaultRccSources({});
}

void TestKitWidgets::cleanup()
{
    UmSkin skin;
    skin.setThemeName("light");
}

void TestKitWidgets::toVisualRect_data()
{
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QRect>("expected");

    const QRect screen(0, 0, 1280, 800);
    QTest::newRow("ltr unchanged") << screen << QRect(100, 10, 200, 50) << int(Qt::LeftToRight)
                                   << QRect(100, 10, 200, 50);
    QTest::newRow("rtl mirrored") << screen << QRect(100, 10, 200, 50) << int(Qt::RightToLeft)
                                  << QRect(980, 10, 200, 50);
    QTest::newRow("rtl at the right edge goes to the left edge")
        << screen << QRect(1080, 700, 200, 100) << int(Qt::RightToLeft) << QRect(0, 700, 200, 100);
    QTest::newRow("rtl with offset bounds") << QRect(1280, 0, 1920, 1040) << QRect(3000, 900, 100, 40)
                                            << int(Qt::RightToLeft) << QRect(1380, 900, 100, 40);
}

void TestKitWidgets::toVisualRect()
{
    QFETCH(QRect, bounds);
    QFETCH(QRect, rect);
    QFETCH(int, direction);
    QFETCH(QRect, expected);
    QCOMPARE(UmRTLHelper::toVisualRect(bounds, rect, Qt::LayoutDirection(direction)), expected);
}

void TestKitWidgets::elision_data()
{
    QTest::addColumn<bool>("middle");
    QTest::addColumn<bool>("autoElide");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("pattern"); // regular expression over the drawn text

    const QString wide = QStringLiteral("^Quarterly budget review for the northern region\\.xlsx$");
    QTest::newRow("middle, wide enough") << true << true << 2000 << wide;
    QTest::newRow("middle, narrow") << true << true << 120 << QStringLiteral("^Quar.*\u2026.*xlsx$");
    QTest::newRow("right, narrow") << false << true << 120 << QStringLiteral("^Quarterly.*\u2026$");
    QTest::newRow("no elision, narrow") << false << false << 120 << wide;
}

void TestKitWidgets::elision()
{
    QFETCH(bool, middle);
    QFETCH(bool, autoElide);
    QFETCH(int, width);
    QFETCH(QString, pattern);

    const QString text = QStringLiteral("Quarterly budget review for the northern region.xlsx");
    QScopedPointer<UmLiteLabel> label(middle ? new MiddleLiteLabel(nullptr) : new UmLiteLabel);
    label->setTextAutoElide(autoElide);
    label->setText(text);
    const QString drawn = drawnText(*label, width);
    QVERIFY2(QRegularExpression(pattern).match(drawn).hasMatch(), qPrintable(drawn));
    QCOMPARE(label->text(), text);
    if (autoElide)
        QVERIFY2(label->minimumSizeHint().width() < width, "elided labels may be squeezed");
}

void TestKitWidgets::buttonsKeepRowOrderAndDispatch()
{
    RecordingDialog dialog;
    dialog.ensureButton(UmLiteContentDlg::Btn2);
    dialog.ensureButton(UmLiteContentDlg::Btn0);
    dialog.ensureButton(UmLiteContentDlg::Btn1);
    dialog.ensureButton(UmLiteContentDlg::Btn1);
    dialog.ensureButton(UmLiteContentDlg::BtnType(3));
    QCOMPARE(dialog.findChildren<QPushButton*>().size(), 3);
    QVERIFY(!dialog.button(UmLiteContentDlg::BtnType(3)));
    // Numbers beyond the row are ignored, not a crash.
    dialog.setButtonText(UmLiteContentDlg::BtnType(4), "x");
    dialog.setButtonVisible(UmLiteContentDlg::BtnType(-1), true);

    for (int i = 0; i < 3; ++i)
        dialog.setButtonText(UmLiteContentDlg::BtnType(i), QString("B%1").arg(i));
    dialog.setCustomFrameSize(QSize(400, 150));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const int x0 = dialog.button(UmLiteContentDlg::Btn0)->x();
    const int x1 = dialog.button(UmLiteContentDlg::Btn1)->x();
    const int x2 = dialog.button(UmLiteContentDlg::Btn2)->x();
    QVERIFY2(x0 < x1 && x1 < x2, "buttons sit in number order");

    QTest::mouseClick(dialog.button(UmLiteContentDlg::Btn2), Qt::LeftButton);
    QTest::mouseClick(dialog.button(UmLiteContentDlg::Btn0), Qt::LeftButton);
    QTest::mouseClick(dialog.closeButton(), Qt::LeftButton);
    QCOMPARE(dialog.clicked, (QList<int>{2, 0}));
    QCOMPARE(dialog.closes, 1);
    QVERIFY(dialog.isVisible());
}

void TestKitWidgets::closeButtonDefaultRejects()
{
    UmLiteContentDlg dialog;
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    dialog.show();
    QTest::mouseClick(dialog.closeButton(), Qt::LeftButton);
    QCOMPARE(rejected.count(), 1);
    QVERIFY(!dialog.isVisible());
}

void TestKitWidgets::heightFollowsContent()
{
    UmLiteContentDlg dialog;
    const QMargins shadow = dialog.shadowMargins();
    QVERIFY(shadow.right() > 0 && shadow.bottom() > 0);
    auto* content = new QWidget; // a QLabel would cache its minimum in its size hint
    dialog.setCustomContentWidget(content, -1, Qt::Alignment());
    dialog.setCustomFrameSize(QSize(300, 120));
    QCOMPARE(dialog.width(), 300 + shadow.left() + shadow.right());
    QCOMPARE(dialog.height(), 120 + shadow.top() + shadow.bottom());

    content->setMinimumHeight(400);
    dialog.updateFrameSize();
    dialog.updateFixedHeight();
    QVERIFY2(dialog.height() > 400 + shadow.top() + shadow.bottom(), "the frame grows with its content");

    content->setMinimumHeight(0);
    dialog.updateFixedHeight();
    QCOMPARE(dialog.height(), 120 + shadow.top() + shadow.bottom());
}

void TestKitWidgets::themeSwitchRestylesEverySkin()
{
    UmSkin first;
    UmLiteSkin second;
    QSignalSpy firstChanged(&first, &UmLiteSkin::skinChanged);
    QSignalSpy secondChanged(&second, &UmLiteSkin::skinChanged);

    UmLiteContentDlg dialog;
    dialog.setThemeClassName("ToastApplicationWidgetDlg");
    const QString lightSheet = dialog.styleSheet();
    QVERIFY(lightSheet.contains("umlite_frame"));

    second.setThemeName("dark");
    second.setThemeName("dark");
    QCOMPARE(firstChanged.count(), 1);
    QCOMPARE(secondChanged.count(), 1);
    QCOMPARE(first.themeName(), QString("dark"));
    QCOMPARE(dialog.styleSheet(), lightSheet);

    dialog.changeStyle();
    QVERIFY(dialog.styleSheet().contains("umlite_frame"));
    QVERIFY(dialog.styleSheet() != lightSheet);
    QCOMPARE(dialog.themeClassName(), QString("ToastApplicationWidgetDlg"));
}

void TestKitWidgets::loadersAnswerNullWhenNothingFits_data()
{
    QTest::addColumn<QString>("loader");
    QTest::addColumn<QString>("argument");

    QTest::newRow("icon: empty name") << "icon" << "";
    QTest::newRow("icon: a path is no name") << "icon" << "/usr/share/toast_info";
    QTest::newRow("ico: not an image") << "ico" << "@broken.ico";
    QTest::newRow("ico: empty") << "ico" << "";
    QTest::newRow("suffix: unknown without fallback") << "suffix" << "zzqx";
    QTest::newRow("suffix: empty without fallback") << "suffix" << "";
}

void TestKitWidgets::loadersAnswerNullWhenNothingFits()
{
    QFETCH(QString, loader);
    QFETCH(QString, argument);

    QTemporaryDir dir;
    if (argument.startsWith('@')) {
        argument = dir.filePath(argument.mid(1));
        QFile file(argument);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("this is not an icon");
    }
    QIcon icon;
    if (loader == "icon")
        icon = UmDrawHelper::loadIcon(argument);
    else if (loader == "ico")
        icon = UmDrawHelper::loadIcoIcon(argument);
    else
        icon = UmDrawHelper::loadFileIconBySuffix(argument, false, false);
    QVERIFY(icon.isNull());
}

QTEST_MAIN(TestKitWidgets)
#include "tst_kitwidgets.moc"
