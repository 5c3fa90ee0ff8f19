#include "data/FileManager.h"
#include "tests/support/TestHome.h"
#include "tests/support/UrlCatcher.h"

#include <QDBusConnection>
#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QThread>

// Stands in for the desktop's file manager on the private bus; it lives on a
// thread of its own, so the program's blocking call can be answered.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shown;

public slots:
    void ShowItems(const QStringList &uris, const QString &startupId)
    {
        Q_UNUSED(startupId);
        shown += uris;
    }
};

class TestFileManager : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void withoutFileManagerTheFolderOpens();
    void fileManagerShowsTheFile();

private:
    QProcess m_bus;
    QString m_address;
    QString m_file;
};

void TestFileManager::initTestCase()
{
    // A private session bus: no file manager of the machine can answer.
    m_bus.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address=1"});
    QVERIFY(m_bus.waitForStarted());
    QVERIFY(m_bus.waitForReadyRead(10000));
    m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
    QVERIFY(!m_address.isEmpty());
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
    QVERIFY(QDBusConnection::sessionBus().isConnected());
    m_file = QDir::homePath() + "/Documents/__1__/video.avi";
    QDir().mkpath(QDir::homePath() + "/Documents/__1__");
    QFile file(m_file);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void TestFileManager::cleanupTestCase()
{
    m_bus.kill();
    m_bus.waitForFinished();
}

void TestFileManager::withoutFileManagerTheFolderOpens()
{
    UrlCatcher catcher;
    QVERIFY(FileManager::showItem(m_file));
    QCOMPARE(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(QDir::homePath() + "/Documents/__1__")});
    // Nothing to open is a failure the caller reports.
    catcher.urls.clear();
    QVERIFY(!FileManager::showItem(QDir::homePath() + "/missing/video.avi"));
    QVERIFY(catcher.urls.isEmpty());
}

void TestFileManager::fileManagerShowsTheFile()
{
    QThread thread;
    thread.start();
    FakeFileManager manager;
    manager.moveToThread(&thread);
    QDBusConnection peer = QDBusConnection::connectToBus(m_address, "peer");
    QVERIFY(peer.registerObject("/org/freedesktop/FileManager1", &manager, QDBusConnection::ExportAllSlots));
    QVERIFY(peer.registerService("org.freedesktop.FileManager1"));

    UrlCatcher catcher;
    QVERIFY(FileManager::showItem(m_file));
    QVERIFY(catcher.urls.isEmpty());
    QCOMPARE(manager.shown, QStringList{QUrl::fromLocalFile(m_file).toString()});

    peer.unregisterService("org.freedesktop.FileManager1");
    peer.unregisterObject("/org/freedesktop/FileManager1");
    QDBusConnection::disconnectFromBus("peer");
    thread.quit();
    thread.wait();
}

VUG_TEST_MAIN(TestFileManager, QGuiApplication)
#include "tst_filemanager.moc"
