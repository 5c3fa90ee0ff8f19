#pragma once

#include <QMainWindow>

class QDockWidget;
class QMenu;

namespace Fancy {

class FancyMainWindowPrivate;

// Base of the work windows: keeps floating docks in step with the window being shown
// or hidden and offers a menu of the window's docks.
class FancyMainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit FancyMainWindow(QWidget *parent = nullptr);
    ~FancyMainWindow() override;

    // Every dock among the window's descendants, in child order.
    QList<QDockWidget *> childDocks() const;
    // The docks' toggle actions sorted by caption, then the layout actions.
    void fillDockMenu(QMenu *menu);

    bool autoHideTitleBars() const;
    QAction *menuSeparator1() const;
    QAction *menuSeparator2() const;
    QAction *resetLayoutAction() const;
    QAction *autoHideTitleBarsAction() const;
    QDockWidget *toolBarDock() const;
    void setToolBarDock(QDockWidget *dock);

signals:
    void resetLayout();

public slots:
    void setDockActionsVisible(bool v);
    // Raises the dock whose toggle action sent the signal.
    void onDockActionTriggered();

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void updateDockVisibility(bool visible);

    FancyMainWindowPrivate *d;
};

}  // namespace Fancy
