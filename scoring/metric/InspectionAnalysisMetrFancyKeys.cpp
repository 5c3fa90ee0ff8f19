// Measuring with the keyboard: the picture's corners moved by keys and actions,
// and the next cell taken after a value is stored.
#include "InspectionAnalysisMetrFancy.h"
#include "MetrFancyShared.h"

#include "_QLabel.h"
#include "_QTreeView.h"

#include <QKeyEvent>

using namespace MetrFancy;

void InspectionAnalysisMetrFancy::selectNextCell()
{
    const QModelIndex cell = m_tree->currentIndex();
    const QModelIndex quest = cell.parent();
    const QModelIndex test = quest.parent();
    const QAbstractItemModel *model = m_tree->model();
    QModelIndex next;
    if (test.isValid() && cell.column() >= kFirstParamColumn) {
        next = model->index(cell.row() + 1, cell.column(), quest);
        const QModelIndex nextQuest = model->index(quest.row() + 1, 0, test);
        // An invalid parent would name the top-level rows.
        if (!next.isValid() && nextQuest.isValid())
            next = model->index(0, cell.column(), nextQuest);
        if (!next.isValid()) {
            int column = cell.column() + 1;
            while (column < model->columnCount() && m_tree->isColumnHidden(column))
                ++column;
            next = model->index(0, column, model->index(0, 0, test));
        }
    }
    if (next.isValid() && next.data(kUidRole).isValid()) {
        m_tree->setCurrentIndex(next);
    } else {
        m_tree->clearSelection();
        clearDiagram();
    }
}

bool InspectionAnalysisMetrFancy::eventFilter(QObject *watched, QEvent *event)
{
    // Keys over the results and the picture belong to the measurement.
    if (event->type() == QEvent::KeyPress && isVisible()) {
        auto *key = static_cast<QKeyEvent *>(event);
        moveByKey(key->modifiers(), key->key());
        return true;
    }
    return Fancy::FancyMainWindow::eventFilter(watched, event);
}

void InspectionAnalysisMetrFancy::moveByKey(Qt::KeyboardModifiers modifiers, int key)
{
    if (key == Qt::Key_Shift && modifiers == Qt::ShiftModifier) {
        emitShowPlace();
        return;
    }
    const bool shift = modifiers == Qt::ShiftModifier;
    const bool ctrl = modifiers == Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Escape:
        m_label->restoreCorners();
        break;
    case Qt::Key_Left:
        if (shift || ctrl)
            shift ? onMoveLeftAction() : onMoveLeftAction2();
        break;
    case Qt::Key_Right:
        if (shift || ctrl)
            shift ? onMoveRightAction() : onMoveRightAction2();
        break;
    case Qt::Key_Up:
        if (shift || ctrl)
            shift ? onMoveTopAction() : onMoveTopAction2();
        break;
    case Qt::Key_Down:
        if (shift || ctrl)
            shift ? onMoveBottomAction() : onMoveBottomAction2();
        break;
    case Qt::Key_Space:
        storeMeasurement();
        break;
    default:
        break;
    }
}

void InspectionAnalysisMetrFancy::onMoveLeftAction()
{
    m_label->moveCorners(-1, 0, 0, 0);
}

void InspectionAnalysisMetrFancy::onMoveRightAction()
{
    m_label->moveCorners(1, 0, 0, 0);
}

void InspectionAnalysisMetrFancy::onMoveTopAction()
{
    m_label->moveCorners(0, -1, 0, 0);
}

void InspectionAnalysisMetrFancy::onMoveBottomAction()
{
    m_label->moveCorners(0, 1, 0, 0);
}

void InspectionAnalysisMetrFancy::onMoveLeftAction2()
{
    m_label->moveCorners(0, 0, -1, 0);
}

void InspectionAnalysisMetrFancy::onMoveRightAction2()
{
    m_label->moveCorners(0, 0, 1, 0);
}

void InspectionAnalysisMetrFancy::onMoveTopAction2()
{
    m_label->moveCorners(0, 0, 0, -1);
}

void InspectionAnalysisMetrFancy::onMoveBottomAction2()
{
    m_label->moveCorners(0, 0, 0, 1);
}
