#include "app/SettingsChannelsPage.h"

#include "app/SettingsDlg.h"
#include "app/services/SettingsFields.h"
#include "data/DefChannel.h"
#include "data/SharedHelpers.h"
#include "resources/VugResources.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr int kCodeRole = Qt::UserRole + 1;
// The band colour that goes with a newly chosen signal colour.
constexpr int kTubeLightness = 220;

QPushButton *swatchButton(QWidget *parent)
{
    auto *button = new QPushButton(QStringLiteral("   "), parent);
    button->setAutoFillBackground(true);
    return button;
}

void showAsItem(const InspectionChannel &channel, QStandardItem *item)
{
    item->setText(DefChannel::channelName(channel.Kod, true));
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    item->setCheckState(*channel.Enable ? Qt::Checked : Qt::Unchecked);
    item->setData(channel.Kod, kCodeRole);
    if (*channel.Enable) {
        item->setBackground(QBrush(*channel.TubeColor, Qt::SolidPattern));
        item->setForeground(QBrush(*channel.Color));
    } else {
        item->setData(QVariant(), Qt::BackgroundRole);
        item->setForeground(QBrush(QColor(200, 200, 200)));
    }
}

}  // namespace

SettingsChannelsPage::SettingsChannelsPage(DefChannel &channels, QWidget *parent) : QWidget(parent), m_channels(channels)
{
    initVugResources();
    auto *heading = new QHBoxLayout;
    heading->addWidget(new QLabel(SettingsDlg::tr("Список каналов по умолчанию:"), this), 0,
                       Qt::AlignLeft | Qt::AlignBottom);
    auto *tools = new QToolBar(this);
    QAction *up = tools->addAction(VugImages::icon(QStringLiteral("up.png")), QStringLiteral("to up"));
    QAction *down = tools->addAction(VugImages::icon(QStringLiteral("down.png")), QStringLiteral("to down"));
    connect(up, &QAction::triggered, this, &SettingsChannelsPage::action_Up);
    connect(down, &QAction::triggered, this, &SettingsChannelsPage::action_Down);
    heading->addWidget(tools, 0, Qt::AlignRight);

    m_list = new QTreeView(this);
    m_model = new QStandardItemModel(0, 1, this);
    m_model->setHorizontalHeaderLabels({SettingsDlg::tr("Название канала")});
    m_list->setModel(m_model);
    fillList();
    connect(m_model, &QStandardItemModel::itemChanged, this, &SettingsChannelsPage::onItemChanged);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &SettingsChannelsPage::onSelectionChcnge);

    auto *page = new QVBoxLayout(this);
    page->addLayout(heading);
    page->addWidget(m_list);
    page->addWidget(buildParameterGroup());
}

QWidget *SettingsChannelsPage::buildParameterGroup()
{
    auto *group = SettingsFields::groupBox(SettingsDlg::tr("Параметры канала"), this);
    m_invert = new QCheckBox(SettingsDlg::tr("инверсия сигнала"), group);
    m_contrast = new QCheckBox(SettingsDlg::tr("контрастность реакции"), group);
    m_color1 = swatchButton(group);
    m_color2 = swatchButton(group);
    m_penWidth = new QLineEdit(group);
    m_penWidth->setValidator(new QIntValidator(ChannelUI::kPenWidthMin, ChannelUI::kPenWidthMax, m_penWidth));
    connect(m_invert, &QAbstractButton::released, this, &SettingsChannelsPage::onInvert);
    connect(m_contrast, &QAbstractButton::released, this, &SettingsChannelsPage::onContrast);
    connect(m_color1, &QAbstractButton::released, this, &SettingsChannelsPage::onColor1);
    connect(m_color2, &QAbstractButton::released, this, &SettingsChannelsPage::onColor2);
    connect(m_penWidth, &QLineEdit::textChanged, this, &SettingsChannelsPage::customSlot);

    auto *grid = new QGridLayout(group);
    grid->addWidget(m_invert, 0, 0, 1, 2);
    grid->addWidget(m_contrast, 1, 0, 1, 2);
    grid->addWidget(new QLabel(SettingsDlg::tr("цвет сигнала:"), group), 2, 0);
    grid->addWidget(m_color1, 2, 1);
    grid->addWidget(new QLabel(SettingsDlg::tr("цвет трубы:"), group), 3, 0);
    grid->addWidget(m_color2, 3, 1);
    grid->addWidget(new QLabel(SettingsDlg::tr("толщина линии:"), group), 4, 0);
    grid->addWidget(m_penWidth, 4, 1);
    return group;
}

QString SettingsChannelsPage::swatchStyle(const QColor &color)
{
    return QStringLiteral("background-color: rgb(%1, %2, %3); border:5px solid rgb(%1, %2, %3);")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue());
}

void SettingsChannelsPage::fillList()
{
    // Setting an item's data signals itemChanged; that is our own doing, not the examiner's.
    m_filling = true;
    const DefChannel::Records ordered = m_channels.sortedByPosition();
    for (int row = 0; row < int(ordered.size()); ++row) {
        if (!m_model->item(row))
            m_model->appendRow(new QStandardItem);
        showAsItem(ordered[row], m_model->item(row));
    }
    m_filling = false;
    m_list->resizeColumnToContents(0);
}

void SettingsChannelsPage::showChannel(const InspectionChannel &channel)
{
    m_invert->setChecked(*channel.Inverse);
    m_contrast->setChecked(*channel.Amp2);
    m_penWidth->setText(QString::number(*channel.PenWidth));
    m_color1->setStyleSheet(swatchStyle(*channel.Color));
    m_color2->setStyleSheet(swatchStyle(*channel.TubeColor));
}

InspectionChannel *SettingsChannelsPage::channelAtRow(int row)
{
    const QStandardItem *item = m_model->item(row);
    return item ? m_channels.findByCode(item->data(kCodeRole).toInt()) : nullptr;
}

InspectionChannel *SettingsChannelsPage::selectedChannel()
{
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() ? channelAtRow(current.row()) : nullptr;
}

void SettingsChannelsPage::onSelectionChcnge(const QItemSelection &, const QItemSelection &)
{
    if (InspectionChannel *channel = selectedChannel())
        showChannel(*channel);
}

void SettingsChannelsPage::onItemChanged(QStandardItem *item)
{
    if (m_filling || !item)
        return;
    InspectionChannel *channel = m_channels.findByCode(item->data(kCodeRole).toInt());
    if (!channel)
        return;
    // The item's own state, not a toggle: itemChanged also reports changes that
    // are no tick at all.
    *channel->Enable = item->checkState() == Qt::Checked;
    fillList();
}

void SettingsChannelsPage::onInvert()
{
    if (InspectionChannel *channel = selectedChannel())
        *channel->Inverse = m_invert->isChecked();
}

void SettingsChannelsPage::onContrast()
{
    if (InspectionChannel *channel = selectedChannel())
        *channel->Amp2 = m_contrast->isChecked();
}

void SettingsChannelsPage::customSlot(const QString &)
{
    // An empty or half-typed width would draw the trace with a zero pen.
    InspectionChannel *channel = selectedChannel();
    if (channel && m_penWidth->hasAcceptableInput())
        *channel->PenWidth = m_penWidth->text().toInt();
}

void SettingsChannelsPage::recolour(QColor *InspectionChannel::*colour)
{
    InspectionChannel *channel = selectedChannel();
    if (!channel)
        return;
    const QColor chosen = QColorDialog::getColor(*(channel->*colour), window());
    if (!chosen.isValid())
        return;
    *(channel->*colour) = chosen;
    if (colour == &InspectionChannel::Color)
        *channel->TubeColor = withLightness(chosen, kTubeLightness);
    showChannel(*channel);
    fillList();
}

void SettingsChannelsPage::onColor1() { recolour(&InspectionChannel::Color); }

void SettingsChannelsPage::onColor2() { recolour(&InspectionChannel::TubeColor); }

void SettingsChannelsPage::action_Up() { moveChannel(-1); }

void SettingsChannelsPage::action_Down() { moveChannel(+1); }

void SettingsChannelsPage::moveChannel(int step)
{
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid() || step == 0)
        return;
    const int row = current.row();
    const int target = row + step;
    if (target < 0 || target >= m_model->rowCount())
        return;
    InspectionChannel *moved = channelAtRow(row);
    InspectionChannel *passed = channelAtRow(target);
    if (!moved || !passed)
        return;
    // Exchanged, not shifted, so the positions stay each of 0-12 once.
    std::swap(*passed->ChannelPos, *moved->ChannelPos);
    fillList();
    m_list->setCurrentIndex(m_model->index(target, 0));
}
