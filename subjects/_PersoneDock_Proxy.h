#pragma once

#include "PersoneDockWindow.h"

#include <QSortFilterProxyModel>

class QFileSystemModel;

// What the subject tree shows of the file system: of the data root's parent
// only the data root, and below it folders and subject files (*.qmz, in any
// case), no companion folder "__1__" and no hidden entry. A subject's tool tip is its pre-test conversation text.
class PersoneDockWindow::_Proxy : public QSortFilterProxyModel
{
public:
    _Proxy(QFileSystemModel *files, const QString &rootPath, PreTestTextCache *texts, QObject *parent);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QFileSystemModel *m_files;
    QString m_rootPath;
    PreTestTextCache *m_texts;
};
