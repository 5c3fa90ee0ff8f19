#pragma once

#include "FragmentPicture.h"
#include "PointsPanelOptions.h"
#include "QuestKey.h"

#include <QVector>

class QStandardItemModel;

// The images of a fragment list for the cells chosen in the points tree: one
// cell gives every question of its presentation that is in use and passes the
// panel's kind filter, in question or presentation order; several cells give
// one image each. Absent entries read as defaults; nothing is inserted.
class FragmentListFill
{
public:
    static constexpr int PlainPictureRole = Qt::UserRole + 2;

    FragmentListFill(Inspection &examination, int scale, const PointsPanelOptions &panel, int unit);

    // How the panel draws its fragments at that height unit.
    static FragmentOptions fragmentOptions(const PointsPanelOptions &panel, int unit);

    // A new model; currentRow receives the row of the current cell's question, or -1.
    QStandardItemModel *build(const QVector<QJsonObject> &selected, const QuestKey &current, int *currentRow) const;

private:
    QVector<int> questionsOf(const InspectionTest &test, const QuestKey &cell) const;
    bool passesKind(const InspectionTest &test, int quest) const;
    void appendImage(QStandardItemModel &model, const QJsonObject &key, const QuestKey &place) const;

    Inspection &m_examination;
    int m_scale;
    PointsPanelOptions m_panel;
    FragmentOptions m_options;
};
