#pragma once

#include "fancy/FancyMainWindow.h"

class Inspection;
class QLabel;

// The review screen: shows the tests of the selected examination as polygrams.
class InspectionPoligrammeFancy : public Fancy::FancyMainWindow
{
    Q_OBJECT
public:
    explicit InspectionPoligrammeFancy(QWidget *parent = nullptr);

    // Shows a test at a position with a channel selected; -1 means none in particular.
    void showTest(int test, int position, int channel);
    // Refills the test list from the current examination.
    void loadInspection();

    int shownTest() const { return m_shownTest; }

public slots:
    void onChangedPersone(QString path, Inspection *inspection);

signals:
    void notifyPlayPoligramme(int test, int position);

private:
    Inspection *m_inspection = nullptr;
    QLabel *m_summary;
    int m_shownTest = -1;
};
