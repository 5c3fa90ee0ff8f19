#pragma once

#include "data/Inspection.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

// Creates or edits one metric parameter: name, channel, measure kind,
// coefficient and description. An existing parameter keeps its channel, kind
// and identifier; an automatic one also its name and the first line of its
// description. The caller takes param after the dialog was accepted.
class ValuationMetrEditParamDlg : public QDialog
{
    Q_OBJECT
public:
    // A null parameter, or one without a name, makes a new one.
    ValuationMetrEditParamDlg(QWidget *parent, const Inspection::_MetricParam *edited);

    Inspection::_MetricParam param;

    QLineEdit *nameEdit() const { return m_name; }
    QComboBox *channelBox() const { return m_channel; }  // for tests
    QComboBox *kindBox() const { return m_kind; }
    QLineEdit *coefficientEdit() const { return m_coefficient; }  // for tests
    QLineEdit *descriptionEdit() const { return m_description; }  // for tests

public slots:
    // Stores the fields into param and closes; a refused coefficient or an
    // empty name keeps the dialog open.
    void accept() override;

private:
    void fillChannels();
    void fillKinds();
    void showParam(const Inspection::_MetricParam &edited);
    QString storedDescription() const;

    QLineEdit *m_name = nullptr;
    QComboBox *m_channel = nullptr;
    QComboBox *m_kind = nullptr;
    QLineEdit *m_coefficient = nullptr;
    QLineEdit *m_description = nullptr;
};
