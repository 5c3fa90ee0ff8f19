#pragma once

#include <QWidget>

class QIcon;
class QStackedLayout;
class QStatusBar;

namespace Fancy {

class FancyTabBar;

// The main window's mode selector: a column of painted tabs with a panel bar
// on top and corner widgets at the bottom, beside a stack of pages over a
// status bar. Pages are owned by the widget once inserted.
class FancyTabWidget : public QWidget
{
    Q_OBJECT

public:
    explicit FancyTabWidget(QWidget *parent = nullptr);
    ~FancyTabWidget() override;

    // A new tab stays disabled until enableTab turns it on.
    void insertModeTab(int index, QWidget *page, const QIcon &icon, const QString &label);
    void enableTab(int index, bool enable);
    bool isTabEnabled(int index) const;
    void setTabToolTip(int index, const QString &toolTip);
    int currentTab() const;

    // Corner widgets sit at the bottom: the column holds a stretch first.
    void addCornerWidget(QWidget *widget);
    void insertCornerWidget(int pos, QWidget *widget);
    int cornerWidgetCount() const;

    bool isSelectionWidgetVisible() const;
    QStatusBar *bottomStatusBar() const { return m_statusBar; }
    FancyTabBar *tabBar() const { return m_tabBar; }

signals:
    void currentAboutToShow(int index);
    void currentChanged(int index);

public slots:
    void setCurrentIndex(int index);
    void setSelectionWidgetVisible(bool visible);
    void showWidget(int index);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *createSelectionWidget();
    QLayout *cornerLayout() const;

    FancyTabBar *m_tabBar;
    QWidget *m_cornerWidgetContainer = nullptr;
    QStackedLayout *m_modesStack = nullptr;
    QWidget *m_selectionWidget = nullptr;
    QStatusBar *m_statusBar = nullptr;
};

} // namespace Fancy
