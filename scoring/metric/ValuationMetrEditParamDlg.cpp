#include "ValuationMetrEditParamDlg.h"

#include "MetricParamTable.h"

#include "app/services/SettingsFields.h"
#include "data/DefChannel.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

const QChar kLineBreak('\n');

// The second line of a description, empty when it has none.
QString secondLine(const QString &description)
{
    return description.split(kLineBreak).value(1);
}

}  // namespace

ValuationMetrEditParamDlg::ValuationMetrEditParamDlg(QWidget *parent, const Inspection::_MetricParam *edited)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(tr("Редактирование параметра метрической оценки"));
    m_name = new QLineEdit(this);
    m_channel = new QComboBox(this);
    m_kind = new QComboBox(this);
    const double coefficient = edited && !edited->Name.isEmpty() ? edited->dK : 1.0;
    m_coefficient = SettingsFields::realField(coefficient, -100.0, 100.0, QDoubleValidator::StandardNotation, this);
    m_coefficient->setFixedWidth(50);
    m_description = new QLineEdit(this);
    fillChannels();
    fillKinds();

    auto *form = new QFormLayout;
    form->addRow(tr("Наименование параметра:"), m_name);
    form->addRow(tr("Канал:"), m_channel);
    form->addRow(tr("Тип измерения:"), m_kind);
    form->addRow(tr("Коэффициент инверсии:"), m_coefficient);
    form->addRow(tr("Описание:"), m_description);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ValuationMetrEditParamDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ValuationMetrEditParamDlg::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    // The layout fixes the size the window system is not asked for.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    if (edited && !edited->Name.isEmpty())
        showParam(*edited);
    else
        param.uid = QUuid::createUuid();
}

void ValuationMetrEditParamDlg::fillChannels()
{
    DefChannel channels;
    for (int position = 0; position < ChannelCode::Count; ++position) {
        if (const Inspection::_Channel *channel = channels.findByPosition(position))
            m_channel->addItem(DefChannel::channelName(channel->Kod, true), int(channel->Kod));
    }
}

void ValuationMetrEditParamDlg::fillKinds()
{
    for (int kind : {1, 2, 4, 5})
        m_kind->addItem(MetricParamTable::measureKindText(kind), kind);
}

void ValuationMetrEditParamDlg::showParam(const Inspection::_MetricParam &edited)
{
    m_name->setText(edited.Name);
    m_channel->setCurrentIndex(m_channel->findData(int(edited.nKodChannel)));
    m_kind->setCurrentIndex(m_kind->findData(edited.eMet));
    m_channel->setEnabled(false);
    m_kind->setEnabled(false);
    m_description->setText(edited.sDescription);
    if (edited.bAuto) {
        m_name->setEnabled(false);
        m_description->setText(secondLine(edited.sDescription));
    }
    param = edited;
    m_coefficient->setFocus();
}

void ValuationMetrEditParamDlg::accept()
{
    SettingsFields fields;
    double coefficient = param.dK;
    fields.read(m_coefficient, coefficient);
    if (QLineEdit *refused = fields.firstRefused()) {
        refused->setFocus();
        return;
    }
    param.Name = m_name->text();
    // The boxes of an existing parameter are locked: its channel and kind
    // stay, even one the boxes do not offer.
    if (m_channel->isEnabled())
        param.nKodChannel = qint16(m_channel->currentData().toInt());
    if (m_kind->isEnabled())
        param.eMet = m_kind->currentData().toInt();
    param.dK = coefficient;
    param.bEnable = true;
    param.sDescription = storedDescription();
    if (param.Name.isEmpty())
        return;
    done(QDialog::Accepted);
}

// An automatic parameter's first line names its catalogue entry; only the line after it is the examiner's.
QString ValuationMetrEditParamDlg::storedDescription() const
{
    if (!param.bAuto)
        return m_description->text();
    const QString first = param.sDescription.split(kLineBreak).first();
    return m_description->text().isEmpty() ? first : first + kLineBreak + m_description->text();
}
