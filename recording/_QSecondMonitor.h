#pragma once

#include "data/Inspection.h"

#include <QImage>
#include <QMutex>
#include <QVector>
#include <QWidget>

class QGraphicsOpacityEffect;
class QLabel;
class QPixmap;
class QPropertyAnimation;
class QTimer;

// The examinee's screen during a recording: the presented question's picture
// above its text on black, fading in when the examiner presents it and out
// when the mark ends. A playback's view is built but never shown.
class _QSecondMonitor : public QWidget
{
    Q_OBJECT
public:
    static constexpr int FadeInMs = 2000;
    static constexpr int FadeOutMs = 500;
    static constexpr double FadeInBelow = 0.5;
    static constexpr double FadeOutAbove = 0.1;
    static constexpr int GrabIntervalMs = 250;

    _QSecondMonitor(QWidget *parent, Inspection::_Test *test, bool fullScreen);
    ~_QSecondMonitor() override;

    void present(const QString &text, const QPixmap *picture);
    const QPixmap *picture(int questionIndex) const;
    // What the examinee saw at the last grab; null before the first one.
    QImage latestGrab() const;

    QLabel *pictureLabel;
    QLabel *textLabel;
    const bool fullScreen;
    QGraphicsOpacityEffect *pictureEffect;
    QGraphicsOpacityEffect *textEffect;
    QPropertyAnimation *pictureFade;
    QPropertyAnimation *textFade;
    QVector<QPixmap *> themePictures;
    QVector<QPixmap *> nullThemePictures;
    // Null when the view could not be placed; it then shows nothing.
    Inspection::_Test *test = nullptr;

public slots:
    void animationFinish();

private:
    void buildLabels();
    void buildFades();
    bool place();
    void preparePictures(Inspection::_Test *source);
    QPixmap *preparedPicture(const QByteArray &bytes) const;
    void fadeIn();
    void fadeOut();
    double fadeValue() const;
    void takeGrab();

    QTimer *grabTimer;
    mutable QMutex grabMutex;
    QImage grabbed;
};
