#include "PlainFile.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString tr(const char *text) { return QCoreApplication::translate("PlainFile", text); }

constexpr qint64 kBytesPerMegabyte = 1024 * 1024;

}  // namespace

PlainFile::PlainFile(const QString &path, qint64 maxBytes)
{
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) {
        m_missing = errno == ENOENT;
        m_refusal = m_missing ? tr("файла нет")
                    : errno == ELOOP ? tr("это ссылка, а не файл")
                                     : qt_error_string(errno);
        return;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0)
        m_refusal = qt_error_string(errno);
    else if (!S_ISREG(status.st_mode))
        m_refusal = S_ISDIR(status.st_mode) ? tr("это папка, а не файл") : tr("это не обычный файл");
    else if (status.st_size > maxBytes)
        m_refusal = tr("файл больше %1 МБ").arg(maxBytes / kBytesPerMegabyte);
    if (!m_refusal.isEmpty()) {
        ::close(descriptor);
        return;
    }
    m_size = status.st_size;
    m_descriptor = descriptor;
}

PlainFile::~PlainFile()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

QString PlainFile::heldPath() const
{
    return isOpen() ? QStringLiteral("/proc/self/fd/%1").arg(m_descriptor) : QString();
}
