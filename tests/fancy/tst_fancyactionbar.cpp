#include "fancy/FancyActionBar.h"
#include "fancy/FancyToolButton.h"
#include "tests/support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QVBoxLayout>

using Fancy::FancyActionBar;

class TestFancyActionBar : public QObject
{
    Q_OBJECT

private:
    static QAction *buttonAction(FancyActionBar &bar, int index)
    {
        auto *button = qobject_cast<Fancy::FancyToolButton *>(
            bar.buttonsLayout()->itemAt(index)->widget());
        return button ? button->defaultAction() : nullptr;
    }

private slots:
    void buttonsGoWhereAsked()
    {
        FancyActionBar bar;
        QCOMPARE(bar.objectName(), QStringLiteral("actionbar"));
        QCOMPARE(bar.contentsMargins(), QMargins(0, 2, 0, 0));
        QAction first(QStringLiteral("first"), nullptr);
        QAction second(QStringLiteral("second"), nullptr);
        QAction third(QStringLiteral("third"), nullptr);
        bar.insertActionButton(0, &first);
        bar.insertActionButton(-1, &third);
        bar.insertActionButton(1, &second);
        QCOMPARE(bar.buttonsLayout()->count(), 3);
        QCOMPARE(buttonAction(bar, 0), &first);
        QCOMPARE(buttonAction(bar, 1), &second);
        QCOMPARE(buttonAction(bar, 2), &third);
        QAction zeroth(QStringLiteral("zeroth"), nullptr);
        bar.prependAction(&zeroth);
        QCOMPARE(buttonAction(bar, 0), &zeroth);
    }

    void hiddenActionHidesItsButton()
    {
        FancyActionBar bar;
        QAction action(QStringLiteral("cmd"), nullptr);
        bar.insertActionButton(0, &action);
        bar.show();
        QWidget *button = bar.buttonsLayout()->itemAt(0)->widget();
        QVERIFY(button->isVisible());
        action.setVisible(false);
        QVERIFY(button->isHidden());
    }

    void neverSmallerThanItsButtons()
    {
        FancyActionBar bar;
        QAction a(QStringLiteral("a"), nullptr);
        QAction b(QStringLiteral("b"), nullptr);
        bar.insertActionButton(0, &a);
        bar.insertActionButton(1, &b);
        QCOMPARE(bar.minimumSizeHint(), bar.sizeHint());
        // Two 38-pixel buttons, the top margin and the 8-pixel foot.
        QVERIFY(bar.sizeHint().height() >= 2 + 38 + 38 + 8);
    }

    void backgroundBrightensToTheRight()
    {
        FancyActionBar bar;
        bar.resize(100, 40);
        QImage image(bar.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        bar.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        const QColor left = image.pixelColor(0, 10);
        const QColor right = image.pixelColor(99, 10);
        QCOMPARE(left.red(), 255);
        QVERIFY(qAbs(left.alpha() - 64) <= 2);
        QVERIFY(qAbs(right.alpha() - 140) <= 2);
        // The last row is left for what lies below.
        QCOMPARE(image.pixelColor(50, 39).alpha(), 0);
    }
};

VUG_TEST_MAIN(TestFancyActionBar, QApplication)
#include "tst_fancyactionbar.moc"
