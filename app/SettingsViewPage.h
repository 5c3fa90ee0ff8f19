#pragma once

#include "data/GenericSettings.h"

#include <QWidget>

class QCheckBox;

// The "Просмотр полиграмм" page: captions when a polygram is reviewed.
class SettingsViewPage : public QWidget
{
public:
    SettingsViewPage(const GenericSettings &loaded, QWidget *parent);
    void apply(GenericSettings &settings) const;

    QCheckBox *labelsBox() const { return m_labels; }
    QCheckBox *answersBox() const { return m_answers; }  // for tests

private:
    QCheckBox *m_labels;
    QCheckBox *m_answers;
};
