#include "fancy/FancyToolButton.h"
#include "fancy/PanelStyle.h"
#include "fancy/ToolTip.h"
#include "tests/support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>

using Fancy::FancyToolButton;

class TestFancyToolButton : public QObject
{
    Q_OBJECT

private:
    static QImage render(QWidget &widget)
    {
        QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }

    static QIcon solidIcon(const QColor &colour)
    {
        QPixmap pixmap(32, 32);
        pixmap.fill(colour);
        return QIcon(pixmap);
    }

    static QFontMetrics boldMetrics(const QFont &font = QApplication::font())
    {
        QFont bold = font;
        bold.setPointSizeF(Fancy::PanelStyle::tabFontSize());
        bold.setWeight(75);
        return QFontMetrics(bold);
    }

private slots:
    void plainButtonAsksForAtLeast64By38()
    {
        QAction action(QStringLiteral("cmd"), nullptr);
        FancyToolButton button;
        button.setDefaultAction(&action);
        button.setIconSize(QSize(16, 16));
        QCOMPARE(button.sizeHint(), QSize(64, 38));
        button.setIconSize(QSize(80, 48));
        QCOMPARE(button.sizeHint(), QSize(80, 48));
        QCOMPARE(button.minimumSizeHint(), QSize(8, 8));
    }

    void titledButtonReservesCaptionLines()
    {
        QAction action(QStringLiteral("cmd"), nullptr);
        action.setProperty("titledAction", true);
        FancyToolButton button;
        button.setDefaultAction(&action);
        button.setIconSize(QSize(16, 16));
        const int line = boldMetrics(button.font()).height();
        QCOMPARE(button.sizeHint(), QSize(64, 38 + 10 + 2 * line + 2));
        // An empty heading is not counted in the size hint.
        action.setProperty("heading", QString());
        QCOMPARE(button.sizeHint(), QSize(64, 38 + 10 + 2 * line + 2));
        action.setProperty("heading", QStringLiteral("Head"));
        QCOMPARE(button.sizeHint(), QSize(64, 38 + 10 + line + 2 + 2 * line + 2));
    }

    void subtitleThatFitsStaysOnOneLine()
    {
        const auto lines = FancyToolButton::splitSubtitle(QStringLiteral("one two"), boldMetrics(), 1000);
        QCOMPARE(lines.first, QStringLiteral("one two"));
        QCOMPARE(lines.second, QString());
    }

    void subtitleBreaksAtWhitespace_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("widest");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("before the last word") << "alpha beta gamma" << "alpha beta" << "alpha beta"
                                              << "gamma";
        // The left part is still too wide, so the break moves one run further left.
        QTest::newRow("earlier while left too wide") << "aaaa bb cc" << "bb cc" << "aaaa"
                                                     << "bb cc";
    }

    void subtitleBreaksAtWhitespace()
    {
        QFETCH(QString, text);
        QFETCH(QString, widest);
        QFETCH(QString, first);
        QFETCH(QString, second);
        const QFontMetrics metrics = boldMetrics();
        const int available = metrics.horizontalAdvance(widest) + 1;
        QVERIFY(metrics.horizontalAdvance(text) > available);
        const auto lines = FancyToolButton::splitSubtitle(text, metrics, available);
        QCOMPARE(lines.first, first);
        QCOMPARE(lines.second, second);
    }

    void subtitleWithoutSpacesIsElidedOnBothLines()
    {
        const QFontMetrics metrics = boldMetrics();
        const QString text = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
        const int available = metrics.horizontalAdvance(QStringLiteral("abcdefghij"));
        const auto lines = FancyToolButton::splitSubtitle(text, metrics, available);
        QVERIFY(lines.first.endsWith(QChar(0x2026)));
        QVERIFY(text.startsWith(lines.first.chopped(1)));
        QVERIFY(lines.second.startsWith(QChar(0x2026)));
        const QString tail = lines.second.mid(1);
        QVERIFY(text.endsWith(tail));
        QVERIFY(metrics.horizontalAdvance(lines.second) <= available);
        // Only what fits of the tail is kept, cut from its front.
        QVERIFY(metrics.horizontalAdvance(QChar(0x2026) + text.right(tail.length() + 1)) > available);
    }

    void tailIsNotShortenedBelowThreeCharacters()
    {
        const QFontMetrics metrics = boldMetrics();
        const QString text = QStringLiteral("WWWWWWWWWWWWWWWWWWWW");
        const int available = metrics.horizontalAdvance(QStringLiteral("WW"));
        const auto lines = FancyToolButton::splitSubtitle(text, metrics, available);
        QCOMPARE(lines.second, QString(QChar(0x2026)) + QStringLiteral("WWW"));
    }

    void commonPrefixOfLists()
    {
        QCOMPARE(FancyToolButton::commonPrefix({}), QString());
        QCOMPARE(FancyToolButton::commonPrefix({QStringLiteral("only")}), QStringLiteral("only"));
        QCOMPARE(FancyToolButton::commonPrefix({QStringLiteral("abcx"), QStringLiteral("abcdef"),
                                                QStringLiteral("abz")}),
                 QStringLiteral("ab"));
        QCOMPARE(FancyToolButton::commonPrefix({QStringLiteral("abc"), QStringLiteral("xyz")}),
                 QString());
    }

    void hoverFadesInAndOut()
    {
        FancyToolButton button;
        QCOMPARE(button.fader(), 0.0f);
        QEvent enter(QEvent::Enter);
        QVERIFY(!static_cast<QObject &>(button).event(&enter));
        QTRY_COMPARE_WITH_TIMEOUT(button.fader(), 1.0f, 1000);
        QEvent leave(QEvent::Leave);
        QVERIFY(!static_cast<QObject &>(button).event(&leave));
        QTRY_COMPARE_WITH_TIMEOUT(button.fader(), 0.0f, 1000);
    }

    void toolTipGoesThroughTheTipService()
    {
        FancyToolButton button;
        button.setToolTip(QStringLiteral("Settings"));
        button.show();
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), button.mapToGlobal(QPoint(5, 5)));
        QVERIFY(static_cast<QObject &>(button).event(&help));
        QVERIFY(Fancy::ToolTip::shared()->tipShown());
        Fancy::ToolTip::shared()->showText(QPoint(), QString());
        QTRY_VERIFY_WITH_TIMEOUT(!Fancy::ToolTip::shared()->tipShown(), 1000);
    }

    void hidingTheActionHidesTheButton()
    {
        QWidget parent;
        QAction action(QStringLiteral("cmd"), nullptr);
        auto *button = new FancyToolButton(&parent);
        button->setDefaultAction(&action);
        connect(&action, &QAction::changed, button, &FancyToolButton::actionChanged);
        parent.show();
        QVERIFY(button->isVisible());
        action.setVisible(false);
        QVERIFY(button->isHidden());
        action.setVisible(true);
        QVERIFY(button->isVisible());
    }

    void plainButtonCentresItsIcon()
    {
        QAction action(solidIcon(Qt::red), QStringLiteral("cmd"), nullptr);
        FancyToolButton button;
        button.setDefaultAction(&action);
        button.resize(64, 38);
        const QImage image = render(button);
        // Icon rectangle from (63/2 - 15, 37/2 - 15): 16..47 by 3..34.
        QCOMPARE(image.pixelColor(16, 3), QColor(Qt::red));
        QCOMPARE(image.pixelColor(47, 34), QColor(Qt::red));
        QVERIFY(image.pixelColor(50, 20) != QColor(Qt::red));
    }

    void titledButtonPlacesIconAndArrow()
    {
        QAction action(solidIcon(Qt::red), QStringLiteral("cmd"), nullptr);
        action.setProperty("titledAction", true);
        FancyToolButton button;
        button.setDefaultAction(&action);
        button.resize(64, 100);
        const auto iconTop = [&button]() {
            const QImage image = render(button);
            for (int y = 0; y < image.height(); ++y) {
                if (image.pixelColor(31, y) == QColor(Qt::red))
                    return y;
            }
            return -1;
        };
        const int line = boldMetrics(button.font()).height();
        QCOMPARE(iconTop(), (99 - 2 * (line + 2)) / 2 - 15);
        // An empty heading still moves the icon down by half its line.
        action.setProperty("heading", QString());
        QCOMPARE(iconTop(), (99 - 2 * (line + 2) + line + 4) / 2 - 15);

        // The arrow keeps to its 8-pixel strip 15 to 8 pixels from the right edge.
        const QImage image = render(button);
        int arrow = 0;
        int beyond = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 63 - 15; x < 64; ++x) {
                if (image.pixelColor(x, y).alpha() > 0)
                    ++(x <= 63 - 8 ? arrow : beyond);
            }
        }
        QVERIFY(arrow > 0);
        QCOMPARE(beyond, 0);
    }

    void hoverBandFadesToBothSides()
    {
        FancyToolButton button;
        button.resize(64, 38);
        button.setFader(1.0f);
        const QImage image = render(button);
        const QColor middle = image.pixelColor(31, 20);
        QVERIFY(qAbs(middle.red() - 0x51) <= 2 && middle.alpha() > 250);
        QVERIFY(image.pixelColor(0, 20).alpha() < 10);
        // Not hovered, not pressed: nothing behind the icon.
        button.setFader(0.0f);
        QCOMPARE(render(button).pixelColor(31, 20).alpha(), 0);
    }

    void disabledCheckedButtonStillLooksPressed()
    {
        FancyToolButton button;
        button.setCheckable(true);
        button.setChecked(true);
        button.setEnabled(false);
        button.resize(64, 38);
        const QColor middle = render(button).pixelColor(31, 20);
        QVERIFY(qAbs(middle.red() - 0x15) <= 2 && middle.alpha() > 250);
    }

    void disabledCaptionIsGrayWithoutShadow()
    {
        QAction action(QStringLiteral("cmd"), nullptr);
        action.setProperty("titledAction", true);
        action.setProperty("heading", QStringLiteral("HEAD"));
        action.setProperty("subtitle", QStringLiteral("WORDS"));
        FancyToolButton button;
        button.setDefaultAction(&action);
        button.resize(button.sizeHint());

        // Counts of shadow-dark and white caption pixels.
        const auto darkAndWhitePixels = [&button]() {
            const QImage image = render(button);
            int dark = 0;
            int white = 0;
            int drawn = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    // Faint edge pixels carry too little colour to judge.
                    if (c.alpha() < 48)
                        continue;
                    ++drawn;
                    dark += c.red() < 100;
                    white += c.red() > 200;
                }
            }
            return std::make_tuple(dark, white, drawn);
        };
        const auto [enabledDark, enabledWhite, enabledDrawn] = darkAndWhitePixels();
        QVERIFY(enabledDark > 0 && enabledWhite > 0);
        action.setEnabled(false);
        const auto [disabledDark, disabledWhite, disabledDrawn] = darkAndWhitePixels();
        QCOMPARE(disabledDark, 0);
        QCOMPARE(disabledWhite, 0);
        QVERIFY(disabledDrawn > 0);
        Q_UNUSED(enabledDrawn)
    }
};

VUG_TEST_MAIN(TestFancyToolButton, QApplication)
#include "tst_fancytoolbutton.moc"
