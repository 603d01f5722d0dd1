// Guards popups fading in once from transparent, fading out to 0 exactly once (so they get deleted), lines hidden on cue.
#include "applicationtoastwidget.h"
#include "popuptestutil.h"
#include "toastanimationcontroller.h"
#include "toastcontentanimationcontroller.h"
#include "toastcontentwidget.h"
#include "umlitelabel.h"

#include <QPropertyAnimation>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace popuptest;

namespace {

int runningAnimations(const QObject& controller)
{
    return controller.findChildren<QPropertyAnimation*>().size();
}

QMetaMethod slotOf(const QObject& object, const char* signature)
{
    return object.metaObject()->method(object.metaObject()->indexOfSlot(signature));
}

} // namespace

class TestToastAnimation : public QObject
{
    Q_OBJECT
private slots:
    void fadeIn();
    void fadeOutEndsOnceWithOpacityZero_data();
    void fadeOutEndsOnceWithOpacityZero();

    void textAnimationFinishAppliesLabelVisibility();
};

void TestToastAnimation::fadeIn()
{
    QWidget window;
    ToastAnimationController controller;
    controller.startShowAnimation(&window);
    QVERIFY(window.isVisible());
    QCOMPARE(window.windowOpacity(), 0.0);
    QTRY_VERIFY(window.windowOpacity() > 0.2);
    const qreal reached = window.windowOpacity();
    controller.startShowAnimation(&window);
    QVERIFY2(window.windowOpacity() >= reached, "a restart would have put the opacity back to 0");
    QCOMPARE(runningAnimations(controller), 1);
    QTRY_COMPARE_WITH_TIMEOUT(window.windowOpacity(), 1.0, 2000);
    QTRY_COMPARE(runningAnimations(controller), 0);
    // Once ended it may run again; a missing window starts nothing.
    controller.startShowAnimation(&window);
    QCOMPARE(window.windowOpacity(), 0.0);
    controller.startShowAnimation(nullptr);
    QCOMPARE(runningAnimations(controller), 1);
}

void TestToastAnimation::fadeOutEndsOnceWithOpacityZero_data()
{
    QTest::addColumn<bool>("duringFadeIn");
    QTest::newRow("after the fade-in") << false;
    QTest::newRow("during the fade-in") << true;
}

void TestToastAnimation::fadeOutEndsOnceWithOpacityZero()
{
    QFETCH(bool, duringFadeIn);

    ApplicationToastWidget popup;
    popup.initToast(7, {});
    ToastAnimationController controller;
    QList<qreal> opacityAtFinish;
    connect(&popup, &ApplicationToastWidget::notifyHideAnimationFinish, this,
            [&](quint64 id) {
                QCOMPARE(id, quint64(7));
                opacityAtFinish << popup.windowOpacity();
            });

    controller.startShowAnimation(&popup);
    if (!duringFadeIn)
        QTRY_COMPARE(popup.windowOpacity(), 1.0);
    controller.startHideAnimation(&popup);

    QTRY_COMPARE(opacityAtFinish.size(), 1);
    QTRY_COMPARE(runningAnimations(controller), 0);
    QCOMPARE(opacityAtFinish.size(), 1);
    QCOMPARE(opacityAtFinish.first(), 0.0);
}

void TestToastAnimation::textAnimationFinishAppliesLabelVisibility()
{
    const ToastData data = parsed(plainRequest({"a", "b"}));
    QSharedPointer<ToastContentWidget> content = ToastContentWidget::create(data);
    content->updateContent(data);
    ToastContentAnimationController* controller = content->animationController().get();
    QWidget* line = content->item(2);
    QVERIFY(!line->isHidden());

    QTimer animation; // stands in for a content animation: it only has to be the sender
    animation.setProperty("labelIndex", 2);
    line->setProperty("labelIndex", 2);
    line->setProperty("animationType", false);
    controller->trackAnimation(2, &animation);
    QObject::connect(&animation, animation.metaObject()->method(animation.metaObject()->indexOfSignal("timeout()")),
                     controller, slotOf(*controller, "onTextAnimationFinish()"));
    emit animation.timeout({});

    QVERIFY(line->isHidden());
    QVERIFY(!controller->isTracking(2));
}

QTEST_MAIN(TestToastAnimation)
#include "tst_toastanimation.moc"
