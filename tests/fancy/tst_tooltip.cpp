#include "fancy/ColorTip.h"
#include "fancy/TextTip.h"
#include "fancy/ToolTip.h"
#include "fancy/WidgetTip.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

using Fancy::ToolTip;

class TestToolTip : public QObject
{
    Q_OBJECT

private:
    QRect screen;
    QWidget *anchor = nullptr;

    static Fancy::QTipLabel *shownTip()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *tip = qobject_cast<Fancy::QTipLabel *>(w);
            if (tip && tip->isVisible())
                return tip;
        }
        return nullptr;
    }

    static void press(QWidget *target)
    {
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &event);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString wordsWiderThan(int width) const
    {
        QString text;
        const QFontMetrics metrics(QApplication::font());
        while (metrics.horizontalAdvance(text) <= width)
            text += QStringLiteral("word ");
        return text.trimmed();
    }

    static QString unbreakableWiderThan(int width)
    {
        QString text;
        const QFontMetrics metrics(QApplication::font());
        while (metrics.horizontalAdvance(text) <= width)
            text += QStringLiteral("x");
        return text;
    }

private slots:
    void initTestCase()
    {
        screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(screen.width() >= 400 && screen.height() >= 300);
        anchor = new QWidget;
        anchor->setGeometry(screen.left() + 10, screen.top() + 10, 200, 100);
        anchor->show();
    }

    void cleanupTestCase()
    {
        delete anchor;
        // The service outlives the application object; a tip still up must not trouble the exit.
        ToolTip::shared()->showText(QPoint(20, 20), QStringLiteral("left up at exit"));
        QVERIFY(ToolTip::shared()->tipShown());
    }

    void cleanup()
    {
        press(anchor);
        QVERIFY(!ToolTip::shared()->tipShown());
    }

    void displayTimesFollowContent()
    {
        Fancy::TextTip text;
        text.setTipContent(QString(100, QLatin1Char('a')));
        QCOMPARE(text.displayTimeMs(), 10000);
        text.setTipContent(QString(101, QLatin1Char('a')));
        QCOMPARE(text.displayTimeMs(), 10040);
        text.setTipContent(QString(350, QLatin1Char('a')));
        QCOMPARE(text.displayTimeMs(), 20000);
        QCOMPARE(Fancy::ColorTip().displayTimeMs(), 4000);
        QCOMPARE(Fancy::WidgetTip().displayTimeMs(), 30000);
    }

    void tipSitsBelowRightOfPointer()
    {
        const QPoint pos = screen.topLeft() + QPoint(50, 40);
        ToolTip::shared()->showText(pos, QStringLiteral("hint"), anchor);
        Fancy::QTipLabel *tip = shownTip();
        QVERIFY(tip);
        QCOMPARE(tip->pos(), pos + QPoint(2, 21));
    }

    void tipStaysOnScreenAtEdges_data()
    {
        QTest::addColumn<bool>("right");
        QTest::addColumn<bool>("bottom");
        QTest::newRow("right edge") << true << false;
        QTest::newRow("bottom edge") << false << true;
        QTest::newRow("bottom right corner") << true << true;
    }

    void tipStaysOnScreenAtEdges()
    {
        QFETCH(bool, right);
        QFETCH(bool, bottom);
        const QPoint pos(right ? screen.right() - 5 : screen.left() + 50,
                         bottom ? screen.bottom() - 5 : screen.top() + 40);
        ToolTip::shared()->showText(pos, QStringLiteral("a tip near the edge"), anchor);
        Fancy::QTipLabel *tip = shownTip();
        QVERIFY(tip);
        QCOMPARE(tip->x(), right ? pos.x() - 2 - tip->width() : pos.x() + 2);
        QCOMPARE(tip->y(), bottom ? pos.y() - 3 - tip->height() : pos.y() + 21);
    }

    void tipWiderThanRoomLeftIsPinnedToScreenLeft()
    {
        // Neither right nor left of the pointer has room: the left screen edge wins.
        const QString text = unbreakableWiderThan(screen.width());
        const QPoint pos(screen.left() + screen.width() / 2, screen.top() + 40);
        ToolTip::shared()->showText(pos, text, anchor);
        Fancy::QTipLabel *tip = shownTip();
        QVERIFY(tip);
        QVERIFY(tip->width() > pos.x() - screen.left());
        QVERIFY(pos.x() + 2 + tip->width() > screen.right() + 1);
        QCOMPARE(tip->x(), screen.left());
    }

    void shortTextIsOneLine()
    {
        ToolTip::shared()->showText(screen.topLeft(), QStringLiteral("short"), anchor);
        auto *tip = qobject_cast<QLabel *>(shownTip());
        QVERIFY(tip);
        QVERIFY(!tip->wordWrap());
        QCOMPARE(tip->width(), tip->sizeHint().width());
    }

    void textWiderThanHalfTheScreenWraps()
    {
        const QString text = wordsWiderThan(screen.width());
        ToolTip::shared()->showText(screen.topLeft(), text, anchor);
        auto *tip = qobject_cast<QLabel *>(shownTip());
        QVERIFY(tip);
        QVERIFY(tip->wordWrap());
        QVERIFY(tip->width() <= screen.width());
        const int oneLine = QFontMetrics(tip->font()).height();
        QVERIFY(tip->height() > 2 * oneLine);
        QCOMPARE(tip->height() >= tip->heightForWidth(tip->width()), true);
    }

    void unbreakableTextIsTenPixelsNarrowerThanScreen()
    {
        ToolTip::shared()->showText(screen.topLeft(), unbreakableWiderThan(screen.width()), anchor);
        auto *tip = qobject_cast<QLabel *>(shownTip());
        QVERIFY(tip);
        QVERIFY(tip->wordWrap());
        QCOMPARE(tip->width(), screen.width() - 10);
    }

    void sameTextInsideAnchorLeavesTipUntouched()
    {
        const QRect rect(0, 0, 100, 50);
        const QPoint first = anchor->mapToGlobal(QPoint(10, 10));
        ToolTip::shared()->showText(first, QStringLiteral("same"), anchor, rect);
        Fancy::QTipLabel *tip = shownTip();
        QVERIFY(tip);
        const QPoint placed = tip->pos();
        ToolTip::shared()->showText(anchor->mapToGlobal(QPoint(40, 20)), QStringLiteral("same"),
                                    anchor, rect);
        QCOMPARE(shownTip(), tip);
        QCOMPARE(tip->pos(), placed);

        // Outside the rectangle the same tip is placed anew.
        const QPoint outside = anchor->mapToGlobal(QPoint(150, 20));
        ToolTip::shared()->showText(outside, QStringLiteral("same"), anchor, rect);
        QCOMPARE(shownTip(), tip);
        QCOMPARE(tip->pos(), outside + QPoint(2, 21));
    }

    void differentTextReplacesContentInPlace()
    {
        const QPoint pos = anchor->mapToGlobal(QPoint(10, 10));
        ToolTip::shared()->showText(pos, QStringLiteral("first"), anchor);
        auto *tip = qobject_cast<QLabel *>(shownTip());
        QVERIFY(tip);
        ToolTip::shared()->showText(pos, QStringLiteral("second text"), anchor);
        QCOMPARE(qobject_cast<QLabel *>(shownTip()), tip);
        QCOMPARE(tip->text(), QStringLiteral("second text"));
    }

    void colourRequestReplacesTextTip()
    {
        const QPoint pos = anchor->mapToGlobal(QPoint(10, 10));
        ToolTip::shared()->showText(pos, QStringLiteral("text"), anchor);
        QPointer<Fancy::QTipLabel> textTip = shownTip();
        QVERIFY(dynamic_cast<Fancy::TextTip *>(textTip.data()));
        ToolTip::shared()->showColor(pos, Qt::red, anchor);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!textTip);
        QVERIFY(dynamic_cast<Fancy::ColorTip *>(shownTip()));
        QCOMPARE(shownTip()->size(), QSize(40, 40));
    }

    void tipHiddenBehindOurBackIsClosedBeforeTheNext()
    {
        const QPoint pos = anchor->mapToGlobal(QPoint(10, 10));
        ToolTip::shared()->showText(pos, QStringLiteral("text"), anchor);
        QPointer<Fancy::QTipLabel> first = shownTip();
        QVERIFY(first);
        first->hide();
        ToolTip::shared()->showText(pos, QStringLiteral("text"), anchor);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!first);
        QVERIFY(shownTip());
    }

    void clickHidesTextAndColourTips()
    {
        const QPoint pos = anchor->mapToGlobal(QPoint(10, 10));
        ToolTip::shared()->showText(pos, QStringLiteral("text"), anchor);
        QVERIFY(ToolTip::shared()->tipShown());
        press(anchor);
        QVERIFY(!ToolTip::shared()->tipShown());
        ToolTip::shared()->showColor(pos, Qt::blue, anchor);
        QVERIFY(ToolTip::shared()->tipShown());
        press(anchor);
        QVERIFY(!ToolTip::shared()->tipShown());
        QVERIFY(!shownTip());
    }

    void clickInsideWidgetTipKeepsIt()
    {
        auto *content = new QLineEdit;
        ToolTip::shared()->showWidget(anchor->mapToGlobal(QPoint(10, 10)), content, anchor);
        QVERIFY(dynamic_cast<Fancy::WidgetTip *>(shownTip()));
        QCOMPARE(content->window(), shownTip());
        press(content);
        QVERIFY(ToolTip::shared()->tipShown());
        press(anchor);
        QVERIFY(!ToolTip::shared()->tipShown());
    }

    void emptyTextHidesAfterGraceDelay()
    {
        QElapsedTimer clock;
        clock.start();
        ToolTip::shared()->showText(anchor->mapToGlobal(QPoint(10, 10)), QStringLiteral("t"),
                                    anchor);
        ToolTip::shared()->showText(anchor->mapToGlobal(QPoint(10, 10)), QString(), anchor);
        QTest::qWait(100);
        const bool shown = ToolTip::shared()->tipShown();
        // Within the grace delay, as the time that passed tells; a busy machine may have waited past it.
        if (clock.elapsed() < 300)
            QVERIFY(shown);
        QTRY_VERIFY_WITH_TIMEOUT(!ToolTip::shared()->tipShown(), 1000);
    }

    void newRequestCancelsPendingHide()
    {
        const QPoint pos = anchor->mapToGlobal(QPoint(10, 10));
        ToolTip::shared()->showText(pos, QStringLiteral("t"), anchor);
        ToolTip::shared()->hideLater();
        ToolTip::shared()->showText(pos, QStringLiteral("other"), anchor);
        QTest::qWait(500);
        QVERIFY(ToolTip::shared()->tipShown());
    }

    void pointerLeavingAnchorRectHidesLater()
    {
        ToolTip::shared()->showText(anchor->mapToGlobal(QPoint(10, 10)), QStringLiteral("t"),
                                    anchor, QRect(0, 0, 50, 50));
        QMouseEvent inside(QEvent::MouseMove, QPointF(20, 20), Qt::NoButton, Qt::NoButton,
                           Qt::NoModifier);
        QApplication::sendEvent(anchor, &inside);
        QTest::qWait(400);
        QVERIFY(ToolTip::shared()->tipShown());
        QMouseEvent outside(QEvent::MouseMove, QPointF(80, 20), Qt::NoButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(anchor, &outside);
        QVERIFY(ToolTip::shared()->tipShown());
        QTRY_VERIFY_WITH_TIMEOUT(!ToolTip::shared()->tipShown(), 1000);
    }

    void rectWithoutWidgetWarnsAndStillShows()
    {
        QTest::ignoreMessage(QtWarningMsg, "ToolTip::show: Cannot pass null widget if rect is set");
        ToolTip::shared()->showText(QPoint(20, 20), QStringLiteral("t"), nullptr, QRect(0, 0, 5, 5));
        QVERIFY(ToolTip::shared()->tipShown());
    }

    void emptyRequestsShowNothing()
    {
        ToolTip::shared()->showText(QPoint(20, 20), QString(), anchor);
        ToolTip::shared()->showColor(QPoint(20, 20), QColor(), anchor);
        ToolTip::shared()->showWidget(QPoint(20, 20), nullptr, anchor);
        QVERIFY(!shownTip());
    }

    void pinnedWidgetOutlivesItsTip()
    {
        auto *content = new QWidget;
        auto *child = new QLineEdit(content);
        ToolTip::shared()->showWidget(anchor->mapToGlobal(QPoint(10, 10)), content, anchor);
        Fancy::QTipLabel *tip = shownTip();
        QVERIFY(tip);
        const QPoint corner = tip->mapToGlobal(QPoint(0, 0));
        QVERIFY(!ToolTip::shared()->pinWidgetTip(anchor, anchor));
        QVERIFY(ToolTip::shared()->pinWidgetTip(child, anchor));
        QCOMPARE(content->parentWidget(), anchor);
        QVERIFY(content->isWindow());
        QVERIFY(content->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(content->windowType(), Qt::Tool);
        QCOMPARE(content->pos(), corner);
        QVERIFY(content->isVisible());
        QVERIFY(content->testAttribute(Qt::WA_DeleteOnClose));
        QTRY_VERIFY_WITH_TIMEOUT(!ToolTip::shared()->tipShown(), 1000);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(content->isVisible());
        delete content;
    }

    void colourTipOutlinesAndCoversCheckerboard_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QColor>("outline");
        QTest::newRow("bright is darkened") << QColor(255, 0, 0) << QColor(255, 0, 0).darker(200);
        QTest::newRow("dark is lightened") << QColor(0, 0, 100) << QColor(0, 0, 100).lighter(150);
    }

    void colourTipOutlinesAndCoversCheckerboard()
    {
        QFETCH(QColor, colour);
        QFETCH(QColor, outline);
        Fancy::ColorTip tip;
        tip.setTipContent(colour);
        QImage image(tip.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        tip.render(&image);
        QCOMPARE(image.pixel(0, 0), outline.rgba());
        QCOMPARE(image.pixel(20, 20), colour.rgba());

        // A see-through colour lets the checkerboard show.
        tip.setTipContent(QColor(0, 0, 0, 0));
        image.fill(Qt::transparent);
        tip.render(&image);
        QCOMPARE(image.pixelColor(5, 5), QColor(220, 220, 220));
        QCOMPARE(image.pixelColor(15, 5), QColor(Qt::white));
    }

    void contentComparisonHonoursKind()
    {
        Fancy::ColorTip colour;
        colour.setTipContent(QColor(Qt::red));
        QVERIFY(colour.hasSameContent(Fancy::ColorContent, QColor(Qt::red)));
        QVERIFY(!colour.hasSameContent(Fancy::TextContent, QColor(Qt::red)));
        colour.setTipContent(QStringLiteral("no colour"));
        QVERIFY(!colour.hasSameContent(Fancy::ColorContent, QColor(Qt::red)));
        Fancy::WidgetTip widget;
        widget.setTipContent(QStringLiteral("no widget"));
        QVERIFY(widget.hasSameContent(Fancy::WidgetContent, QVariant::fromValue<QWidget *>(nullptr)));
        QVERIFY(!widget.handlesContentKind(Fancy::WidgetContent));
    }
};

VUG_TEST_MAIN(TestToolTip, QApplication)
#include "tst_tooltip.moc"
