#include "_PersoneDock_Proxy.h"

#include <QFileInfo>
#include <QFileSystemModel>

PersoneDockWindow::_Proxy::_Proxy(QFileSystemModel *files, const QString &rootPath, PreTestTextCache *texts,
                                  QObject *parent)
    : QSortFilterProxyModel(parent),
      m_files(files),
      m_rootPath(QFileInfo(rootPath).absoluteFilePath()),
      m_texts(texts)
{
    setSourceModel(files);
}

QVariant PersoneDockWindow::_Proxy::data(const QModelIndex &index, int role) const
{
    if (role == Qt::ToolTipRole && index.isValid()) {
        const QString text = m_texts->text(m_files->filePath(mapToSource(index)));
        if (!text.isEmpty())
            return text;
    }
    return QSortFilterProxyModel::data(index, role);
}

Qt::ItemFlags PersoneDockWindow::_Proxy::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QSortFilterProxyModel::flags(index);
    if (m_files->filePath(mapToSource(index)).compare(m_rootPath, Qt::CaseInsensitive) == 0)
        flags &= ~Qt::ItemIsEditable;
    return flags;
}

bool PersoneDockWindow::_Proxy::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    const QModelIndex index = m_files->index(sourceRow, 0, sourceParent);
    const QString path = m_files->filePath(index);
    if (path.compare(m_rootPath, Qt::CaseInsensitive) == 0)
        return true;
    // The folders above the root carry it; their other entries stay out.
    if (!path.startsWith(m_rootPath + QLatin1Char('/'), Qt::CaseInsensitive))
        return m_rootPath.startsWith(path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/'));
    const QString name = m_files->fileName(index);
    if (name.startsWith(QLatin1Char('.')) || name.compare(QLatin1String("__1__"), Qt::CaseInsensitive) == 0)
        return false;
    return m_files->isDir(index) || name.endsWith(QLatin1String(".qmz"), Qt::CaseInsensitive);
}
