// Starting, stopping and quitting around recordings and playbacks.
#include "vugVorkel.h"

#include "app/LiveQuestion.h"

#include "data/ActivePopupMenu.h"
#include "data/Inspection.h"
#include "data/ReadRefusal.h"
#include "data/TestCaption.h"
#include "data/WindowLayout.h"
#include "editor/InspectionEditFancy.h"
#include "fancy/FancyActionBar.h"
#include "fancy/FancyTabWidget.h"
#include "polygram/InspectionPoligrammeFancy.h"
#include "recording/InspectionRecordFancy.h"
#include "recording/PoligrammeRecordWindow.h"
#include "recording/RecordingSession.h"
#include "scoring/metric/InspectionAnalysisMetrFancy.h"
#include "scoring/points/InspectionAnalysisBallFancy.h"
#include "subjects/PreTestCanversationDockWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QScopedValueRollback>

namespace {

bool askYes(QWidget *parent, const QString &text, QMessageBox::StandardButton defaultButton = QMessageBox::Yes)
{
    return QMessageBox::question(parent, vugVorkel::tr("Воркел"), text, QMessageBox::Yes | QMessageBox::No,
                                 defaultButton)
           == QMessageBox::Yes;
}

// A question with what the stop would lose beneath it, made again while it is open.
std::function<QString()> liveText(InspectionRecordFancy *screen, const QString &question)
{
    const QPointer<InspectionRecordFancy> watched(screen);
    return [watched, question] {
        const QString warning = watched ? watched->stopWarning() : QString();
        if (warning.isEmpty())
            return question;
        return question + QStringLiteral("<p>") + warning.toHtmlEscaped() + QStringLiteral("</p>");
    };
}

LiveQuestion::Answer askToStop(QWidget *parent, InspectionRecordFancy *screen)
{
    // The warning may come or go while the question is open: the default goes on recording either way.
    LiveQuestion question(parent, vugVorkel::tr("Воркел"),
                          liveText(screen, vugVorkel::tr("<p>Вы хотите завершить запись полиграммы ?</p>")),
                          QMessageBox::No);
    // Once the loop has ended there is nothing to go on with: the save question comes at once.
    QObject::connect(screen->recordWindow()->session(), &RecordingSession::loopEnded, &question,
                     &LiveQuestion::giveWay);
    const LiveQuestion::Answer answer = question.ask();
    return answer == LiveQuestion::No && !screen->acquiring() ? LiveQuestion::GaveWay : answer;
}

}  // namespace

InspectionRecordFancy *vugVorkel::recordingScreen() const
{
    return findChild<InspectionRecordFancy *>(QStringLiteral("InspectionRecordFancy"));
}

QMenu *vugVorkel::createTestMenu(bool forRecording)
{
    auto *menu = new QMenu(this);
    if (!pInspect)
        return menu;
    for (int index = 0; Inspection::_Test *test = pInspect->test(index); ++index) {
        // A recording waiting for its save is not recorded over.
        const bool pending = pInspect->pendingRecordings.contains(test->id);
        const bool offered = forRecording ? !test->recorded && !pending && !test->themis.isEmpty() : test->recorded;
        if (!offered)
            continue;
        auto *action = new QAction(testCaption(*pInspect, index), menu);
        action->setData(index);
        connect(action, &QAction::triggered, this,
                forRecording ? &vugVorkel::action_StartRecording2 : &vugVorkel::action_PlayRecording2);
        menu->addAction(action);
    }
    return menu;
}

QPoint vugVorkel::testMenuPosition(bool forRecording) const
{
    const int h = actionBar ? actionBar->buttonsLayout()->geometry().height() : 0;
    const int y = forRecording ? height() - h / 3 : height() - 2 * (h / 3);
    return mapToGlobal(QPoint(74, y));
}

void vugVorkel::execTestMenu(bool forRecording)
{
    // The menu and its actions go with it, whatever was chosen.
    QScopedPointer<QMenu> menu(createTestMenu(forRecording));
    ActivePopupMenu marker(menu.data());
    menu->exec(testMenuPosition(forRecording));
}

void vugVorkel::action_StartRecording() { execTestMenu(true); }
void vugVorkel::action_PlayRecording() { execTestMenu(false); }

void vugVorkel::action_StartRecording2()
{
    if (auto *action = qobject_cast<QAction *>(sender()))
        startRecordPoligramme(action->data().toInt());
}

void vugVorkel::action_PlayRecording2()
{
    if (auto *action = qobject_cast<QAction *>(sender()))
        playPoligramme(action->data().toInt(), 0);
}

void vugVorkel::onDefRecordPoligramme(int index) { startRecordPoligramme(index); }
void vugVorkel::onLocalPlayPoligramme(int iIndexTest, int iPos) { playPoligramme(iIndexTest, iPos); }

// The camera and its frames serve one recording at a time.
bool vugVorkel::preTestRecordingRuns()
{
    auto *dock = findChild<PreTestCanversationDockWindow *>(QStringLiteral("PreTestCanversationDockWindow"));
    if (!dock || !dock->isRecording())
        return false;
    QMessageBox::warning(this, tr("Воркел"), tr("Идёт запись предтестовой беседы. Завершите её, чтобы начать тест."));
    return true;
}

void vugVorkel::startRecordPoligramme(int index)
{
    Inspection::_Test *test = pInspect ? pInspect->test(index) : nullptr;
    if (!test || recordingScreen() || preTestRecordingRuns())
        return;
    // From here a subject chosen or renamed waits for the recording's end:
    // the events run below would otherwise read another subject under the test.
    holdSubject(true);
    if (QWidget *current = takeCentralWidget())
        current->hide();
    QApplication::processEvents();
    auto *screen = new InspectionRecordFancy(this);
    connect(screen, &InspectionRecordFancy::stopRequested, this, &vugVorkel::onStopRecordingAction);
    setCentralWidget(screen);
    screen->show();
    bPlayback = false;
    if (!screen->start(pInspect, test, true, 0)) {
        showModeTabs();
        holdSubject(false);
    }
    updateRecordingActions();
}

void vugVorkel::holdSubject(bool held)
{
    if (auto *editor = findPage<InspectionEditFancy>(QStringLiteral("InspectionEditFancy")))
        editor->holdSubject(held);
}

void vugVorkel::playPoligramme(int iIndexTest, int iPos)
{
    Inspection::_Test *test = pInspect ? pInspect->test(iIndexTest) : nullptr;
    if (!test || recordingScreen() || preTestRecordingRuns())
        return;
    const QSize size = centralWidget() ? centralWidget()->size() : QSize();
    auto *screen = new InspectionRecordFancy(this);
    connect(screen, &InspectionRecordFancy::stopRequested, this, &vugVorkel::onStopRecordingAction);
    if (QWidget *current = takeCentralWidget())
        current->hide();
    setCentralWidget(screen);
    screen->resize(size);
    screen->show();
    bPlayback = true;
    if (!screen->start(pInspect, test, false, iPos))
        showModeTabs();
}

// Puts the mode selector back in the middle; a recording screen in its place is
// closed and deleted once control has left its handlers.
void vugVorkel::showModeTabs()
{
    QWidget *current = takeCentralWidget();
    if (current && current != tabWidget) {
        // Kept as a hidden, nameless child until deleted, so it is neither taken
        // for a top-level main window nor found as the recording screen.
        current->setParent(this);
        current->hide();
        current->close();
        current->setObjectName(QString());
        current->deleteLater();
    }
    setCentralWidget(tabWidget);
    tabWidget->show();
}

int vugVorkel::confirmStopRecording()
{
    InspectionRecordFancy *screen = recordingScreen();
    if (!screen || bPlayback)
        return 0;
    // The loop's end met meanwhile decides nothing: these answers close the screen.
    const QScopedValueRollback<bool> deciding(decidingStop, true);
    screen->withdrawExamineeView();
    // After an automatic stop nothing is being recorded: only saving is left to decide.
    if (screen->acquiring() && askToStop(this, screen) == LiveQuestion::No)
        return -1;
    return askSaveRecording(screen) ? 1 : 0;
}

bool vugVorkel::askSaveRecording(InspectionRecordFancy *screen)
{
    screen->withdrawExamineeView();
    if (screen->savesNothing()) {
        // Nothing will be kept: the recording ends, and its picture stands still, before that is said.
        screen->stopAndSave(false);
        QMessageBox::information(this, tr("Воркел"),
                                 tr("Запись не будет сохранена: ни одна группа предъявлений вопросов не завершена."));
        return false;
    }
    LiveQuestion question(this, tr("Воркел"),
                          liveText(screen, tr("<p>Вы хотите сохранить записанную полиграмму ?</p>")), QMessageBox::Yes);
    return question.ask() == LiveQuestion::Yes;
}

void vugVorkel::onStopRecordingAction()
{
    const int answer = confirmStopRecording();
    if (answer >= 0)
        closeCurrentView(answer > 0);
}

void vugVorkel::closeCurrentView(bool save)
{
    // Re-checked here: the screen may have gone while a question was open.
    InspectionRecordFancy *screen = recordingScreen();
    if (!screen)
        return;
    if (!bPlayback) {
        const QUuid planned = screen->test ? screen->test->id : QUuid();
        const QUuid recorded = screen->stopAndSave(save);
        // What the subject tree chose meanwhile is taken now that nothing
        // runs, before the windows read the subject anew.
        holdSubject(false);
        // A recording kept as a test of its own lies beside the one another
        // program changed: the subject is read anew so that both show.
        if (save && !recorded.isNull() && recorded != planned && pInspect)
            ReadRefusal::settle(this, pInspect->path, tr("тесты обследуемого с новой записью"),
                                [this] { return pInspect->reread(); });
        if (save) {
            if (auto *editor = findPage<InspectionEditFancy>(QStringLiteral("InspectionEditFancy")))
                editor->updateView();
            // The review opens on the test just recorded.
            if (auto *review = findPage<InspectionPoligrammeFancy>(QStringLiteral("InspectionPoligrammeFancy"))) {
                review->loadInspection();
                if (pInspect)
                    review->showTest(pInspect->indexOfTest(recorded.isNull() ? planned : recorded), -1, -1);
            }
            if (auto *points = findPage<InspectionAnalysisBallFancy>(QStringLiteral("InspectionAnalysisBallFancy")))
                points->updateTitle();
            if (auto *metric = findPage<InspectionAnalysisMetrFancy>(QStringLiteral("InspectionAnalysisMetrFancy")))
                metric->reload();
            // The status line's count of recorded tests follows the new recording.
            if (pInspect)
                onChangePersone(pInspect->path, pInspect);
        }
    } else {
        screen->stop();
    }
    showModeTabs();
    updateRecordingActions();
}

void vugVorkel::closeEvent(QCloseEvent *event)
{
    if (!askYes(this, tr("<p>Вы действительно хотите выйти из программы?</p>"))) {
        event->ignore();
        return;
    }
    const int answer = confirmStopRecording();
    if (answer >= 0)
        closeCurrentView(answer > 0);
    auto *editor = findPage<InspectionEditFancy>(QStringLiteral("InspectionEditFancy"));
    // A recording whose save failed lives only here.
    if (answer >= 0 && (!editor || editor->settlePendingRecording()))
        event->accept();
    else
        event->ignore();
    saveEditorLayout();
}

void vugVorkel::saveEditorLayout()
{
    auto *editor = findPage<InspectionEditFancy>(QStringLiteral("InspectionEditFancy"));
    if (!editor)
        return;
    WindowLayout::save(InspectionEditFancy::layoutGroup(), *editor);
}
