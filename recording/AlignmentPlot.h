#pragma once

#include "polygram/LockedValue.h"

#include <QImage>
#include <QWidget>

// The plot area of the channel alignment: shows the worker's last picture, or
// its own background while there is none, whenever the window system asks.
class AlignmentPlot : public QWidget
{
    Q_OBJECT
public:
    static const QColor Background;

    explicit AlignmentPlot(QWidget *parent = nullptr);

    // The size to draw a picture at; safe from the worker's thread.
    QSize pictureSize() const { return m_size.value(); }

public slots:
    void showPicture(const QImage &picture);
    // Back to the background: the data the picture came from are gone.
    void clearPicture();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QImage m_picture;
    LockedValue<QSize> m_size;
};
