#pragma once

#include <QDockWidget>

class QListView;

// The found subjects ("Найденные обследуемые"). It searches nothing yet: its
// list stays empty.
class PersoneSearchDockWindow : public QDockWidget
{
    Q_OBJECT
public:
    explicit PersoneSearchDockWindow(QWidget *parent = nullptr);

    void clearSelection();

signals:
    void notificationChangedPerosneSignal(QString fileOld, QString fileNew, QObject *pSender);
    void notificationChangedPerosneSignal_ForSync(QString file);
    void notyfyCreatePersoneLinkAndVerifyFromSearch(QString file);

private:
    QListView *m_list;
};
