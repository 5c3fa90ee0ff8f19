#include "PreTestConversationDlg.h"

#include "_PlaylistModel_PreTestCanversationDockWindow.h"
#include "_StyledItemDelegate_PreTestConversationDlg.h"
#include "data/Inspection.h"
#include "data/InspectionMedia.h"
#include "data/WaitCursor.h"
#include "recording/media/SoundOutput.h"
#include "recording/media/VideoTrouble.h"

#include "resources/VugResources.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMediaPlaylist>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QVideoWidget>

namespace {

constexpr int kPositionReportMs = 100;
constexpr qint64 RestartAfterMs = 5000;
}  // namespace

PreTestConversationDlg::PreTestConversationDlg(Inspection *inspection, QWidget *parent)
    : QDialog(parent)
    , m_silent(SoundOutput::prepareSink())
    , player(new QMediaPlayer(this))
    , playlist(new QMediaPlaylist(this))
    , videoWidget(new QVideoWidget)
    , placeholder(new QLabel)
    , playButton(new QPushButton)
    , stopButton(mediaButton(QStyle::SP_MediaStop))
    , previousButton(mediaButton(QStyle::SP_MediaSkipBackward))
    , nextButton(mediaButton(QStyle::SP_MediaSkipForward))
    , muteButton(mediaButton(QStyle::SP_MediaVolume))
    , volumeSlider(new QSlider(Qt::Horizontal))
    , speedCombo(new QComboBox)
    , positionSlider(new QSlider(Qt::Horizontal))
    , statusLabel(new QLabel)
    , playlistView(new QListView)
    , deleteButton(new QPushButton(VugImages::icon(QStringLiteral("iconDelete.png")), QString()))
    , m_inspection(inspection)
    , m_model(new _PlaylistModel_PreTestCanversationDockWindow(this))
    , m_trouble(new VideoTrouble(this))
{
    initVugResources();
    const WaitCursor wait;
    setWindowTitle(tr("Управление предтестовой беседой"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // The playlist is not the player's: each file is checked before the player opens it.
    m_model->setPlaylist(playlist);

    placeholder->setPixmap(VugImages::pixmap(QStringLiteral("Camera-background.png")));
    placeholder->setScaledContents(true);
    placeholder->setAlignment(Qt::AlignCenter);
    playButton->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    playButton->setEnabled(false);
    stopButton->setEnabled(false);
    volumeSlider->setRange(0, 100);
    volumeSlider->setValue(player->volume());
    speedCombo->addItem(QStringLiteral("0.5x"), 0.5);
    speedCombo->addItem(QStringLiteral("1.0x"), 1.0);
    speedCombo->addItem(QStringLiteral("2.0x"), 2.0);
    speedCombo->setCurrentIndex(1);
    positionSlider->setRange(0, 0);
    statusLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    statusLabel->setWordWrap(true);
    playlistView->setModel(m_model);
    playlistView->setItemDelegate(new _StyledItemDelegate_PreTestConversationDlg(this));
    playlistView->setFixedWidth(QFontMetrics(QApplication::font()).horizontalAdvance(QStringLiteral("00000000000000000000")));
    playlistView->setCurrentIndex(m_model->index(playlist->currentIndex(), 0));

    auto *positionRow = new QHBoxLayout;
    positionRow->addWidget(positionSlider);
    positionRow->addWidget(new QLabel);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buildVideoRow());
    layout->addLayout(positionRow);
    layout->addLayout(buildControlRow());
    layout->addWidget(statusLabel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &PreTestConversationDlg::reject);
    connectPlayer();

    if (!player->isAvailable())
        QMessageBox::warning(this, tr("Воркел"),
                             tr("The QMediaPlayer object does not have a valid service.\n"
                                "Please check the media service plugins are installed."));
    setState(player->state());
    setMuted(false);
    loadPlaylist();
    updateVideoVisibility();
}

PreTestConversationDlg::~PreTestConversationDlg() { player->stop(); }

QToolButton *PreTestConversationDlg::mediaButton(QStyle::StandardPixmap icon)
{
    auto *button = new QToolButton;
    button->setIcon(style()->standardIcon(icon));
    return button;
}

QLayout *PreTestConversationDlg::buildVideoRow()
{
    m_videoArea = new QVBoxLayout;
    auto *deleteRow = new QHBoxLayout;
    deleteRow->addStretch(100);
    deleteRow->addWidget(deleteButton, 2);
    auto *listColumn = new QVBoxLayout;
    listColumn->addLayout(deleteRow);
    listColumn->addWidget(playlistView);
    auto *row = new QHBoxLayout;
    row->addLayout(m_videoArea, 3);
    row->addLayout(listColumn);
    return row;
}

QLayout *PreTestConversationDlg::buildControlRow()
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    for (QWidget *control : std::initializer_list<QWidget *>{stopButton, previousButton, playButton, nextButton,
                                                             muteButton, volumeSlider, speedCombo})
        row->addWidget(control);
    row->addStretch();
    return row;
}

void PreTestConversationDlg::connectPlayer()
{
    // The default second between position reports left the seconds label up
    // to a second behind the picture.
    player->setNotifyInterval(kPositionReportMs);
    connect(player, &QMediaPlayer::stateChanged, this, &PreTestConversationDlg::mediaStateChanged);
    connect(player, &QMediaPlayer::stateChanged, this, &PreTestConversationDlg::setState);
    connect(player, &QMediaPlayer::positionChanged, this, &PreTestConversationDlg::positionChanged);
    connect(player, &QMediaPlayer::durationChanged, this, &PreTestConversationDlg::durationChanged);
    m_trouble->watch(player);
    connect(m_trouble, &VideoTrouble::unplayable, this, &PreTestConversationDlg::handleError);
    connect(player, &QMediaPlayer::videoAvailableChanged, this, [this](bool available) {
        if (available)
            m_trouble->frameCame();
    });
    connect(player, &QMediaPlayer::mediaStatusChanged, this, &PreTestConversationDlg::playNextAtEnd);
    connect(player, &QMediaPlayer::mutedChanged, this, &PreTestConversationDlg::setMuted);
    connect(playlist, &QMediaPlaylist::currentIndexChanged, this, &PreTestConversationDlg::playlistPositionChanged);
    connect(playButton, &QPushButton::clicked, this, &PreTestConversationDlg::play);
    connect(stopButton, &QToolButton::clicked, player, &QMediaPlayer::stop);
    connect(nextButton, &QToolButton::clicked, playlist, &QMediaPlaylist::next);
    connect(previousButton, &QToolButton::clicked, this, &PreTestConversationDlg::previousClicked);
    connect(muteButton, &QToolButton::clicked, this, &PreTestConversationDlg::muteClicked);
    connect(volumeSlider, &QSlider::sliderMoved, player, &QMediaPlayer::setVolume);
    connect(speedCombo, QOverload<int>::of(&QComboBox::activated), this, &PreTestConversationDlg::updateRate);
    connect(positionSlider, &QSlider::sliderMoved, this, &PreTestConversationDlg::seek);
    connect(playlistView, &QListView::activated, this, &PreTestConversationDlg::jump);
    connect(deleteButton, &QPushButton::clicked, this, &PreTestConversationDlg::onPlayList_Delete);
}

// Only this subject's videos: its base name taken literally, a 14-digit stamp, ".avi".
void PreTestConversationDlg::loadPlaylist()
{
    playlist->clear();
    if (!m_inspection)
        return;
    for (const QString &path : InspectionMedia::preTestVideos(m_inspection->path))
        playlist->addMedia(QUrl::fromLocalFile(path));
}

void PreTestConversationDlg::updateVideoVisibility()
{
    const bool playing = player->state() == QMediaPlayer::PlayingState;
    QWidget *shown = playing ? static_cast<QWidget *>(videoWidget) : placeholder;
    QWidget *hidden = playing ? static_cast<QWidget *>(placeholder) : videoWidget;
    m_videoArea->removeWidget(hidden);
    hidden->hide();
    hidden->setParent(this);
    hidden->hide();
    m_videoArea->addWidget(shown);
    shown->show();
    player->setVideoOutput(playing ? videoWidget : static_cast<QVideoWidget *>(nullptr));
    deleteButton->setEnabled(!playing);
    stopButton->setEnabled(true);
    playButton->setEnabled(true);
    playlistView->setEnabled(true);
}

void PreTestConversationDlg::play()
{
    if (player->state() == QMediaPlayer::PlayingState) {
        player->pause();
        return;
    }
    if (playlist->currentIndex() < 0 && !playlist->isEmpty())
        playlist->setCurrentIndex(0);
    player->play();
}

void PreTestConversationDlg::loadCurrent()
{
    const bool playing = player->state() == QMediaPlayer::PlayingState;
    const QString path = playlist->currentMedia().request().url().toLocalFile();
    const QString checked = path.isEmpty() ? QString() : m_trouble->check(path);
    player->setMedia(checked.isEmpty() ? QMediaContent() : QMediaContent(QUrl::fromLocalFile(checked)));
    if (playing && !checked.isEmpty())
        player->play();
}

void PreTestConversationDlg::playNextAtEnd(QMediaPlayer::MediaStatus status)
{
    if (status != QMediaPlayer::EndOfMedia || playlist->nextIndex() < 0)
        return;
    playlist->next();
    player->play();
}

void PreTestConversationDlg::previousClicked()
{
    if (player->position() <= RestartAfterMs)
        playlist->previous();
    else
        player->setPosition(0);
}

void PreTestConversationDlg::seek(int seconds) { player->setPosition(qint64(seconds) * 1000); }

void PreTestConversationDlg::jump(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    playlist->setCurrentIndex(index.row());
    player->play();
    updateVideoVisibility();
}

void PreTestConversationDlg::positionChanged(qint64 position)
{
    if (!positionSlider->isSliderDown())
        positionSlider->setValue(int(position / 1000));
    // An error stays in view until something plays again: the player moving on
    // after a damaged file reports position 0 at once.
    if (!m_errorShown)
        statusLabel->setText(tr("Время (сек.): ") + QString::number(position / 1000)
                             + (m_silent ? QStringLiteral("   (") + SoundOutput::silentNote() + QLatin1Char(')') : QString()));
}

void PreTestConversationDlg::durationChanged(qint64 duration)
{
    m_duration = duration / 1000;
    positionSlider->setMaximum(int(m_duration));
}

void PreTestConversationDlg::mediaStateChanged(QMediaPlayer::State state)
{
    playButton->setIcon(style()->standardIcon(state == QMediaPlayer::PlayingState ? QStyle::SP_MediaPause
                                                                                  : QStyle::SP_MediaPlay));
}

void PreTestConversationDlg::setState(QMediaPlayer::State state)
{
    if (state == m_lastState)
        return;
    m_lastState = state;
    if (state == QMediaPlayer::PlayingState)
        m_errorShown = false;
    stopButton->setEnabled(state != QMediaPlayer::StoppedState);
    mediaStateChanged(state);
    if (state != QMediaPlayer::PausedState)
        updateVideoVisibility();
}

void PreTestConversationDlg::handleError(const QString &text)
{
    m_errorShown = true;
    statusLabel->setText(text);
}

void PreTestConversationDlg::playlistPositionChanged(int row)
{
    playlistView->setCurrentIndex(m_model->index(row, 0));
    loadCurrent();
}

void PreTestConversationDlg::muteClicked() { setMuted(!m_muted); }

void PreTestConversationDlg::setMuted(bool muted)
{
    if (muted != m_muted) {
        m_muted = muted;
        muteButton->setIcon(style()->standardIcon(muted ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume));
    }
    player->setMuted(m_muted);
}

void PreTestConversationDlg::updateRate() { player->setPlaybackRate(speedCombo->currentData().toDouble()); }

void PreTestConversationDlg::stopRecord(bool bRefresh)
{
    player->stop();
    if (!bRefresh)
        return;
    loadPlaylist();
    updateVideoVisibility();
}

void PreTestConversationDlg::onPlayList_Delete()
{
    const QModelIndex current = playlistView->currentIndex();
    if (!current.isValid())
        return;
    const QString path = playlist->media(current.row()).request().url().toLocalFile();
    const QString question = tr("Вы действительно хотите удалить предтестовую беседу '%0' ?")
                                 .arg(InspectionMedia::timeStampOf(QFileInfo(path).fileName()));
    if (QMessageBox::question(this, tr("Воркел"), question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    if (!QFile::remove(path))
        QMessageBox::warning(this, tr("Воркел"), tr("Не удалось удалить файл \"%1\".").arg(QFileInfo(path).fileName()));
    loadPlaylist();
    updateVideoVisibility();
}

void PreTestConversationDlg::accept() { QDialog::accept(); }

void PreTestConversationDlg::reject() { QDialog::reject(); }
