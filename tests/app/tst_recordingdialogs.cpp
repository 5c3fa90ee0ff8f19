#include "DemoRecording.h"
#include "app/vugVorkel.h"
#include "data/DefChannel.h"
#include "data/GenericSettings.h"
#include "data/Inspection.h"
#include "editor/ChangeQuestsDlg.h"
#include "editor/InspectionEditFancy.h"
#include "editor/InspectionTreeView.h"
#include "recording/InspectionRecordFancy.h"
#include "recording/PoligrammeRecordWindow.h"
#include "recording/RecordingEvents.h"
#include "recording/RecordingSession.h"
#include "recording/SensorReader.h"
#include "recording/WizardChannelsDlg.h"
#include "tests/data/PlanFixtures.h"
#include "tests/support/StoredKinds.h"
#include "tests/support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTimer>

#include <functional>

namespace {

QAction *screenAction(InspectionRecordFancy *screen, const QString &text)
{
    for (QAction *action : screen->findChildren<QAction *>()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

}  // namespace

// Both dialogs of the recording screen opened from a running recording of the
// demonstration unit, on the real tick.
class TestRecordingDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void reorderingIsPresentedNextAndStored();
    void wizardChangesReachTheReader();
    void reorderingOfAPlaybackIsDropped();

private:
    InspectionRecordFancy *screen() const { return window->recordingScreen(); }
    SensorReader *reader() const
    {
        RecordingSession *session = screen() ? screen()->recordWindow()->session() : nullptr;
        return session ? session->reader() : nullptr;
    }
    // The recording's own test while one runs, else the examination's.
    Inspection::_Test &test() { return screen() && screen()->test ? *screen()->test : inspection.tests[0]; }
    // Runs work inside the modal dialog of type T once it is up, then opens it
    // through the screen's action of that text; true when work ran.
    template<typename T>
    bool whileOpen(const QString &actionText, const std::function<void(T *)> &work);
    void presentOne();

    vugVorkel *window = nullptr;
    Inspection inspection;
};

void TestRecordingDialogs::initTestCase()
{
    configureDemoUnit();
}

void TestRecordingDialogs::init()
{
    Inspection::_Test plan(QStringLiteral("Порядок"));
    for (int i = 0; i < 3; ++i)
        plan.addTheme(QStringLiteral("Вопрос %1?").arg(i), 2, 1, -1);
    PlanFixtures::addGroups(plan, 2);
    inspection.tests = {plan};
    inspection.undoHistory.clear();
    inspection.path = QDir::home().filePath(QStringLiteral("Сидоров.qmz"));
    QFile::remove(inspection.path);
    QCOMPARE(inspection.saveTestStruct(&test(), true), StoreResult::Ok);

    window = openMainWindow(inspection);
    QVERIFY(window->isActiveWindow());
    window->startRecordPoligramme(0);
    QVERIFY(screen());
    QTRY_VERIFY_WITH_TIMEOUT(reader() && reader()->currentPosition() > 5, 10000);
}

void TestRecordingDialogs::cleanup()
{
    delete window;
    window = nullptr;
}

template<typename T>
bool TestRecordingDialogs::whileOpen(const QString &actionText, const std::function<void(T *)> &work)
{
    bool ran = false;
    QTimer::singleShot(100, [&] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        work(dialog);
        ran = true;
    });
    QAction *action = screenAction(screen(), actionText);
    if (!action || !action->isEnabled())
        return false;
    action->trigger();
    return ran;
}

void TestRecordingDialogs::presentOne()
{
    const int before = test().labels.size();
    sendKey(window, QEvent::KeyPress, Qt::Key_Space);
    QCOMPARE(test().labels.size(), before + 1);
    const int start = test().labels.last().TickQStart;
    QTRY_VERIFY(reader()->currentPosition() > start + 3);
    sendKey(window, QEvent::KeyRelease, Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(reader()->currentPosition() > test().labels.last().TickQEnd + test().ia.lengthTicks(), 5000);
}

void TestRecordingDialogs::reorderingIsPresentedNextAndStored()
{
    presentOne();
    QCOMPARE(int(test().labels.last().Theme), 0);
    const bool ran = whileOpen<ChangeQuestsDlg>(QStringLiteral("Изменить порядок вопросов (F2)"), [](ChangeQuestsDlg *dialog) {
        InspectionTreeView *tree = dialog->tree();
        QCOMPARE(dialog->currentRow(), 0);
        // Question 2 moves ahead of question 1 in the running presentation.
        tree->setCurrentIndex(tree->model()->index(2, 0, tree->model()->index(0, 0)));
        QTest::keyClick(tree, Qt::Key_Up, Qt::ControlModifier);
        dialog->accept();
    });
    QVERIFY(ran);
    QCOMPARE(PlanFixtures::groupOrder(test(), 1), (QVector<int>{0, 2, 1}));
    QVERIFY(inspection.canUndo(&test()));
    Inspection reread;
    QCOMPARE(reread.load(inspection.path), StoreResult::Ok);
    QCOMPARE(PlanFixtures::groupOrder(reread.tests[0], 1), (QVector<int>{0, 2, 1}));
    QCOMPARE(storedKinds(inspection.path, test().rowId()), QStringLiteral("1"));

    presentOne();
    QCOMPARE(int(test().labels.last().Theme), 2);

    // Cancel leaves the test alone.
    const bool cancelled = whileOpen<ChangeQuestsDlg>(QStringLiteral("Изменить порядок вопросов (F2)"),
                                                      [](ChangeQuestsDlg *dialog) {
                                                          dialog->onAction_AddGroup();
                                                          dialog->reject();
                                                      });
    QVERIFY(cancelled);
    QCOMPARE(test().lastGroup(), 2);
}

void TestRecordingDialogs::wizardChangesReachTheReader()
{
    DefChannel recommended;
    recommended.applyDefaults(test().idsensor);
    const int target = recommended.findByCode(ChannelCode::GSR)->ADT;
    test().channel(ChannelCode::GSR).ADT = target + 1;
    bool flaggedWhileOpen = false;
    const bool ran = whileOpen<WizardChannelsDlg>(QStringLiteral("Мастер настроек каналов"), [&](WizardChannelsDlg *dialog) {
        dialog->applyRecommendedButton->setChecked(true);
        dialog->onClearAll();
        auto *model = static_cast<QStandardItemModel *>(dialog->channelList->model());
        for (int row = 0; row < model->rowCount(); ++row) {
            if (model->item(row)->data(Qt::UserRole + 1).toInt() == ChannelCode::GSR)
                model->item(row)->setCheckState(Qt::Checked);
        }
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Apply)->click();
        flaggedWhileOpen = test().channel(ChannelCode::GSR).ADTChanged;
        QVERIFY(dialog->isVisible());
        dialog->onAccept();
    });
    QVERIFY(ran);
    QVERIFY(flaggedWhileOpen);
    QCOMPARE(test().channel(ChannelCode::GSR).ADT.load(), target);
    QCOMPARE(test().channel(ChannelCode::GSR).Offset.load(), recommended.findByCode(ChannelCode::GSR)->Offset.load());
    QTRY_VERIFY(!test().channel(ChannelCode::GSR).ADTChanged && !test().channel(ChannelCode::GSR).ShiftADTChanged);
}

void TestRecordingDialogs::reorderingOfAPlaybackIsDropped()
{
    for (int i = 0; i < 3; ++i)
        presentOne();
    QCoreApplication::postEvent(window, new QEvent(RecordingEvents::LoopEnded));
    QTRY_VERIFY(!screen());
    QVERIFY(test().recorded);
    const QVector<int> recordedOrder = PlanFixtures::groupOrder(test(), 2);

    window->playPoligramme(0, 0);
    QVERIFY(screen());
    const bool ran = whileOpen<ChangeQuestsDlg>(QStringLiteral("Изменить порядок вопросов (F2)"), [](ChangeQuestsDlg *dialog) {
        InspectionTreeView *tree = dialog->tree();
        tree->setCurrentIndex(tree->model()->index(0, 1, tree->model()->index(0, 0)));
        QTest::keyClick(tree, Qt::Key_Down, Qt::ControlModifier);
        dialog->onAction_AddGroup();
        dialog->accept();
    });
    QVERIFY(ran);
    QCOMPARE(PlanFixtures::groupOrder(test(), 2), recordedOrder);
    QCOMPARE(test().lastGroup(), 2);
    Inspection reread;
    QCOMPARE(reread.load(inspection.path), StoreResult::Ok);
    QCOMPARE(PlanFixtures::groupOrder(reread.tests[0], 2), recordedOrder);
    QCOMPARE(reread.tests[0].lastGroup(), 2);
    window->onStopRecordingAction();
}

VUG_TEST_MAIN(TestRecordingDialogs, QApplication)
#include "tst_recordingdialogs.moc"
