#include "ScoringTreeHost.h"

#include "QuestKey.h"

#include <QModelIndex>

Inspection::_Test *ScoringTreeHost::testOfTreeIndex(const QModelIndex &index) const
{
    Inspection *examination = inspection();
    if (!examination || !index.isValid())
        return nullptr;
    QModelIndex top = index;
    while (top.parent().isValid())
        top = top.parent();
    bool isNumber = false;
    const int testIndex = top.siblingAtColumn(0).data(QuestKey::Role).toInt(&isNumber);
    return isNumber ? examination->test(testIndex) : nullptr;
}
