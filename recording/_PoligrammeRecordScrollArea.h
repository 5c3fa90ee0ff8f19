#pragma once

#include <QAbstractScrollArea>

class PoligrammeRecordWindow;

// Holds the record window as its viewport: the horizontal bar moves the shown
// position (a playback seeks there), the vertical bar shifts the curves and
// springs back to the middle when released.
class _PoligrammeRecordScrollArea : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit _PoligrammeRecordScrollArea(QWidget *parent = nullptr);

    PoligrammeRecordWindow *window = nullptr;

public slots:
    void onReleaseVSlider();
    void onReleasedHSlider();
    void onPressedHSlider();
    void onUpdateUI(int ipos);
    int onSetMashtab(int iSel);

protected:
    bool viewportEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Set while the bar follows the renderer, which must not seek back to where it was.
    bool following = false;
};
