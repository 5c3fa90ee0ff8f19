#pragma once

#include <QList>
#include <QTimer>
#include <QWidget>

class QIcon;

namespace Fancy {

class FancyTab;

// The painted column of mode tabs: icon above a bold caption, a hover fade
// and a fixed look for the current tab.
class FancyTabBar : public QWidget
{
    Q_OBJECT

public:
    explicit FancyTabBar(QWidget *parent = nullptr);
    ~FancyTabBar() override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    void insertTab(int index, const QIcon &icon, const QString &label);
    int count() const { return m_tabs.count(); }
    FancyTab *tab(int index) const;

    void setTabEnabled(int index, bool enable);
    bool isTabEnabled(int index) const;
    void setTabToolTip(int index, const QString &toolTip);

    void selectTab(int index);
    int currentIndex() const { return m_currentIndex; }
    int hoverIndex() const { return m_hoverIndex; }

    QSize tabExtent(bool minimum) const;
    QRect tabRect(int index) const;
    void drawTab(QPainter *painter, int index) const;

signals:
    void currentChanged(int index);

public slots:
    void emitCurrentIndex();

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool isValidIndex(int index) const { return index >= 0 && index < m_tabs.count(); }
    bool isSelectable(int index) const;
    int tabAt(const QPoint &position) const;
    QFont captionFont(const QFont &base) const;
    void drawSelectedFrame(QPainter *painter, const QRect &r) const;
    void drawHoverHighlight(QPainter *painter, const QRect &r, float fader) const;

    int m_hoverIndex = -1;
    int m_currentIndex = -1;
    QList<FancyTab *> m_tabs;
    QTimer m_triggerTimer;
    QStyle *m_style;
};

} // namespace Fancy
