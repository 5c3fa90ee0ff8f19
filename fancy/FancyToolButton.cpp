#include "fancy/FancyToolButton.h"

#include "fancy/PanelStyle.h"
#include "fancy/ToolTip.h"

#include <QAction>
#include <QHelpEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QRegularExpression>
#include <QStyleOption>

#include <algorithm>
#include <initializer_list>

namespace Fancy {

namespace {

constexpr int BoldWeight = 75;
constexpr int FadeMs = 125;

bool isTitled(const QAction *action)
{
    return action && action->property("titledAction").toBool();
}

QFont captionFont(QFont font)
{
    font.setPointSizeF(PanelStyle::tabFontSize());
    return font;
}

QFont boldCaptionFont(const QFont &font)
{
    QFont bold = captionFont(font);
    bold.setWeight(BoldWeight);
    return bold;
}

// A band fading out to both sides, with lines along the given rows in the same fade.
void paintBand(QPainter &painter, const QColor &colour, const QRect &rect, int right,
               std::initializer_list<int> rows)
{
    painter.save();
    QLinearGradient gradient(0, 0, right, 0);
    gradient.setColorAt(0.0, Qt::transparent);
    gradient.setColorAt(0.5, colour);
    gradient.setColorAt(1.0, Qt::transparent);
    painter.fillRect(rect, gradient);
    painter.setPen(QPen(QBrush(gradient), 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    for (int y : rows)
        painter.drawLine(0, y, right, y);
    painter.restore();
}

}  // namespace

FancyToolButton::FancyToolButton(QWidget *parent)
    : QToolButton(parent)
{
    setAttribute(Qt::WA_Hover, true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

float FancyToolButton::fader() const
{
    return m_fader;
}

void FancyToolButton::setFader(float value)
{
    m_fader = value;
    update();
}

void FancyToolButton::actionChanged()
{
    if (QAction *action = defaultAction())
        setVisible(action->isVisible());
}

QSize FancyToolButton::minimumSizeHint() const
{
    return QSize(8, 8);
}

QSize FancyToolButton::sizeHint() const
{
    QSizeF size(std::max(iconSize().width(), 64), std::max(iconSize().height(), 38));
    const QAction *action = defaultAction();
    if (isTitled(action)) {
        const int lineHeight = QFontMetrics(boldCaptionFont(font())).height();
        size.rheight() += 10;
        if (!action->property("heading").toString().isEmpty())
            size.rheight() += lineHeight + 2;
        size.rheight() += 2 * lineHeight + 2;
    }
    return size.toSize();
}

bool FancyToolButton::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
        fadeTo(1.0f);
        return false;
    case QEvent::Leave:
        fadeTo(0.0f);
        return false;
    case QEvent::ToolTip: {
        const auto *help = static_cast<QHelpEvent *>(event);
        ToolTip::shared()->showText(mapToGlobal(help->pos()), toolTip(), this, QRect());
        return true;
    }
    default:
        return QToolButton::event(event);
    }
}

void FancyToolButton::fadeTo(float value)
{
    auto *animation = new QPropertyAnimation(this, "fader");
    animation->setDuration(FadeMs);
    animation->setEndValue(value);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void FancyToolButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int right = width() - 1;
    const int bottom = height() - 1;
    paintBackground(painter, right, bottom);
    if (isTitled(defaultAction()))
        paintTitles(painter, right, bottom);
    else
        paintIcon(painter, QRect(right / 2 - 15, bottom / 2 - 15, 32, 32));
}

void FancyToolButton::paintBackground(QPainter &painter, int right, int bottom) const
{
    if (m_fader > 0 && isEnabled() && !isDown() && !isChecked()) {
        QColor hover(0x51, 0x51, 0x51);
        hover.setAlpha(int(255 * m_fader));
        paintBand(painter, hover, rect(), right, {0, bottom});
    } else if (isDown() || isChecked()) {
        // Rows drawn twice come out more opaque, the fade being partly transparent.
        paintBand(painter, QColor(0x15, 0x15, 0x15), rect(), right, {0, 0, 1, bottom, bottom});
    }
}

void FancyToolButton::paintIcon(QPainter &painter, const QRect &rect) const
{
    PanelStyle::paintIconWithShadow(icon(), rect, &painter,
                                    isEnabled() ? QIcon::Normal : QIcon::Disabled, 3,
                                    QColor(0, 0, 0, 130), QPoint(1, -2));
}

void FancyToolButton::paintTitles(QPainter &painter, int right, int bottom)
{
    const QAction *action = defaultAction();
    const QFont normalFont = captionFont(painter.font());
    const QFont boldFont = boldCaptionFont(normalFont);
    const int lineHeight = QFontMetrics(boldFont).height();

    // A heading property, even an empty one, reserves its line above the icon.
    const QVariant headingProperty = action->property("heading");
    const int extra = headingProperty.userType() == QMetaType::QString ? lineHeight + 4 : 0;
    const int centerY = (bottom - 2 * (lineHeight + 2) + extra) / 2;
    const QRect iconRect(right / 2 - 15, centerY - 15, 32, 32);
    paintIcon(painter, iconRect);

    painter.setFont(normalFont);
    const QRect headingRect(0, centerY - 16 - (lineHeight + 4), right + 1, lineHeight);
    const int available = headingRect.width() - 6;
    paintCaption(painter, headingRect,
                 QFontMetrics(normalFont).elidedText(headingProperty.toString(), Qt::ElideMiddle,
                                                     available));

    painter.setFont(boldFont);
    const QPair<QString, QString> lines =
        splitSubtitle(action->property("subtitle").toString(), QFontMetrics(boldFont), available);
    QRect lineRect(0, iconRect.center().y() + 21, right + 1, lineHeight);
    for (const QString &line : {lines.first, lines.second}) {
        if (!line.isEmpty())
            paintCaption(painter, lineRect, line);
        lineRect.translate(0, lineHeight);
    }

    if (!icon().isNull()) {
        QStyleOption option;
        option.initFrom(this);
        option.rect = QRect(right - 15, 0, 8, height());
        PanelStyle::paintArrow(QStyle::PE_IndicatorArrowRight, &painter, &option);
    }
}

void FancyToolButton::paintCaption(QPainter &painter, const QRect &rect, const QString &text) const
{
    if (isEnabled()) {
        painter.setPen(QColor(30, 30, 30, 80));
        painter.drawText(rect.translated(0, 1), Qt::AlignCenter, text);
        painter.setPen(Qt::white);
    } else {
        painter.setPen(Qt::gray);
    }
    painter.drawText(rect, Qt::AlignCenter, text);
}

QPair<QString, QString> FancyToolButton::splitSubtitle(const QString &text,
                                                       const QFontMetrics &metrics, int available)
{
    if (metrics.horizontalAdvance(text) <= available)
        return {text, QString()};

    QList<QRegularExpressionMatch> runs;
    QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("\\s+")).globalMatch(text);
    while (it.hasNext())
        runs.append(it.next());
    // Break at the latest whitespace that leaves a right part that fits, going left
    // only while the left part is still too wide.
    int splitPos = -1;
    for (int i = runs.size() - 1; i >= 0; --i) {
        const int runStart = runs[i].capturedStart();
        const int rightStart = runStart + runs[i].capturedLength();
        if (metrics.horizontalAdvance(text.mid(rightStart)) > available)
            break;
        splitPos = rightStart;
        if (runStart == 0 || metrics.horizontalAdvance(text.left(runStart)) <= available)
            break;
    }
    if (splitPos >= 0)
        return {metrics.elidedText(text.left(splitPos).trimmed(), Qt::ElideRight, available),
                text.mid(splitPos)};

    const QString first = metrics.elidedText(text, Qt::ElideRight, available);
    QString rest = text.mid(commonPrefix({first, text}).length());
    const QString ellipsis(QChar(0x2026));
    while (metrics.horizontalAdvance(ellipsis + rest) > available && rest.length() > 3)
        rest.remove(0, 1);
    return {first, ellipsis + rest};
}

QString FancyToolButton::commonPrefix(const QStringList &strings)
{
    if (strings.isEmpty())
        return QString();
    int common = strings.first().length();
    for (int i = 1; i < strings.size(); ++i) {
        const QString &a = strings[i - 1];
        const QString &b = strings[i];
        int same = 0;
        while (same < a.length() && same < b.length() && a[same] == b[same])
            ++same;
        common = std::min(common, same);
    }
    return strings.first().left(common);
}

}  // namespace Fancy
