#include "data/ChannelUI.h"
#include "data/DefChannel.h"
#include "data/SettingsStore.h"
#include "recording/WizardChannelsDlg.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>

namespace {
constexpr int kCodeRole = Qt::UserRole + 1;
const QUuid kVorkel16(QStringLiteral("{05209770-FCC0-4EBD-99C3-0A64CAFB2B1E}"));

struct Calibration {
    double offset;
    double amplify;
    int adt;
    int shift;
};

Calibration stored(const QUuid &device, int code)
{
    const auto settings = SettingsStore::open(device.toString());
    settings->beginGroup(QStringLiteral("Channels-%1").arg(code));
    return {settings->value("nOffset").toDouble(), settings->value("nAmplify").toDouble(),
            settings->value("nADT").toInt(), settings->value("nShiftADT").toInt()};
}

Calibration of(const Inspection::_Channel &record) { return {record.Offset, record.Amplify, record.ADT, record.ShiftADT}; }

bool operator==(const Calibration &a, const Calibration &b)
{
    return a.offset == b.offset && a.amplify == b.amplify && a.adt == b.adt && a.shift == b.shift;
}

char *toString(const Calibration &c)
{
    return QTest::toString(QStringLiteral("{%1, %2, %3, %4}").arg(c.offset).arg(c.amplify).arg(c.adt).arg(c.shift));
}

void setLive(Inspection::_Channel &record, const Calibration &values)
{
    record.Offset = values.offset;
    record.Amplify = values.amplify;
    record.ADT = values.adt;
    record.ShiftADT = values.shift;
}
}  // namespace

class TestWizardChannels : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initChannelsUI(); }
    void init();
    void listShowsTheSettableChannelsByFullName();
    void stateRoundTripsThroughOk();
    void saveCurrentRewritesEveryRecordOfTheSetUp();
    void applySavedFallsBackToTheDeviceKeyByKey();
    void equalGainLeavesItsFlagClear();
    void applyStaysOpenAndCancelKeepsWhatItDid();

private:
    void checkOnly(WizardChannelsDlg &dialog, const QSet<int> &codes);
    QStandardItemModel *rows(WizardChannelsDlg &dialog)
    {
        return static_cast<QStandardItemModel *>(dialog.channelList->model());
    }

    std::unique_ptr<Inspection::_Test> m_test;
};

void TestWizardChannels::init()
{
    QFile::remove(SettingsStore::filePath(QStringLiteral("WizardChannelsDlg")));
    QFile::remove(SettingsStore::filePath(SavedSetupId.toString()));
    QFile::remove(SettingsStore::filePath(kVorkel16.toString()));
    m_test = std::make_unique<Inspection::_Test>(QStringLiteral("Тест"));
    m_test->idsensor = kVorkel16;
    for (int code = 0; code < ChannelCode::Count; ++code)
        setLive(m_test->channel(code), {10.0 + code, 20.0 + code, code % 5, 100 + code});
    currentWizardTest = m_test.get();
}

void TestWizardChannels::checkOnly(WizardChannelsDlg &dialog, const QSet<int> &codes)
{
    QStandardItemModel *model = rows(dialog);
    for (int row = 0; row < model->rowCount(); ++row) {
        QStandardItem *item = model->item(row);
        item->setCheckState(codes.contains(item->data(kCodeRole).toInt()) ? Qt::Checked : Qt::Unchecked);
    }
}

void TestWizardChannels::listShowsTheSettableChannelsByFullName()
{
    WizardChannelsDlg dialog(nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Мастер настроек каналов"));
    auto *label = dialog.findChild<QLabel *>();
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("Список каналов:"));
    DefChannel definitions;
    QStringList expected;
    for (int position = 0; position < ChannelCode::Count; ++position) {
        const Inspection::_Channel *record = definitions.findByPosition(position);
        QVERIFY(record);
        const int code = record->Kod;
        if (code != 8 && code != 11 && code != 12)
            expected << DefChannel::channelName(code, true);
    }
    QStringList shown;
    for (int row = 0; row < rows(dialog)->rowCount(); ++row) {
        QStandardItem *item = rows(dialog)->item(row);
        QVERIFY(item->isCheckable());
        QCOMPARE(item->checkState(), Qt::Checked);
        shown << item->text();
    }
    QCOMPARE(shown, expected);
    QVERIFY(shown.contains(QStringLiteral("КГР (Кожно-гальваническая реакция)")));
    QCOMPARE(shown.size(), 10);
    QVERIFY(dialog.saveCurrentButton->isChecked());
    QCOMPARE(dialog.applyRecommendedButton->text(), QStringLiteral("Применить настройки каналов РЕКОМЕНДОВАННЫЕ ПРОИЗВОДИТЕЛЕМ"));

    dialog.onClearAll();
    for (int row = 0; row < rows(dialog)->rowCount(); ++row)
        QCOMPARE(rows(dialog)->item(row)->checkState(), Qt::Unchecked);
    dialog.onSelectAll();
    for (int row = 0; row < rows(dialog)->rowCount(); ++row)
        QCOMPARE(rows(dialog)->item(row)->checkState(), Qt::Checked);
    dialog.show();
    QCoreApplication::processEvents();
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
}

void TestWizardChannels::stateRoundTripsThroughOk()
{
    {
        WizardChannelsDlg dialog(nullptr);
        dialog.applyRecommendedButton->setChecked(true);
        checkOnly(dialog, {0, 4});
        dialog.onAccept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    const auto settings = SettingsStore::open(QStringLiteral("WizardChannelsDlg"));
    QCOMPARE(settings->value("mode").toInt(), 2);
    QCOMPARE(settings->value("Channels-0").toBool(), true);
    QCOMPARE(settings->value("Channels-3").toBool(), false);
    QVERIFY(!settings->contains("Channels-8"));

    WizardChannelsDlg reopened(nullptr);
    QVERIFY(reopened.applyRecommendedButton->isChecked());
    QSet<int> checked;
    for (int row = 0; row < rows(reopened)->rowCount(); ++row) {
        if (rows(reopened)->item(row)->checkState() == Qt::Checked)
            checked << rows(reopened)->item(row)->data(kCodeRole).toInt();
    }
    QCOMPARE(checked, (QSet<int>{0, 4}));

    // Cancel stores nothing.
    reopened.applySavedButton->setChecked(true);
    reopened.onReject();
    QCOMPARE(reopened.result(), int(QDialog::Rejected));
    QVERIFY(WizardChannelsDlg(nullptr).applyRecommendedButton->isChecked());
}

void TestWizardChannels::saveCurrentRewritesEveryRecordOfTheSetUp()
{
    DefChannel device;
    device.loadCalibration(kVorkel16);
    device.findByCode(ChannelCode::PG)->ADT = 17;
    device.saveCalibration(kVorkel16);

    WizardChannelsDlg dialog(nullptr);
    checkOnly(dialog, {ChannelCode::GSR});
    dialog.applyChannels();

    QCOMPARE(stored(SavedSetupId, ChannelCode::GSR), of(m_test->channel(ChannelCode::GSR)));
    DefChannel reference;
    reference.loadCalibration(kVorkel16);
    for (int code = 1; code < ChannelCode::Count; ++code)
        QCOMPARE(stored(SavedSetupId, code), of(*reference.findByCode(code)));
    QCOMPARE(stored(SavedSetupId, ChannelCode::PG).adt, 17);
    // The live channels are only read.
    QVERIFY(!m_test->channel(ChannelCode::GSR).ADTChanged);
}

void TestWizardChannels::applySavedFallsBackToTheDeviceKeyByKey()
{
    DefChannel device;
    device.loadCalibration(kVorkel16);
    device.findByCode(ChannelCode::GSR)->ADT = 12;
    device.findByCode(ChannelCode::GSR)->Offset = 55.0;
    device.saveCalibration(kVorkel16);
    WizardChannelsDlg dialog(nullptr);
    dialog.applySavedButton->setChecked(true);
    checkOnly(dialog, {ChannelCode::GSR, ChannelCode::PG});

    // Nothing saved yet: the device's own calibration.
    dialog.applyChannels();
    QCOMPARE(of(m_test->channel(ChannelCode::GSR)), of(*device.findByCode(ChannelCode::GSR)));
    QVERIFY(m_test->channel(ChannelCode::GSR).ADTChanged);
    QVERIFY(m_test->channel(ChannelCode::GSR).ShiftADTChanged);
    QCOMPARE(of(m_test->channel(ChannelCode::PG)), of(*device.findByCode(ChannelCode::PG)));
    QCOMPARE(of(m_test->channel(ChannelCode::RG_HI)), (Calibration{13.0, 23.0, 3, 103}));

    // One saved key replaces the device's; the others still come from it.
    SettingsStore::open(SavedSetupId.toString())->setValue(QStringLiteral("Channels-0/nOffset"), 77.5);
    dialog.applyChannels();
    QCOMPARE(m_test->channel(ChannelCode::GSR).Offset.load(), 77.5);
    QCOMPARE(m_test->channel(ChannelCode::GSR).ADT.load(), 12);
}

void TestWizardChannels::equalGainLeavesItsFlagClear()
{
    DefChannel recommended;
    recommended.applyDefaults(kVorkel16);
    Inspection::_Channel &gsr = m_test->channel(ChannelCode::GSR);
    gsr.ADT = recommended.findByCode(ChannelCode::GSR)->ADT;
    gsr.ShiftADT = recommended.findByCode(ChannelCode::GSR)->ShiftADT + 1;
    WizardChannelsDlg dialog(nullptr);
    dialog.applyRecommendedButton->setChecked(true);
    checkOnly(dialog, {ChannelCode::GSR});
    dialog.applyChannels();
    QVERIFY(!gsr.ADTChanged);
    QVERIFY(gsr.ShiftADTChanged);
    QCOMPARE(of(gsr), of(*recommended.findByCode(ChannelCode::GSR)));
    QVERIFY(!m_test->channel(ChannelCode::PG).ADTChanged);
}

void TestWizardChannels::applyStaysOpenAndCancelKeepsWhatItDid()
{
    DefChannel recommended;
    recommended.applyDefaults(kVorkel16);
    WizardChannelsDlg dialog(nullptr);
    dialog.applyRecommendedButton->setChecked(true);
    checkOnly(dialog, {ChannelCode::TRM});
    dialog.show();
    auto *box = dialog.findChild<QDialogButtonBox *>();
    QTest::mouseClick(box->button(QDialogButtonBox::Apply), Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(of(m_test->channel(ChannelCode::TRM)), of(*recommended.findByCode(ChannelCode::TRM)));
    QTest::mouseClick(box->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(of(m_test->channel(ChannelCode::TRM)), of(*recommended.findByCode(ChannelCode::TRM)));
    QVERIFY(!QFile::exists(SettingsStore::filePath(QStringLiteral("WizardChannelsDlg"))));
}

VUG_TEST_MAIN(TestWizardChannels, QApplication)
#include "tst_wizardchannels.moc"
