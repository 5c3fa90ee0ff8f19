#pragma once

#include <QLabel>
#include <QVariant>

namespace Fancy {

// What a tip shows; the number travels with every request to the tip service.
enum TipContentKind : int {
    ColorContent = 0,
    TextContent = 1,
    WidgetContent = 42,
};

// Top-level window of one tool tip; each subclass shows one kind of content.
class QTipLabel : public QLabel
{
    Q_OBJECT

public:
    explicit QTipLabel(QWidget *parent = nullptr);

    virtual void setTipContent(const QVariant &content) = 0;
    virtual bool takesInput() const = 0;
    virtual int displayTimeMs() const = 0;
    // Lays the content out for a tip shown at the global position pos.
    virtual void placeAt(const QPoint &pos, QWidget *widget) = 0;
    virtual bool handlesContentKind(int kind) const = 0;
    virtual bool hasSameContent(int kind, const QVariant &content) const = 0;
};

}  // namespace Fancy
