#pragma once

#include "fancy/QTipLabel.h"

namespace Fancy {

// A tip showing a text, wrapped when it would take more than half the screen.
class TextTip : public QTipLabel
{
public:
    explicit TextTip(QWidget *parent = nullptr);

    void setTipContent(const QVariant &content) override;
    bool takesInput() const override;
    int displayTimeMs() const override;
    void placeAt(const QPoint &pos, QWidget *widget) override;
    bool handlesContentKind(int kind) const override;
    bool hasSameContent(int kind, const QVariant &content) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QString text;
};

}  // namespace Fancy
