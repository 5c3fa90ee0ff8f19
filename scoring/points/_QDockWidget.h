#pragma once

#include <QDockWidget>
#include <QSize>

class QTimer;

// A points panel's dock. In floating mode it grows to 0.9 of its parent while
// the pointer is over it and shrinks back once the pointer has left, unless
// a pop-up menu is open.
class _QDockWidget : public QDockWidget
{
    Q_OBJECT
public:
    explicit _QDockWidget(const QString &title, QWidget *parent = nullptr);

    bool floatingMode() const { return m_floating; }
    void setFloatingMode(bool on) { m_floating = on; }
    bool isEnlarged() const { return m_restoreTimer != nullptr; }  // for tests
    // Shrinks an enlarged dock back at once, so a saved layout keeps the size
    // it had before it grew.
    void shrinkNow();

public slots:
    void returnToOldMaxMinSizes();
    void updateTime();

protected:
    bool event(QEvent *event) override;

private:
    void enlarge();
    void remember();

    QSize m_oldMaximum{-1, -1};
    QSize m_oldMinimum{-1, -1};
    QSize m_oldSize{-1, -1};
    bool m_floating = false;
    // From the dock's own enter and leave: the pointer's global position is
    // not known on every platform.
    bool m_pointerInside = false;
    QTimer *m_restoreTimer = nullptr;
};
