#pragma once

#include <QSortFilterProxyModel>

class QFileSystemModel;

// What the subject tree shows of the file system: of the data root's parent
// only the data root, and below it no companion folder "__1__" and no hidden entry.
class _PersoneDock_Proxy : public QSortFilterProxyModel
{
public:
    _PersoneDock_Proxy(QFileSystemModel *files, const QString &rootPath, QObject *parent);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QFileSystemModel *m_files;
    QString m_rootPath;
};
