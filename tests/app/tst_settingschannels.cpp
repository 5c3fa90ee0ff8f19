#include "app/SettingsChannelsPage.h"
#include "data/DefChannel.h"
#include "data/SharedHelpers.h"
#include "tests/app/SettingsDlgTesting.h"
#include "tests/support/TestHome.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTreeView>

namespace {

constexpr int kCodeRole = Qt::UserRole + 1;

QList<int> codesInRows(const QStandardItemModel *model)
{
    QList<int> codes;
    for (int row = 0; row < model->rowCount(); ++row)
        codes << model->item(row)->data(kCodeRole).toInt();
    return codes;
}

const QList<int> kFactoryOrder = {3, 2, 0, 4, 9, 1, 5, 10, 6, 7, 8, 11, 12};

}  // namespace

class TestSettingsChannels : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        startFromEmptyStore();
        m_dialog.reset(new SettingsDlg(nullptr, m_noDevices, m_noPlugins.path()));
        m_page = m_dialog->channelsPage();
    }
    void cleanup() { m_dialog.reset(); }

    void listShowsEveryChannelInDisplayOrder();
    void movesExchangePositionsAndKeepTheSelection();
    void tickingFollowsTheItemsState();
    void recolouringSetsTheLighterBand();
    void nothingSelectedChangesNoChannel();
    void lineWidthTakesOnlyAcceptableText();
    void invertAndContrastFollowTheirBoxes();
    void cancelRestoresTheTableAndOkSavesIt();

private:
    void select(int row) { m_page->channelList()->setCurrentIndex(m_page->channelModel()->index(row, 0)); }
    void chooseColor(const QColor &color, void (SettingsChannelsPage::*slot)())
    {
        answerNextModal<QColorDialog>([color](QColorDialog *dialog) {
            dialog->setCurrentColor(color);
            dialog->accept();
        });
        (m_page->*slot)();
    }

    FakeMediaDevices m_noDevices;
    QTemporaryDir m_noPlugins;
    std::unique_ptr<SettingsDlg> m_dialog;
    SettingsChannelsPage *m_page = nullptr;
};

void TestSettingsChannels::listShowsEveryChannelInDisplayOrder()
{
    QStandardItemModel *model = m_page->channelModel();
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Название канала"));
    QCOMPARE(codesInRows(model), kFactoryOrder);
    const QStandardItem *gsr = model->item(2);
    QCOMPARE(gsr->text(), QStringLiteral("КГР (Кожно-гальваническая реакция)"));
    QCOMPARE(gsr->checkState(), Qt::Checked);
    QVERIFY(!gsr->isEditable() && gsr->isCheckable() && gsr->isSelectable());
    QCOMPARE(gsr->background().color(), QColor(185, 255, 185));
    QCOMPARE(gsr->foreground().color(), QColor(192, 64, 0));
    const QStandardItem *tonic = model->item(5);
    QCOMPARE(tonic->checkState(), Qt::Unchecked);
    QCOMPARE(tonic->foreground().color(), QColor(200, 200, 200));
    QCOMPARE(tonic->background().style(), Qt::NoBrush);
    QVERIFY(m_page->penWidthField()->text().isEmpty());
}

void TestSettingsChannels::movesExchangePositionsAndKeepTheSelection()
{
    QStandardItemModel *model = m_page->channelModel();
    select(0);
    m_page->action_Up();
    select(12);
    m_page->action_Down();
    QCOMPARE(codesInRows(model), kFactoryOrder);

    select(1);
    m_page->action_Down();
    QCOMPARE(codesInRows(model).mid(0, 4), (QList<int>{3, 0, 2, 4}));
    QCOMPARE(m_page->channelList()->currentIndex().row(), 2);
    QCOMPARE(channelsUI()[2].nChannelPos, 2);
    QCOMPARE(channelsUI()[0].nChannelPos, 1);
    m_page->action_Up();
    m_page->action_Up();
    QCOMPARE(codesInRows(model).mid(0, 3), (QList<int>{2, 3, 0}));
    QCOMPARE(m_page->channelList()->currentIndex().row(), 0);
    QCOMPARE(DefChannel().findByPosition(0)->Kod, 2);
}

void TestSettingsChannels::tickingFollowsTheItemsState()
{
    QStandardItem *gsr = m_page->channelModel()->item(2);
    select(2);
    gsr->setCheckState(Qt::Unchecked);
    QVERIFY(!channelsUI()[0].bEnable);
    QCOMPARE(gsr->foreground().color(), QColor(200, 200, 200));
    QCOMPARE(gsr->background().style(), Qt::NoBrush);
    // A change that is no tick leaves the flag where the box says.
    gsr->setData(QStringLiteral("tip"), Qt::ToolTipRole);
    QVERIFY(!channelsUI()[0].bEnable);
    gsr->setCheckState(Qt::Checked);
    QVERIFY(channelsUI()[0].bEnable);
    QCOMPARE(gsr->background().color(), QColor(185, 255, 185));
    QCOMPARE(gsr->foreground().color(), QColor(192, 64, 0));
    QCOMPARE(m_page->channelList()->currentIndex().row(), 2);
}

void TestSettingsChannels::recolouringSetsTheLighterBand()
{
    select(2);
    chooseColor(QColor(255, 0, 0), &SettingsChannelsPage::onColor1);
    const ChannelUI &gsr = channelsUI()[0];
    QCOMPARE(gsr.rgbColor, QColor(255, 0, 0));
    QCOMPARE(gsr.rgbTubeColor, QColor::fromHsl(0, 255, 220));
    QCOMPARE(gsr.rgbTubeColor, withLightness(QColor(255, 0, 0), 220));
    QCOMPARE(m_page->channelModel()->item(2)->background().color(), gsr.rgbTubeColor);
    QCOMPARE(m_page->signalColorButton()->styleSheet(),
             QStringLiteral("background-color: rgb(255, 0, 0); border:5px solid rgb(255, 0, 0);"));

    chooseColor(QColor(10, 20, 30), &SettingsChannelsPage::onColor2);
    QCOMPARE(gsr.rgbColor, QColor(255, 0, 0));
    QCOMPARE(gsr.rgbTubeColor, QColor(10, 20, 30));
    QCOMPARE(m_page->tubeColorButton()->styleSheet(), SettingsChannelsPage::swatchStyle(QColor(10, 20, 30)));

    answerNextModal<QColorDialog>([](QColorDialog *dialog) {
        dialog->setCurrentColor(Qt::blue);
        dialog->reject();
    });
    m_page->onColor1();
    QCOMPARE(gsr.rgbColor, QColor(255, 0, 0));
}

void TestSettingsChannels::nothingSelectedChangesNoChannel()
{
    const ChannelUITable before = channelsUI();
    m_page->invertBox()->click();
    m_page->contrastBox()->click();
    m_page->onColor1();
    m_page->onColor2();
    m_page->action_Down();
    m_page->penWidthField()->setText(QStringLiteral("5"));
    for (int code = 0; code < ChannelCode::Count; ++code) {
        QCOMPARE(channelsUI()[code].bInverse, before[code].bInverse);
        QCOMPARE(channelsUI()[code].bAmp2, before[code].bAmp2);
        QCOMPARE(channelsUI()[code].nPenWidth, before[code].nPenWidth);
        QCOMPARE(channelsUI()[code].rgbColor, before[code].rgbColor);
    }
}

void TestSettingsChannels::lineWidthTakesOnlyAcceptableText()
{
    select(3);  // ПГ, width 2
    QLineEdit *width = m_page->penWidthField();
    QCOMPARE(width->text(), QStringLiteral("2"));
    width->clear();
    QCOMPARE(channelsUI()[4].nPenWidth, 2);
    QTest::keyClicks(width, QStringLiteral("4"));
    QCOMPARE(channelsUI()[4].nPenWidth, 4);
}

void TestSettingsChannels::invertAndContrastFollowTheirBoxes()
{
    select(3);  // ПГ, inverted by default
    QVERIFY(m_page->invertBox()->isChecked());
    m_page->invertBox()->click();
    QVERIFY(!channelsUI()[4].bInverse);
    m_page->contrastBox()->click();
    QVERIFY(channelsUI()[4].bAmp2);
    // A second report of the same state must not flip the flag back.
    m_page->onContrast();
    QVERIFY(channelsUI()[4].bAmp2);
    select(2);
    QVERIFY(!m_page->invertBox()->isChecked() && !m_page->contrastBox()->isChecked());
}

void TestSettingsChannels::cancelRestoresTheTableAndOkSavesIt()
{
    const ChannelUITable atOpen = channelsUI();
    select(2);
    chooseColor(QColor(255, 0, 0), &SettingsChannelsPage::onColor1);
    m_page->action_Down();
    m_page->channelModel()->item(0)->setCheckState(Qt::Unchecked);
    QCOMPARE(runAndPress(*m_dialog, QDialogButtonBox::Cancel), int(QDialog::Rejected));
    for (int code = 0; code < ChannelCode::Count; ++code) {
        QCOMPARE(channelsUI()[code].rgbColor, atOpen[code].rgbColor);
        QCOMPARE(channelsUI()[code].rgbTubeColor, atOpen[code].rgbTubeColor);
        QCOMPARE(channelsUI()[code].nChannelPos, atOpen[code].nChannelPos);
        QCOMPARE(channelsUI()[code].bEnable, atOpen[code].bEnable);
    }
    QVERIFY(readSettingsFile(QStringLiteral("ChannelsUI")).isEmpty());

    SettingsDlg again(nullptr, m_noDevices, m_noPlugins.path());
    again.channelsPage()->channelList()->setCurrentIndex(again.channelsPage()->channelModel()->index(2, 0));
    again.channelsPage()->action_Down();
    QCOMPARE(runAndPress(again, QDialogButtonBox::Ok), int(QDialog::Accepted));
    ChannelUITable stored;
    ChannelUI::loadAll(stored);
    QCOMPARE(stored[0].nChannelPos, 3);
    QCOMPARE(stored[4].nChannelPos, 2);
}

VUG_TEST_MAIN(TestSettingsChannels, QApplication)
#include "tst_settingschannels.moc"
