#include "fancy/FancyTab.h"
#include "fancy/FancyTabBar.h"
#include "fancy/FancyTabWidget.h"
#include "fancy/PanelStyle.h"
#include "fancy/StyledBar.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QColorDialog>
#include <QHelpEvent>
#include <QLayout>
#include <QPainter>
#include <QStackedLayout>
#include <QStatusBar>
#include <QToolTip>

#include <functional>

using Fancy::FancyTab;
using Fancy::FancyTabBar;
using Fancy::FancyTabWidget;
using Fancy::PanelStyle;

namespace {

QFont captionFont()
{
    QFont font = QApplication::font();
    font.setPointSizeF(7.5);
    font.setWeight(QFont::Bold);
    return font;
}

QIcon squareIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::white);
    return QIcon(pixmap);
}

void moveMouse(QWidget *widget, const QPoint &position)
{
    QMouseEvent event(QEvent::MouseMove, position, widget->mapToGlobal(position), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void expectFade(const FancyTab *tab, int duration, float endValue)
{
    QCOMPARE(tab->animator().state(), QAbstractAnimation::Running);
    QCOMPARE(tab->animator().duration(), duration);
    QCOMPARE(tab->animator().endValue().toFloat(), endValue);
}

// Runs action on the colour dialog as soon as it is open.
void whenColorDialogOpens(const std::function<void(QColorDialog *)> &action)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start();
}

// A mode selector with five enabled pages, tab 3 disabled, recording its signals.
struct Selector
{
    FancyTabWidget widget;
    QList<QWidget *> pages;
    QStringList events;

    Selector()
    {
        for (int i = 0; i < 5; ++i) {
            pages << new QWidget;
            widget.insertModeTab(i, pages.last(), squareIcon(), QStringLiteral("Mode %1").arg(i));
            widget.enableTab(i, i != 3);
        }
        auto *stack = widget.findChild<QStackedLayout *>();
        QObject::connect(&widget, &FancyTabWidget::currentAboutToShow, [this, stack](int index) {
            events << QStringLiteral("about %1 on page %2").arg(index).arg(stack->currentIndex());
        });
        QObject::connect(&widget, &FancyTabWidget::currentChanged, [this, stack](int index) {
            events << QStringLiteral("changed %1 on page %2").arg(index).arg(stack->currentIndex());
        });
        widget.resize(400, 600);
    }

    FancyTabBar *bar() const { return widget.tabBar(); }
    void click(const QPoint &position) { QTest::mouseClick(bar(), Qt::LeftButton, Qt::NoModifier, position); }
    void clickTab(int index) { click(bar()->tabRect(index).center()); }
};

} // namespace

class TestFancyTabWidget : public QObject
{
    Q_OBJECT

private slots:
    void emptyBarIsSeventyWideAndFlat()
    {
        FancyTabBar bar;
        QCOMPARE(bar.sizeHint(), QSize(70, 0));
        QCOMPARE(bar.minimumSizeHint(), QSize(70, 0));
        QCOMPARE(bar.minimumWidth(), 44);
    }

    void tabExtentFollowsTheWidestCaption()
    {
        FancyTabBar bar;
        const QFontMetrics metrics(captionFont());
        bar.insertTab(0, QIcon(), QStringLiteral("Ab"));
        bar.insertTab(1, QIcon(), QStringLiteral("Cd"));
        QVERIFY(metrics.horizontalAdvance(QStringLiteral("Ab")) < 90);
        QCOMPARE(bar.sizeHint(), QSize(70, 2 * (metrics.height() + 40)));
        QCOMPARE(bar.minimumSizeHint(), QSize(70, 2 * (metrics.height() + 8)));

        const QString wide = QStringLiteral("A rather long caption of a mode");
        QVERIFY(metrics.horizontalAdvance(wide) > 120);
        bar.insertTab(1, QIcon(), wide);
        QCOMPARE(bar.sizeHint(), QSize(metrics.horizontalAdvance(wide) - 20, 3 * (metrics.height() + 40)));
    }

    void tabRectanglesStackAndShareAShortColumn()
    {
        FancyTabBar bar;
        for (int i = 0; i < 3; ++i)
            bar.insertTab(i, QIcon(), QStringLiteral("T"));
        const int h = QFontMetrics(captionFont()).height() + 40;
        bar.resize(80, 1000);
        QCOMPARE(bar.tabRect(0), QRect(0, 0, 70, h));
        QCOMPARE(bar.tabRect(2), QRect(0, 2 * h, 70, h));

        bar.resize(80, 100);
        QVERIFY(3 * h > 100);
        QCOMPARE(bar.tabRect(1), QRect(0, 33, 70, 33));
        QCOMPARE(bar.tabRect(2), QRect(0, 66, 70, 33));
    }

    void programmaticSelectionAnnouncesThenSwitches()
    {
        Selector selector;
        QCOMPARE(selector.widget.currentTab(), -1);
        selector.widget.setCurrentIndex(2);
        QCOMPARE(selector.events, QStringList({"about 2 on page 0", "changed 2 on page 2"}));
        QCOMPARE(selector.widget.currentTab(), 2);
    }

    void clickSwitchesFromTheEventLoop()
    {
        Selector selector;
        selector.clickTab(4);
        QCOMPARE(selector.widget.currentTab(), 4);
        QVERIFY(selector.events.isEmpty());
        QTRY_COMPARE(selector.events, QStringList({"about 4 on page 0", "changed 4 on page 4"}));

        // The current tab clicked again announces itself once more.
        selector.events.clear();
        selector.clickTab(4);
        QTRY_COMPARE(selector.events, QStringList({"about 4 on page 4", "changed 4 on page 4"}));
        QTest::qWait(20);
        QCOMPARE(selector.events.count(), 2);
    }

    void disabledAndMissingTabsCannotBeSelected()
    {
        Selector selector;
        selector.widget.setCurrentIndex(1);
        selector.events.clear();

        QVERIFY(!selector.widget.isTabEnabled(3));
        QVERIFY(!selector.widget.isTabEnabled(7));
        QVERIFY(!selector.widget.isTabEnabled(-1));
        selector.widget.enableTab(7, true);
        selector.widget.setCurrentIndex(7);
        selector.widget.setCurrentIndex(-1);
        selector.widget.setCurrentIndex(3);
        selector.clickTab(3);
        // Below the last tab lies no tab.
        selector.click(QPoint(10, selector.bar()->tabRect(4).bottom() + 5));
        QTest::qWait(20);
        QVERIFY(selector.events.isEmpty());
        QCOMPARE(selector.widget.currentTab(), 1);

        // A new tab is disabled until enabled.
        selector.widget.insertModeTab(5, new QWidget, squareIcon(), QStringLiteral("New"));
        QVERIFY(!selector.widget.isTabEnabled(5));
        selector.widget.enableTab(5, true);
        selector.widget.setCurrentIndex(5);
        QCOMPARE(selector.events, QStringList({"about 5 on page 1", "changed 5 on page 5"}));
    }

    void hoverFadesInAndOut()
    {
        Selector selector;
        FancyTabBar *bar = selector.bar();
        moveMouse(bar, bar->tabRect(1).center());
        QCOMPARE(bar->hoverIndex(), 1);
        expectFade(bar->tab(1), 80, 40);
        QTRY_COMPARE(bar->tab(1)->fader(), 40.0f);

        moveMouse(bar, bar->tabRect(2).center());
        QCOMPARE(bar->hoverIndex(), 2);
        expectFade(bar->tab(1), 160, 0);
        expectFade(bar->tab(2), 80, 40);
        QCOMPARE(bar->tab(0)->animator().state(), QAbstractAnimation::Stopped);

        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(bar, &leave);
        QCOMPARE(bar->hoverIndex(), -1);
        for (int i = 0; i < bar->count(); ++i)
            expectFade(bar->tab(i), 160, 0);
        QTRY_COMPARE(bar->tab(2)->fader(), 0.0f);
    }

    void hoveredTabShowsItsToolTip()
    {
        Selector selector;
        selector.widget.setTabToolTip(1, QStringLiteral("Review of recordings"));
        selector.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&selector.widget));
        FancyTabBar *bar = selector.bar();
        const QPoint position = bar->tabRect(1).center();
        moveMouse(bar, position);
        QHelpEvent help(QEvent::ToolTip, position, bar->mapToGlobal(position));
        QVERIFY(QApplication::sendEvent(bar, &help));
        QCOMPARE(QToolTip::text(), QStringLiteral("Review of recordings"));
        QToolTip::hideText();
    }

    void drawingAMissingTabWarns()
    {
        FancyTabBar bar;
        QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        QTest::ignoreMessage(QtWarningMsg, "invalid index");
        bar.drawTab(&painter, 0);
    }

    void captionsAreColouredByState()
    {
        Selector selector;
        selector.widget.setCurrentIndex(1);
        FancyTabBar *bar = selector.bar();
        bar->resize(bar->sizeHint());
        QImage image(bar->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(QColor(40, 40, 40));
        bar->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);

        auto contains = [&image](const QRect &rect, QRgb colour) {
            for (int y = rect.top(); y <= rect.bottom(); ++y)
                for (int x = rect.left(); x <= rect.right(); ++x)
                    if (image.pixel(x, y) == colour)
                        return true;
            return false;
        };
        const QRgb black = qRgb(0, 0, 0);
        const QRgb light = qRgb(0xE7, 0xE7, 0xE7);
        const QRgb gray = qRgb(0xA0, 0xA0, 0xA0);
        QVERIFY(contains(bar->tabRect(1), black));
        QVERIFY(contains(bar->tabRect(0), light));
        QVERIFY(!contains(bar->tabRect(0), black));
        QVERIFY(contains(bar->tabRect(3), gray));
        QVERIFY(!contains(bar->tabRect(3), light));
    }

    void cornerWidgetsSitAtTheBottomOfTheColumn()
    {
        Selector selector;
        QCOMPARE(selector.widget.cornerWidgetCount(), 1);
        auto *last = new QWidget;
        last->setFixedSize(40, 30);
        auto *first = new QWidget;
        first->setFixedSize(40, 20);
        selector.widget.addCornerWidget(last);
        selector.widget.insertCornerWidget(1, first);
        QCOMPARE(selector.widget.cornerWidgetCount(), 3);
        selector.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&selector.widget));

        QCOMPARE(last->mapTo(&selector.widget, QPoint(0, last->height())).y(), selector.widget.height());
        QCOMPARE(first->mapTo(&selector.widget, QPoint(0, first->height())).y(),
                 last->mapTo(&selector.widget, QPoint(0, 0)).y());
    }

    void pagesStandOverTheStatusBarBesideTheColumn()
    {
        Selector selector;
        selector.widget.setCurrentIndex(0);
        selector.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&selector.widget));
        QStatusBar *status = selector.widget.bottomStatusBar();
        const QRect page = selector.pages.at(0)->geometry();
        QCOMPARE(status->geometry().bottom(), selector.widget.height() - 1);
        QCOMPARE(status->geometry().top(), page.bottom() + 1);
        QCOMPARE(page.top(), 0);
        QCOMPARE(status->geometry().left(), page.left());
        QCOMPARE(page.right(), selector.widget.width() - 1);

        const int column = selector.bar()->parentWidget()->width();
        QCOMPARE(page.left(), column + 1);
        QVERIFY(selector.widget.isSelectionWidgetVisible());
        selector.widget.setSelectionWidgetVisible(false);
        QVERIFY(!selector.widget.isSelectionWidgetVisible());
        QTRY_COMPARE(selector.pages.at(0)->geometry().left(), 0);
    }

    void columnEdgeIsDrawnInTheBorderColour()
    {
        PanelStyle::setPanelColor(QColor(255, 0, 0));
        Selector selector;
        selector.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&selector.widget));
        const QImage image = selector.widget.grab().toImage();
        const int column = selector.bar()->parentWidget()->width();
        QCOMPARE(image.pixel(column, 300), PanelStyle::panelBorder(false).rgb());
    }

    void shiftClickOnTheTopBarPicksThePanelColour()
    {
        PanelStyle::setPanelColor(QColor(0, 0, 255));
        Selector selector;
        selector.widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&selector.widget));
        QWidget *hotZone = selector.widget.findChild<Fancy::StyledBar *>()->findChild<QWidget *>();
        QVERIFY(hotZone);
        // The zone has height of its own and is what a click on it hits.
        QVERIFY(hotZone->height() >= 6);
        QCOMPARE(selector.widget.childAt(hotZone->mapTo(&selector.widget, QPoint(2, hotZone->height() / 2))), hotZone);
        const QColor before = PanelStyle::panelColor(false);

        QColor offered;
        QWidget *dialogParent = nullptr;
        whenColorDialogOpens([&](QColorDialog *dialog) {
            offered = dialog->currentColor();
            dialogParent = dialog->parentWidget();
            dialog->reject();
        });
        QTest::mouseClick(hotZone, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(offered, QColor(0, 0, 255));
        QCOMPARE(dialogParent, &selector.widget);
        QCOMPARE(PanelStyle::panelColor(false), before);
        QCOMPARE(PanelStyle::requestedPanelColor(), QColor(0, 0, 255));

        whenColorDialogOpens([](QColorDialog *dialog) {
            dialog->setCurrentColor(QColor(255, 0, 0));
            dialog->accept();
        });
        QTest::mouseClick(hotZone, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(PanelStyle::panelColor(false), QColor::fromHsv(0, 178, 149, 255));

        // Without Shift no dialog opens and nothing changes.
        bool opened = false;
        whenColorDialogOpens([&](QColorDialog *dialog) {
            opened = true;
            dialog->reject();
        });
        QTest::mouseClick(hotZone, Qt::LeftButton);
        QTest::qWait(50);
        QVERIFY(!opened);
        QCOMPARE(PanelStyle::requestedPanelColor(), QColor(255, 0, 0));
    }
};

VUG_TEST_MAIN(TestFancyTabWidget, QApplication)

#include "tst_fancytabwidget.moc"
