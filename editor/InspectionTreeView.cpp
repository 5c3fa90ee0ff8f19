#include "InspectionTreeView.h"

#include "MimeFormats.h"
#include "QuestionDrop.h"
#include "SubjectGrowth.h"
#include "_InspectionTreeView_StyledItemDelegate.h"
#include "data/Diagnostics.h"
#include "data/QuestTypeColor.h"
#include "data/SharedHelpers.h"

#include <QDrag>
#include <QTimer>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMimeData>
#include <QPainter>
#include <QStandardItemModel>
#include <QToolTip>

namespace {

constexpr int kIndexRole = Qt::UserRole + 1;
constexpr int kNamedHeaders = 10;

const QBrush &recordedTestBrush()
{
    static const QBrush brush(QColor(200, 200, 200));
    return brush;
}

const QBrush &recordedCellBrush()
{
    static const QBrush brush(QColor(240, 240, 240));
    return brush;
}

const QBrush &nullQuestionBrush()
{
    static const QBrush brush(QColor(127, 127, 127));
    return brush;
}

// An item of the model at (row, column) under parent, made when missing.
QStandardItem *itemAt(QStandardItemModel *model, QStandardItem *parent, int row, int column)
{
    QStandardItem *item = parent ? parent->child(row, column) : model->item(row, column);
    if (item)
        return item;
    item = new QStandardItem;
    if (parent)
        parent->setChild(row, column, item);
    else
        model->setItem(row, column, item);
    return item;
}

void setEditable(QStandardItem *item, bool editable, bool dropTarget)
{
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled;
    if (editable)
        flags |= Qt::ItemIsEditable;
    if (editable && dropTarget)
        flags |= Qt::ItemIsDropEnabled;
    item->setFlags(flags);
}

// The picture a cursor shows while a drag copies or moves.
QPixmap dragCursor(int height, const QColor &fill, const QString &text)
{
    QPixmap picture(120, qMax(height, 1));
    picture.fill(fill);
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    painter.drawText(picture.rect(), Qt::AlignCenter, text);
    return picture;
}

}  // namespace

InspectionTreeView::InspectionTreeView(int mode)
    : m_mode(mode)
{
}

void InspectionTreeView::fillModel(Inspection *inspection, bool keep, Inspection::_Test *test)
{
    QVector<QPair<int, int>> chain;
    for (QModelIndex index = currentIndex(); index.isValid(); index = index.parent())
        chain.prepend({index.row(), index.column()});
    m_inspection = inspection;

    const bool fresh = !keep || !m_model;
    QStandardItemModel *previous = fresh ? m_model : nullptr;
    if (fresh)
        m_model = new QStandardItemModel(this);
    const int oldColumns = m_model->columnCount();
    QVector<int> widths;
    for (int column = 0; column < oldColumns; ++column)
        widths.append(columnWidth(column));

    const int testCount = inspection ? inspection->tests.size() : 0;
    m_model->setRowCount(testCount);
    int columns = 1;
    for (int i = 0; i < testCount; ++i) {
        Inspection::_Test &each = inspection->tests[i];
        columns = qMax(columns, each.lastGroup());
        fillTest(i, each, &each == test);
    }
    m_model->setColumnCount(columns);
    for (int column = 0; column < qMin(columns, kNamedHeaders); ++column)
        m_model->setHorizontalHeaderItem(column, new QStandardItem(romanNumeral(column + 1)));

    if (fresh)
        installModel(previous);
    m_delegate->setInspection(inspection);
    setColumnWidths(fresh || columns != oldColumns, widths);
    for (int i = 0; i < testCount; ++i)
        setFirstColumnSpanned(i, QModelIndex(), true);
    restorePosition(chain);
    emit modelFilled();
}

// The new model and a new delegate replace the old ones, which are deleted.
void InspectionTreeView::installModel(QStandardItemModel *previous)
{
    QItemSelectionModel *previousSelection = selectionModel();
    _InspectionTreeView_StyledItemDelegate *previousDelegate = m_delegate;
    m_delegate = new _InspectionTreeView_StyledItemDelegate(m_inspection, this);
    setItemDelegate(m_delegate);
    setModel(m_model);
    delete previousSelection;
    delete previousDelegate;
    delete previous;
    setUpView();
}

void InspectionTreeView::setUpView()
{
    setExpandsOnDoubleClick(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDefaultDropAction(Qt::CopyAction);
    setIndentation(30);
    setAlternatingRowColors(true);
}

void InspectionTreeView::fillTest(int index, Inspection::_Test &test, bool rebuild)
{
    QStandardItem *item = itemAt(m_model, nullptr, index, 0);
    item->setText(test.headerText());
    QFont font = item->font();
    font.setWeight(QFont::Bold);
    item->setFont(font);
    item->setData(index, kIndexRole);
    item->setData(test.Comments.isEmpty() ? QVariant() : test.Comments, Qt::ToolTipRole);
    item->setData(test.recorded ? recordedTestBrush() : QVariant(), Qt::BackgroundRole);
    setEditable(item, !test.recorded, false);
    if (rebuild)
        item->removeRows(0, item->rowCount());

    const int recordedCount = test.recorded ? test.presentationCount() : 0;
    int position = 0;
    for (const Inspection::_Order &entry : test.orders) {
        if (entry.Theme < 0 || entry.Group < 0) {
            position = 0;
            continue;
        }
        QStandardItem *cell = itemAt(m_model, item, position++, entry.Group - 1);
        const Inspection::_Theme &question = test.theme(entry.Theme);
        const bool isNull = entry.Theme >= QuestionKind::Null;
        cell->setText(question.Theme);
        cell->setData(question.Theme, Qt::ToolTipRole);
        cell->setData(entry.Theme, kIndexRole);
        cell->setForeground(isNull ? nullQuestionBrush() : QBrush(questTypeColor(question.Type)));
        cell->setData(entry.Group <= recordedCount ? recordedCellBrush() : QVariant(), Qt::BackgroundRole);
        setEditable(cell, !test.recorded, true);
    }
    for (int column = 1; column < recordedCount; ++column) {
        QStandardItem *filler = itemAt(m_model, nullptr, index, column);
        filler->setBackground(recordedTestBrush());
        setEditable(filler, false, false);
    }
}

void InspectionTreeView::setColumnWidths(bool fresh, const QVector<int> &widths)
{
    const int columns = m_model->columnCount();
    if (!fresh) {
        for (int column = 0; column < columns && column < widths.size(); ++column)
            setColumnWidth(column, widths[column]);
        return;
    }
    const int width = (this->width() - 60) / columns;
    for (int column = 0; column < columns; ++column)
        setColumnWidth(column, column == 0 ? width + 40 : width);
}

// The current position again, level by level, each row and column held within what is there now.
void InspectionTreeView::restorePosition(const QVector<QPair<int, int>> &chain)
{
    QModelIndex index;
    for (const auto &level : chain) {
        const int rows = m_model->rowCount(index);
        const int row = qMin(level.first, rows - 1);
        const int column = qMin(level.second, m_model->columnCount(index) - 1);
        qCDebug(vugEditor) << "InspectionTreeView: row" << row << "column" << column << "rows" << rows;
        const QModelIndex next = m_model->index(row, column, index);
        if (!next.isValid())
            break;
        index = next;
    }
    if (index.isValid())
        setCurrentIndex(index);
}

void InspectionTreeView::setShowExtraInfo(bool show)
{
    if (m_delegate)
        m_delegate->setShowExtraInfo(show);
    viewport()->update();
}

void InspectionTreeView::resetDragState()
{
    clearMarker();
    m_dragSource = DragSource();
}

void InspectionTreeView::clearMarker()
{
    m_marker = QRect();
    m_markerAbove = false;
    m_markerBelow = false;
}

Inspection::_Test *InspectionTreeView::testForIndex(const QModelIndex &index) const
{
    if (!index.isValid() || !m_inspection)
        return nullptr;
    const QModelIndex testIndex = index.parent().isValid() ? index.parent() : index;
    return m_inspection->test(testIndex.data(kIndexRole).toInt());
}

bool InspectionTreeView::canShift(int direction) const
{
    const QModelIndex current = currentIndex();
    const Inspection::_Test *test = testForIndex(current);
    if (!current.parent().isValid() || !test || test->recorded)
        return false;
    const int nullCount = test->themisNULL.size();
    const int row = current.row();
    const bool inBlock = row < nullCount ? (direction < 0 ? row >= 1 : row < nullCount - 1)
                                         : (direction < 0 ? row > nullCount : row < model()->rowCount(current.parent()) - 1);
    return inBlock && !isLocked(current) && !isLocked(current.sibling(row + direction, current.column()));
}

bool InspectionTreeView::isLocked(const QModelIndex &index)
{
    return index.isValid() && !(index.flags() & Qt::ItemIsEnabled);
}

void InspectionTreeView::swapQuests(const QModelIndex &src, const QModelIndex &dest)
{
    Inspection::_Test *test = testForIndex(src);
    if (!test || !src.parent().isValid())
        return;
    test->swapOrderThemes(src.column() + 1, src.data(kIndexRole).toInt(), dest.data(kIndexRole).toInt());
    saveAndRefill(test);
}

void InspectionTreeView::saveAndRefill(Inspection::_Test *test)
{
    saveTest(test);
    fillModel(m_inspection, true, test);
}

void InspectionTreeView::saveTest(Inspection::_Test *test)
{
    const StoreResult result = m_inspection->saveTestStruct(test, true);
    if (result == StoreResult::Ok)
        return;
    Inspection *inspection = m_inspection;
    const QUuid id = test->id;
    QTimer::singleShot(0, this, [this, result, inspection, id, path = inspection->path] {
        emit saveRefused(result, path, [inspection, id] {
            Inspection::_Test *again = inspection->testWithId(id);
            return again ? inspection->saveTestStruct(again, true) : StoreResult(StoreResult::NotWritten);
        });
    });
}

QModelIndex InspectionTreeView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    const bool up = cursorAction == MoveUp;
    if (up || cursorAction == MoveDown) {
        const int step = up ? -1 : 1;
        if (modifiers == Qt::ControlModifier) {
            if (!canShift(step))
                return QModelIndex();
            swapQuests(current, current.sibling(current.row() + step, current.column()));
        }
        if (m_mode == 1) {
            const QModelIndex now = currentIndex();
            return now.sibling(now.row() + step, now.column());
        }
        return QTreeView::moveCursor(cursorAction, modifiers);
    }
    if (cursorAction == MoveLeft && current.column() != 0)
        return current.sibling(current.row(), current.column() - 1);
    return QTreeView::moveCursor(cursorAction, modifiers);
}

bool InspectionTreeView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QTreeView::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    const QRect rect = visualRect(index);
    const bool empty = index.data(Qt::ToolTipRole).toString().isEmpty();
    // A test's comments show only over the comment picture at the row's right end.
    const bool offPicture = !index.parent().isValid() && help->pos().x() <= rect.right() - rect.height();
    if (empty || offPicture) {
        QToolTip::hideText();
        event->accept();
        return true;
    }
    return QTreeView::viewportEvent(event);
}

void InspectionTreeView::paintEvent(QPaintEvent *event)
{
    QTreeView::paintEvent(event);
    if (!m_marker.isValid())
        return;
    QPainter painter(viewport());
    painter.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    if (m_markerAbove)
        painter.drawLine(m_marker.topLeft(), m_marker.topRight());
    else if (m_markerBelow)
        painter.drawLine(m_marker.bottomLeft(), m_marker.bottomRight());
    else
        painter.drawRect(m_marker);
}

bool InspectionTreeView::isOwnDrag(const QDropEvent *event) const
{
    return event->source() == this;
}

bool InspectionTreeView::hasAcceptedFormat(const QMimeData *mime) const
{
    return mime->hasFormat(MimeFormats::plainTextFormat) || mime->hasFormat(MimeFormats::methodicDragFormat)
           || mime->hasFormat(MimeFormats::questionDragFormat);
}

bool InspectionTreeView::isRecordedTestItem(const QModelIndex &index) const
{
    const Inspection::_Test *test = testForIndex(index);
    return test && test->recorded;
}

void InspectionTreeView::startDrag(Qt::DropActions supportedActions)
{
    Q_UNUSED(supportedActions);
    QDrag *drag = prepareDrag();
    if (!drag)
        return;
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    drag->deleteLater();
    resetDragState();
}

QDrag *InspectionTreeView::prepareDrag()
{
    const QModelIndex index = currentIndex();
    QMimeData *mime = index.isValid() ? dragData(index) : nullptr;
    if (!mime)
        return nullptr;
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    const QPixmap picture = dragPicture(index);
    drag->setPixmap(picture);
    drag->setHotSpot(QPoint(picture.width() / 2, picture.height() / 2));
    drag->setDragCursor(dragCursor(picture.height(), Qt::white, tr(" + копирование ")), Qt::CopyAction);
    drag->setDragCursor(dragCursor(picture.height(), Qt::cyan, tr(" -> перемещение ")), Qt::MoveAction);
    return drag;
}

QMimeData *InspectionTreeView::dragData(const QModelIndex &index)
{
    Inspection::_Test *test = testForIndex(index);
    if (!test)
        return nullptr;
    if (!index.parent().isValid())
        return MimeFormats::treeTestDrag(*test);
    m_dragSource = {index.column(), index.row(), index.parent().row()};
    const Inspection::_Order *entry = test->orderTheme(index.column() + 1, index.row());
    if (!entry)
        return nullptr;
    const Inspection::_Theme &question = test->theme(entry->Theme);
    const int kind = question.SubType >= 0 ? question.SubType : question.Type;
    return MimeFormats::treeQuestionDrag(kind, question.Theme);
}

QPixmap InspectionTreeView::dragPicture(const QModelIndex &index) const
{
    QStyleOptionViewItem option = viewOptions();
    option.rect = visualRect(index);
    QPixmap picture(itemDelegate()->sizeHint(option, index));
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(index.data(Qt::ForegroundRole).value<QBrush>().color());
    painter.drawText(picture.rect(), Qt::AlignLeft | Qt::AlignVCenter, index.data(Qt::DisplayRole).toString());
    return picture;
}

void InspectionTreeView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!hasAcceptedFormat(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(isOwnDrag(event) ? Qt::MoveAction : Qt::CopyAction);
    event->accept();
    viewport()->update();
}

void InspectionTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    QTreeView::dragMoveEvent(event);
    const QMimeData *mime = event->mimeData();
    event->ignore();
    clearMarker();
    viewport()->update();
    if (!hasAcceptedFormat(mime))
        return;
    const QModelIndex index = indexAt(event->pos());
    if (isRecordedTestItem(index) || isLocked(index))
        return;
    const QRect rect = visualRect(index);
    if (mime->hasFormat(MimeFormats::methodicDragFormat)) {
        if (!index.isValid() && !takesOnlyMoves())
            event->acceptProposedAction();
        return;
    }
    if (!index.parent().isValid())
        return;
    if (!mime->hasFormat(MimeFormats::questionDragFormat)) {
        if (takesOnlyMoves())
            return;
        m_marker = rect;
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    MimeFormats::Question question;
    if (!MimeFormats::decodeQuestion(mime->data(MimeFormats::questionDragFormat), question))
        return;
    const QuestionDrop::Decision decision = questionDecision(event, index, question);
    if (!decision.accepted || (takesOnlyMoves() && !decision.move))
        return;
    m_marker = rect;
    m_markerAbove = decision.edge == QuestionDrop::Above;
    m_markerBelow = decision.edge == QuestionDrop::Below;
    event->setDropAction(decision.move ? Qt::MoveAction : Qt::CopyAction);
    event->accept();
}

QuestionDrop::Decision InspectionTreeView::questionDecision(const QDropEvent *event, const QModelIndex &target,
                                                            const MimeFormats::Question &question) const
{
    const bool sameColumn = m_dragSource.testRow == target.parent().row() && m_dragSource.column == target.column();
    const Inspection::_Theme &theme = testForIndex(target)->theme(target.data(kIndexRole).toInt());
    const QRect rect = visualRect(target);
    return QuestionDrop::decide(question.kind, theme.Type, isOwnDrag(event), sameColumn, event->pos().y(),
                                rect.top(), rect.bottom());
}

void InspectionTreeView::dragLeaveEvent(QDragLeaveEvent *event)
{
    QTreeView::dragLeaveEvent(event);
    clearMarker();
    viewport()->update();
}

void InspectionTreeView::dropEvent(QDropEvent *event)
{
    QTreeView::dropEvent(event);
    const QMimeData *mime = event->mimeData();
    const QModelIndex index = indexAt(event->pos());
    const bool refused = isLocked(index) || (takesOnlyMoves() && !mime->hasFormat(MimeFormats::questionDragFormat));
    if (m_inspection && !refused) {
        if (mime->hasFormat(MimeFormats::methodicDragFormat))
            dropTest(mime->data(MimeFormats::methodicDragFormat), index);
        else if (mime->hasFormat(MimeFormats::questionDragFormat))
            dropQuestion(event, index);
        else if (mime->hasFormat(MimeFormats::plainTextFormat))
            dropPlainText(mime->data(MimeFormats::plainTextFormat), index);
    }
    resetDragState();
    viewport()->update();
}

void InspectionTreeView::dropTest(const QByteArray &payload, const QModelIndex &target)
{
    Inspection::_Test test;
    if (target.isValid() || !MimeFormats::acceptTest(payload, test, this)
        || !SubjectGrowth::allows(this, *m_inspection, test, tr("тест не добавлен")))
        return;
    m_inspection->appendTest(test);
    Inspection::_Test *added = &m_inspection->tests.last();
    saveTest(added);
    fillModel(m_inspection, true, nullptr);
    // Growing the test list may have moved every test: the editor announces them again.
    emit changeTest(added);
}

void InspectionTreeView::dropQuestion(QDropEvent *event, const QModelIndex &target)
{
    MimeFormats::Question question;
    Inspection::_Test *test = testForIndex(target);
    if (!target.parent().isValid() || !test || test->recorded
        || !MimeFormats::decodeQuestion(event->mimeData()->data(MimeFormats::questionDragFormat), question))
        return;
    const QuestionDrop::Decision decision = questionDecision(event, target, question);
    const QModelIndex source = target.sibling(m_dragSource.row, m_dragSource.column);
    if (!decision.accepted || (takesOnlyMoves() && (!decision.move || isLocked(source))))
        return;
    const bool fromTree = isOwnDrag(event);
    const auto land = [&](Inspection::_Test &changed) {
        QuestionDrop drop(changed, target.column() + 1, target.row(), target.data(kIndexRole).toInt());
        if (decision.edge == QuestionDrop::Middle)
            drop.overwrite(question, fromTree);
        else if (decision.move)
            drop.move(m_dragSource.row, decision.edge);
        else
            drop.insert(question, decision.edge);
    };
    if (!SubjectGrowth::grow(this, *m_inspection, *test, land, tr("вопрос не добавлен")))
        return;
    event->setDropAction(decision.move ? Qt::MoveAction : Qt::CopyAction);
    event->accept();
    saveAndRefill(test);
}

void InspectionTreeView::dropPlainText(const QByteArray &payload, const QModelIndex &target)
{
    Inspection::_Test *test = testForIndex(target);
    if (!target.parent().isValid() || !test || test->recorded)
        return;
    const int theme = target.data(kIndexRole).toInt();
    const QString text = MimeFormats::decodePlainText(payload).text;
    test->theme(theme).Theme = theme < QuestionKind::Null ? QuestionDrop::singleLine(text) : text;
    saveAndRefill(test);
}
