#include "data/BinaryJson.h"
#include "data/Inspection.h"
#include "editor/InspectionTreeView.h"
#include "editor/MimeFormats.h"
#include "editor/_InspectionTreeView_StyledItemDelegate.h"
#include "tests/data/PlanFixtures.h"
#include "tests/data/StoreFixtures.h"
#include "tests/polygram/RecordingPaintDevice.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QDrag>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QToolTip>

#include <memory>

using PlanFixtures::addGroups;
using PlanFixtures::groupOrder;

namespace {

constexpr int kIndexRole = Qt::UserRole + 1;

// The view with the drag's origin under the test's control: synthetic drag
// events carry no source, and QDrag::exec cannot run offscreen.
class Tree : public InspectionTreeView
{
public:
    explicit Tree(int mode) : InspectionTreeView(mode) {}
    using InspectionTreeView::prepareDrag;
    using InspectionTreeView::viewOptions;
    bool ownDrag = false;

protected:
    bool isOwnDrag(const QDropEvent *) const override { return ownDrag; }
};

// Test 0: null n0, n1 and q0 (П), q1 (Н), r1 (R1) in three presentations, with a comment.
Inspection::_Test editableTest()
{
    Inspection::_Test test(QStringLiteral("Кража"));
    test.addTheme(QStringLiteral("q0"), QuestionKind::Test, 1, -1);
    test.addTheme(QStringLiteral("q1"), QuestionKind::Neutral, 1, -1);
    test.addTheme(QStringLiteral("r1"), QuestionKind::IntR, 1, -1);
    test.addTheme(QStringLiteral("n0"), QuestionKind::Null, 1, -1);
    test.addTheme(QStringLiteral("n1"), QuestionKind::Null, 1, -1);
    addGroups(test, 3);
    test.Comments = QStringLiteral("Комментарий");
    return test;
}

// Test 1: recorded in two of its three presentations.
Inspection::_Test recordedTest()
{
    Inspection::_Test test(QStringLiteral("Записанный"));
    test.addTheme(QStringLiteral("c0"), QuestionKind::Control, 1, -1);
    test.addTheme(QStringLiteral("z0"), QuestionKind::Null, 1, -1);
    addGroups(test, 3);
    test.DateTimeRecorded = QDateTime(QDate(2024, 3, 5), QTime(14, 7));
    test.dataGSR = QVector<qint16>(400, 1);
    for (int g = 1; g <= 2; ++g) {
        Inspection::_Label mark;
        mark.Group = qint16(g);
        mark.Theme = 0;
        mark.TickQStart = 100 * g;
        mark.TickQEnd = mark.TickQStart + 20;
        test.appendLabel(mark);
    }
    return test;
}

// The test structures as stored, read behind the store's back.
QVector<Inspection::_Test> storedTests(const QString &path)
{
    QVector<Inspection::_Test> tests;
    for (const InspectionStore::Row &row : StoreFixtures::rowsOf(path, InspectionDataType::Struct)) {
        QJsonObject document;
        if (!BinaryJson::decode(row.data, document))
            continue;
        Inspection::_Test test;
        test.fromJson(document.value(QStringLiteral("struct")).toObject());
        tests.append(test);
    }
    return tests;
}

const Inspection::_Test *storedTest(const QVector<Inspection::_Test> &tests, const QString &name)
{
    for (const Inspection::_Test &test : tests) {
        if (test.name == name)
            return &test;
    }
    return nullptr;
}

struct DragResult {
    bool accepted = false;
    Qt::DropAction action = Qt::IgnoreAction;
};

// Enter and move at a point and, when the move is accepted and drop is set, drop there.
DragResult dragTo(Tree &tree, const QMimeData *mime, const QPoint &point, bool drop)
{
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(point, actions, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &enter);
    QDragMoveEvent move(point, actions, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &move);
    DragResult result{move.isAccepted(), move.dropAction()};
    if (drop && result.accepted) {
        QDropEvent dropEvent(point, actions, mime, Qt::LeftButton, Qt::NoModifier);
        dropEvent.setDropAction(move.dropAction());
        QApplication::sendEvent(tree.viewport(), &dropEvent);
    }
    return result;
}

enum Spot { Top, Middle, Bottom };

QPoint spotOf(const QRect &rect, Spot spot)
{
    const int mid = (rect.top() + rect.bottom()) / 2;
    return QPoint(rect.center().x(), spot == Top ? mid - 3 : spot == Bottom ? mid + 3 : mid);
}

}  // namespace

Q_DECLARE_METATYPE(Inspection::_Test *)

class TestInspectionTreeView : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<Inspection::_Test *>("Inspection::_Test*"); }
    void init();
    void cleanup();

    void columnsHeadersAndRoles();
    void oneColumnWithoutPresentations();
    void elevenPresentations();
    void refillKeepsExpansionWidthsAndPosition();
    void rebuiltTestAndClampedPosition();
    void toolTipsOfTestsOnlyOverThePicture();

    void shiftingStopsAtBlockEdges();
    void shiftingSavesWithUndo();
    void cursorInTheReorderingMode();

    void dropFromTheQuestionsDock();
    void dropWithinAColumn();
    void dropFromAnotherColumnCopies();
    void methodicOnlyOverEmptySpace();
    void damagedMethodicIsRefused();
    void recordedTestsRefuseDrops();
    void plainTextReplacesTheText();
    void markerEdges();
    void startedDrags();

    void delegateCaptions();
    void delegateExtraInformation();
    void nothingBeyondTheLastPresentation();
    void renamingTests();
    void editingQuestions();

private:
    QModelIndex cell(int test, int row, int column) const;
    void load();

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    std::unique_ptr<Inspection> m_inspection;
    std::unique_ptr<Tree> m_tree;
};

void TestInspectionTreeView::init()
{
    m_dir.reset(new QTemporaryDir);
    m_path = m_dir->filePath(QStringLiteral("Обследуемый.qmz"));
    Inspection written(m_path);
    written.appendTest(editableTest());
    written.appendTest(recordedTest());
    written.saveTestStruct(&written.tests[0]);
    written.saveTestStruct(&written.tests[1]);
    QCOMPARE(written.saveRecording(&written.tests[1]), StoreResult::Ok);
    load();
}

void TestInspectionTreeView::load()
{
    m_inspection.reset(new Inspection);
    QCOMPARE(m_inspection->load(m_path), StoreResult::Ok);
    // Recorded tests sort first; keep the editable one at row 0.
    std::reverse(m_inspection->tests.begin(), m_inspection->tests.end());
    QCOMPARE(m_inspection->tests[0].name, QStringLiteral("Кража"));
    for (Inspection::_Test &test : m_inspection->tests)
        m_inspection->loadRecording(&test, true);
    m_tree.reset(new Tree(0));
    m_tree->resize(900, 500);
    m_tree->fillModel(m_inspection.get(), false, nullptr);
    m_tree->expandAll();
    m_tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_tree.get()));
}

void TestInspectionTreeView::cleanup()
{
    m_tree.reset();
    m_inspection.reset();
    m_dir.reset();
}

QModelIndex TestInspectionTreeView::cell(int test, int row, int column) const
{
    return m_tree->model()->index(row, column, m_tree->model()->index(test, 0));
}

void TestInspectionTreeView::columnsHeadersAndRoles()
{
    QAbstractItemModel *model = m_tree->model();
    QCOMPARE(model->columnCount(), 3);
    for (int column = 0; column < 3; ++column)
        QCOMPARE(model->headerData(column, Qt::Horizontal).toString(), QStringList({"I", "II", "III"})[column]);
    QVERIFY(m_tree->isFirstColumnSpanned(0, QModelIndex()));
    QVERIFY(m_tree->isFirstColumnSpanned(1, QModelIndex()));

    const QModelIndex editable = model->index(0, 0);
    QCOMPARE(editable.data().toString(), QStringLiteral("Кража"));
    QVERIFY(editable.data(Qt::FontRole).value<QFont>().bold());
    QCOMPARE(editable.data(kIndexRole).toInt(), 0);
    QCOMPARE(editable.data(Qt::ToolTipRole).toString(), QStringLiteral("Комментарий"));
    QVERIFY(!editable.data(Qt::BackgroundRole).isValid());
    QVERIFY(model->flags(editable) & Qt::ItemIsEditable);

    const QModelIndex recorded = model->index(1, 0);
    QCOMPARE(recorded.data().toString(), QStringLiteral("Записанный (05.03.2024 14:07)"));
    QCOMPARE(recorded.data(kIndexRole).toInt(), 1);
    QCOMPARE(recorded.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(200, 200, 200));
    QVERIFY(!(model->flags(recorded) & Qt::ItemIsEditable));
    QVERIFY(model->flags(recorded) & Qt::ItemIsSelectable);
    // Its row is grey up to its last recorded presentation.
    QCOMPARE(model->index(1, 1).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(200, 200, 200));
    QVERIFY(!model->index(1, 2).data(Qt::BackgroundRole).isValid());

    const QStringList texts = {"n0", "n1", "q0", "q1", "r1"};
    const QVector<int> indexes = {10000, 10001, 0, 1, 2};
    const QVector<QColor> colours = {QColor(127, 127, 127), QColor(127, 127, 127), QColor(127, 0, 0),
                                     QColor(0, 127, 0), QColor(127, 0, 0)};
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 5; ++row) {
            const QModelIndex question = cell(0, row, column);
            QCOMPARE(question.data().toString(), texts[row]);
            QCOMPARE(question.data(Qt::ToolTipRole).toString(), texts[row]);
            QCOMPARE(question.data(kIndexRole).toInt(), indexes[row]);
            QCOMPARE(question.data(Qt::ForegroundRole).value<QBrush>().color(), colours[row]);
            QVERIFY(!question.data(Qt::BackgroundRole).isValid());
            QVERIFY(model->flags(question) & Qt::ItemIsEditable);
            QVERIFY(model->flags(question) & Qt::ItemIsDropEnabled);
        }
    }
    // The recorded presentations' cells are grey; none can be edited.
    for (int column = 0; column < 3; ++column) {
        const QModelIndex question = cell(1, 1, column);
        QCOMPARE(question.data().toString(), QStringLiteral("c0"));
        QCOMPARE(question.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 0, 127));
        QCOMPARE(question.data(Qt::BackgroundRole).isValid(), column < 2);
        if (column < 2)
            QCOMPARE(question.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(240, 240, 240));
        QVERIFY(!(model->flags(question) & (Qt::ItemIsEditable | Qt::ItemIsDropEnabled)));
    }
}

void TestInspectionTreeView::oneColumnWithoutPresentations()
{
    Inspection empty;
    empty.appendTest(Inspection::_Test(QStringLiteral("Пустой")));
    Tree tree(0);
    tree.fillModel(&empty, false, nullptr);
    QCOMPARE(tree.model()->columnCount(), 1);
    QCOMPARE(tree.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("I"));
    QCOMPARE(tree.model()->rowCount(tree.model()->index(0, 0)), 0);

    Inspection none;
    tree.fillModel(&none, true, nullptr);
    QCOMPARE(tree.model()->rowCount(), 0);
    QCOMPARE(tree.model()->columnCount(), 1);
}

void TestInspectionTreeView::elevenPresentations()
{
    addGroups(m_inspection->tests[0], 11);
    m_tree->fillModel(m_inspection.get(), true, nullptr);
    QAbstractItemModel *model = m_tree->model();
    QCOMPARE(model->columnCount(), 11);
    QCOMPARE(model->headerData(8, Qt::Horizontal).toString(), QStringLiteral("IX"));
    QCOMPARE(model->headerData(9, Qt::Horizontal).toString(), QStringLiteral("X"));
    QCOMPARE(model->headerData(10, Qt::Horizontal).toString(), QStringLiteral("11"));
    QCOMPARE(cell(0, 4, 10).data().toString(), QStringLiteral("r1"));
    // The column count changed: the widths are shared out again.
    const int width = (m_tree->width() - 60) / 11;
    QCOMPARE(m_tree->columnWidth(0), width + 40);
    QCOMPARE(m_tree->columnWidth(5), width);
}

void TestInspectionTreeView::refillKeepsExpansionWidthsAndPosition()
{
    QAbstractItemModel *model = m_tree->model();
    const int width = (m_tree->width() - 60) / 3;
    QCOMPARE(m_tree->columnWidth(0), width + 40);
    QCOMPARE(m_tree->columnWidth(1), width);

    m_tree->collapse(model->index(1, 0));
    m_tree->setColumnWidth(1, 123);
    m_tree->setCurrentIndex(cell(0, 3, 1));
    m_inspection->tests[0].name = QStringLiteral("Кража 2");
    QTest::ignoreMessage(QtDebugMsg, "InspectionTreeView: row 0 column 0 rows 2");
    QTest::ignoreMessage(QtDebugMsg, "InspectionTreeView: row 3 column 1 rows 5");
    m_tree->fillModel(m_inspection.get(), true, nullptr);
    QCOMPARE(m_tree->model(), model);
    QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Кража 2"));
    QVERIFY(m_tree->isExpanded(model->index(0, 0)));
    QVERIFY(!m_tree->isExpanded(model->index(1, 0)));
    QCOMPARE(m_tree->columnWidth(1), 123);
    QCOMPARE(m_tree->currentIndex(), cell(0, 3, 1));

    // Without keep: a new model, the widths shared out again, the position kept.
    m_tree->fillModel(m_inspection.get(), false, nullptr);
    QVERIFY(m_tree->model() != model);
    QCOMPARE(m_tree->columnWidth(1), width);
    QCOMPARE(m_tree->currentIndex(), cell(0, 3, 1));
}

void TestInspectionTreeView::rebuiltTestAndClampedPosition()
{
    Inspection::_Test &test = m_inspection->tests[0];
    m_tree->setCurrentIndex(cell(0, 4, 2));
    // The test loses question r1; the current position stays within what is left.
    test.themis.removeLast();
    test.orders.erase(std::remove_if(test.orders.begin(), test.orders.end(),
                                     [](const Inspection::_Order &entry) { return entry.Theme == 2; }),
                      test.orders.end());
    QCOMPARE(test.planFault(), QString());
    m_tree->fillModel(m_inspection.get(), true, nullptr);
    QCOMPARE(m_tree->model()->rowCount(m_tree->model()->index(0, 0)), 5);  // not rebuilt
    m_tree->fillModel(m_inspection.get(), true, &test);
    QCOMPARE(m_tree->model()->rowCount(m_tree->model()->index(0, 0)), 4);
    QCOMPARE(cell(0, 3, 2).data().toString(), QStringLiteral("q1"));
    QCOMPARE(m_tree->currentIndex(), cell(0, 3, 2));
}

void TestInspectionTreeView::toolTipsOfTestsOnlyOverThePicture()
{
    const QRect row = m_tree->visualRect(m_tree->model()->index(0, 0));
    QHelpEvent offPicture(QEvent::ToolTip, QPoint(row.left() + 5, row.center().y()),
                          m_tree->viewport()->mapToGlobal(QPoint(row.left() + 5, row.center().y())));
    QApplication::sendEvent(m_tree->viewport(), &offPicture);
    QVERIFY(!QToolTip::isVisible());

    const QPoint onPicture(row.right() - row.height() / 2, row.center().y());
    QHelpEvent over(QEvent::ToolTip, onPicture, m_tree->viewport()->mapToGlobal(onPicture));
    QApplication::sendEvent(m_tree->viewport(), &over);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("Комментарий"));
    QToolTip::hideText();
}

void TestInspectionTreeView::shiftingStopsAtBlockEdges()
{
    const QVector<Inspection::_Order> before = m_inspection->tests[0].orders;
    // The first regular question cannot go up, the last null one not down.
    m_tree->setCurrentIndex(cell(0, 2, 0));
    QVERIFY(!m_tree->canShift(-1));
    QVERIFY(m_tree->canShift(1));
    QTest::keyClick(m_tree.get(), Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(m_tree->currentIndex(), cell(0, 2, 0));
    m_tree->setCurrentIndex(cell(0, 1, 0));
    QVERIFY(!m_tree->canShift(1));
    QVERIFY(m_tree->canShift(-1));
    QTest::keyClick(m_tree.get(), Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(m_tree->currentIndex(), cell(0, 1, 0));
    m_tree->setCurrentIndex(cell(0, 4, 0));
    QVERIFY(!m_tree->canShift(1));
    QCOMPARE(groupOrder(m_inspection->tests[0], 1), (QVector<int>{10000, 10001, 0, 1, 2}));
    // Neither test items nor recorded questions move.
    m_tree->setCurrentIndex(m_tree->model()->index(0, 0));
    QVERIFY(!m_tree->canShift(1));
    m_tree->setCurrentIndex(cell(1, 0, 2));
    QVERIFY(!m_tree->canShift(1));
    QVERIFY(!m_inspection->canUndo(&m_inspection->tests[0]));
}

void TestInspectionTreeView::shiftingSavesWithUndo()
{
    m_tree->setCurrentIndex(cell(0, 3, 1));
    QTest::keyClick(m_tree.get(), Qt::Key_Up, Qt::ControlModifier);
    const Inspection::_Test &test = m_inspection->tests[0];
    QCOMPARE(groupOrder(test, 2), (QVector<int>{10000, 10001, 1, 0, 2}));
    QCOMPARE(groupOrder(test, 1), (QVector<int>{10000, 10001, 0, 1, 2}));
    QCOMPARE(m_tree->currentIndex(), cell(0, 2, 1));
    QCOMPARE(cell(0, 2, 1).data().toString(), QStringLiteral("q1"));
    QVERIFY(m_inspection->canUndo(&test));
    const QVector<Inspection::_Test> stored = storedTests(m_path);
    QCOMPARE(groupOrder(*storedTest(stored, QStringLiteral("Кража")), 2), (QVector<int>{10000, 10001, 1, 0, 2}));

    m_tree->setCurrentIndex(cell(0, 0, 1));
    QTest::keyClick(m_tree.get(), Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(groupOrder(test, 2), (QVector<int>{10001, 10000, 1, 0, 2}));
    QCOMPARE(m_tree->currentIndex(), cell(0, 1, 1));
}

void TestInspectionTreeView::cursorInTheReorderingMode()
{
    Tree tree(1);
    tree.fillModel(m_inspection.get(), false, nullptr);
    tree.expandAll();
    auto at = [&tree](int row, int column) {
        return tree.model()->index(row, column, tree.model()->index(0, 0));
    };
    tree.setCurrentIndex(at(3, 1));
    QTest::keyClick(&tree, Qt::Key_Up);
    QCOMPARE(tree.currentIndex(), at(2, 1));
    QTest::keyClick(&tree, Qt::Key_Down);
    QTest::keyClick(&tree, Qt::Key_Down);
    QCOMPARE(tree.currentIndex(), at(4, 1));
    QTest::keyClick(&tree, Qt::Key_Left);
    QCOMPARE(tree.currentIndex(), at(4, 0));
    // Ctrl+Up moves the question and the cursor stays on it.
    QTest::keyClick(&tree, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(tree.currentIndex(), at(3, 0));
    QCOMPARE(at(3, 0).data().toString(), QStringLiteral("r1"));
    QCOMPARE(groupOrder(m_inspection->tests[0], 1), (QVector<int>{10000, 10001, 0, 2, 1}));
    // At the block's edge the cursor stays.
    tree.setCurrentIndex(at(2, 0));
    QTest::keyClick(&tree, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(tree.currentIndex(), at(2, 0));
}

void TestInspectionTreeView::dropFromTheQuestionsDock()
{
    const Inspection::_Test &test = m_inspection->tests[0];
    QSignalSpy changes(m_tree.get(), &InspectionTreeView::changeTest);
    std::unique_ptr<QMimeData> mime(MimeFormats::questionsDockDrag(2, QStringLiteral("Новый"), 77));

    // More than 2 px above the middle of row 2 of column II: a new question there.
    DragResult result = dragTo(*m_tree, mime.get(), spotOf(m_tree->visualRect(cell(0, 2, 1)), Top), true);
    QVERIFY(result.accepted);
    QCOMPARE(result.action, Qt::CopyAction);
    QCOMPARE(test.themis.size(), 4);
    QCOMPARE(test.themis[3].Theme, QStringLiteral("Новый"));
    QCOMPARE(groupOrder(test, 2), (QVector<int>{10000, 10001, 3, 0, 1, 2}));
    QCOMPARE(groupOrder(test, 1), (QVector<int>{10000, 10001, 0, 1, 2, 3}));
    QCOMPARE(groupOrder(test, 3), (QVector<int>{10000, 10001, 0, 1, 2, 3}));
    QCOMPARE(cell(0, 2, 1).data().toString(), QStringLiteral("Новый"));
    QVERIFY(m_inspection->canUndo(&test));
    QCOMPARE(storedTest(storedTests(m_path), QStringLiteral("Кража"))->themis.size(), 4);

    // Below the middle of row 2: a new question at row 3.
    dragTo(*m_tree, mime.get(), spotOf(m_tree->visualRect(cell(0, 2, 1)), Bottom), true);
    QCOMPARE(groupOrder(test, 2), (QVector<int>{10000, 10001, 3, 4, 0, 1, 2}));

    // Within 2 px of the middle: the question there takes text and kind.
    std::unique_ptr<QMimeData> relevant(MimeFormats::questionsDockDrag(104, QStringLiteral("Переписан"), 78));
    result = dragTo(*m_tree, relevant.get(), spotOf(m_tree->visualRect(cell(0, 5, 1)), Middle), true);
    QVERIFY(result.accepted);
    QCOMPARE(test.themis.size(), 5);
    QCOMPARE(test.themis[1].Theme, QStringLiteral("Переписан"));
    QCOMPARE(int(test.themis[1].Type), 2);
    QCOMPARE(int(test.themis[1].SubType), 104);
    QCOMPARE(int(test.themis[1].Number), 2);
    QCOMPARE(changes.count(), 0);

    // A question with a kind never goes onto a null question.
    QVERIFY(!dragTo(*m_tree, relevant.get(), spotOf(m_tree->visualRect(cell(0, 0, 1)), Top), false).accepted);
    // A malformed payload is refused.
    QMimeData threeLines;
    threeLines.setData(MimeFormats::questionDragFormat, QByteArray("1\na\nb"));
    QVERIFY(!dragTo(*m_tree, &threeLines, spotOf(m_tree->visualRect(cell(0, 2, 1)), Top), false).accepted);
}

void TestInspectionTreeView::dropWithinAColumn()
{
    const Inspection::_Test &test = m_inspection->tests[0];
    m_tree->ownDrag = true;
    m_tree->setCurrentIndex(cell(0, 4, 0));
    std::unique_ptr<QDrag> drag(m_tree->prepareDrag());
    QVERIFY(drag);

    // On the top edge of row 2: r1 moves there, in presentation I only.
    DragResult result = dragTo(*m_tree, drag->mimeData(), spotOf(m_tree->visualRect(cell(0, 2, 0)), Top), true);
    QVERIFY(result.accepted);
    QCOMPARE(result.action, Qt::MoveAction);
    QCOMPARE(groupOrder(test, 1), (QVector<int>{10000, 10001, 2, 0, 1}));
    QCOMPARE(groupOrder(test, 2), (QVector<int>{10000, 10001, 0, 1, 2}));
    QCOMPARE(test.themis[0].Theme, QStringLiteral("q0"));

    // On the middle of another question: text and kind are copied onto it.
    m_tree->setCurrentIndex(cell(0, 2, 0));
    drag.reset(m_tree->prepareDrag());
    result = dragTo(*m_tree, drag->mimeData(), spotOf(m_tree->visualRect(cell(0, 4, 0)), Middle), true);
    QCOMPARE(result.action, Qt::CopyAction);
    QCOMPARE(test.themis[1].Theme, QStringLiteral("r1"));
    QCOMPARE(int(test.themis[1].SubType), 104);
    QCOMPARE(groupOrder(test, 1), (QVector<int>{10000, 10001, 2, 0, 1}));
    QCOMPARE(test.planFault(), QString());
}

void TestInspectionTreeView::dropFromAnotherColumnCopies()
{
    const Inspection::_Test &test = m_inspection->tests[0];
    m_tree->ownDrag = true;
    m_tree->setCurrentIndex(cell(0, 2, 0));
    std::unique_ptr<QDrag> drag(m_tree->prepareDrag());
    const DragResult result
        = dragTo(*m_tree, drag->mimeData(), spotOf(m_tree->visualRect(cell(0, 3, 1)), Top), true);
    QCOMPARE(result.action, Qt::CopyAction);
    QCOMPARE(test.themis[1].Theme, QStringLiteral("q0"));
    QCOMPARE(int(test.themis[1].Type), 2);
    QCOMPARE(groupOrder(test, 2), (QVector<int>{10000, 10001, 0, 1, 2}));
}

void TestInspectionTreeView::methodicOnlyOverEmptySpace()
{
    QSignalSpy changes(m_tree.get(), &InspectionTreeView::changeTest);
    std::unique_ptr<QMimeData> mime(MimeFormats::methodicsDockDrag(editableTest(), 5));
    QVERIFY(!dragTo(*m_tree, mime.get(), spotOf(m_tree->visualRect(cell(0, 2, 0)), Middle), false).accepted);
    QVERIFY(!dragTo(*m_tree, mime.get(), spotOf(m_tree->visualRect(m_tree->model()->index(0, 0)), Middle), false)
                 .accepted);

    const QPoint empty(20, m_tree->viewport()->height() - 5);
    QVERIFY(!m_tree->indexAt(empty).isValid());
    const DragResult result = dragTo(*m_tree, mime.get(), empty, true);
    QVERIFY(result.accepted);
    QCOMPARE(result.action, Qt::CopyAction);
    QCOMPARE(m_inspection->tests.size(), 3);
    QVERIFY(m_inspection->tests[2].id != m_inspection->tests[0].id);
    QCOMPARE(m_tree->model()->rowCount(), 3);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.first().first().value<Inspection::_Test *>(), &m_inspection->tests[2]);
    QCOMPARE(storedTests(m_path).size(), 3);
}

void TestInspectionTreeView::damagedMethodicIsRefused()
{
    Inspection::_Test damaged = editableTest();
    for (Inspection::_Order &entry : damaged.orders)
        entry.Group = entry.Group == 3 ? 30000 : entry.Group;
    std::unique_ptr<QMimeData> mime(MimeFormats::treeTestDrag(damaged));
    MessageBoxAnswerer answerer({QMessageBox::Ok});
    QString title;
    answerer.whileAsking = [&title] { title = QApplication::activeModalWidget()->windowTitle(); };
    QSignalSpy changes(m_tree.get(), &InspectionTreeView::changeTest);
    dragTo(*m_tree, mime.get(), QPoint(20, m_tree->viewport()->height() - 5), true);
    QCOMPARE(answerer.asked().size(), 1);
    QCOMPARE(title, QStringLiteral("Воркел"));
    QCOMPARE(m_inspection->tests.size(), 2);
    QCOMPARE(m_tree->model()->columnCount(), 3);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(storedTests(m_path).size(), 2);
}

void TestInspectionTreeView::recordedTestsRefuseDrops()
{
    const QVector<Inspection::_Order> before = m_inspection->tests[1].orders;
    std::unique_ptr<QMimeData> question(MimeFormats::questionsDockDrag(1, QStringLiteral("x"), 1));
    QMimeData plain;
    plain.setText(QStringLiteral("plain"));
    for (const QMimeData *mime : {static_cast<const QMimeData *>(question.get()), static_cast<const QMimeData *>(&plain)}) {
        for (Spot spot : {Top, Middle, Bottom}) {
            const QPoint point = spotOf(m_tree->visualRect(cell(1, 1, 2)), spot);
            QVERIFY(!dragTo(*m_tree, mime, point, false).accepted);
            // Even a drop that arrives anyway changes nothing.
            QDropEvent drop(point, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(m_tree->viewport(), &drop);
        }
    }
    const Inspection::_Test &test = m_inspection->tests[1];
    QCOMPARE(test.themis.size(), 1);
    QCOMPARE(test.themis[0].Theme, QStringLiteral("c0"));
    QCOMPARE(test.orders.size(), before.size());
    QVERIFY(!m_inspection->canUndo(&test));
}

void TestInspectionTreeView::plainTextReplacesTheText()
{
    QMimeData plain;
    plain.setData(MimeFormats::plainTextFormat, QByteArray("Из\tдругой\nпрограммы"));
    const DragResult result = dragTo(*m_tree, &plain, spotOf(m_tree->visualRect(cell(0, 3, 2)), Top), true);
    QVERIFY(result.accepted);
    QCOMPARE(result.action, Qt::CopyAction);
    QCOMPARE(m_inspection->tests[0].themis[1].Theme, QStringLiteral("Издругойпрограммы"));
    QCOMPARE(m_inspection->tests[0].themis.size(), 3);
    QCOMPARE(cell(0, 3, 0).data().toString(), QStringLiteral("Издругойпрограммы"));
    QVERIFY(m_inspection->canUndo(&m_inspection->tests[0]));
    // Not over a test item.
    QVERIFY(!dragTo(*m_tree, &plain, spotOf(m_tree->visualRect(m_tree->model()->index(0, 0)), Middle), false)
                 .accepted);
}

void TestInspectionTreeView::markerEdges()
{
    std::unique_ptr<QMimeData> mime(MimeFormats::questionsDockDrag(2, QStringLiteral("m"), 1));
    const QRect rect = m_tree->visualRect(cell(0, 3, 1));
    auto pixel = [this](int x, int y) { return m_tree->viewport()->grab().toImage().pixelColor(x, y); };
    const QColor black(Qt::black);
    const int x = rect.center().x();

    dragTo(*m_tree, mime.get(), spotOf(rect, Top), false);
    QCOMPARE(pixel(x, rect.top()), black);
    QVERIFY(pixel(x, rect.bottom()) != black);
    dragTo(*m_tree, mime.get(), spotOf(rect, Bottom), false);
    QCOMPARE(pixel(x, rect.bottom()), black);
    QVERIFY(pixel(x, rect.top()) != black);
    dragTo(*m_tree, mime.get(), spotOf(rect, Middle), false);
    QCOMPARE(pixel(x, rect.top()), black);
    QCOMPARE(pixel(x, rect.bottom()), black);
    QCOMPARE(pixel(rect.right(), rect.center().y()), black);

    QDragLeaveEvent leave;
    QApplication::sendEvent(m_tree->viewport(), &leave);
    QVERIFY(pixel(x, rect.top()) != black);
    QVERIFY(pixel(x, rect.bottom()) != black);
}

void TestInspectionTreeView::startedDrags()
{
    Inspection::_Test &test = m_inspection->tests[0];
    test.themis[1].SubType = -1;  // a question with no chosen kind travels with its class
    m_tree->fillModel(m_inspection.get(), true, nullptr);
    const QVector<QPair<int, QByteArray>> questions = {{2, "2\nq0"}, {3, "0\nq1"}, {4, "104\nr1"}, {0, "10000\nn0"}};
    for (const auto &question : questions) {
        m_tree->setCurrentIndex(cell(0, question.first, 2));
        std::unique_ptr<QDrag> drag(m_tree->prepareDrag());
        QVERIFY(drag);
        QStringList formats = drag->mimeData()->formats();
        formats.sort();
        QStringList expected = {MimeFormats::questionDragFormat, MimeFormats::plainTextFormat};
        expected.sort();
        QCOMPARE(formats, expected);
        QCOMPARE(drag->mimeData()->data(MimeFormats::questionDragFormat), question.second);
        QCOMPARE(drag->mimeData()->text(), QString::fromUtf8(question.second.mid(question.second.indexOf('\n') + 1)));

        const QPixmap copy = drag->dragCursor(Qt::CopyAction);
        const QPixmap move = drag->dragCursor(Qt::MoveAction);
        QCOMPARE(copy.width(), 120);
        QCOMPARE(move.width(), 120);
        QCOMPARE(copy.toImage().pixelColor(0, 0), QColor(Qt::black));
        QCOMPARE(copy.toImage().pixelColor(2, 2), QColor(Qt::white));
        QCOMPARE(move.toImage().pixelColor(2, 2), QColor(Qt::cyan));
        const QPixmap picture = drag->pixmap();
        QVERIFY(!picture.isNull());
        QCOMPARE(copy.height(), picture.height());
        QCOMPARE(drag->hotSpot(), QPoint(picture.width() / 2, picture.height() / 2));
        QCOMPARE(picture.toImage().pixelColor(picture.width() - 1, 0).alpha(), 0);
    }

    m_tree->setCurrentIndex(m_tree->model()->index(0, 0));
    std::unique_ptr<QDrag> drag(m_tree->prepareDrag());
    QCOMPARE(drag->mimeData()->formats(), QStringList({MimeFormats::methodicDragFormat}));
    Inspection::_Test copy;
    QCOMPARE(MimeFormats::decodeTest(drag->mimeData()->data(MimeFormats::methodicDragFormat), copy), QString());
    QCOMPARE(copy.name, QStringLiteral("Кража"));
    QCOMPARE(copy.orders.size(), test.orders.size());

    m_tree->setCurrentIndex(QModelIndex());
    QVERIFY(!m_tree->prepareDrag());
}

void TestInspectionTreeView::delegateCaptions()
{
    QAbstractItemDelegate *delegate = m_tree->itemDelegate();
    QStyleOptionViewItem option = m_tree->viewOptions();
    option.rect = QRect(0, 0, 300, 20);
    const int shift = option.fontMetrics.horizontalAdvance(QStringLiteral("00000"));
    struct Row {
        int row;
        QString caption;
        QColor colour;
    };
    const QVector<Row> rows = {{2, QStringLiteral("01 П"), QColor(127, 0, 0)},
                               {3, QStringLiteral("02 Н"), QColor(0, 127, 0)},
                               {4, QStringLiteral("R1"), QColor(127, 0, 0)}};
    for (const Row &row : rows) {
        RecordingPaintDevice device(QSize(300, 20));
        QPainter painter(&device);
        delegate->paint(&painter, option, cell(0, row.row, 1));
        painter.end();
        const RecordedText *caption = device.findText(row.caption);
        QVERIFY2(caption, qPrintable(device.textStrings().join('|')));
        QCOMPARE(caption->color, row.colour);
        QVERIFY(caption->pos.x() < shift);
        const RecordedText *text = device.findText(cell(0, row.row, 1).data().toString());
        QVERIFY(text);
        QVERIFY(text->pos.x() >= shift);
    }
    // Null questions have no caption; their text is shifted all the same.
    RecordingPaintDevice device(QSize(300, 20));
    QPainter painter(&device);
    delegate->paint(&painter, option, cell(0, 0, 1));
    painter.end();
    QCOMPARE(device.textStrings(), QStringList({"n0"}));
    QVERIFY(device.texts().first().pos.x() >= shift);

    // A test with comments gets the comment picture at the row's right end.
    RecordingPaintDevice testRow(QSize(300, 20));
    QPainter testPainter(&testRow);
    delegate->paint(&testPainter, option, m_tree->model()->index(0, 0));
    testPainter.end();
    QCOMPARE(testRow.images().size(), 1);
    QCOMPARE(testRow.images().first().target, QRectF(280, 0, 20, 20));
    RecordingPaintDevice recordedRow(QSize(300, 20));
    QPainter recordedPainter(&recordedRow);
    delegate->paint(&recordedPainter, option, m_tree->model()->index(1, 0));
    recordedPainter.end();
    QVERIFY(recordedRow.images().isEmpty());
}

void TestInspectionTreeView::delegateExtraInformation()
{
    Inspection::_Test &test = m_inspection->tests[0];
    test.themis[0].Answer = 1;
    test.themis[1].Answer = 0;
    test.themis[0].PhotoImage4 = QByteArray("png");
    test.themis[0].ShowQuestToSecondMonitor = true;
    test.themis[1].PhotoImage4 = QByteArray("png");
    test.themis[2].ShowQuestToSecondMonitor = true;
    QStyleOptionViewItem option = m_tree->viewOptions();
    option.rect = QRect(0, 0, 300, 20);
    const int field = option.fontMetrics.horizontalAdvance(QStringLiteral("0000"));
    auto paint = [&](int row) {
        auto device = std::make_shared<RecordingPaintDevice>(QSize(300, 20));
        QPainter painter(device.get());
        m_tree->itemDelegate()->paint(&painter, option, cell(0, row, 0));
        return device;
    };
    QCOMPARE(paint(2)->textStrings(), QStringList({"01 П", "q0"}));

    m_tree->setShowExtraInfo(true);
    auto first = paint(2);
    QVERIFY(first->findText(QStringLiteral("Да")));
    QCOMPARE(first->findText(QStringLiteral("Да"))->color, QColor(Qt::black));
    QVERIFY(first->findText(QStringLiteral("Да"))->pos.x() >= 300 - field);
    QVERIFY(first->findText(QStringLiteral("ФВ")));
    QCOMPARE(first->findText(QStringLiteral("ФВ"))->color, QColor(Qt::magenta));
    QCOMPARE(first->findText(QStringLiteral("ФВ"))->pos.x(), qreal(300 - 2 * field));
    auto second = paint(3);
    QVERIFY(second->findText(QStringLiteral("Нет")));
    QVERIFY(second->findText(QStringLiteral("Ф")));
    auto third = paint(4);
    QVERIFY(third->findText(QStringLiteral("В")));
    QVERIFY(!third->findText(QStringLiteral("Да")) && !third->findText(QStringLiteral("Нет")));
    // Shown on the second monitor by the test's own flag.
    test.ShowAllQuestSecondMonitor = true;
    QVERIFY(paint(0)->findText(QStringLiteral("В")));
    QVERIFY(paint(3)->findText(QStringLiteral("ФВ")));
}

void TestInspectionTreeView::nothingBeyondTheLastPresentation()
{
    // The third presentation goes; the kept model still has its cells.
    Inspection::_Test &test = m_inspection->tests[0];
    test.orders.erase(std::remove_if(test.orders.begin(), test.orders.end(),
                                     [](const Inspection::_Order &entry) { return entry.Group == 3; }),
                      test.orders.end());
    m_tree->fillModel(m_inspection.get(), true, nullptr);
    QVERIFY(cell(0, 2, 2).isValid());
    QStyleOptionViewItem option = m_tree->viewOptions();
    option.rect = QRect(0, 0, 300, 20);
    RecordingPaintDevice device(QSize(300, 20));
    QPainter painter(&device);
    m_tree->itemDelegate()->paint(&painter, option, cell(0, 2, 2));
    m_tree->itemDelegate()->paint(&painter, option, cell(0, 0, 2));
    painter.end();
    QVERIFY(device.textStrings().isEmpty());
    QVERIFY(device.rects().isEmpty());
}

void TestInspectionTreeView::renamingTests()
{
    QAbstractItemModel *model = m_tree->model();
    auto *delegate = static_cast<_InspectionTreeView_StyledItemDelegate *>(m_tree->itemDelegate());
    QLineEdit editor;
    delegate->setModelData(&editor, model, model->index(0, 0));
    QCOMPARE(m_inspection->tests[0].name, QStringLiteral("Кража"));
    QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Кража"));
    QVERIFY(!m_inspection->canUndo(&m_inspection->tests[0]));

    editor.setText(QStringLiteral("Хищение"));
    delegate->setModelData(&editor, model, model->index(0, 0));
    QCOMPARE(m_inspection->tests[0].name, QStringLiteral("Хищение"));
    QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Хищение"));
    QVERIFY(m_inspection->canUndo(&m_inspection->tests[0]));
    QVERIFY(storedTest(storedTests(m_path), QStringLiteral("Хищение")));
}

void TestInspectionTreeView::editingQuestions()
{
    QAbstractItemModel *model = m_tree->model();
    auto *delegate = static_cast<_InspectionTreeView_StyledItemDelegate *>(m_tree->itemDelegate());
    QSignalSpy changes(m_tree.get(), &InspectionTreeView::changeTest);
    // q0 sits at row 2 of column I and, after a move, at row 3 of column II.
    m_tree->setCurrentIndex(cell(0, 2, 1));
    QTest::keyClick(m_tree.get(), Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(cell(0, 3, 1).data(kIndexRole).toInt(), 0);

    QLineEdit editor(QStringLiteral("Вы\tвзяли\nденьги?\r"));
    delegate->setModelData(&editor, model, cell(0, 3, 1));
    const QString cleaned = QStringLiteral("Вывзялиденьги?");
    QCOMPARE(editor.text(), cleaned);
    QCOMPARE(m_inspection->tests[0].themis[0].Theme, cleaned);
    for (const QModelIndex &shown : {cell(0, 2, 0), cell(0, 3, 1), cell(0, 2, 2)}) {
        QCOMPARE(shown.data().toString(), cleaned);
        QCOMPARE(shown.data(Qt::ToolTipRole).toString(), cleaned);
    }
    QCOMPARE(cell(0, 2, 1).data().toString(), QStringLiteral("q1"));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.first().first().value<Inspection::_Test *>(), &m_inspection->tests[0]);
    QCOMPARE(storedTest(storedTests(m_path), QStringLiteral("Кража"))->themis[0].Theme, cleaned);

    // Null questions keep what was typed.
    editor.setText(QStringLiteral("пауза\tдлинная"));
    delegate->setModelData(&editor, model, cell(0, 1, 0));
    QCOMPARE(m_inspection->tests[0].themisNULL[1].Theme, QStringLiteral("пауза\tдлинная"));
    QCOMPARE(cell(0, 1, 2).data().toString(), QStringLiteral("пауза\tдлинная"));
}

VUG_TEST_MAIN(TestInspectionTreeView, QApplication)
#include "tst_inspectiontreeview.moc"
