#pragma once

#include <QStyledItemDelegate>

class Inspection;
struct InspectionTest;

// Paints the examination tree's cells (question captions in kind colours,
// answers and picture marks) and writes in-place edits back into the examination.
class _InspectionTreeView_StyledItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    _InspectionTreeView_StyledItemDelegate(Inspection *inspection, QObject *parent);

    void setInspection(Inspection *inspection) { m_inspection = inspection; }
    void setShowExtraInfo(bool show) { m_showExtraInfo = show; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

private:
    InspectionTest *testOf(const QModelIndex &index) const;
    void paintCommentPicture(QPainter *painter, const QStyleOptionViewItem &option) const;
    void paintExtraInfo(QPainter *painter, const QStyleOptionViewItem &option, const InspectionTest &test,
                        int theme) const;
    void renameTest(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const;
    void editQuestion(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const;

    Inspection *m_inspection;
    bool m_showExtraInfo = false;
};
