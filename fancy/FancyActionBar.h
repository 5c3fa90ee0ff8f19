#pragma once

#include <QWidget>

class QAction;
class QVBoxLayout;

namespace Fancy {

// The column of large command buttons at the foot of the mode selector.
class FancyActionBar : public QWidget
{
    Q_OBJECT

public:
    explicit FancyActionBar(QWidget *parent = nullptr);

    void insertActionButton(int index, QAction *action);
    void prependAction(QAction *action);
    // The buttons' layout; its items tell where each button sits.
    QVBoxLayout *buttonsLayout() const;

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QVBoxLayout *actionsLayout;
};

}  // namespace Fancy
