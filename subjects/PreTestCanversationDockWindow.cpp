#include "PreTestCanversationDockWindow.h"

#include "PersonePropertyDlg.h"
#include "PreTestConversationDlg.h"
#include "PhotoTiling.h"
#include "data/ActivePopupMenu.h"
#include "data/GenericSettings.h"
#include "data/Inspection.h"
#include "data/InspectionMedia.h"
#include "data/TemporaryVideo.h"
#include "data/WarningTone.h"
#include "recording/media/RecorderFactory.h"
#include "recording/media/VideoRecorder.h"
#include "resources/VugResources.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <cerrno>

namespace {
constexpr int UpdateMs = 100;
const char kBackground[] = "Camera-background.png";
}  // namespace

PreTestCanversationDockWindow::PreTestCanversationDockWindow(QWidget *parent)
    : QDockWidget(tr("Предтестовая беседа"), parent)
    , m_picture(new QLabel)
    , m_timer(new QTimer(this))
    , m_clock([] { return QDateTime::currentDateTime(); })
{
    setObjectName(QStringLiteral("PreTestCanversationDockWindow"));
    setStyleSheet(QStringLiteral("QDockWidget { font: bold }"));
    setFeatures(QDockWidget::DockWidgetMovable);
    auto *inner = new QMainWindow(this);
    inner->setWindowFlags(Qt::Widget);
    m_picture->setScaledContents(false);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setMinimumSize(10, 10);
    m_picture->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_picture, &QWidget::customContextMenuRequested, this, &PreTestCanversationDockWindow::onContextMenu);
    inner->setCentralWidget(m_picture);
    setWidget(inner);
    connect(m_timer, &QTimer::timeout, this, &PreTestCanversationDockWindow::onUpdateImage);
    showBackground();
}

// A recording still running is kept as a stop keeps it; the windows are going,
// so nothing is shown.
PreTestCanversationDockWindow::~PreTestCanversationDockWindow() { finishRecording(); }

void PreTestCanversationDockWindow::setClock(Clock clock) { m_clock = std::move(clock); }

bool PreTestCanversationDockWindow::isRecordingSpeech() const { return m_recorder && m_recorder->isRecording(); }

void PreTestCanversationDockWindow::onChangedPersone(QString path, Inspection *inspection)
{
    Q_UNUSED(path);
    const QString newPath = inspection ? inspection->path : QString();
    if (inspection == m_inspection && newPath == m_path) {
        // The same subject announced again, as after its questionnaire: its photos may be new.
        loadPhotos();
        showPhoto();
        return;
    }
    // The recording belongs to the subject it was started for.
    stopRecord();
    m_inspection = inspection;
    m_path = newPath;
    loadPhotos();
    showPhoto();
}

void PreTestCanversationDockWindow::loadPhotos()
{
    m_photos.clear();
    if (!m_inspection)
        return;
    // Never shown larger than the screen: decoded no larger either.
    for (const QImage &photo : m_inspection->loadPhotos(screen()->size())) {
        if (!photo.isNull())
            m_photos << photo;
    }
}

void PreTestCanversationDockWindow::showBackground() { m_picture->setPixmap(VugImages::pixmap(QLatin1String(kBackground))); }

void PreTestCanversationDockWindow::showPhoto()
{
    showBackground();
    if (!m_inspection || isRecording())
        return;
    const QImage canvas = PhotoTiling::tiled(m_photos, m_picture->size());
    if (!canvas.isNull())
        m_picture->setPixmap(QPixmap::fromImage(canvas));
}

void PreTestCanversationDockWindow::resizeEvent(QResizeEvent *event)
{
    QDockWidget::resizeEvent(event);
    showPhoto();
}

QMenu *PreTestCanversationDockWindow::createContextMenu()
{
    auto *menu = new QMenu(this);
    const bool subject = m_inspection != nullptr;
    const QIcon record(VugImages::path(QStringLiteral("Media-Controls-Record-icon.png")));
    const QIcon stop = style()->standardIcon(QStyle::SP_MediaStop);
    auto add = [menu](const QIcon &icon, const QString &text, bool enabled) {
        QAction *action = menu->addAction(icon, text);
        action->setEnabled(enabled);
        return action;
    };
    connect(add(record, tr("Начать запись"), subject && !isRecording()), &QAction::triggered, this,
            &PreTestCanversationDockWindow::onStartRecord);
    connect(add(stop, tr("Завершить запись"), subject && isRecording()), &QAction::triggered, this,
            &PreTestCanversationDockWindow::onStopRecord);
    menu->addSeparator();
    connect(add(record, tr("Начать запись разговора\t F12"), subject && isRecording() && !isRecordingSpeech()),
            &QAction::triggered, this, &PreTestCanversationDockWindow::onStartRecordSpeech);
    connect(add(stop, tr("Завершить запись разговора\t Ctrl+F12"), subject && isRecordingSpeech()),
            &QAction::triggered, this, &PreTestCanversationDockWindow::onStopRecordSpeech);
    menu->addSeparator();
    connect(add(QIcon(), tr("Управление предтестовой беседой..."), subject && !isRecording()), &QAction::triggered,
            this, &PreTestCanversationDockWindow::onMMPlayer);
    menu->addSeparator();
    connect(add(QIcon(), tr("Комментарий к предтестовой беседе..."), subject), &QAction::triggered, this,
            &PreTestCanversationDockWindow::onComments);
    return menu;
}

void PreTestCanversationDockWindow::onContextMenu(const QPoint &pos)
{
    auto *sender = qobject_cast<QWidget *>(QObject::sender());
    const QPoint global = (sender ? sender : m_picture)->mapToGlobal(pos);
    QMenu *menu = createContextMenu();
    {
        ActivePopupMenu open(menu);
        menu->exec(global);
    }
    delete menu;
}

std::unique_ptr<Inspection> PreTestCanversationDockWindow::recordingSubject() const
{
    return std::make_unique<Inspection>(m_recordingPath);
}

void PreTestCanversationDockWindow::onStartRecord()
{
    if (!m_inspection || isRecording())
        return;
    GenericSettings settings;
    settings.load();
    m_recordStart = m_clock();
    m_recordingPath = m_inspection->path;
    m_videoStartMs = m_recordStart.toMSecsSinceEpoch();
    m_recorder = RecorderFactory::make(settings.iQualityVideo);
    if (!m_recorder)
        return;
    m_video = std::make_unique<TemporaryVideo>(InspectionMedia::mediaFolder(*recordingSubject()),
                                               TemporaryVideo::Kind::PreTest);
    m_recorder->start(m_video->path(), settings.sVideoDeviceName, settings.sAudioDeviceName);
    m_timer->start(UpdateMs);
}

void PreTestCanversationDockWindow::onStopRecord() { stopRecord(); }

void PreTestCanversationDockWindow::stopRecord()
{
    const QString failure = finishRecording();
    if (!failure.isEmpty())
        QMessageBox::warning(this, tr("Воркел"), failure);
}

QString PreTestCanversationDockWindow::finishRecording()
{
    m_timer->stop();
    if (!m_recorder)
        return QString();
    m_recorder->stop();
    const QString failure = m_recorder->failure();
    const bool written = m_recorder->wroteFile();
    m_recorder.reset();
    const std::unique_ptr<TemporaryVideo> video = std::move(m_video);
    showPhoto();
    if (!written) {
        video->remove();
        return failure;
    }
    const QString left = placeVideo(*video);
    return failure.isEmpty() || left.isEmpty() ? failure + left : failure + QLatin1Char('\n') + left;
}

QString PreTestCanversationDockWindow::placeVideo(TemporaryVideo &video)
{
    const std::unique_ptr<Inspection> subject = recordingSubject();
    const QString lies = video.whereNow();
    const QString folder = QFileInfo(m_recordingPath).absolutePath();
    const bool folderGone = !QFileInfo(folder).isDir();
    // A folder deleted with its subjects took the video along.
    if (folderGone && lies.isEmpty())
        return QString();
    // One another program moved keeps the video where it lies now, named for
    // its subject: nothing is made where the folder was.
    const QString target = folderGone
                               ? InspectionMedia::newVideoFileName(QFileInfo(lies).absolutePath(), *subject, m_recordStart)
                               : InspectionMedia::newVideoFileName(*subject, m_recordStart);
    const QString why = target.isEmpty() ? qt_error_string(EEXIST) : video.moveTo(target);
    if (!why.isEmpty()) {
        return tr("Видеозапись беседы осталась в файле\n%1\n(%2)")
            .arg(QDir::toNativeSeparators(lies.isEmpty() ? video.path() : lies), why);
    }
    if (folderGone) {
        return tr("Папка обследуемого не найдена:\n%1\nВидеозапись беседы сохранена в файле\n%2")
            .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(target));
    }
    // A subject deleted while recorded went to the Trash with its files: its
    // video follows it there rather than wait for the next subject of its name.
    if (!QFileInfo::exists(m_recordingPath))
        InspectionMedia::moveToTrash(target);
    return QString();
}

void PreTestCanversationDockWindow::followRename(const QString &oldPath, const QString &newPath)
{
    if (!isRecording() || oldPath.isEmpty())
        return;
    QString moved;
    if (m_recordingPath == oldPath)
        moved = newPath;
    else if (m_recordingPath.startsWith(oldPath + QLatin1Char('/')))
        moved = newPath + m_recordingPath.mid(oldPath.size());
    else
        return;
    // The subject announced under its new path is the one being recorded.
    if (m_path == m_recordingPath)
        m_path = moved;
    m_recordingPath = moved;
}

void PreTestCanversationDockWindow::onUpdateImage()
{
    if (!m_recorder)
        return;
    if (!m_recorder->failure().isEmpty()) {
        stopRecord();
        return;
    }
    if (!isVisible())
        return;
    QByteArray buffer(FrameBufferBytes, '\0');
    int width = 0;
    int height = 0;
    const int bytes = m_recorder->takeFrame(&width, &height, buffer.data(), buffer.size(), nullptr, nullptr);
    if (width < 1 || height < 1 || bytes > buffer.size())
        return;
    const QImage frame(reinterpret_cast<const uchar *>(buffer.constData()), width, height, width * 4,
                       QImage::Format_ARGB32);
    QPixmap pixmap = QPixmap::fromImage(frame.convertToFormat(QImage::Format_RGB32))
                         .scaled(m_picture->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    drawClock(pixmap);
    m_picture->setPixmap(pixmap);
}

void PreTestCanversationDockWindow::drawClock(QPixmap &pixmap) const
{
    const qint64 now = m_clock().toMSecsSinceEpoch();
    QPainter painter(&pixmap);
    painter.setFont(QFont(QStringLiteral("Times"), 12, QFont::Bold));
    painter.drawText(10, 20, QTime::fromMSecsSinceStartOfDay(int(now - m_videoStartMs)).toString("hh.mm.ss"));
    if (!isRecordingSpeech())
        return;
    painter.setFont(QFont(QStringLiteral("Times"), 10, QFont::Bold));
    painter.setPen(Qt::green);
    painter.drawText(width() - 50, 20, QTime::fromMSecsSinceStartOfDay(int(now - m_speechStartMs)).toString("mm.ss"));
}

void PreTestCanversationDockWindow::onComments()
{
    if (!m_inspection)
        return;
    PersonePropertyDlg dialog(this, m_path, PersonePropertyDlg::PreTestTab);
    if (dialog.exec() != QDialog::Accepted)
        return;
    loadPhotos();
    showPhoto();
}

void PreTestCanversationDockWindow::onMMPlayer()
{
    // The player would delete files the running recording is still writing.
    if (!m_inspection || isRecording())
        return;
    PreTestConversationDlg dialog(m_inspection, this);
    dialog.exec();
}

void PreTestCanversationDockWindow::onStartRecordSpeech() { startRecordSpeech(); }

void PreTestCanversationDockWindow::onStopRecordSpeech() { stopRecordSpeech(); }

// A speech file that cannot start (its name is taken, it does not open) is
// signalled by the tone and leaves the dock without one.
void PreTestCanversationDockWindow::startRecordSpeech()
{
    if (!m_inspection || !m_recorder || m_recorder->isRecording())
        return;
    const QDateTime now = m_clock();
    const QString name = InspectionMedia::newAudioFileName(*recordingSubject(), now);
    if (name.isEmpty() || m_recorder->openAudioFile(name) < 0) {
        playTone(this);
        return;
    }
    m_speechStartMs = now.toMSecsSinceEpoch();
}

void PreTestCanversationDockWindow::stopRecordSpeech()
{
    if (m_inspection && isRecordingSpeech())
        m_recorder->closeOutput();
}
