#pragma once

#include <QDockWidget>

// The found subjects ("Найденные обследуемые"). It searches nothing yet: its
// list stays empty.
class PersoneSearchDockWindow : public QDockWidget
{
    Q_OBJECT
public:
    explicit PersoneSearchDockWindow(QWidget *parent = nullptr);

signals:
    void notificationChangedPerosneSignal(QString fileOld, QString fileNew, QObject *pSender);
    void notificationChangedPerosneSignal_ForSync(QString file);
    void notyfyCreatePersoneLinkAndVerifyFromSearch(QString file);
};
