#pragma once

#include "data/Inspection.h"

#include <QImage>
#include <QMutex>
#include <QVector>
#include <QWidget>

#include <optional>

class QGraphicsOpacityEffect;
class QLabel;
class QPixmap;
class QPropertyAnimation;
class QTimer;

// The examinee's screen during a recording: the presented question's picture
// above its text on black, fading in when the examiner presents it and out
// when the mark ends. A playback's view is built but never shown. The view
// never takes the keyboard: that stays with the examiner.
class _QSecondMonitor : public QWidget
{
    Q_OBJECT
public:
    static constexpr int FadeInMs = 2000;
    static constexpr int FadeOutMs = 500;
    static constexpr double FadeOutAbove = 0.1;
    static constexpr int GrabIntervalMs = 250;

    _QSecondMonitor(QWidget *parent, Inspection::_Test *test, bool fullScreen);
    ~_QSecondMonitor() override;

    // A question (text, picture or both) fades in; whatever the examinee still
    // sees of the one before fades out first. Neither: the mark ended.
    void present(const QString &text, const QPixmap *picture);
    // The examinee sees nothing more: what is shown, or waits to be, fades out.
    void withdraw();
    // A fresh recording's view that found no second screen: it shows nothing.
    bool unplaced() const { return fullScreen && !test; }
    // picture at its own size where it fits area, else scaled down into it.
    static QPixmap fitted(const QPixmap &picture, const QSize &area);
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

protected:
    bool event(QEvent *event) override;

private:
    struct Content {
        QString text;
        const QPixmap *picture = nullptr;
    };

    void buildLabels();
    void buildFades();
    bool place();
    void preparePictures(Inspection::_Test *source);
    QPixmap *preparedPicture(const QByteArray &bytes) const;
    void showContent(const Content &content);
    void fadeIn();
    void fadeOut();
    bool fadingOut() const;
    double fadeValue() const;
    static void giveKeysBack();
    void takeGrab();

    // A question presented while the one before is still seen; it fades in once that one has gone.
    std::optional<Content> m_next;
    QTimer *grabTimer;
    mutable QMutex grabMutex;
    QImage grabbed;
};
