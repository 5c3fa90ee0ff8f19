#include "tests/support/FakeRecorder.h"

#include <QFile>

#include <cstring>

namespace {

// What was recorded, so names taken and renames can be seen.
void writeSmallFile(const QString &path)
{
    QFile file(path);
    if (!path.isEmpty() && file.open(QIODevice::WriteOnly))
        file.write("recorded");
}

}  // namespace

FakeRecorder::~FakeRecorder()
{
    if (whenDestroyed)
        whenDestroyed(m_calls);
}

void FakeRecorder::start(const QString &path, const QString &camera, const QString &microphone)
{
    QMutexLocker lock(&m_mutex);
    m_path = path;
    m_started = true;
    m_calls << QStringLiteral("start %1|%2|%3").arg(path, camera, microphone);
    writeSmallFile(path);
}

void FakeRecorder::stop()
{
    QMutexLocker lock(&m_mutex);
    m_stopped = true;
    m_calls << QStringLiteral("stop");
}

int FakeRecorder::takeFrame(int *width, int *height, void *dest, int capacity, double *seconds, double *level)
{
    QMutexLocker lock(&m_mutex);
    const int bytes = m_width * m_height * 4;
    *width = m_width;
    *height = m_height;
    if (seconds)
        *seconds = m_seconds;
    if (level)
        *level = m_level;
    if (!dest || bytes == 0 || bytes > capacity)
        return bytes;
    if (m_image.isNull())
        std::memset(dest, m_fill, size_t(bytes));
    else
        std::memcpy(dest, m_image.constBits(), size_t(bytes));
    return bytes;
}

bool FakeRecorder::wroteFile() const
{
    QMutexLocker lock(&m_mutex);
    return m_started && m_stopped;
}

QString FakeRecorder::failure() const
{
    QMutexLocker lock(&m_mutex);
    return m_failure;
}

bool FakeRecorder::isRecording() const
{
    QMutexLocker lock(&m_mutex);
    return m_speechOpen;
}

int FakeRecorder::openAudioFile(const QString &file)
{
    QMutexLocker lock(&m_mutex);
    m_calls << QStringLiteral("openAudioFile ") + file;
    if (m_audioFileResult >= 0) {
        writeSmallFile(file);
        m_audioFiles << file;
        m_speechOpen = true;
    }
    return m_audioFileResult;
}

void FakeRecorder::closeOutput()
{
    QMutexLocker lock(&m_mutex);
    m_calls << QStringLiteral("closeOutput");
    m_speechOpen = false;
}

void FakeRecorder::setAudioFileResult(int result)
{
    QMutexLocker lock(&m_mutex);
    m_audioFileResult = result;
}

QStringList FakeRecorder::audioFiles() const
{
    QMutexLocker lock(&m_mutex);
    return m_audioFiles;
}

void FakeRecorder::setFailure(const QString &failure)
{
    QMutexLocker lock(&m_mutex);
    m_failure = failure;
}

void FakeRecorder::setFrame(int width, int height, char fill)
{
    QMutexLocker lock(&m_mutex);
    m_width = width;
    m_height = height;
    m_fill = fill;
}

void FakeRecorder::setImage(const QImage &image)
{
    QMutexLocker lock(&m_mutex);
    m_image = image.convertToFormat(QImage::Format_ARGB32);
    m_width = m_image.width();
    m_height = m_image.height();
}

QStringList FakeRecorder::calls() const
{
    QMutexLocker lock(&m_mutex);
    return m_calls;
}

void FakeRecorder::setClock(double seconds)
{
    QMutexLocker lock(&m_mutex);
    m_seconds = seconds;
}

void FakeRecorder::setLevel(double level)
{
    QMutexLocker lock(&m_mutex);
    m_level = level;
}

QString FakeRecorder::path() const
{
    QMutexLocker lock(&m_mutex);
    return m_path;
}

bool FakeRecorder::stopped() const
{
    QMutexLocker lock(&m_mutex);
    return m_stopped;
}
