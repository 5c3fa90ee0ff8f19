#pragma once

#include "fancy/FancyMainWindow.h"

class Inspection;
class QLabel;

// The points window: reactions scored by points per presentation and channel group.
class InspectionAnalysisBallFancy : public Fancy::FancyMainWindow
{
    Q_OBJECT
public:
    explicit InspectionAnalysisBallFancy(QWidget *parent = nullptr);

    // Recomputes the window title from the examination.
    void updateTitle();

public slots:
    void onChangedPersone(QString path, Inspection *inspection);

signals:
    void notifyPlayPoligrammeFromBall(int test, int position);
    void notifyShowPoligrammeFromBall(int test, int position, int channel);

private:
    Inspection *m_inspection = nullptr;
    QLabel *m_summary;
};
