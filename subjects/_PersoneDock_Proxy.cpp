#include "_PersoneDock_Proxy.h"

#include <QFileInfo>
#include <QFileSystemModel>

_PersoneDock_Proxy::_PersoneDock_Proxy(QFileSystemModel *files, const QString &rootPath, QObject *parent)
    : QSortFilterProxyModel(parent),
      m_files(files),
      m_rootPath(QFileInfo(rootPath).absoluteFilePath())
{
    setSourceModel(files);
}

bool _PersoneDock_Proxy::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    const QModelIndex index = m_files->index(sourceRow, 0, sourceParent);
    const QString path = m_files->filePath(index);
    if (path == m_rootPath)
        return true;
    // The folders above the root carry it; their other entries stay out.
    if (!path.startsWith(m_rootPath + QLatin1Char('/')))
        return m_rootPath.startsWith(path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/'));
    const QString name = m_files->fileName(index);
    return !name.startsWith(QLatin1Char('.')) && name.compare(QLatin1String("__1__"), Qt::CaseInsensitive) != 0;
}
