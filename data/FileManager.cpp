#include "FileManager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace FileManager {

namespace {

// A file manager that is only activatable may take a while to start.
constexpr int kReplyTimeoutMs = 5000;

bool askFileManager(const QString &path)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    return bus.call(call, QDBus::Block, kReplyTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

}  // namespace

bool showItem(const QString &path)
{
    const QFileInfo file(path);
    return askFileManager(file.absoluteFilePath()) || openFolder(file.absolutePath());
}

bool openFolder(const QString &folder)
{
    return QFileInfo(folder).isDir() && QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

}  // namespace FileManager
