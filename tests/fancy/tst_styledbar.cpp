#include "fancy/StyledBar.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleOptionToolBar>

using Fancy::StyledBar;

namespace {

// Counts what the bar asks of its style.
class RecordingStyle : public QProxyStyle
{
public:
    int polishes = 0;
    QList<QRect> toolBarRects;
    QList<QStyle::State> toolBarStates;

    void polish(QWidget *widget) override
    {
        ++polishes;
        QProxyStyle::polish(widget);
    }
    using QProxyStyle::polish;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        if (element == CE_ToolBar && qstyleoption_cast<const QStyleOptionToolBar *>(option)) {
            auto *self = const_cast<RecordingStyle *>(this);
            self->toolBarRects << option->rect;
            self->toolBarStates << option->state;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

} // namespace

class TestStyledBar : public QObject
{
    Q_OBJECT

private slots:
    void startsAsSingleRowDarkPanel()
    {
        StyledBar bar;
        QCOMPARE(bar.property("panelwidget"), QVariant(true));
        QCOMPARE(bar.property("panelwidget_singlerow"), QVariant(true));
        QCOMPARE(bar.property("lightColored"), QVariant(false));
        QVERIFY(bar.isSingleRow());
        QVERIFY(!bar.isLightColored());

        bar.setSingleRow(false);
        QVERIFY(!bar.isSingleRow());
        QCOMPARE(bar.property("panelwidget_singlerow"), QVariant(false));
    }

    void lightChangeRepolishesEveryDescendantOnce()
    {
        StyledBar bar;
        auto *child = new QWidget(&bar);
        auto *grandChild = new QWidget(child);
        RecordingStyle style;
        child->setStyle(&style);
        grandChild->setStyle(&style);
        style.polishes = 0;

        bar.setLightColored(true);
        QVERIFY(bar.isLightColored());
        QCOMPARE(style.polishes, 2);
        bar.setLightColored(true);
        QCOMPARE(style.polishes, 2);
        bar.setLightColored(false);
        QCOMPARE(style.polishes, 4);
        // The style must be gone from the widgets before it is destroyed.
        child->setStyle(nullptr);
        grandChild->setStyle(nullptr);
    }

    void paintsAHorizontalToolBarOverItsRect()
    {
        RecordingStyle style;
        StyledBar bar;
        bar.setStyle(&style);
        bar.resize(120, 24);
        QImage image(bar.size(), QImage::Format_ARGB32_Premultiplied);
        bar.render(&image);
        QCOMPARE(style.toolBarRects, QList<QRect>({QRect(0, 0, 120, 24)}));
        QCOMPARE(style.toolBarStates, QList<QStyle::State>({QStyle::State_Horizontal}));
        bar.setStyle(nullptr);
    }
};

VUG_TEST_MAIN(TestStyledBar, QApplication)

#include "tst_styledbar.moc"
