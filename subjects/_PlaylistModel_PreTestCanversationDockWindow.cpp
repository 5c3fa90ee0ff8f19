#include "_PlaylistModel_PreTestCanversationDockWindow.h"

#include <QFileInfo>
#include <QMediaPlaylist>
#include <QUrl>

_PlaylistModel_PreTestCanversationDockWindow::_PlaylistModel_PreTestCanversationDockWindow(QObject *parent)
    : QAbstractItemModel(parent)
{
}

void _PlaylistModel_PreTestCanversationDockWindow::setPlaylist(QMediaPlaylist *playlist)
{
    beginResetModel();
    if (m_playlist)
        m_playlist->disconnect(this);
    m_playlist = playlist;
    if (m_playlist) {
        connect(m_playlist, &QMediaPlaylist::mediaAboutToBeInserted, this, &_PlaylistModel_PreTestCanversationDockWindow::beginInsertItems);
        connect(m_playlist, &QMediaPlaylist::mediaInserted, this, &_PlaylistModel_PreTestCanversationDockWindow::endInsertItems);
        connect(m_playlist, &QMediaPlaylist::mediaAboutToBeRemoved, this, &_PlaylistModel_PreTestCanversationDockWindow::beginRemoveItems);
        connect(m_playlist, &QMediaPlaylist::mediaRemoved, this, &_PlaylistModel_PreTestCanversationDockWindow::endRemoveItems);
        connect(m_playlist, &QMediaPlaylist::mediaChanged, this, &_PlaylistModel_PreTestCanversationDockWindow::changeItems);
    }
    endResetModel();
}

int _PlaylistModel_PreTestCanversationDockWindow::rowCount(const QModelIndex &parent) const
{
    return m_playlist && !parent.isValid() ? m_playlist->mediaCount() : 0;
}

int _PlaylistModel_PreTestCanversationDockWindow::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QModelIndex _PlaylistModel_PreTestCanversationDockWindow::index(int row, int column, const QModelIndex &parent) const
{
    return hasIndex(row, column, parent) ? createIndex(row, column) : QModelIndex();
}

QModelIndex _PlaylistModel_PreTestCanversationDockWindow::parent(const QModelIndex &) const { return QModelIndex(); }

QVariant _PlaylistModel_PreTestCanversationDockWindow::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole || !m_playlist)
        return QVariant();
    const QVariant stored = m_data.value(index);
    if (stored.isValid())
        return stored;
    const QUrl url = m_playlist->media(index.row()).request().url();
    return QFileInfo(url.path(QUrl::FullyDecoded)).fileName();
}

bool _PlaylistModel_PreTestCanversationDockWindow::setData(const QModelIndex &index, const QVariant &value, int role)
{
    Q_UNUSED(role);
    m_data[index] = value;
    emit dataChanged(index, index);
    return true;
}

void _PlaylistModel_PreTestCanversationDockWindow::beginInsertItems(int start, int end)
{
    m_data.clear();
    beginInsertRows(QModelIndex(), start, end);
}

void _PlaylistModel_PreTestCanversationDockWindow::endInsertItems() { endInsertRows(); }

void _PlaylistModel_PreTestCanversationDockWindow::beginRemoveItems(int start, int end)
{
    m_data.clear();
    beginRemoveRows(QModelIndex(), start, end);
}

void _PlaylistModel_PreTestCanversationDockWindow::endRemoveItems() { endRemoveRows(); }

void _PlaylistModel_PreTestCanversationDockWindow::changeItems(int start, int end)
{
    m_data.clear();
    emit dataChanged(index(start, 0), index(end, 0));
}
