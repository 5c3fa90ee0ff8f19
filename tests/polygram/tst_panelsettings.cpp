#include "data/SettingsStore.h"
#include "polygram/drawPanelG.h"
#include "tests/polygram/PanelFixtures.h"
#include "tests/support/TestHome.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kGroup = QStringLiteral("TransparentPanels");

QPoint stored(const QString &key) { return SettingsStore::open()->value(kGroup + QLatin1Char('/') + key).toPoint(); }

// Gives the root settings file an old time stamp, so a rewrite shows.
QDateTime backdateSettingsFile()
{
    QFile file(SettingsStore::filePath());
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    if (!file.open(QIODevice::ReadWrite) || !file.setFileTime(old, QFileDevice::FileModificationTime))
        return QDateTime();
    return QFileInfo(file).lastModified();
}

}  // namespace

class TestPanelSettings : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetPanels(); }
    void firstPainterStoresTheDefaults();
    void positionsSurviveARestart();
    void unchangedPainterLeavesTheFileUntouched();
    void damagedPositionKeepsThePanelWhereItIs();
};

void TestPanelSettings::firstPainterStoresTheDefaults()
{
    Inspection::_Test test;
    {
        drawPanelG panels(&test);
    }
    QCOMPARE(stored(QStringLiteral("InspectionPane")), QPoint(20, 380));
    QCOMPARE(stored(QStringLiteral("VideoPane")), QPoint(20, 100));
    QCOMPARE(stored(QStringLiteral("GenericPane")), QPoint(20, 20));
    QCOMPARE(stored(QStringLiteral("ChannelStatusPane")), QPoint(0, 0));
    QCOMPARE(stored(QStringLiteral("SecondMonitorPane")), QPoint(400, 380));
}

void TestPanelSettings::positionsSurviveARestart()
{
    Inspection::_Test test;
    {
        drawPanelG panels(&test);
        PanelState::instance().setPosition(PanelState::CameraPanel, QPoint(333, 44));
        PanelState::instance().setPosition(PanelState::ProgressPanel, QPoint(-5, 600));
    }
    QVERIFY(readSettingsFile(QString()).contains("[TransparentPanels]"));
    QCOMPARE(stored(QStringLiteral("VideoPane")), QPoint(333, 44));

    PanelState::instance().reset();  // as in a new run of the program
    drawPanelG panels(&test);
    QCOMPARE(PanelState::instance().position(PanelState::CameraPanel), QPoint(333, 44));
    QCOMPARE(PanelState::instance().position(PanelState::ProgressPanel), QPoint(-5, 600));
    QCOMPARE(PanelState::instance().position(PanelState::ReadoutsPanel), QPoint(20, 20));
}

void TestPanelSettings::unchangedPainterLeavesTheFileUntouched()
{
    Inspection::_Test test;
    {
        drawPanelG panels(&test);
    }
    const QByteArray bytes = readSettingsFile(QString());
    const QDateTime stamp = backdateSettingsFile();
    QVERIFY(stamp.isValid());

    for (int paint = 0; paint < 3; ++paint) {
        drawPanelG panels(&test);
    }
    QCOMPARE(QFileInfo(SettingsStore::filePath()).lastModified(), stamp);
    QCOMPARE(readSettingsFile(QString()), bytes);

    {
        drawPanelG panels(&test);
        PanelState::instance().setPosition(PanelState::SecondMonitorPanel, QPoint(401, 380));
    }
    QVERIFY(QFileInfo(SettingsStore::filePath()).lastModified() > stamp);
    QCOMPARE(stored(QStringLiteral("SecondMonitorPane")), QPoint(401, 380));
}

void TestPanelSettings::damagedPositionKeepsThePanelWhereItIs()
{
    writeSettingsFile(QString(), "[TransparentPanels]\nGenericPane=nonsense\nVideoPane=@Point(7 8)\n");
    PanelState::instance().setPosition(PanelState::ReadoutsPanel, QPoint(60, 70));
    Inspection::_Test test;
    {
        drawPanelG panels(&test);
        QCOMPARE(PanelState::instance().position(PanelState::ReadoutsPanel), QPoint(60, 70));
        QCOMPARE(PanelState::instance().position(PanelState::CameraPanel), QPoint(7, 8));
    }
    QCOMPARE(stored(QStringLiteral("GenericPane")), QPoint(60, 70));
    QCOMPARE(stored(QStringLiteral("SecondMonitorPane")), QPoint(400, 380));
}

VUG_TEST_MAIN(TestPanelSettings, QGuiApplication)
#include "tst_panelsettings.moc"
