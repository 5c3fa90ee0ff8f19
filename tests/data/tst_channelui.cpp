#include "data/ChannelUI.h"
#include "tests/data/SettingsFile.h"
#include "tests/support/TestHome.h"

#include <QProcess>
#include <QRegularExpression>

namespace {

const QString kSubKey = QStringLiteral("ChannelsUI");

ChannelUITable loadedTable()
{
    ChannelUITable table;
    ChannelUI::loadAll(table);
    return table;
}

std::array<int, ChannelCode::Count> positionsOf(const ChannelUITable &table)
{
    std::array<int, ChannelCode::Count> positions{};
    for (int code = 0; code < ChannelCode::Count; ++code)
        positions[code] = table[code].nChannelPos;
    return positions;
}

const std::array<int, ChannelCode::Count> kDefaultPositions = {2, 5, 1, 0, 3, 6, 8, 9, 10, 4, 7, 11, 12};

}  // namespace

class TestChannelUI : public QObject
{
    Q_OBJECT
private slots:
    void init() { removeSettingsFiles(); }
    void nothingStoredGivesTheDefaults();
    void saveAndLoadRestoreEveryField();
    void storedFileKeepsItsForm();
    void missingGroupKeepsItsDefaults();
    void damagedValuesKeepTheirDefaults();
    void penWidthsOutsideThePageAreBroughtWithin_data();
    void penWidthsOutsideThePageAreBroughtWithin();
    void everyFlagReadsTheSameWay();
    void brokenPositionsFallBackToTheDefaultOrder_data();
    void brokenPositionsFallBackToTheDefaultOrder();
    void reorderedPositionsAreKept();
    void tableIsSavedWhenTheProcessEnds_data();
    void tableIsSavedWhenTheProcessEnds();
};

void TestChannelUI::nothingStoredGivesTheDefaults()
{
    const ChannelUITable table = loadedTable();
    QCOMPARE(positionsOf(table), kDefaultPositions);
    for (int code = 0; code < ChannelCode::Count; ++code) {
        QCOMPARE(table[code].code, code);
        QVERIFY(!table[code].bAmp2 && !table[code].bEnableFilter && !table[code].bEnableFilter2);
        QCOMPARE(table[code].rgbColor.alpha(), 255);
        QCOMPARE(table[code].bInverse, code == ChannelCode::PG);
    }
    const bool enabled[ChannelCode::Count] = {true, false, true, true, true, true, true,
                                              true, false, true, false, false, false};
    for (int code = 0; code < ChannelCode::Count; ++code)
        QCOMPARE(table[code].bEnable, enabled[code]);
    QCOMPARE(table[ChannelCode::GSR].rgbColor, QColor(192, 64, 0));
    QCOMPARE(table[ChannelCode::GSR].rgbTubeColor, QColor(185, 255, 185));
    QCOMPARE(table[ChannelCode::GSR].nPenWidth, 3);
    QCOMPARE(table[ChannelCode::RG_DIFF].rgbColor, QColor(0, 0, 127));
    QCOMPARE(table[ChannelCode::TRM].nPenWidth, 1);
}

void TestChannelUI::saveAndLoadRestoreEveryField()
{
    const QRgb colors[] = {0xFF000000u, 0x80FFFFFFu, 0x00000000u, 0xFFFFFFFFu, 0x7F123456u, 0xFFC04000u, 0x01ABCDEFu};
    ChannelUITable table = loadedTable();
    for (int code = 0; code < ChannelCode::Count; ++code) {
        ChannelUI &entry = table[code];
        entry.bEnable = code % 2;
        entry.nPenWidth = 1 + code % ChannelUI::kPenWidthMax;
        entry.rgbColor = QColor::fromRgba(colors[code % 7]);
        entry.rgbTubeColor = QColor::fromRgba(colors[(code + 3) % 7]);
        entry.bAmp2 = code % 3 == 0;
        entry.nChannelPos = ChannelCode::Count - 1 - code;
        entry.bEnableFilter = code % 4 == 1;
        entry.bEnableFilter2 = code % 4 == 2;
        entry.bInverse = code % 5 == 0;
    }
    ChannelUI::saveAll(table);

    const ChannelUITable loaded = loadedTable();
    for (int code = 0; code < ChannelCode::Count; ++code) {
        const ChannelUI &a = table[code];
        const ChannelUI &b = loaded[code];
        QCOMPARE(b.code, code);
        QCOMPARE(b.bEnable, a.bEnable);
        QCOMPARE(b.nPenWidth, a.nPenWidth);
        QCOMPARE(b.rgbColor.rgba(), a.rgbColor.rgba());
        QCOMPARE(b.rgbTubeColor.rgba(), a.rgbTubeColor.rgba());
        QCOMPARE(b.bAmp2, a.bAmp2);
        QCOMPARE(b.nChannelPos, a.nChannelPos);
        QCOMPARE(b.bEnableFilter, a.bEnableFilter);
        QCOMPARE(b.bEnableFilter2, a.bEnableFilter2);
        QCOMPARE(b.bInverse, a.bInverse);
    }
}

void TestChannelUI::storedFileKeepsItsForm()
{
    ChannelUITable table = loadedTable();
    table[ChannelCode::GSR].rgbColor = QColor::fromRgba(0xFF000000u);
    ChannelUI::saveAll(table);
    const QByteArray text = readSettingsFile(kSubKey);
    QVERIFY(text.contains("[Channels-0]"));
    QVERIFY(text.contains("[Channels-12]"));
    QVERIFY(text.contains("rgbColor=4278190080"));
    const char *keys[] = {"bInverse=", "bEnable=", "nPenWidth=", "rgbColor=", "bAmp2=",
                          "nChannelPos=", "rgbTubeColor=", "bEnableFilter=", "bEnableFilter2="};
    for (const char *key : keys)
        QCOMPARE(text.count(QByteArray("\n") + key), ChannelCode::Count);
}

void TestChannelUI::missingGroupKeepsItsDefaults()
{
    ChannelUITable table = loadedTable();
    for (ChannelUI &entry : table)
        entry.nPenWidth = 4;
    ChannelUI::saveAll(table);
    QSettings settings(SettingsStore::filePath(kSubKey), QSettings::IniFormat);
    settings.remove(QStringLiteral("Channels-4"));
    settings.sync();

    const ChannelUITable loaded = loadedTable();
    QCOMPARE(loaded[ChannelCode::PG].nPenWidth, 2);
    QCOMPARE(loaded[ChannelCode::PG].bInverse, true);
    QCOMPARE(loaded[ChannelCode::AD].nPenWidth, 4);
}

void TestChannelUI::damagedValuesKeepTheirDefaults()
{
    writeSettingsFile(kSubKey,
                      "[Channels-0]\nnPenWidth=abc\nrgbColor=red\nrgbTubeColor=99999999999\nbEnable=maybe\n"
                      "[Channels-1]\nnPenWidth=5\nrgbColor=-16777216\nrgbTubeColor=2164260863\n"
                      "[Channels-2]\nrgbColor=4278190080\n");
    const ChannelUITable table = loadedTable();
    QCOMPARE(table[0].nPenWidth, 3);
    QCOMPARE(table[0].rgbColor, QColor(192, 64, 0));
    QCOMPARE(table[0].rgbTubeColor, QColor(185, 255, 185));
    QCOMPARE(table[0].bEnable, true);
    QCOMPARE(table[1].nPenWidth, 5);
    QCOMPARE(table[1].rgbColor.rgba(), 0xFF000000u);
    QCOMPARE(table[1].rgbTubeColor.rgba(), 0x80FFFFFFu);
    QCOMPARE(table[2].rgbColor.rgba(), 0xFF000000u);
}

void TestChannelUI::penWidthsOutsideThePageAreBroughtWithin_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("width");
    QTest::newRow("a block of colour") << QByteArray("2000") << ChannelUI::kPenWidthMax;
    QTest::newRow("largest int") << QByteArray("2147483647") << ChannelUI::kPenWidthMax;
    QTest::newRow("smallest int") << QByteArray("-2147483648") << ChannelUI::kPenWidthMin;
    QTest::newRow("zero") << QByteArray("0") << ChannelUI::kPenWidthMin;
}

// A pen 2000 pixels wide turned the review into one block of colour.
void TestChannelUI::penWidthsOutsideThePageAreBroughtWithin()
{
    QFETCH(QByteArray, stored);
    writeSettingsFile(kSubKey, "[Channels-0]\nnPenWidth=" + stored + "\n[Channels-1]\nnPenWidth=" + stored + "\n");
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("outside their pages' ranges, brought within: Channels-0/nPenWidth, Channels-1/nPenWidth$"));
    const ChannelUITable table = loadedTable();
    QTEST(table[0].nPenWidth, "width");
    QTEST(table[1].nPenWidth, "width");
}

void TestChannelUI::everyFlagReadsTheSameWay()
{
    writeSettingsFile(kSubKey,
                      "[Channels-0]\nbInverse=true\nbEnable=true\nbAmp2=true\nbEnableFilter=true\nbEnableFilter2=true\n"
                      "[Channels-3]\nbInverse=1\nbEnable=1\nbAmp2=1\nbEnableFilter=1\nbEnableFilter2=1\n"
                      "[Channels-4]\nbInverse=false\nbEnable=false\nbAmp2=false\nbEnableFilter=false\nbEnableFilter2=false\n");
    const ChannelUITable table = loadedTable();
    for (int code : {0, 3}) {
        const ChannelUI &e = table[code];
        QVERIFY(e.bInverse && e.bEnable && e.bAmp2 && e.bEnableFilter && e.bEnableFilter2);
    }
    const ChannelUI &e = table[4];
    QVERIFY(!e.bInverse && !e.bEnable && !e.bAmp2 && !e.bEnableFilter && !e.bEnableFilter2);
}

void TestChannelUI::brokenPositionsFallBackToTheDefaultOrder_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("beyond the end") << QByteArray("[Channels-0]\nnChannelPos=13\n");
    QTest::newRow("negative") << QByteArray("[Channels-5]\nnChannelPos=-1\n");
    QTest::newRow("far away") << QByteArray("[Channels-5]\nnChannelPos=100000\n");
    QTest::newRow("two on one slot") << QByteArray("[Channels-0]\nnChannelPos=0\n");
}

void TestChannelUI::brokenPositionsFallBackToTheDefaultOrder()
{
    QFETCH(QByteArray, text);
    writeSettingsFile(kSubKey, text + "[Channels-1]\nnPenWidth=4\n");
    const ChannelUITable table = loadedTable();
    QCOMPARE(positionsOf(table), kDefaultPositions);
    QCOMPARE(table[1].nPenWidth, 4);
}

void TestChannelUI::reorderedPositionsAreKept()
{
    writeSettingsFile(kSubKey, "[Channels-0]\nnChannelPos=0\n[Channels-3]\nnChannelPos=2\n");
    const ChannelUITable table = loadedTable();
    QCOMPARE(table[0].nChannelPos, 0);
    QCOMPARE(table[3].nChannelPos, 2);
}

void TestChannelUI::tableIsSavedWhenTheProcessEnds_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("penWidth");
    QTest::newRow("return from main") << QString() << 4;
    QTest::newRow("exit()") << QStringLiteral("exit") << 5;
}

void TestChannelUI::tableIsSavedWhenTheProcessEnds()
{
    QFETCH(QString, mode);
    QFETCH(int, penWidth);
    QProcess child;
    child.start(QCoreApplication::applicationDirPath() + QStringLiteral("/channelsui_exit_save"), {mode});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);

    const ChannelUITable table = loadedTable();
    QCOMPARE(table[ChannelCode::GSR_C].bEnable, true);
    QCOMPARE(table[ChannelCode::GSR_C].nPenWidth, penWidth);
    QCOMPARE(table[ChannelCode::GSR_C].rgbColor.rgba(), 0x80FFFFFFu);
    QCOMPARE(table[ChannelCode::GSR].nPenWidth, 3);
}

VUG_TEST_MAIN(TestChannelUI, QCoreApplication)
#include "tst_channelui.moc"
