#pragma once

#include <QDockWidget>

class QListView;

// Links to subject files chosen elsewhere ("Ярлыки выбранных обследуемых"),
// tabbed with the pre-test conversation. It keeps no links yet: its list stays empty.
class PersoneLinkDockWindow : public QDockWidget
{
    Q_OBJECT
public:
    explicit PersoneLinkDockWindow(QWidget *parent = nullptr);

    void clearSelection();

signals:
    void notificationChangedPerosneSignal(QString fileOld, QString fileNew, QObject *pSender);
    void notificationChangedPerosneSignal_ForSync(QString file);
    // Asks the editor whether the open examination has a recorded test.
    void notificationIsRecordedTest(bool *recorded);

public slots:
    void onCreatePersoneLinkAndVerify(QString file);

private:
    QListView *m_list;
};
