#pragma once

#include "fancy/FancyMainWindow.h"

class Inspection;
class PreTestCanversationDockWindow;
class QLabel;

// The examination editor: the subject's tests, questions and presentation groups.
class InspectionEditFancy : public Fancy::FancyMainWindow
{
    Q_OBJECT
public:
    explicit InspectionEditFancy(QWidget *parent = nullptr);

    // Reloads the examination tree and refreshes the actions.
    void updateView();

signals:
    void notifyChangePersone(QString path, Inspection *inspection);
    void notifyDefViewPoligramme(int test);
    void notifyDefRecordPoligramme(int test);

private slots:
    void onChangedPersone(QString path, Inspection *inspection);

private:
    void restoreLayout();

    Inspection *m_inspection = nullptr;
    QLabel *m_summary;
    PreTestCanversationDockWindow *m_preTest;
};
