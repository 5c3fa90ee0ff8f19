#pragma once

#include <QWidget>

namespace Fancy {

class FancyTabWidget;

// Invisible hot zone on the mode selector's top bar: a Shift-click lets the
// user pick the panel colour.
class FancyColorButton : public QWidget
{
public:
    explicit FancyColorButton(FancyTabWidget *owner);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    FancyTabWidget *m_owner;
};

} // namespace Fancy
