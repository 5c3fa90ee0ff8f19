#pragma once

#include "fancy/QTipLabel.h"

class QVBoxLayout;

namespace Fancy {

// A tip hosting a widget the user may work with; it can be pinned as a tool window.
class WidgetTip : public QTipLabel
{
    Q_OBJECT

public:
    explicit WidgetTip(QWidget *parent = nullptr);

    void setTipContent(const QVariant &content) override;
    bool takesInput() const override;
    int displayTimeMs() const override;
    void placeAt(const QPoint &pos, QWidget *widget) override;
    bool handlesContentKind(int kind) const override;
    bool hasSameContent(int kind, const QVariant &content) const override;

    // Moves the hosted widget out into a frameless tool window of parent at the tip's place.
    void releaseHostedWidget(QWidget *parent);

private:
    QWidget *hosted = nullptr;
    QVBoxLayout *layout = nullptr;
};

}  // namespace Fancy
