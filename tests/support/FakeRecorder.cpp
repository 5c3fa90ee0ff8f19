#include "tests/support/FakeRecorder.h"

#include <cstring>

void FakeRecorder::start(const QString &path, const QString &, const QString &)
{
    QMutexLocker lock(&m_mutex);
    m_path = path;
    m_started = true;
}

void FakeRecorder::stop()
{
    QMutexLocker lock(&m_mutex);
    m_stopped = true;
}

int FakeRecorder::takeFrame(int *width, int *height, void *dest, int capacity, double *seconds, double *level)
{
    QMutexLocker lock(&m_mutex);
    const int bytes = m_width * m_height * 4;
    *width = m_width;
    *height = m_height;
    *seconds = m_seconds;
    *level = m_level;
    if (dest && bytes > 0 && bytes <= capacity)
        std::memset(dest, m_fill, size_t(bytes));
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
    if (m_audioFileResult >= 0) {
        m_audioFiles << file;
        m_speechOpen = true;
    }
    return m_audioFileResult;
}

void FakeRecorder::closeOutput()
{
    QMutexLocker lock(&m_mutex);
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
