#pragma once

#include <QPair>
#include <QToolButton>

class QFontMetrics;

namespace Fancy {

// A large painted button of the action bar: hover fade, shadowed icon and, for
// actions marked "titledAction", a heading above and two subtitle lines below the icon.
class FancyToolButton : public QToolButton
{
    Q_OBJECT
    Q_PROPERTY(float fader READ fader WRITE setFader)

public:
    explicit FancyToolButton(QWidget *parent = nullptr);

    float fader() const;
    void setFader(float value);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The two subtitle lines, each at most available pixels wide in metrics.
    static QPair<QString, QString> splitSubtitle(const QString &text, const QFontMetrics &metrics,
                                                 int available);
    static QString commonPrefix(const QStringList &strings);

public slots:
    void actionChanged();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void fadeTo(float value);
    void paintBackground(QPainter &painter, int right, int bottom) const;
    void paintIcon(QPainter &painter, const QRect &rect) const;
    void paintTitles(QPainter &painter, int right, int bottom);
    void paintCaption(QPainter &painter, const QRect &rect, const QString &text) const;

    float m_fader = 0;
};

}  // namespace Fancy
