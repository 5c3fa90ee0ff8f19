#include "MetricFixtures.h"
#include "scoring/points/QuestKey.h"
#include "scoring/points/ScoringTreeHost.h"
#include "scoring/points/SignBrushes.h"
#include "scoring/points/Style_tweaks.h"
#include "scoring/points/_GridDelegate.h"
#include "scoring/points/_QTreeViewExpand.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleFactory>

using MetricFixtures::presentedTest;

namespace {

class FakeHost : public ScoringTreeHost
{
public:
    int mode = Navigator;
    Inspection *examination = nullptr;
    int inputMode() const override { return mode; }
    Inspection *inspection() const override { return examination; }
};

QStandardItem *testItem(const QString &name, int testIndex)
{
    auto *item = new QStandardItem(name);
    item->setData(testIndex, QuestKey::Role);
    item->setFlags(Qt::NoItemFlags);
    return item;
}

// Column 0 names the row; columns 1..columns are scoring cells.
QList<QStandardItem *> scoringRow(const QString &name, int columns)
{
    QList<QStandardItem *> row{new QStandardItem(name)};
    row.first()->setFlags(Qt::NoItemFlags);
    for (int column = 1; column <= columns; ++column)
        row.append(new QStandardItem(QString::number(column)));
    return row;
}

// Navigator: test rows with three channel rows each. The model's first row
// stands for the examination's second test, as when the first has no recording.
void fillNavigator(QStandardItemModel &model, int columns)
{
    model.setColumnCount(columns + 1);
    for (int testIndex : {1, 2}) {
        QStandardItem *test = testItem(QStringLiteral("тест %1").arg(testIndex), testIndex);
        for (int channel = 0; channel < 3; ++channel)
            test->appendRow(scoringRow(QStringLiteral("канал %1").arg(channel), columns));
        model.appendRow(test);
    }
}

// Expert: a test row, two question rows, three channel rows under each.
void fillExpert(QStandardItemModel &model, int columns)
{
    model.setColumnCount(columns + 1);
    QStandardItem *test = testItem(QStringLiteral("тест"), 1);
    for (int quest = 0; quest < 2; ++quest) {
        QList<QStandardItem *> question = scoringRow(QStringLiteral("вопрос %1").arg(quest), columns);
        for (int channel = 0; channel < 3; ++channel)
            question.first()->appendRow(scoringRow(QStringLiteral("канал %1").arg(channel), columns));
        test->appendRow(question);
    }
    model.appendRow(test);
}

struct Tree {
    Inspection examination;
    FakeHost host;
    QStandardItemModel model;
    _QTreeViewExpand view;
    _GridDelegate delegate{&host};
    Style_tweaks style;

    explicit Tree(int mode)
    {
        // Test 0 has no recording, test 1 three presentations, test 2 two.
        examination.tests = {presentedTest(2, 0), presentedTest(2, 3), presentedTest(2, 2)};
        examination.tests[1].valuationBall_ChannelK[1] = 1.5f;
        host.mode = mode;
        host.examination = &examination;
        if (mode == ScoringTreeHost::Navigator)
            fillNavigator(model, 4);
        else
            fillExpert(model, 4);
        view.setModel(&model);
        view.setItemDelegate(&delegate);
        view.setStyle(&style);
        view.setSelectionBehavior(QAbstractItemView::SelectItems);
        view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        view.resize(800, 400);
        view.header()->resizeSection(0, 300);
    }

    bool show()
    {
        view.show();
        return QTest::qWaitForWindowExposed(&view);
    }

    QModelIndex index(std::initializer_list<int> rows, int column = 0) const
    {
        QModelIndex index;
        auto it = rows.begin();
        for (size_t level = 0; level + 1 < rows.size(); ++level, ++it)
            index = model.index(*it, 0, index);
        return model.index(*it, column, index);
    }

    QImage paintCell(const QModelIndex &index, QStyle::State extra, const QAbstractItemDelegate &painterDelegate)
    {
        QStyleOptionViewItem option;
        option.initFrom(&view);
        option.widget = &view;
        option.rect = QRect(0, 0, 160, 24);
        option.state |= QStyle::State_Enabled | extra;
        QImage image(option.rect.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painterDelegate.paint(&painter, option, index);
        return image;
    }

    QImage grabViewport()
    {
        QImage image(view.viewport()->size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        view.viewport()->render(&image);
        return image;
    }
};

void pressOn(QTreeView &view, const QModelIndex &index, Qt::MouseButton button)
{
    QTest::mousePress(view.viewport(), button, {}, view.visualRect(index).center());
    QTest::mouseRelease(view.viewport(), button, {}, view.visualRect(index).center());
}

}  // namespace

class TestPointsTree : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void pressOnTestNameOpensAndClosesTogether();
    void otherButtonsLeaveSelectionAndCurrent();
    void testOfTreeIndexReadsTheTestRow();
    void hoverOnlyOnScoringCells();
    void weightBesideChannelRows();
    void selectedCellsFramedInDarkBlue();
    void noFocusRectangle();
    void signBrushes();
};

void TestPointsTree::initTestCase()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

void TestPointsTree::pressOnTestNameOpensAndClosesTogether()
{
    Tree tree(ScoringTreeHost::Expert);
    QVERIFY(tree.show());
    const QModelIndex test = tree.index({0});
    const QModelIndex first = tree.index({0, 0}), second = tree.index({0, 1});

    pressOn(tree.view, test, Qt::LeftButton);
    QVERIFY(tree.view.isExpanded(test));
    QVERIFY(tree.view.isExpanded(first) && tree.view.isExpanded(second));

    pressOn(tree.view, test, Qt::LeftButton);
    QVERIFY(tree.view.isExpanded(test));
    QVERIFY(!tree.view.isExpanded(first) && !tree.view.isExpanded(second));

    // One open question is enough to close them all.
    tree.view.expand(second);
    pressOn(tree.view, test, Qt::LeftButton);
    QVERIFY(tree.view.isExpanded(test));
    QVERIFY(!tree.view.isExpanded(first) && !tree.view.isExpanded(second));

    // A left press elsewhere is the normal one: it selects the cell.
    tree.view.expandAll();
    const QModelIndex cell = tree.index({0, 0, 1}, 2);
    pressOn(tree.view, cell, Qt::LeftButton);
    QCOMPARE(tree.view.currentIndex(), cell);
    QVERIFY(tree.view.selectionModel()->isSelected(cell));
}

void TestPointsTree::otherButtonsLeaveSelectionAndCurrent()
{
    Tree tree(ScoringTreeHost::Navigator);
    tree.view.setContextMenuPolicy(Qt::CustomContextMenu);
    QVERIFY(tree.show());
    tree.view.expandAll();
    const QModelIndex selected = tree.index({0, 1}, 1);
    const QModelIndex other = tree.index({1, 2}, 2);
    pressOn(tree.view, selected, Qt::LeftButton);
    QCOMPARE(tree.view.currentIndex(), selected);

    QSignalSpy menu(&tree.view, &QWidget::customContextMenuRequested);
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        // Through the window, as the platform delivers it, so the context menu event follows a right press.
        const QPoint point = tree.view.viewport()->mapTo(&tree.view, tree.view.visualRect(other).center());
        QTest::mousePress(tree.view.windowHandle(), button, {}, point);
        QTest::mouseRelease(tree.view.windowHandle(), button, {}, point);
        QCOMPARE(tree.view.currentIndex(), selected);
        QCOMPARE(tree.view.selectionModel()->selectedIndexes(), QModelIndexList{selected});
    }
    QTRY_COMPARE(menu.count(), 1);
}

void TestPointsTree::testOfTreeIndexReadsTheTestRow()
{
    Tree tree(ScoringTreeHost::Expert);
    // The first row carries test index 1: the row number would give the test without recording.
    QCOMPARE(tree.host.testOfTreeIndex(tree.index({0, 1, 2}, 3)), &tree.examination.tests[1]);
    QCOMPARE(tree.host.testOfTreeIndex(tree.index({0}, 2)), &tree.examination.tests[1]);
    QCOMPARE(tree.host.testOfTreeIndex(QModelIndex()), nullptr);

    tree.model.item(0)->setData(7, QuestKey::Role);
    QCOMPARE(tree.host.testOfTreeIndex(tree.index({0, 0})), nullptr);
    tree.model.item(0)->setData(QVariant(), QuestKey::Role);
    QCOMPARE(tree.host.testOfTreeIndex(tree.index({0, 0})), nullptr);
    tree.model.item(0)->setData(1, QuestKey::Role);
    tree.host.examination = nullptr;
    QCOMPARE(tree.host.testOfTreeIndex(tree.index({0, 0})), nullptr);
}

void TestPointsTree::hoverOnlyOnScoringCells()
{
    // Test 1 has three presentations, test 2 two.
    Tree navigator(ScoringTreeHost::Navigator);
    QVERIFY(navigator.delegate.keepsHover(navigator.index({0, 2}, 3)));
    QVERIFY(navigator.delegate.keepsHover(navigator.index({0, 0}, 0)));
    QVERIFY(!navigator.delegate.keepsHover(navigator.index({0, 2}, 4)));
    QVERIFY(!navigator.delegate.keepsHover(navigator.index({1, 0}, 3)));
    QVERIFY(navigator.delegate.keepsHover(navigator.index({1, 0}, 2)));
    QVERIFY(!navigator.delegate.keepsHover(navigator.index({0}, 0)));
    QVERIFY(!navigator.delegate.keepsHover(navigator.index({0}, 1)));

    Tree expert(ScoringTreeHost::Expert);
    QVERIFY(expert.delegate.keepsHover(expert.index({0}, 1)));
    QVERIFY(expert.delegate.keepsHover(expert.index({0, 1, 2}, 3)));
    QVERIFY(!expert.delegate.keepsHover(expert.index({0, 1, 2}, 4)));
    QVERIFY(!expert.delegate.keepsHover(expert.index({0, 1}, 2)));
    QVERIFY(!expert.delegate.keepsHover(expert.index({0, 1}, 0)));

    // A later change of mode is seen; without an examination hover is left alone.
    expert.host.mode = ScoringTreeHost::Navigator;
    QVERIFY(expert.delegate.keepsHover(expert.index({0, 1}, 2)));
    QVERIFY(!expert.delegate.keepsHover(expert.index({0}, 1)));
    expert.host.examination = nullptr;
    QVERIFY(expert.delegate.keepsHover(expert.index({0}, 1)));
}

void TestPointsTree::weightBesideChannelRows()
{
    QCOMPARE(_GridDelegate::weightText(1.5f), QStringLiteral("(x1.5)  "));
    QCOMPARE(_GridDelegate::weightText(0.0f), QStringLiteral("(x0.0)  "));

    Tree tree(ScoringTreeHost::Navigator);
    const QModelIndex channel = tree.index({0, 1});  // ПГ of test 1, weight 1.5
    const QImage drawn = tree.paintCell(channel, {}, tree.delegate);

    // The plain cell with the text written at its top right.
    QImage expected = tree.paintCell(channel, {}, QStyledItemDelegate());
    QStyleOptionViewItem option;
    option.initFrom(&tree.view);
    QPainter painter(&expected);
    painter.setPen(option.palette.color(QPalette::Text));
    painter.setFont(option.font);
    painter.drawText(QRect(0, 0, 160, 24), Qt::AlignRight | Qt::AlignTop, QStringLiteral("(x1.5)  "));
    painter.end();
    QCOMPARE(drawn, expected);

    // No weight on a test row or a scoring cell, nor without an examination.
    const QModelIndex testRow = tree.index({0});
    QCOMPARE(tree.paintCell(testRow, {}, tree.delegate), tree.paintCell(testRow, {}, QStyledItemDelegate()));
    const QModelIndex cell = tree.index({0, 1}, 1);
    QCOMPARE(tree.paintCell(cell, {}, tree.delegate), tree.paintCell(cell, {}, QStyledItemDelegate()));
    tree.host.examination = nullptr;
    QCOMPARE(tree.paintCell(channel, {}, tree.delegate), tree.paintCell(channel, {}, QStyledItemDelegate()));
}

void TestPointsTree::selectedCellsFramedInDarkBlue()
{
    Tree tree(ScoringTreeHost::Navigator);
    QVERIFY(tree.show());
    tree.view.expandAll();
    const QModelIndex selected = tree.index({0, 0}, 2), other = tree.index({0, 2}, 2);
    tree.view.selectionModel()->select(selected, QItemSelectionModel::Select);
    const QImage image = tree.grabViewport();
    const QColor blue(Qt::darkBlue);

    const QRect rect = tree.view.visualRect(selected);
    const QRect frame(QPoint(rect.left() + 1, rect.top() + 1), QPoint(rect.right() - 1, rect.bottom() - 1));
    for (const QPoint &corner : {frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight()})
        QCOMPARE(image.pixelColor(corner), blue);
    QVERIFY(image.pixelColor(rect.topLeft()) != blue);
    QVERIFY(image.pixelColor(rect.bottomRight()) != blue);
    QVERIFY(image.pixelColor(rect.center()) != blue);

    const QRect unselected = tree.view.visualRect(other);
    QVERIFY(image.pixelColor(unselected.topLeft() + QPoint(1, 1)) != blue);
}

void TestPointsTree::noFocusRectangle()
{
    Tree tree(ScoringTreeHost::Navigator);
    const QModelIndex cell = tree.index({0, 1}, 2);
    const QStyle::State focus = QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    QCOMPARE(tree.paintCell(cell, focus, tree.delegate), tree.paintCell(cell, {}, tree.delegate));

    // The application style does draw one, so the comparison above can fail.
    tree.view.setStyle(nullptr);
    QVERIFY(tree.paintCell(cell, focus, tree.delegate) != tree.paintCell(cell, {}, tree.delegate));
}

void TestPointsTree::signBrushes()
{
    QCOMPARE(signBrush(-0.5).color(), QColor(198, 0, 0));
    QCOMPARE(signBrush(0).color(), QColor(0, 0, 0));
    QCOMPARE(signBrush(3).color(), QColor(0, 198, 0));
    QCOMPARE(signBrush(-3).style(), Qt::SolidPattern);
    QCOMPARE(&signBrush(2), &signBrush(0.1));
}

VUG_TEST_MAIN(TestPointsTree, QApplication)
#include "tst_pointstree.moc"
