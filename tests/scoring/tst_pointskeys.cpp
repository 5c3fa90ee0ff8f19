#include "PointsWindowFixtures.h"
#include "scoring/points/FragmentListFill.h"
#include "data/SettingsStore.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QSignalSpy>

// Scoring by keyboard in the points window: digits over the image under the
// pointer by scale and half, the tone, Shift, the weight key over the tree,
// Space, and keys that must do nothing; with native key codes and without.

using namespace BallFixtures;
using namespace PointsTreeFixtures;
using namespace PointsWindowFixtures;

namespace {

// X11 key codes of the keys used.
constexpr quint32 kCodeOf[] = {19, 10, 11, 12};  // digits 0-3
constexpr quint32 kSpaceCode = 65;
constexpr quint32 kLeftOfOneCode = 49;

struct Keys {
    InspectionAnalysisBallFancy &window;
    bool native = true;
    int tones = 0;

    explicit Keys(InspectionAnalysisBallFancy &w) : window(w)
    {
        window.setWarningTone([this] { ++tones; });
    }

    // Hands the key to the window's filter as it comes to the widget; true when consumed.
    bool press(QWidget *target, int key, quint32 code, quint32 keysym, Qt::KeyboardModifiers modifiers = {},
               const QString &text = QString())
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, native ? code : 0, native ? keysym : 0, 0, text);
        return window.eventFilter(target, &event);
    }
    bool digit(QWidget *target, int value, Qt::KeyboardModifiers modifiers = {})
    {
        return press(target, Qt::Key_0 + value, kCodeOf[value], quint32(0x30 + value), modifiers);
    }
    bool space(QWidget *target) { return press(target, Qt::Key_Space, kSpaceCode, 0x20); }
    bool weightKey(QWidget *target) { return press(target, Qt::Key_QuoteLeft, kLeftOfOneCode, 0x60); }
};

void movePointer(QWidget *viewport, const QPoint &pos)
{
    QMouseEvent move(QEvent::MouseMove, pos, viewport->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
}

void leavePointer(QWidget *viewport)
{
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(viewport, &leave);
}

int rowOfQuest(const QListView *list, int quest)
{
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        QuestKey key;
        key.fromJson(list->model()->index(row, 0).data(QuestKey::Role).toJsonObject());
        if (key.iQuest == quest)
            return row;
    }
    return -1;
}

// The pointer over the image of the question, at a fraction of its height.
void pointAt(_QListView *list, int quest, double fraction)
{
    const QModelIndex image = list->model()->index(rowOfQuest(list, quest), 0);
    list->scrollTo(image);
    const QRect area = list->imageRect(image);
    movePointer(list->viewport(), QPoint(area.center().x(), area.top() + int(area.height() * fraction)));
}

QImage decorationOf(const QListView *list, int quest)
{
    return list->model()->index(rowOfQuest(list, quest), 0).data(Qt::DecorationRole).value<QPixmap>().toImage();
}

}  // namespace

class TestPointsKeys : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(SettingsStore::filePath());
    }

    void signedScaleTakesTheSignFromTheHalf_data()
    {
        QTest::addColumn<bool>("native");
        QTest::newRow("X11 codes") << true;
        QTest::newRow("no native codes") << false;
    }
    void signedScaleTakesTheSignFromTheHalf()
    {
        QFETCH(bool, native);
        Subject subject;
        Window w(subject.examination);
        Keys keys(w.window);
        keys.native = native;
        w.window.onEnableBall3210123();
        w.selectExpertCell(2);
        _QListView *list = w.list(0);
        const QImage before = decorationOf(list, 2);
        pointAt(list, 2, 0.8);
        // Through the filter the window put on the list.
        QKeyEvent three(QEvent::KeyPress, Qt::Key_3, Qt::NoModifier, native ? 12 : 0, native ? 0x33 : 0, 0);
        QApplication::sendEvent(list, &three);
        QCOMPARE(subject.examination.tests[0].valuationBall_3210123[1][2].FPGPar, -3);
        QVERIFY(decorationOf(list, 2) != before);
        pointAt(list, 2, 0.2);
        keys.digit(list, 3);
        QCOMPARE(subject.examination.tests[0].valuationBall_3210123[1][2].FPGPar, 3);
        pointAt(list, 2, 0.9);
        keys.digit(list, 0);
        QCOMPARE(subject.examination.tests[0].valuationBall_3210123[1][2].FPGPar, 0);

        // The lower half starts at top + (height + 1) / 2.
        const QRect area = list->imageRect(list->model()->index(rowOfQuest(list, 2), 0));
        const int half = area.top() + (area.height() + 1) / 2;
        movePointer(list->viewport(), QPoint(area.center().x(), half - 1));
        keys.digit(list, 2);
        QCOMPARE(subject.examination.tests[0].valuationBall_3210123[1][2].FPGPar, 2);
        movePointer(list->viewport(), QPoint(area.center().x(), half));
        keys.digit(list, 2);
        QCOMPARE(subject.examination.tests[0].valuationBall_3210123[1][2].FPGPar, -2);
        QCOMPARE(subject.stored().valuationBall_3210123.value(1).value(2).FPGPar, -2);
        QCOMPARE(keys.tones, 0);
    }

    void scale101RefusesOtherKindsWithTheTone()
    {
        Subject subject;
        Window w(subject.examination);
        Keys keys(w.window);
        w.window.onEnableBall101();
        w.selectExpertCell(2);
        _QListView *list = w.list(0);
        pointAt(list, 2, 0.2);
        keys.digit(list, 2);  // no 2 in this scale
        QVERIFY(subject.examination.tests[0].valuationBall_101.isEmpty());
        pointAt(list, 1, 0.2);  // a control question
        keys.digit(list, 1);
        QCOMPARE(keys.tones, 1);
        QVERIFY(subject.examination.tests[0].valuationBall_101.isEmpty());
        pointAt(list, 2, 0.8);
        keys.digit(list, 1);
        QCOMPARE(subject.examination.tests[0].valuationBall_101[1][2].FPGPar, -1);

        // Scale 012 takes every kind, positive on either half.
        w.window.onEnableBall012();
        w.selectExpertCell(2);
        pointAt(list, 1, 0.9);
        keys.digit(list, 2);
        QCOMPARE(subject.examination.tests[0].valuationBall_012[1][1].FPGPar, 2);
        QCOMPARE(keys.tones, 1);
        QCOMPARE(subject.stored().valuationBall_012.value(1).value(1).FPGPar, 2);
        QCOMPARE(subject.stored().valuationBall_101.value(1).value(2).FPGPar, -1);
    }

    void shiftShowsThePlaceAndStoresNothing()
    {
        Subject subject;
        Window w(subject.examination);
        Keys keys(w.window);
        QSignalSpy shows(&w.window, &InspectionAnalysisBallFancy::notifyShowPoligrammeFromBall);
        _QListView *list = w.list(0);
        pointAt(list, 2, 0.2);
        w.list(1)->setCurrentIndex(w.list(1)->model()->index(rowOfQuest(w.list(1), 2), 0));
        QVERIFY(keys.digit(list, 3, Qt::ShiftModifier));
        QCOMPARE(shows.count(), 1);
        QCOMPARE(shows.first(), QVariantList({0, subject.examination.tests[0].findLabel(1, 2)->TickQStart, 4}));
        QVERIFY(subject.examination.tests[0].valuationBall_012.isEmpty());
    }

    void weightKeyCyclesWeightsAndTogglesPresentations()
    {
        Subject subject;
        Window w(subject.examination);
        Keys keys(w.window);
        w.window.onModeInput_0();
        _QTreeViewExpand *tree = w.window.navigatorTree();
        QAbstractItemModel *model = tree->model();
        tree->expandAll();
        const QModelIndex name = model->index(1, 0, model->index(0, 0));
        movePointer(tree->viewport(), tree->visualRect(name).center());
        QList<float> weights;
        for (int press = 0; press < 7; ++press) {
            QVERIFY(keys.weightKey(tree));
            weights << subject.examination.tests[0].valuationBall_ChannelK[1];
        }
        QCOMPARE(weights, QList<float>({1.5f, 2.0f, 2.5f, 3.0f, 0.0f, 0.5f, 1.0f}));
        // The key left of 1 of a Russian layout.
        QVERIFY(keys.press(tree, 0x401, kLeftOfOneCode, 0x6a3, {}, QStringLiteral("ё")));
        QCOMPARE(subject.stored().valuationBall_ChannelK[1], 1.5f);

        const QModelIndex second = model->index(1, 2, model->index(0, 0));
        movePointer(tree->viewport(), tree->visualRect(second).center());
        keys.weightKey(tree);
        QCOMPARE(subject.stored().valuationBall_GroupsDisabled, QSet<qint32>({2}));
        // Columns after the presentations ("Сумма баллов", coefficients) toggle nothing.
        for (int column = 3; column < model->columnCount(); ++column) {
            const QModelIndex other = model->index(1, column, model->index(0, 0));
            movePointer(tree->viewport(), tree->visualRect(other).center());
            keys.weightKey(tree);
        }
        QCOMPARE(subject.stored().valuationBall_GroupsDisabled, QSet<qint32>({2}));
        movePointer(tree->viewport(), tree->visualRect(second).center());
        keys.weightKey(tree);
        QVERIFY(subject.stored().valuationBall_GroupsDisabled.isEmpty());
    }

    void spaceStepsRowsColumnsAndOffTheEnd()
    {
        Subject subject;
        Window w(subject.examination);
        Keys keys(w.window);
        keys.native = false;
        _QTreeViewExpand *tree = w.window.navigatorTree();
        QAbstractItemModel *model = tree->model();
        const QModelIndex question = model->index(2, 0, model->index(0, 0));
        QVERIFY(keys.space(tree));
        QCOMPARE(tree->currentIndex(), model->index(2, 1, question));
        keys.space(tree);
        QCOMPARE(tree->currentIndex(), model->index(0, 2, question));
        QVERIFY(w.list(0)->model()->rowCount() > 0);
        keys.space(tree);
        keys.space(tree);
        QCOMPARE(tree->currentIndex(), model->index(2, 2, question));
        keys.space(tree);  // past the last presentation
        QVERIFY(!w.list(0)->model());
        QVERIFY(!w.list(1)->model());
        QCOMPARE(tree->currentIndex(), model->index(2, 2, question));

        // Arrows without Ctrl are consumed and move nothing; with Ctrl they pass.
        QVERIFY(keys.press(tree, Qt::Key_Up, 111, 0xff52));
        QCOMPARE(tree->currentIndex(), model->index(2, 2, question));
        QVERIFY(!keys.press(tree, Qt::Key_Up, 111, 0xff52, Qt::ControlModifier));
    }

    void keysThatScoreNothing()
    {
        Subject subject;
        Window w(subject.examination);
        Keys keys(w.window);
        _QListView *list = w.list(0);
        // The pointer outside both lists, even with a list focused.
        pointAt(list, 2, 0.2);
        leavePointer(list->viewport());
        list->setFocus();
        QVERIFY(keys.digit(list, 1));
        QVERIFY(subject.examination.tests[0].valuationBall_012.isEmpty());
        // Keypad digits never score.
        pointAt(list, 2, 0.2);
        QVERIFY(keys.press(list, Qt::Key_1, 87, 0xffb1, Qt::KeypadModifier));
        keys.native = false;
        keys.press(list, Qt::Key_1, 0, 0, Qt::KeypadModifier);
        QVERIFY(subject.examination.tests[0].valuationBall_012.isEmpty());
        // A layout whose digits need Shift: the digit row still gives 1.
        keys.native = true;
        keys.press(list, Qt::Key_Ampersand, 10, 0x26, {}, QStringLiteral("&"));
        QCOMPARE(subject.examination.tests[0].valuationBall_012[1][2].FPGPar, 1);
        // Keys pass while the window is hidden.
        w.window.hide();
        QVERIFY(!keys.digit(list, 2));
        QCOMPARE(subject.examination.tests[0].valuationBall_012[1][2].FPGPar, 1);
    }
};

VUG_TEST_MAIN(TestPointsKeys, QApplication)
#include "tst_pointskeys.moc"
