#include "PhotoPreViewDlg.h"

#include "data/GenericSettings.h"
#include "data/WaitCursor.h"
#include "recording/media/RecorderFactory.h"
#include "recording/media/VideoRecorder.h"
#include "resources/VugResources.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int UpdateMs = 100;
constexpr int PhotoQuality = 0;
}  // namespace

PhotoPreViewDlg::PhotoPreViewDlg(QWidget *parent)
    : QDialog(parent)
    , m_preview(new QLabel(this))
    , m_timer(new QTimer(this))
{
    const WaitCursor wait;
    setWindowTitle(tr("Фото"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(m_timer, &QTimer::timeout, this, &PhotoPreViewDlg::onUpdateImage);

    GenericSettings settings;
    settings.load();
    m_recorder = RecorderFactory::make(PhotoQuality);
    if (m_recorder)
        m_recorder->start(QString(), settings.sVideoDeviceName, settings.sAudioDeviceName);
    m_timer->start(UpdateMs);

    m_preview->setPixmap(VugImages::pixmap(QStringLiteral("Camera-background.png")));
    m_preview->setScaledContents(false);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setMinimumSize(10, 10);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &PhotoPreViewDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PhotoPreViewDlg::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_preview);
    layout->addWidget(buttons);
    resize(300, 300);
}

PhotoPreViewDlg::~PhotoPreViewDlg()
{
    if (m_recorder)
        m_recorder->stop();
}

void PhotoPreViewDlg::accept() { QDialog::accept(); }

void PhotoPreViewDlg::onUpdateImage()
{
    if (!isVisible() || !m_recorder)
        return;
    QByteArray buffer(FrameBufferBytes, '\0');
    int width = 0;
    int height = 0;
    const int bytes = m_recorder->takeFrame(&width, &height, buffer.data(), buffer.size(), nullptr, nullptr);
    // A frame larger than the buffer was not copied.
    if (width <= 0 || height <= 0 || bytes > buffer.size())
        return;
    const QImage frame(reinterpret_cast<const uchar *>(buffer.constData()), width, height, width * 4,
                       QImage::Format_ARGB32);
    image = frame.convertToFormat(QImage::Format_RGB32);
    m_preview->setPixmap(
        QPixmap::fromImage(image).scaled(m_preview->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}
