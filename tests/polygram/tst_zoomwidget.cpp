#include "data/GenericSettings.h"
#include "polygram/ZoomWidget.h"
#include "polygram/ZoomWidget_Frame.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QStyle>

// Paints the magnified spot: a flat colour, counting the calls.
class ZoomTarget : public QObject
{
    Q_OBJECT
public:
    int draws = 0;

public slots:
    void onDrawZoom(QPixmap &px)
    {
        ++draws;
        px.fill(Qt::red);
    }
};

// Counts the releases that reach it.
class ReleaseCounter : public QWidget
{
public:
    int releases = 0;

protected:
    void mouseReleaseEvent(QMouseEvent *) override { ++releases; }
};

namespace {

void storeZoom(int h, int v)
{
    GenericSettings settings;
    settings.load();
    settings.iZoomH = h;
    settings.iZoomV = v;
    settings.save();
}

}  // namespace

class TestZoomWidget : public QObject
{
    Q_OBJECT

    struct Area {
        QScrollArea area;
        ZoomTarget target;
        ZoomWidget *zoom = new ZoomWidget(nullptr, &target);

        Area()
        {
            area.setCornerWidget(zoom);
            area.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            area.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            area.resize(800, 600);
            area.show();
        }
        bool send(QObject *to, QEvent::Type type, const QPoint &global, Qt::MouseButton button,
                  Qt::MouseButtons buttons)
        {
            QWidget *widget = qobject_cast<QWidget *>(to);
            const QPoint local = widget ? widget->mapFromGlobal(global) : global;
            QMouseEvent event(type, local, global, button, buttons, {});
            return QApplication::sendEvent(to, &event);
        }
        // Whether the magnifier takes the event, as its filter decides.
        bool takes(QObject *watched, QEvent::Type type, const QPoint &global, Qt::MouseButton button,
                   Qt::MouseButtons buttons)
        {
            QMouseEvent event(type, global, global, button, buttons, {});
            return zoom->eventFilter(watched, &event);
        }
        bool press(const QPoint &global, Qt::MouseButton button = Qt::LeftButton,
                   Qt::MouseButtons buttons = Qt::LeftButton)
        {
            return send(zoom, QEvent::MouseButtonPress, global, button, buttons);
        }
        QPoint viewportPoint(int x, int y) const { return area.viewport()->mapToGlobal(QPoint(x, y)); }
    };

private slots:
    void init()
    {
        storeZoom(200, 200);
    }

    void looksAsTheMagnifier()
    {
        Area a;
        const int side = a.zoom->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        QCOMPARE(a.zoom->pixmap(Qt::ReturnByValue).size(), QSize(side, side));
        QVERIFY(!a.zoom->pixmap(Qt::ReturnByValue).toImage().allGray());
        QCOMPARE(a.zoom->toolTip(), QStringLiteral("Лупа"));
        QVERIFY(!a.zoom->frame());
    }

    void aLeftPressShowsAFrameCentredUnderTheCursor()
    {
        Area a;
        QVERIFY(a.press(a.viewportPoint(301, 250)));
        _Frame *frame = a.zoom->frame();
        QVERIFY(frame);
        QCOMPARE(frame->parentWidget(), a.area.viewport());
        QVERIFY(frame->isVisible());
        QCOMPARE(frame->frameShape(), QFrame::Panel);
        QCOMPARE(frame->geometry(), QRect(201, 150, 200, 200));

        QVERIFY(a.send(a.zoom, QEvent::MouseMove, a.viewportPoint(120, 99), Qt::NoButton, Qt::LeftButton));
        QCOMPARE(frame->pos(), QPoint(20, -1));
        // Moves of other objects do not move it.
        QVERIFY(!a.takes(a.area.viewport(), QEvent::MouseMove, a.viewportPoint(400, 400), Qt::NoButton,
                         Qt::LeftButton));
        QCOMPARE(frame->pos(), QPoint(20, -1));
    }

    void otherPressesShowNothing()
    {
        Area a;
        const QPoint at = a.viewportPoint(100, 100);
        QVERIFY(!a.takes(a.zoom, QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton));
        QVERIFY(!a.takes(a.zoom, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton | Qt::RightButton));
        QVERIFY(!a.zoom->frame());
        QVERIFY(!a.takes(a.zoom, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton));
        QVERIFY(!a.takes(a.zoom, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton));
    }

    void aSecondPressDoesNothing()
    {
        Area a;
        QVERIFY(a.press(a.viewportPoint(300, 300)));
        _Frame *frame = a.zoom->frame();
        QVERIFY(!a.takes(a.zoom, QEvent::MouseButtonPress, a.viewportPoint(100, 100), Qt::LeftButton,
                         Qt::LeftButton));
        QCOMPARE(a.zoom->frame(), frame);
        QCOMPARE(a.area.viewport()->findChildren<_Frame *>().size(), 1);
        QCOMPARE(frame->pos(), QPoint(200, 200));
    }

    void aReleaseAnywhereRemovesTheFrameAndIsConsumed()
    {
        Area a;
        ReleaseCounter other;
        other.resize(100, 100);
        other.show();
        QVERIFY(a.press(a.viewportPoint(300, 300)));
        QPointer<_Frame> frame = a.zoom->frame();
        QVERIFY(!a.takes(a.zoom, QEvent::MouseButtonPress, a.viewportPoint(10, 10), Qt::LeftButton,
                         Qt::LeftButton));
        QVERIFY(a.send(&other, QEvent::MouseButtonRelease, other.mapToGlobal(QPoint(5, 5)), Qt::LeftButton,
                       Qt::NoButton));
        QCOMPARE(other.releases, 0);
        QVERIFY(!a.zoom->frame());
        QVERIFY(frame.isNull());
        QVERIFY(a.area.viewport()->findChildren<_Frame *>().isEmpty());

        // Without a frame releases pass on.
        QVERIFY(a.send(&other, QEvent::MouseButtonRelease, other.mapToGlobal(QPoint(5, 5)), Qt::LeftButton,
                       Qt::NoButton));
        QCOMPARE(other.releases, 1);
    }

    void newSizesTakeEffectAtTheNextPress()
    {
        Area a;
        QVERIFY(a.press(a.viewportPoint(300, 300)));
        storeZoom(300, 150);
        QCOMPARE(a.zoom->frame()->size(), QSize(200, 200));
        a.send(a.zoom, QEvent::MouseButtonRelease, a.viewportPoint(300, 300), Qt::LeftButton, Qt::NoButton);
        QVERIFY(a.press(a.viewportPoint(300, 300)));
        QCOMPARE(a.zoom->frame()->geometry(), QRect(150, 225, 300, 150));
    }

    void theFrameShowsTheTargetsPictureInABorder()
    {
        Area a;
        QVERIFY(a.press(a.viewportPoint(300, 300)));
        const QImage image = a.zoom->frame()->grab().toImage();
        QVERIFY(a.target.draws >= 1);
        QCOMPARE(image.size(), QSize(200, 200));
        const QColor black(Qt::black);
        const QColor red(Qt::red);
        for (int i = 0; i <= 198; i += 6) {
            QCOMPARE(image.pixelColor(i, 0), black);
            QCOMPARE(image.pixelColor(i, 198), black);
            QCOMPARE(image.pixelColor(0, i), black);
            QCOMPARE(image.pixelColor(198, i), black);
        }
        QCOMPARE(image.pixelColor(199, 100), red);
        QCOMPARE(image.pixelColor(100, 199), red);
        QCOMPARE(image.pixelColor(100, 100), red);
        QCOMPARE(image.pixelColor(1, 1), red);
    }
};

VUG_TEST_MAIN(TestZoomWidget, QApplication)
#include "tst_zoomwidget.moc"
