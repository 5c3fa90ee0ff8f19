#pragma once

#include "fancy/QTipLabel.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>

class QScreen;

namespace Fancy {

// The program's tool-tip service: one tip at a time, kept on screen, hidden after a
// time that suits its content or as soon as the user does something elsewhere.
class ToolTip : public QObject
{
    Q_OBJECT

public:
    static ToolTip *shared();
    ~ToolTip() override;

    // pos is global; rect, in widget's coordinates, is where the pointer may move
    // without hiding the tip (a null rect: anywhere).
    void showText(const QPoint &pos, const QString &text, QWidget *widget = nullptr,
                  const QRect &rect = QRect());
    void showColor(const QPoint &pos, const QColor &colour, QWidget *widget = nullptr,
                   const QRect &rect = QRect());
    void showWidget(const QPoint &pos, QWidget *content, QWidget *widget = nullptr,
                    const QRect &rect = QRect());
    void hideLater();
    void moveTip(const QPoint &pos, QWidget *widget);
    bool tipShown() const;
    // Keeps the widget of the widget tip around w on screen as a tool window of parent.
    bool pinWidgetTip(QWidget *w, QWidget *parent);

    // The screen a request at the global pos for widget is shown on.
    static QScreen *screenFor(const QPoint &pos, QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ToolTip();

    void showContent(const QPoint &pos, const QVariant &content, int kind, QWidget *widget,
                     const QRect &rect);
    bool admitRequest(const QPoint &pos, const QVariant &content, int kind, QWidget *widget,
                      const QRect &rect);
    void arm(const QPoint &pos, QWidget *widget, const QRect &rect);
    void setAnchor(QWidget *widget, const QRect &rect);
    bool differsFrom(const QPoint &localPos, const QVariant &content, int kind,
                     QWidget *widget) const;
    void placeOnScreen(const QPoint &pos, QWidget *widget);
    void reveal();
    void hideNow();
    void onPointerButton(QObject *watched);
    bool liesInTip(QWidget *widget) const;

    // Tips live outside any parent; the guard notices one that someone else deleted.
    QPointer<QTipLabel> tip;
    QWidget *anchorWidget = nullptr;
    QRect anchorRect;
    QTimer showTimer;
    QTimer hideDelayTimer;
};

}  // namespace Fancy
