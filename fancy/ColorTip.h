#pragma once

#include "fancy/QTipLabel.h"

#include <QColor>
#include <QPixmap>

namespace Fancy {

// A tip showing a colour swatch over a checkerboard, so transparency shows.
class ColorTip : public QTipLabel
{
public:
    explicit ColorTip(QWidget *parent = nullptr);

    void setTipContent(const QVariant &content) override;
    bool takesInput() const override;
    int displayTimeMs() const override;
    void placeAt(const QPoint &pos, QWidget *widget) override;
    bool handlesContentKind(int kind) const override;
    bool hasSameContent(int kind, const QVariant &content) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor colour;
    QPixmap tile;
};

}  // namespace Fancy
