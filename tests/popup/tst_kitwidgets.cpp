// The host kit stand-in as the popup relies on it.
#include "middlelitelabel.h"
#include "popuptestutil.h"
#include "toastskinresources.h"
#include "umdrawhelper.h"
#include "umlitecontentdlg.h"
#include "umlitelabel.h"
#include "umlitepushbutton.h"
#include "umlitestyle.h"
#include "umrtlhelper.h"
#include "umlitetheme_p.h"
#include "umlitewidget.h"
#include "umskin.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QStyle>
#include <QVBoxLayout>
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

// Shows the label with a fixed width (and height, when rows > 0: room for
// that many rows) and returns what it draws.
QString drawnText(UmLiteLabel& label, int width, int rows = 0)
{
    label.setFixedWidth(width);
    const QFontMetrics metrics(label.font());
    if (rows > 0)
        label.setFixedHeight(metrics.height() + (rows - 1) * metrics.lineSpacing());
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
    void elidedLabelsAreAsHighAsQLabel_data();
    void elidedLabelsAreAsHighAsQLabel();

    void buttonsKeepRowOrderAndDispatch();
    void closeButtonDefaultRejects();
    void heightFollowsContent();
    void longTextsEndInAnEllipsisAndKeepTheFrame();

    void themeSwitchRestylesEverySkin();
    void windowsShareTheirSheetAndKeepTheirOwnClass();

    void scopedSheetNarrowsEverySelector_data();
    void scopedSheetNarrowsEverySelector();
    void rootKeepsItsOwnClassRulesPlain_data();
    void rootKeepsItsOwnClassRulesPlain();
    void composedSheetNarrowsOnlyOtherClasses();
    void themedWidgetsKeepTheirOwnClassRules_data();
    void themedWidgetsKeepTheirOwnClassRules();

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
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("rows"); // room for that many rows; 0: as many as it asks for
    QTest::addColumn<QString>("pattern"); // regular expression over the drawn text

    const QString text = QStringLiteral("Quarterly budget review for the northern region.xlsx");
    const QString wide = QStringLiteral("^Quarterly budget review for the northern region\\.xlsx$");
    QTest::newRow("middle, wide enough") << true << true << text << 2000 << 0 << wide;
    QTest::newRow("middle, narrow") << true << true << text << 120 << 0 << QStringLiteral("^Quar.*\u2026.*xlsx$");
    QTest::newRow("right, narrow") << false << true << text << 120 << 0 << QStringLiteral("^Quarterly.*\u2026$");
    QTest::newRow("no elision, narrow") << false << false << text << 120 << 0 << wide;
    // A row without room is no stray word under the line: it joins the last row.
    const QString twoRows = QStringLiteral("Quarterly budget review for the\nnorthern region.xlsx");
    QTest::newRow("two rows, room for both") << true << true << twoRows << 2000 << 2
                                             << QStringLiteral("^Quarterly budget review for the\nnorthern region\\.xlsx$");
    QTest::newRow("two rows, room for one") << true << true << twoRows << 2000 << 1 << wide;
    QTest::newRow("two rows, room for one, narrow")
        << true << true << twoRows << 120 << 1 << QStringLiteral("^Quar[^\n]*\u2026[^\n]*xlsx$");
    QTest::newRow("two rows, each elided") << true << true << twoRows << 120 << 2
                                           << QStringLiteral("^Quar[^\n]*\u2026[^\n]*the\nnorth[^\n]*$");
}

void TestKitWidgets::elision()
{
    QFETCH(bool, middle);
    QFETCH(bool, autoElide);
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(int, rows);
    QFETCH(QString, pattern);

    QScopedPointer<UmLiteLabel> label(middle ? new MiddleLiteLabel(nullptr) : new UmLiteLabel);
    label->setTextAutoElide(autoElide);
    label->setText(text);
    const int heightAsked = label->sizeHint().height();
    const QString drawn = drawnText(*label, width, rows);
    QVERIFY2(QRegularExpression(pattern).match(drawn).hasMatch(), qPrintable(drawn));
    QCOMPARE(label->text(), text);
    QCOMPARE(label->sizeHint().height(), heightAsked); // a folded label still asks for every row
    if (autoElide)
        QVERIFY2(label->minimumSizeHint().width() < width, "elided labels may be squeezed");
}

void TestKitWidgets::elidedLabelsAreAsHighAsQLabel_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("margin");
    QTest::addColumn<bool>("wrap");

    QTest::newRow("one line") << "Budget 2027.xlsx was saved" << 0 << false;
    QTest::newRow("two lines") << "first line\nsecond line" << 0 << false;
    QTest::newRow("rich text") << "<b>Budget</b><br>was saved" << 0 << false;
    QTest::newRow("margin") << "Budget" << 7 << false;
    QTest::newRow("word wrap") << "Budget 2027.xlsx was saved by three people" << 0 << true;
    QTest::newRow("empty") << "" << 0 << false;
}

void TestKitWidgets::elidedLabelsAreAsHighAsQLabel()
{
    QFETCH(QString, text);
    QFETCH(int, margin);
    QFETCH(bool, wrap);

    UmLiteLabel label;
    QLabel reference;
    label.setTextAutoElide(true);
    label.setText(text); // hides QLabel::setText: keeps the full text
    reference.setText(text);
    for (QLabel* l : {static_cast<QLabel*>(&label), &reference}) {
        l->setMargin(margin);
        l->setWordWrap(wrap);
    }
    QCOMPARE(label.sizeHint().height(), reference.sizeHint().height());
    QCOMPARE(label.minimumSizeHint().height(), reference.minimumSizeHint().height());

    // What the height was measured with changes: so does the height.
    QFont bigger = label.font();
    bigger.setPointSizeF(bigger.pointSizeF() * 2);
    label.setFont(bigger);
    reference.setFont(bigger);
    label.setContentsMargins(0, 3, 0, 5);
    reference.setContentsMargins(0, 3, 0, 5);
    QCOMPARE(label.sizeHint().height(), reference.sizeHint().height());
    QCOMPARE(label.minimumSizeHint().height(), reference.minimumSizeHint().height());
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

void TestKitWidgets::longTextsEndInAnEllipsisAndKeepTheFrame()
{
    UmLiteContentDlg dialog;
    dialog.setThemeClassName("ToastApplicationWidgetDlg");
    dialog.setCustomFrameSize(QSize(438, 120));
    const int width = dialog.width();
    const QString title = QString("Quarterly budget review for the northern region ").repeated(3);
    dialog.setMainTitleText(title);
    const QStringList labels{"Open the shared document in the editor and review all edits.", "Show in folder",
                             "Copy link"};
    QCOMPARE(labels.first().size(), 60);
    for (int i = 0; i < labels.size(); ++i) {
        dialog.ensureButton(UmLiteContentDlg::BtnType(i));
        dialog.setButtonText(UmLiteContentDlg::BtnType(i), labels.at(i));
    }
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QCOMPARE(dialog.width(), width);
    QCOMPARE(dialog.mainTitleText(), title);
    const QString drawn = dialog.findChild<QLabel*>("umlite_title")->QLabel::text();
    QVERIFY2(drawn.endsWith(QChar(0x2026)) && drawn.size() < title.size(), qPrintable(drawn));

    // The long label gives way; the short ones stay whole, and the row stays inside the frame.
    const QRect frame = dialog.findChild<QFrame*>("umlite_frame")->geometry();
    for (int i = 0; i < labels.size(); ++i) {
        auto* button = qobject_cast<UmLitePushButton*>(dialog.button(UmLiteContentDlg::BtnType(i)));
        QVERIFY(button);
        QCOMPARE(button->text(), labels.at(i));
        const QString shown = button->shownText();
        if (i == 0) {
            QVERIFY2(shown.endsWith(QChar(0x2026)) && labels.at(i).startsWith(shown.chopped(1)), qPrintable(shown));
            QCOMPARE(button->toolTip(), labels.at(i));
        } else {
            QCOMPARE(shown, labels.at(i));
            QVERIFY(button->toolTip().isEmpty());
        }
        QVERIFY(frame.contains(button->mapTo(&dialog, button->rect().bottomRight())));
    }
}

void TestKitWidgets::themeSwitchRestylesEverySkin()
{
    UmSkin first;
    UmLiteSkin second;
    QSignalSpy firstChanged(&first, &UmLiteSkin::skinChanged);
    QSignalSpy secondChanged(&second, &UmLiteSkin::skinChanged);

    UmLiteContentDlg dialog;
    dialog.setThemeClassName("ToastApplicationWidgetDlg");
    // A window takes its sheet when first polished.
    QVERIFY(dialog.styleSheet().isEmpty());
    dialog.ensurePolished();
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

void TestKitWidgets::windowsShareTheirSheetAndKeepTheirOwnClass()
{
    const auto textColor = [](const QWidget* w) { return w->palette().color(w->foregroundRole()).name(); };
    UmLiteContentDlg first;
    UmLiteContentDlg second;
    for (UmLiteContentDlg* dialog : {&first, &second}) {
        dialog->setThemeClassName("ToastApplicationWidgetDlg");
        dialog->ensureButton(UmLiteContentDlg::Btn0);
        dialog->setButtonText(UmLiteContentDlg::Btn0, "Open");
        dialog->show();
    }
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    // Separate windows, styled by one sheet.
    QVERIFY(first.isWindow() && second.isWindow());
    QVERIFY(first.parentWidget() && first.parentWidget() == second.parentWidget());
    QVERIFY(!first.parentWidget()->isVisible());
    QCOMPARE(textColor(first.button(UmLiteContentDlg::Btn0)), QString("#ffffff")); // the first button's own rule
    QCOMPARE(textColor(second.button(UmLiteContentDlg::Btn0)), QString("#ffffff"));

    // A window that changes class drops the rules of the class it had, and
    // the other window keeps them.
    first.setThemeClassName("UmLiteContentDlg");
    QCOMPARE(textColor(first.button(UmLiteContentDlg::Btn0)), QString("#202124"));
    QCOMPARE(textColor(second.button(UmLiteContentDlg::Btn0)), QString("#ffffff"));
    QCOMPARE(textColor(first.findChild<QLabel*>("umlite_title")), QString("#5f6368"));
}

void TestKitWidgets::scopedSheetNarrowsEverySelector_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("expected");

    const QString a = R"([umThemeClass="C"])";
    QTest::newRow("type") << "QLabel { color: red; }" << QString("QLabel%1, *%1 QLabel { color: red; }\n").arg(a);
    QTest::newRow("list and descendant")
        << "QLabel, QFrame QWidget {x:1}"
        << QString("QLabel%1, *%1 QLabel, QFrame QWidget%1, *%1 QFrame QWidget {x:1}\n").arg(a);
    QTest::newRow("pseudo state stays last")
        << "QPushButton#b[i=\"0\"]:hover {x:1}"
        << QString("QPushButton#b[i=\"0\"]%1:hover, *%1 QPushButton#b[i=\"0\"]:hover {x:1}\n").arg(a);
    QTest::newRow("colon and comma inside an attribute")
        << "QLabel[t=\"a:b, c\"] {x:1}"
        << QString("QLabel[t=\"a:b, c\"]%1, *%1 QLabel[t=\"a:b, c\"] {x:1}\n").arg(a);
    QTest::newRow("child combinator") << "QFrame > QLabel {x:1}"
                                      << QString("QFrame > QLabel%1, *%1 QFrame > QLabel {x:1}\n").arg(a);
    QTest::newRow("bare pseudo state") << ":disabled {x:1}" << QString("*%1:disabled, *%1 :disabled {x:1}\n").arg(a);
    QTest::newRow("comments dropped") << "/* a, b { */ QLabel {x:1} /* } */"
                                      << QString("QLabel%1, *%1 QLabel {x:1}\n").arg(a);
    QTest::newRow("declarations only") << "color: red;" << QString("*%1, *%1 * {color: red;}\n").arg(a);
    QTest::newRow("empty") << "" << "";
    QTest::newRow("unclosed block is dropped") << "QLabel {x:1} QFrame {y:2" << QString("QLabel%1, *%1 QLabel {x:1}\n").arg(a);
}

void TestKitWidgets::scopedSheetNarrowsEverySelector()
{
    QFETCH(QString, sheet);
    QFETCH(QString, expected);
    QCOMPARE(umlite::scopedSheet(sheet, "C"), expected);
}

void TestKitWidgets::rootKeepsItsOwnClassRulesPlain_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("expected");

    QTest::newRow("rules") << "QLabel { color: red; }" << "QLabel { color: red; }\n";
    QTest::newRow("comments dropped") << "/* x */QLabel {x:1}" << "QLabel {x:1}\n";
    // Pasted bare among other rules they would break the whole sheet.
    QTest::newRow("declarations only") << "color: red;" << "* {color: red;}\n";
    QTest::newRow("blank") << " \n" << "";
}

void TestKitWidgets::rootKeepsItsOwnClassRulesPlain()
{
    QFETCH(QString, sheet);
    QFETCH(QString, expected);
    QCOMPARE(umlite::rootSheet(sheet), expected);
}

void TestKitWidgets::composedSheetNarrowsOnlyOtherClasses()
{
    const QStringList classes{"ToastApplicationWidgetDlg", "Toast_Content_Label_Of_1"};
    const QString composed = umlite::composedSheet(classes, "ToastApplicationWidgetDlg");
    QVERIFY(composed.startsWith("QFrame#umlite_frame {"));
    QVERIFY(!composed.contains(R"([umThemeClass="ToastApplicationWidgetDlg"])"));
    QVERIFY(composed.contains(R"(QWidget[umThemeClass="Toast_Content_Label_Of_1"])"));
    // A root of neither class narrows both.
    QVERIFY(umlite::composedSheet(classes).contains(R"([umThemeClass="ToastApplicationWidgetDlg"])"));
}

void TestKitWidgets::themedWidgetsKeepTheirOwnClassRules_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<bool>("detached");
    QTest::addColumn<QString>("firstTouch");
    QTest::addColumn<QStringList>("colors");

    // Title, then lines 1 to 3 of the popup's content.
    const QStringList light{"#5f6368", "#202124", "#3c4043", "#5f6368"};
    const QStringList dark{"#b4b8bf", "#e8eaed", "#c9ccd1", "#9aa0a6"};
    QTest::newRow("light, built in place") << "light" << false << "show" << light;
    QTest::newRow("light, built apart and inserted") << "light" << true << "show" << light;
    QTest::newRow("dark, built apart and inserted") << "dark" << true << "show" << dark;
    QTest::newRow("light, measured before shown") << "light" << true << "measure" << light;
    QTest::newRow("dark, polished before shown") << "dark" << true << "polish" << dark;
}

void TestKitWidgets::themedWidgetsKeepTheirOwnClassRules()
{
    QFETCH(QString, theme);
    QFETCH(bool, detached);
    QFETCH(QString, firstTouch);
    QFETCH(QStringList, colors);

    UmSkin skin;
    skin.setThemeName(theme);
    UmLiteContentDlg dialog;
    dialog.setThemeClassName("ToastApplicationWidgetDlg");
    dialog.setMainTitleText("title");
    auto* content = new UmLiteWidget(detached ? nullptr : &dialog);
    auto* column = new QVBoxLayout(content);
    QList<UmLiteLabel*> lines;
    for (int i = 1; i <= 3; ++i) {
        auto* label = new UmLiteLabel(content);
        label->setText(QString("line %1").arg(i));
        label->applyThemeClass(QString("Toast_Content_Label_Of_%1").arg(i), false);
        column->addWidget(label);
        lines << label;
    }
    dialog.setCustomContentWidget(content, -1, Qt::Alignment());
    if (firstTouch == "measure")
        dialog.updateFixedHeight();
    else if (firstTouch == "polish")
        dialog.ensurePolished();
    const int heightBeforeShown = dialog.height();
    dialog.show();
    if (firstTouch == "measure") {
        // Measured with the sheet's fonts already, so showing changes nothing.
        dialog.updateFixedHeight();
        QCOMPARE(dialog.height(), heightBeforeShown);
    }

    const auto textColor = [](const QWidget* w) { return w->palette().color(w->foregroundRole()).name(); };
    QCOMPARE(textColor(dialog.findChild<QLabel*>("umlite_title")), colors.at(0));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(textColor(lines.at(i)), colors.at(i + 1));
    // Line 1 is the bold one; the dialog's rules do not reach the lines.
    QVERIFY(lines.at(0)->font().weight() > QFont::Normal);
    QCOMPARE(lines.at(1)->font().weight(), int(QFont::Normal));
    QVERIFY(lines.at(0)->font().pointSizeF() > lines.at(2)->font().pointSizeF());

    // A line that changes class follows it at once.
    lines.at(2)->applyThemeClass("Toast_Content_Label_Of_1", false);
    QCOMPARE(textColor(lines.at(2)), colors.at(1));

    // A label shown on its own, never placed in a dialog, is styled too.
    UmLiteLabel alone;
    alone.applyThemeClass("Toast_Content_Label_Of_2", false);
    alone.show();
    QCOMPARE(textColor(&alone), colors.at(2));
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
