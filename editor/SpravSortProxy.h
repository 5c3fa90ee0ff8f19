#pragma once

#include <QSortFilterProxyModel>

// The order of a reference-book tree: containers before questions or tests,
// each class by its text in plain code-unit order.
class SpravSortProxy : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit SpravSortProxy(QObject *parent = nullptr);

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;
};
