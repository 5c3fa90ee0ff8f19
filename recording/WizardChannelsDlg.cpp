#include "WizardChannelsDlg.h"

#include "data/DefChannel.h"
#include "data/SettingsStore.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QVBoxLayout>

Inspection::_Test *currentWizardTest = nullptr;

namespace {
constexpr int kCodeRole = Qt::UserRole + 1;
const QString kSettingsKey = QStringLiteral("WizardChannelsDlg");

// Derived channels follow their sources and are never set on their own.
bool isListed(int code)
{
    return code != ChannelCode::TGM && code != ChannelCode::AD2 && code != ChannelCode::RG_DIFF;
}

QString channelKey(int code) { return QStringLiteral("Channels-%1").arg(code); }

// The device settings of one record carried to another; a changed gain index
// or zero shift is flagged for the acquisition to send after the value is set.
void applyTo(Inspection::_Channel &target, const Inspection::_Channel &source)
{
    target.Offset = source.Offset;
    target.Amplify = source.Amplify;
    if (target.ADT != source.ADT) {
        target.ADT = source.ADT;
        target.ADTChanged = true;
    }
    if (target.ShiftADT != source.ShiftADT) {
        target.ShiftADT = source.ShiftADT;
        target.ShiftADTChanged = true;
    }
}

void takeCurrent(Inspection::_Channel &saved, const Inspection::_Channel &current)
{
    saved.Offset = current.Offset;
    saved.Amplify = current.Amplify;
    saved.ADT = current.ADT;
    saved.ShiftADT = current.ShiftADT;
}
}  // namespace

WizardChannelsDlg::WizardChannelsDlg(QWidget *parent)
    : QDialog(parent)
    , channelList(new QListView)
    , saveCurrentButton(new QRadioButton(tr("Сохранить ТЕКУЩИЕ настройки каналов")))
    , applySavedButton(new QRadioButton(tr("Применить настройки каналов СОХРАНЕННЫЕ РАНЕЕ")))
    , applyRecommendedButton(new QRadioButton(tr("Применить настройки каналов РЕКОМЕНДОВАННЫЕ ПРОИЗВОДИТЕЛЕМ")))
    , m_model(new QStandardItemModel(this))
{
    setWindowTitle(tr("Мастер настроек каналов"));
    fillList();

    auto *selectAll = new QPushButton(tr("Выбрать все"));
    auto *clearAll = new QPushButton(tr("Очистить все"));
    connect(selectAll, &QPushButton::clicked, this, &WizardChannelsDlg::onSelectAll);
    connect(clearAll, &QPushButton::clicked, this, &WizardChannelsDlg::onClearAll);
    auto *listButtons = new QVBoxLayout;
    listButtons->addWidget(selectAll);
    listButtons->addWidget(clearAll);
    listButtons->addStretch();
    auto *listRow = new QHBoxLayout;
    listRow->addWidget(channelList);
    listRow->addLayout(listButtons);
    saveCurrentButton->setChecked(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Список каналов:")));
    layout->addLayout(listRow);
    layout->addWidget(saveCurrentButton);
    layout->addWidget(applySavedButton);
    layout->addWidget(applyRecommendedButton);
    layout->addSpacing(10);
    layout->addWidget(buttons);
    // The fixed-size hint means nothing on X11; the layout holds the size instead.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(buttons, &QDialogButtonBox::accepted, this, &WizardChannelsDlg::onAccept);
    connect(buttons, &QDialogButtonBox::rejected, this, &WizardChannelsDlg::onReject);

    loadState();
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, &WizardChannelsDlg::onApply);
}

void WizardChannelsDlg::fillList()
{
    DefChannel definitions;
    int widest = 0;
    const QFontMetrics metrics(channelList->font());
    // In display order; a damaged position table falls back to the default order.
    for (const Inspection::_Channel &record : definitions.channels()) {
        if (!isListed(record.Kod))
            continue;
        auto *item = new QStandardItem(DefChannel::channelName(record.Kod, true));
        item->setData(record.Kod, kCodeRole);
        item->setCheckable(true);
        item->setEditable(false);
        m_model->appendRow(item);
        widest = qMax(widest, metrics.horizontalAdvance(item->text()));
    }
    channelList->setModel(m_model);
    channelList->setFixedWidth(widest + 5 * metrics.horizontalAdvance(QLatin1Char('A')));
}

void WizardChannelsDlg::loadState()
{
    const auto settings = SettingsStore::open(kSettingsKey);
    const int stored = SettingsStore::read(*settings, QStringLiteral("mode"), int(SaveCurrent));
    QRadioButton *chosen = stored == ApplySaved         ? applySavedButton
                           : stored == ApplyRecommended ? applyRecommendedButton
                                                        : saveCurrentButton;
    chosen->setChecked(true);
    for (int row = 0; row < m_model->rowCount(); ++row) {
        QStandardItem *item = m_model->item(row);
        const bool checked = SettingsStore::read(*settings, channelKey(item->data(kCodeRole).toInt()), true);
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
}

void WizardChannelsDlg::saveState()
{
    const auto settings = SettingsStore::open(kSettingsKey);
    settings->setValue(QStringLiteral("mode"), int(mode()));
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QStandardItem *item = m_model->item(row);
        settings->setValue(channelKey(item->data(kCodeRole).toInt()), item->checkState() == Qt::Checked);
    }
    settings->sync();
}

WizardChannelsDlg::Mode WizardChannelsDlg::mode() const
{
    if (applyRecommendedButton->isChecked())
        return ApplyRecommended;
    return applySavedButton->isChecked() ? ApplySaved : SaveCurrent;
}

void WizardChannelsDlg::applyChannels()
{
    Inspection::_Test *test = currentWizardTest;
    if (!channelList->model() || !test)
        return;
    DefChannel recommended;
    recommended.applyDefaults(test->idsensor);
    DefChannel saved;
    saved.loadCalibration(test->idsensor);
    saved.loadCalibration(SavedSetupId);
    const Mode chosen = mode();
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QStandardItem *item = m_model->item(row);
        const int code = item->data(kCodeRole).toInt();
        Inspection::_Channel *fromRecommended = recommended.findByCode(code);
        Inspection::_Channel *fromSaved = saved.findByCode(code);
        Inspection::_Channel *live = test->findChannel(code);
        if (item->checkState() != Qt::Checked || !fromRecommended || !fromSaved || !live)
            continue;
        if (chosen == SaveCurrent)
            takeCurrent(*fromSaved, *live);
        else
            applyTo(*live, chosen == ApplySaved ? *fromSaved : *fromRecommended);
    }
    if (chosen == SaveCurrent)
        saved.saveCalibration(SavedSetupId);
}

void WizardChannelsDlg::onAccept()
{
    saveState();
    done(Accepted);
}

void WizardChannelsDlg::onReject() { done(Rejected); }

void WizardChannelsDlg::onApply() { applyChannels(); }

void WizardChannelsDlg::onSelectAll() { setAllChecked(true); }

void WizardChannelsDlg::onClearAll() { setAllChecked(false); }

void WizardChannelsDlg::setAllChecked(bool checked)
{
    for (int row = 0; row < m_model->rowCount(); ++row)
        m_model->item(row)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}
