#pragma once

#include <QAbstractItemModel>
#include <QMap>

class QMediaPlaylist;

// One row per item of a playlist, following the playlist's own signals; a
// row shows the item's file name unless a value was set for it.
class _PlaylistModel_PreTestCanversationDockWindow : public QAbstractItemModel
{
    Q_OBJECT
public:
    explicit _PlaylistModel_PreTestCanversationDockWindow(QObject *parent = nullptr);

    void setPlaylist(QMediaPlaylist *playlist);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::DisplayRole) override;

private slots:
    void beginInsertItems(int start, int end);
    void endInsertItems();
    void beginRemoveItems(int start, int end);
    void endRemoveItems();
    void changeItems(int start, int end);

private:
    QMediaPlaylist *m_playlist = nullptr;
    QMap<QModelIndex, QVariant> m_data;
};
