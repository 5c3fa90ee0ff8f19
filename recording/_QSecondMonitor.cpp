#include "_QSecondMonitor.h"

#include "ScreenLayout.h"
#include "data/SharedHelpers.h"

#include <QEasingCurve>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

_QSecondMonitor::_QSecondMonitor(QWidget *parent, Inspection::_Test *source, bool fullScreen)
    : QWidget(parent, Qt::Tool | Qt::WindowDoesNotAcceptFocus)
    , fullScreen(fullScreen)
    , grabTimer(new QTimer(this))
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    QPalette black = palette();
    black.setColor(backgroundRole(), Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    buildLabels();
    buildFades();
    connect(grabTimer, &QTimer::timeout, this, &_QSecondMonitor::takeGrab);
    const bool placed = place();
    giveKeysBack();
    if (placed)
        preparePictures(source);
}

_QSecondMonitor::~_QSecondMonitor()
{
    qDeleteAll(themePictures);
    qDeleteAll(nullThemePictures);
}

void _QSecondMonitor::buildLabels()
{
    pictureLabel = new QLabel(this);
    pictureLabel->setStyleSheet(QStringLiteral("QLabel { background-color : black; color : blue; }"));
    pictureLabel->setAlignment(Qt::AlignCenter);
    pictureLabel->setBackgroundRole(QPalette::Base);
    pictureLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);

    textLabel = new QLabel(this);
    textLabel->setStyleSheet(QStringLiteral("QLabel { background-color : black; color : white; }"));
    textLabel->setAlignment(Qt::AlignCenter);
    textLabel->setWordWrap(true);
    textLabel->setFont(QFont(QStringLiteral("Arial"), 30));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pictureLabel, 3);
    layout->addWidget(textLabel, 1);
}

void _QSecondMonitor::buildFades()
{
    pictureEffect = new QGraphicsOpacityEffect(this);
    textEffect = new QGraphicsOpacityEffect(this);
    pictureEffect->setOpacity(0.0);
    textEffect->setOpacity(0.0);
    pictureLabel->setGraphicsEffect(pictureEffect);
    textLabel->setGraphicsEffect(textEffect);
    pictureFade = new QPropertyAnimation(pictureEffect, "opacity", this);
    textFade = new QPropertyAnimation(textEffect, "opacity", this);
    for (QPropertyAnimation *animation : {pictureFade, textFade})
        animation->setEasingCurve(QEasingCurve::OutCurve);
    connect(pictureFade, &QPropertyAnimation::finished, this, &_QSecondMonitor::animationFinish);
}

void _QSecondMonitor::giveKeysBack()
{
    if (QMainWindow *main = findMainWindow()) {
        main->activateWindow();
        main->raise();
    }
}

bool _QSecondMonitor::event(QEvent *event)
{
    // A window manager may activate the view all the same.
    if (event->type() == QEvent::WindowActivate)
        giveKeysBack();
    return QWidget::event(event);
}

bool _QSecondMonitor::place()
{
    if (!fullScreen) {
        setGeometry(ScreenLayout::firstScreen());
        layout()->activate();
        return true;
    }
    const QRect second = ScreenLayout::secondScreen();
    if (!second.isValid())
        return false;
    // Separate X screens all start at 0,0: the geometry alone lands on the first.
    if (QScreen *screen = ScreenLayout::secondScreenHandle()) {
        create();
        windowHandle()->setScreen(screen);
    }
    setGeometry(second);
    // showFullScreen() would also activate the view.
    setWindowState(windowState() | Qt::WindowFullScreen);
    show();
    // QWidget::grab works on every platform, unlike grabbing the screen.
    grabTimer->start(GrabIntervalMs);
    return true;
}

void _QSecondMonitor::preparePictures(Inspection::_Test *source)
{
    test = source;
    nullThemePictures.fill(nullptr, source->themisNULL.size());
    themePictures.fill(nullptr, source->themis.size());
    for (int i = 0; i < source->themisNULL.size(); ++i)
        nullThemePictures[i] = preparedPicture(source->themisNULL.at(i).PhotoImage4);
    for (int i = 0; i < source->themis.size(); ++i)
        themePictures[i] = preparedPicture(source->themis.at(i).PhotoImage4);
}

QPixmap *_QSecondMonitor::preparedPicture(const QByteArray &bytes) const
{
    if (bytes.isEmpty())
        return nullptr;
    QPixmap loaded;
    loaded.loadFromData(bytes);
    return new QPixmap(fitted(loaded, pictureLabel->size()));
}

QPixmap _QSecondMonitor::fitted(const QPixmap &picture, const QSize &area)
{
    if (area.isEmpty() || (picture.width() <= area.width() && picture.height() <= area.height()))
        return picture;
    return picture.scaled(area, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

const QPixmap *_QSecondMonitor::picture(int questionIndex) const
{
    const QVector<QPixmap *> &pictures = questionIndex < 10000 ? themePictures : nullThemePictures;
    const int index = questionIndex < 10000 ? questionIndex : questionIndex - 10000;
    return index >= 0 && index < pictures.size() ? pictures.at(index) : nullptr;
}

void _QSecondMonitor::present(const QString &text, const QPixmap *shown)
{
    if (text.isEmpty() && !shown) {
        // A question hardly in yet, or waiting for the last one to go, stays.
        if (!m_next && fadeValue() > FadeOutAbove)
            fadeOut();
        return;
    }
    if (fadeValue() > FadeOutAbove) {
        m_next = Content{text, shown};
        if (!fadingOut())
            fadeOut();
        return;
    }
    showContent({text, shown});
}

void _QSecondMonitor::withdraw()
{
    m_next.reset();
    if (!fadingOut())
        fadeOut();
}

void _QSecondMonitor::showContent(const Content &content)
{
    textLabel->setText(content.text);
    // The text's lines may have moved the picture's place.
    layout()->activate();
    pictureLabel->setPixmap(content.picture ? fitted(*content.picture, pictureLabel->size()) : QPixmap());
    fadeIn();
}

void _QSecondMonitor::fadeIn()
{
    for (QPropertyAnimation *animation : {pictureFade, textFade}) {
        animation->stop();
        animation->setDuration(FadeInMs);
        animation->setStartValue(0.0);
        animation->setEndValue(1.0);
        animation->start();
    }
}

void _QSecondMonitor::fadeOut()
{
    for (QPropertyAnimation *animation : {pictureFade, textFade}) {
        const QVariant now = animation->currentValue();
        animation->stop();
        animation->setDuration(FadeOutMs);
        animation->setStartValue(now.isValid() ? now.toDouble() : 0.0);
        animation->setEndValue(0.0);
        animation->start();
    }
}

bool _QSecondMonitor::fadingOut() const
{
    return pictureFade->state() == QAbstractAnimation::Running && pictureFade->endValue().toDouble() == 0.0;
}

double _QSecondMonitor::fadeValue() const
{
    const QVariant value = pictureFade->currentValue();
    return value.isValid() ? value.toDouble() : 0.0;
}

void _QSecondMonitor::animationFinish()
{
    if (fadeValue() >= FadeOutAbove)
        return;
    if (m_next) {
        const Content next = *m_next;
        m_next.reset();
        showContent(next);
        return;
    }
    pictureLabel->setPixmap(QPixmap());
    textLabel->setText(QString());
}

QImage _QSecondMonitor::latestGrab() const
{
    QMutexLocker lock(&grabMutex);
    return grabbed;
}

void _QSecondMonitor::takeGrab()
{
    const QImage image = grab().toImage();
    QMutexLocker lock(&grabMutex);
    grabbed = image;
}
