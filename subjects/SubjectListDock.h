#pragma once

#include <QDockWidget>

class QListView;
class QMenu;

// A dock listing subject files, one an entry with its full path in PathRole:
// Ctrl+C and the context menu copy the current entry's questionnaire, show its
// folder, and switch whether a choice here moves the subjects dock along
// ("bEnabledSync", kept in the dock's own settings group, its object name).
class SubjectListDock : public QDockWidget
{
    Q_OBJECT
public:
    ~SubjectListDock() override;

    QListView *listView() const { return m_list; }
    bool isSyncEnabled() const { return bEnabledSync; }  // for tests
    // The context menu for a point of the list's viewport, its actions parented to it.
    virtual QMenu *createContextMenu(const QPoint &pos);

signals:
    void notificationChangedPerosneSignal(QString fileOld, QString fileNew, QObject *pSender);
    void notificationChangedPerosneSignal_ForSync(QString file);

public slots:
    void onCustomContextMenu(const QPoint &pos);
    void onActionInspectionCopy();
    void onActionRunExplorer();
    void onActionMakeSync();

protected:
    SubjectListDock(const QString &title, const QString &name, QWidget *parent);

    static constexpr int PathRole = Qt::UserRole + 1;

    QString currentPath() const;
    // Tells the editor the chosen subject, and the subjects dock too where synchronised.
    void announce(const QString &path);

    QListView *const m_list;

private:
    bool bEnabledSync = false;
};
