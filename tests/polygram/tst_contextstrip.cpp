#include "polygram/ContextPoligrammeWidget.h"
#include "tests/polygram/PolygramFixture.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QOpenGLPaintDevice>
#include <QSignalSpy>
#include <QStyle>

namespace {

const QSize kSize(1000, 60);

struct Strip {
    ContextPoligrammeWidget widget;
    QSignalSpy ticks{&widget, &ContextPoligrammeWidget::updatePositionFromContext};
    QSignalSpy steps{&widget, &ContextPoligrammeWidget::updatePositionFromContextWeel};

    explicit Strip(Inspection::_Test *test, int position = 36000)
    {
        widget.resize(kSize);
        widget.setTest(test);
        widget.onUpdatePositionFromView(position);
        widget.show();
    }
    QRect box() const { return widget.picture().visibleBox(widget.size()); }
    bool send(QEvent::Type type, const QPoint &at, Qt::MouseButtons buttons = Qt::LeftButton)
    {
        QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::LeftButton, buttons, {});
        return QApplication::sendEvent(&widget, &event);
    }
};

}  // namespace

class TestContextStrip : public QObject
{
    Q_OBJECT

    PolygramFixture m_fixture;

private slots:
    void initTestCase()
    {
        m_fixture.fillOneHour();
    }

    void aPressInsideTheBoxStartsADrag()
    {
        Strip strip(&m_fixture.test);
        QVERIFY(QTest::qWaitForWindowExposed(&strip.widget));
        const QRect box = strip.box();
        strip.send(QEvent::MouseButtonPress, QPoint(box.left() + 3, 20));
        QVERIFY(strip.widget.isDragging());
        QCOMPARE(QWidget::keyboardGrabber(), &strip.widget);

        strip.send(QEvent::MouseMove, QPoint(box.left() + 103, 20));
        QCOMPARE(strip.ticks.count(), 1);
        QCOMPARE(strip.ticks.at(0).at(0).toInt(), int(72000.0 / kSize.width() * (box.left() + 100)));

        strip.send(QEvent::MouseButtonRelease, QPoint(box.left() + 103, 20), Qt::NoButton);
        QVERIFY(!strip.widget.isDragging());
        QCOMPARE(QWidget::keyboardGrabber(), nullptr);
        strip.send(QEvent::MouseMove, QPoint(box.left() + 150, 20), Qt::NoButton);
        QCOMPARE(strip.ticks.count(), 1);
    }

    void aPressOutsideStartsNothing()
    {
        Strip strip(&m_fixture.test);
        QVERIFY(QTest::qWaitForWindowExposed(&strip.widget));
        const QRect box = strip.box();
        strip.send(QEvent::MouseButtonPress, QPoint(box.right() + 1, 20));
        strip.send(QEvent::MouseButtonPress, QPoint(box.left() + 3, 4));
        QVERIFY(!strip.widget.isDragging());
        strip.send(QEvent::MouseMove, QPoint(box.left() + 50, 20));
        QCOMPARE(strip.ticks.count(), 0);
    }

    void withoutATestNothingStarts()
    {
        Strip strip(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(&strip.widget));
        strip.send(QEvent::MouseButtonPress, QPoint(5, 20));
        strip.send(QEvent::MouseMove, QPoint(50, 20));
        QVERIFY(!strip.widget.isDragging());
        QCOMPARE(strip.ticks.count(), 0);
    }

    void aHiddenStripConsumesEverything()
    {
        Strip strip(&m_fixture.test);
        strip.widget.hide();
        QVERIFY(strip.send(QEvent::MouseButtonPress, QPoint(strip.box().left() + 3, 20)));
        QVERIFY(!strip.widget.isDragging());
    }

    void aNotchForwardScrollsBack()
    {
        Strip strip(&m_fixture.test);
        QWheelEvent notch(QPointF(50, 20), QPointF(strip.widget.mapToGlobal(QPoint(50, 20))), QPoint(),
                          QPoint(0, 120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&strip.widget, &notch);
        QCOMPARE(strip.steps.count(), 1);
        QCOMPARE(strip.steps.at(0).at(0).toInt(), -120);
    }

    void sweepAndPositionMoveTheBox()
    {
        Strip strip(&m_fixture.test);
        const int extent = strip.widget.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        strip.widget.onChangeUnfold(4);
        strip.widget.onUpdatePositionFromView(72000);
        strip.widget.grabFramebuffer();
        QCOMPARE(strip.widget.picture().sweep, 2000);
        QCOMPARE(strip.box().width(), int((kSize.width() - extent) * 2000 / 1000 / 72.0));
        QCOMPARE(strip.box().right(), kSize.width() - 1);
        strip.widget.setTest(&m_fixture.test);
        QCOMPARE(strip.widget.picture().position, 0);
    }

    void aResizeReplacesThePaintDevice()
    {
        Strip strip(&m_fixture.test);
        QVERIFY(QTest::qWaitForWindowExposed(&strip.widget));
        strip.widget.grabFramebuffer();
        QVERIFY(strip.widget.glDevice());
        QCOMPARE(strip.widget.glDevice()->size(), kSize * strip.widget.devicePixelRatioF());
        strip.widget.resize(700, 40);
        strip.widget.grabFramebuffer();
        QCOMPARE(strip.widget.glDevice()->size(), QSize(700, 40) * strip.widget.devicePixelRatioF());

        strip.widget.hide();
        strip.widget.resize(640, 50);
        strip.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&strip.widget));
        QCOMPARE(strip.widget.grabFramebuffer().size(), QSize(640, 50) * strip.widget.devicePixelRatioF());
        QCOMPARE(strip.widget.glDevice()->size(), QSize(640, 50) * strip.widget.devicePixelRatioF());
    }

    void scrolledStripEqualsAFreshOne()
    {
        Strip kept(&m_fixture.test, 0);
        QVERIFY(QTest::qWaitForWindowExposed(&kept.widget));
        kept.widget.grabFramebuffer();
        for (int position = 2000; position <= 40000; position += 9500) {
            kept.widget.onUpdatePositionFromView(position);
            kept.widget.grabFramebuffer();
        }
        m_fixture.test.labels[1].TickQStart += 2000;
        m_fixture.test.labels[1].TickQEnd += 2000;
        kept.widget.grabFramebuffer();
        m_fixture.test.channel(ChannelCode::GSR).Offset += 40;
        const QImage image = kept.widget.grabFramebuffer();
        const QRect box = kept.box();
        QCOMPARE(image.pixelColor(box.left(), 30), QColor(Qt::black));
        QCOMPARE(image.pixelColor(box.right(), 30), QColor(Qt::black));
        QCOMPARE(image.pixelColor(1, 30), QColor(Qt::gray));
        QCOMPARE(image.pixelColor(kSize.width() - 1, 30), QColor(Qt::gray));

        Strip fresh(&m_fixture.test, kept.widget.picture().position);
        QVERIFY(QTest::qWaitForWindowExposed(&fresh.widget));
        QCOMPARE(image, fresh.widget.grabFramebuffer());
    }
};

VUG_TEST_MAIN(TestContextStrip, QApplication)
#include "tst_contextstrip.moc"
