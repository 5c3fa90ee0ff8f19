#pragma once

#include "fancy/FancyMainWindow.h"

class Inspection;
class QLabel;

// The metric window: measured parameters per question, weighted and compared.
class InspectionAnalysisMetrFancy : public Fancy::FancyMainWindow
{
    Q_OBJECT
public:
    explicit InspectionAnalysisMetrFancy(QWidget *parent = nullptr);

    // Reloads the examination's metric parameters and refills the tables.
    void reload();

public slots:
    void onChangedPersone(QString path, Inspection *inspection);

signals:
    void notifyPlayPoligrammeFromMetr(int test, int position);
    void notifyShowPoligrammeFromMetr(int test, int position, int channel);

private:
    Inspection *m_inspection = nullptr;
    QLabel *m_summary;
};
