#include "editor/ChangeQuestsDlg.h"
#include "editor/InspectionTreeView.h"
#include "tests/data/PlanFixtures.h"
#include "tests/support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QLineEdit>
#include <QMimeData>
#include <QStandardItemModel>
#include <QToolBar>

namespace {
constexpr int kIndexRole = Qt::UserRole + 1;

// Null n0, n1 and q0 … q4 in three presentations, the plan as stored.
Inspection::_Test planTest()
{
    Inspection::_Test test(QStringLiteral("Кража"));
    for (int q = 0; q < 5; ++q)
        test.addTheme(QStringLiteral("q%1").arg(q), q % 2 ? QuestionKind::Control : QuestionKind::Test, 1, -1);
    test.addTheme(QStringLiteral("n0"), QuestionKind::Null, 1, -1);
    test.addTheme(QStringLiteral("n1"), QuestionKind::Null, 1, -1);
    PlanFixtures::addGroups(test, 3);
    return test;
}

// Marks in plan order for the first count questions, as a recording leaves them.
void markPresented(Inspection::_Test &test, int count)
{
    int tick = 100;
    for (const Inspection::_Order &entry : test.orders) {
        if (!entry.isQuestion() || count-- <= 0)
            continue;
        InspectionLabel mark;
        mark.Group = entry.Group;
        mark.Theme = entry.Theme;
        mark.TickQStart = tick;
        mark.TickQEnd = tick + 5;
        tick += 200;
        test.appendLabel(mark);
    }
}

QStringList homeFiles()
{
    QStringList files;
    QDirIterator it(QDir::homePath(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

bool isLockedCell(const QModelIndex &index)
{
    return !(index.flags() & (Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable));
}
}  // namespace

class TestChangeQuestsDlg : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void noMarkLocksOnlyTheTestItem();
    void presentedCellsAreLockedAndCurrentIsTheLatest();
    void locksHoldAfterSwapAndEditAndLockedCellsStayPut();
    void addedPresentationListsNullQuestionsFirst();
    void copyLeavesTheLiveTestAndItsArraysAlone();
    void ownSavesWriteNoFile();

private:
    std::unique_ptr<ChangeQuestsDlg> open(Inspection::_Test &test);
    QModelIndex cell(ChangeQuestsDlg &dialog, int row, int column) const;

    Inspection::_Test m_test;
};

void TestChangeQuestsDlg::init() { m_test = planTest(); }

std::unique_ptr<ChangeQuestsDlg> TestChangeQuestsDlg::open(Inspection::_Test &test)
{
    const InspectionLabel *latest = test.labelBefore(-1);
    auto dialog = std::make_unique<ChangeQuestsDlg>(nullptr, &test, latest ? latest->Group : -1,
                                                    latest ? latest->Theme : -1);
    dialog->show();
    QCoreApplication::processEvents();  // the first selection waits for the event loop
    return dialog;
}

QModelIndex TestChangeQuestsDlg::cell(ChangeQuestsDlg &dialog, int row, int column) const
{
    QAbstractItemModel *model = dialog.tree()->model();
    return model->index(row, column, model->index(0, 0));
}

void TestChangeQuestsDlg::noMarkLocksOnlyTheTestItem()
{
    auto dialog = open(m_test);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Изменение порядка"));
    QVERIFY(!(dialog->windowFlags() & Qt::WindowContextHelpButtonHint));
    QStringList actions;
    for (QAction *action : dialog->findChild<QToolBar *>()->actions())
        actions << action->text();
    QCOMPARE(actions, QStringList({"Добавить предъявление", "Изменить вопрос (F2)"}));
    QCOMPARE(dialog->tree()->objectName(), QStringLiteral("Navigator"));
    QCOMPARE(dialog->tree()->size(), QSize(1024, 350));
    // Fixed through the layout: the window manager's size hint means nothing on X11.
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());

    QVERIFY(isLockedCell(dialog->tree()->model()->index(0, 0)));
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 7; ++row)
            QVERIFY2(!isLockedCell(cell(*dialog, row, column)), qPrintable(QStringLiteral("%1/%2").arg(row).arg(column)));
    QCOMPARE(dialog->currentRow(), -1);
    QVERIFY(dialog->tree()->selectionModel()->selectedIndexes().isEmpty());
    QVERIFY(!dialog->tree()->currentIndex().parent().isValid());
}

void TestChangeQuestsDlg::presentedCellsAreLockedAndCurrentIsTheLatest()
{
    markPresented(m_test, 7 + 3);  // presentation I and n0, n1, q0 of II
    auto dialog = open(m_test);
    for (int row = 0; row < 7; ++row) {
        QVERIFY(isLockedCell(cell(*dialog, row, 0)));
        QCOMPARE(cell(*dialog, row, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(200, 200, 200));
        QCOMPARE(isLockedCell(cell(*dialog, row, 1)), row < 3);
        QVERIFY(!isLockedCell(cell(*dialog, row, 2)));
    }
    QCOMPARE(dialog->currentRow(), 2);
    QCOMPARE(dialog->tree()->currentIndex(), cell(*dialog, 2, 1));

    // F2 on a presented question opens no editor.
    dialog->F2();
    QVERIFY(!dialog->tree()->findChild<QLineEdit *>());
}

void TestChangeQuestsDlg::locksHoldAfterSwapAndEditAndLockedCellsStayPut()
{
    markPresented(m_test, 7 + 3);
    auto dialog = open(m_test);
    InspectionTreeView *tree = dialog->tree();
    const QVector<int> before = PlanFixtures::groupOrder(*dialog->editedTest(), 2);

    // The first free question cannot climb into the presented rows.
    tree->setCurrentIndex(cell(*dialog, 3, 1));
    QTest::keyClick(tree, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(PlanFixtures::groupOrder(*dialog->editedTest(), 2), before);

    // A free one moves down, the view refills, and the locks are back.
    QTest::keyClick(tree, Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(PlanFixtures::groupOrder(*dialog->editedTest(), 2), (QVector<int>{10000, 10001, 0, 2, 1, 3, 4}));
    QVERIFY(isLockedCell(dialog->tree()->model()->index(0, 0)));
    for (int row = 0; row < 7; ++row)
        QCOMPARE(isLockedCell(cell(*dialog, row, 1)), row < 3);

    // An edit of a free question, then a plain-text drop onto a locked one.
    tree->setCurrentIndex(cell(*dialog, 5, 2));
    dialog->onAction_Edit();
    auto *editor = tree->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->setText(QStringLiteral("новый текст"));
    emit tree->itemDelegate()->commitData(editor);
    QCOMPARE(dialog->editedTest()->themis[3].Theme, QStringLiteral("новый текст"));
    QCOMPARE(m_test.themis[3].Theme, QStringLiteral("q3"));
    for (int row = 0; row < 7; ++row)
        QCOMPARE(isLockedCell(cell(*dialog, row, 1)), row < 3);

    const QModelIndex locked = cell(*dialog, 1, 1);
    QMimeData mime;
    mime.setText(QStringLiteral("подмена"));
    const QPoint at = tree->visualRect(locked).center();
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &drop);
    QCOMPARE(dialog->editedTest()->themisNULL[1].Theme, QStringLiteral("n1"));
    QCOMPARE(dialog->currentRow(), 2);
}

void TestChangeQuestsDlg::addedPresentationListsNullQuestionsFirst()
{
    auto dialog = open(m_test);
    const int before = dialog->editedTest()->orders.size();
    dialog->onAction_AddGroup();
    const QVector<Inspection::_Order> &orders = dialog->editedTest()->orders;
    QCOMPARE(orders.size(), before + 8);
    QVector<int> themes;
    for (int i = before; i < orders.size(); ++i) {
        QCOMPARE(int(orders[i].Group), 4);
        QCOMPARE(int(orders[i].State), 0);
        themes.append(orders[i].Theme);
    }
    QCOMPARE(themes, (QVector<int>{-1, 10000, 10001, 0, 1, 2, 3, 4}));
    QCOMPARE(dialog->tree()->model()->columnCount(), 4);
    QVERIFY(!isLockedCell(cell(*dialog, 6, 3)));
    QCOMPARE(m_test.lastGroup(), 3);
}

void TestChangeQuestsDlg::copyLeavesTheLiveTestAndItsArraysAlone()
{
    m_test.samples(ChannelCode::GSR)->fill(7, 72000);
    const qint16 *data = m_test.samples(ChannelCode::GSR)->constData();
    auto dialog = open(m_test);
    Inspection::_Test *copy = dialog->editedTest();
    QCOMPARE(copy->id, m_test.id);
    QCOMPARE(copy->name, m_test.name);
    QVERIFY(copy->samples(ChannelCode::GSR)->isEmpty());
    QCOMPARE(copy->orders.size(), m_test.orders.size());
    // The live array was never shared, so the acquisition's next write does not detach it.
    QVERIFY(m_test.dataGSR.isDetached());
    QCOMPARE(m_test.samples(ChannelCode::GSR)->constData(), data);
}

void TestChangeQuestsDlg::ownSavesWriteNoFile()
{
    const QStringList before = QDir::current().entryList(QDir::Files);
    const QStringList homeBefore = homeFiles();
    markPresented(m_test, 7);
    auto dialog = open(m_test);
    dialog->tree()->setCurrentIndex(cell(*dialog, 3, 1));
    QTest::keyClick(dialog->tree(), Qt::Key_Down, Qt::ControlModifier);
    dialog->onAction_AddGroup();
    QCOMPARE(QDir::current().entryList(QDir::Files), before);
    QCOMPARE(homeFiles(), homeBefore);
}

VUG_TEST_MAIN(TestChangeQuestsDlg, QApplication)
#include "tst_changequestsdlg.moc"
