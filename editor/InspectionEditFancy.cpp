#include "InspectionEditFancy.h"

#include "InspectionTreeView.h"
#include "SpravMethodicsDockWindow.h"
#include "SpravQuestionsDockWindow.h"
#include "app/services/TreeViewExport.h"
#include "data/GenericSettings.h"
#include "data/QuestionKindPixmap.h"
#include "data/WaitCursor.h"
#include "data/WindowLayout.h"
#include "fancy/FontScale.h"
#include "resources/VugResources.h"
#include "subjects/PersoneDockWindow.h"
#include "subjects/PersoneLinkDockWindow.h"
#include "subjects/PersoneSearchDockWindow.h"
#include "subjects/PreTestCanversationDockWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <cmath>
#include <type_traits>

InspectionEditFancy::InspectionEditFancy(QWidget *parent)
    : Fancy::FancyMainWindow(parent)
{
    statusBar()->hide();
    setObjectName(QStringLiteral("InspectionEditFancy"));
    installEventFilter(this);

    createActions();
    createToolBar();
    createDocks();

    const WindowLayout layout = WindowLayout::load(layoutGroup());

    m_tree = new InspectionTreeView(0);
    m_tree->setObjectName(QStringLiteral("Navigator"));
    setCentralWidget(m_tree);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tree, &QWidget::customContextMenuRequested, this, &InspectionEditFancy::onCustomContextMenu);
    createShortcuts();
    createKindActions();
    // The subjects dock announces the data root once the window can take it.
    connectDocks();

    updateActions();
    updateRusUsaActions();
    restoreLayout(layout);
}

InspectionEditFancy::~InspectionEditFancy()
{
    GenericSettings settings;
    settings.load();
    settings.bShowQuestionsRUS = m_showRus->isChecked();
    settings.bShowQuestionsUSA = m_showUsa->isChecked();
    settings.save();
}

QAction *InspectionEditFancy::newAction(const QIcon &icon, const QString &text, Slot slot)
{
    auto *action = new QAction(icon, text, this);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

void InspectionEditFancy::createActions()
{
    GenericSettings settings;
    settings.load();
    m_addTest = newAction(VugImages::icon(QStringLiteral("addTest.png")), tr("Добавить тест"), &InspectionEditFancy::action_AddTest);
    m_addGroup = newAction(VugImages::icon(QStringLiteral("addGroup.png")), tr("Добавить предъявление"), &InspectionEditFancy::action_AddGroup);
    m_addRus = {
        newAction(addQuestionPixmap(10000), tr("Добавить НУЛЕВОЙ вопрос"), &InspectionEditFancy::action_AddQuest0),
        newAction(addQuestionPixmap(0), tr("Добавить НЕЙТРАЛЬНЫЙ вопрос"), &InspectionEditFancy::action_AddQuestN),
        newAction(addQuestionPixmap(2), tr("Добавить ПРОВЕРОЧНЫЙ вопрос"), &InspectionEditFancy::action_AddQuestP),
        newAction(addQuestionPixmap(1), tr("Добавить КОНТРОЛЬНЫЙ вопрос"), &InspectionEditFancy::action_AddQuestC),
    };
    m_addUsa = {
        newAction(VugImages::icon(QStringLiteral("addQuest_Usa_P")), tr("Добавить вводный вопрос (P)"), &InspectionEditFancy::onAddQuest_USA_P),
        newAction(VugImages::icon(QStringLiteral("addQuest_Usa_I")), tr("Добавить иррелевантный (I)"), &InspectionEditFancy::onAddQuest_USA_I),
        newAction(VugImages::icon(QStringLiteral("addQuest_Usa_C")), tr("Добавить контрольный вопрос (C)"), &InspectionEditFancy::onAddQuest_USA_C),
        newAction(VugImages::icon(QStringLiteral("addQuest_Usa_R")), tr("Добавить  релевантный вопрос (R)"), &InspectionEditFancy::onAddQuest_USA_R),
        newAction(VugImages::icon(QStringLiteral("addQuest_Usa_SR")), tr("Добавить жертвенный релевантный вопрос (SR)"),
                  &InspectionEditFancy::onAddQuest_USA_SR),
        newAction(VugImages::icon(QStringLiteral("addQuest_Usa_So")), tr("Добавить симптоматический вопрос (So)"),
                  &InspectionEditFancy::onAddQuest_USA_So),
        newAction(VugImages::icon(QStringLiteral("addQuest_Usa_GC")), tr("Добавить вопрос комплекса вины (GC)"),
                  &InspectionEditFancy::onAddQuest_USA_GC),
    };
    m_showRus = newAction(VugImages::icon(QStringLiteral("RU-Russia-Flag-icon")), tr("Включить российскую систему вопросов"),
                          &InspectionEditFancy::onShowRusQuests);
    m_showUsa = newAction(VugImages::icon(QStringLiteral("United-States-Flag-1-icon")), tr("Включить международную систему вопросов"),
                          &InspectionEditFancy::onShowUsaQuests);
    m_showRus->setCheckable(true);
    m_showRus->setChecked(settings.bShowQuestionsRUS);
    m_showUsa->setCheckable(true);
    m_showUsa->setChecked(settings.bShowQuestionsUSA);
    m_shiftDown = newAction(VugImages::icon(QStringLiteral("Down-2-2-icon.png")), tr("Переместить вниз (Ctrl+Down)"), &InspectionEditFancy::action_ShiftDown);
    m_shiftUp = newAction(VugImages::icon(QStringLiteral("Up-2-2-icon.png")), tr("Переместить вверх (Ctrl+Up)"), &InspectionEditFancy::action_ShiftUp);
    m_collapse = newAction(VugImages::icon(QStringLiteral("Collapse-Folder-icon.png")), tr("Свернуть все тесты"), &InspectionEditFancy::action_CollapseAll);
    m_expand = newAction(VugImages::icon(QStringLiteral("Plus-Folder-icon.png")), tr("Раскрыть все тесты"), &InspectionEditFancy::action_ExpandAll);
    m_talkYes = newAction(VugImages::icon(QStringLiteral("AnswerYes.png")), tr("Проговор теста: Да"), &InspectionEditFancy::action_TestTalkYes);
    m_talkNo = newAction(VugImages::icon(QStringLiteral("AnswerNo.png")), tr("Проговор теста: Нет"), &InspectionEditFancy::action_TestTalkNo);
    m_extraInfo = newAction(VugImages::icon(QStringLiteral("AnswerShow.png")), tr("Показывать дополнительную информацию"),
                            &InspectionEditFancy::action_TestTalkShow);
    m_extraInfo->setCheckable(true);
    m_excel = newAction(VugImages::icon(QStringLiteral("Microsoft-Excel-icon.png")), tr("Выгрузить в MS Excel"), &InspectionEditFancy::action_ToExcel);
    m_undo = newAction(VugImages::icon(QStringLiteral("undo-icon.png")), tr("Отменить изменения (Ctrl+Z)"), &InspectionEditFancy::onUndo);
    m_redo = newAction(VugImages::icon(QStringLiteral("redo-icon.png")), tr("Повторить изменения (Ctrl+Y)"), &InspectionEditFancy::onRedo);
    m_copy = newAction(VugImages::icon(QStringLiteral("iconCopy.png")), QString(), &InspectionEditFancy::action_Copy);
    m_paste = newAction(VugImages::icon(QStringLiteral("iconPaste.png")), QString(), &InspectionEditFancy::action_Paste);
    m_edit = newAction(VugImages::icon(QStringLiteral("edit")), QString(), &InspectionEditFancy::action_Edit);
    m_delete = newAction(VugImages::icon(QStringLiteral("iconDelete.png")), QString(), &InspectionEditFancy::action_Delete);
    m_deleteGroup = newAction(QIcon(), tr("Удалить группу"), &InspectionEditFancy::action_DeleteGroup);
    m_deletePolygram = newAction(VugImages::icon(QStringLiteral("iconDelete22222.png")), tr("Удалить полиграмму теста"),
                                 &InspectionEditFancy::action_DeletePoligramme);
}

void InspectionEditFancy::createKindActions()
{
    const auto kind = [this](int code, const QString &text, Slot slot) {
        QAction *action = newAction(QIcon(), text, slot);
        action->setCheckable(true);
        return KindAction{code, action};
    };
    m_kindsRus = {kind(0, tr("НЕЙТРАЛЬНЫЙ вопрос"), &InspectionEditFancy::action_ChangeQuestN),
                  kind(2, tr("ПРОВЕРОЧНЫЙ вопрос"), &InspectionEditFancy::action_ChangeQuestP),
                  kind(1, tr("КОНТРОЛЬНЫЙ вопрос"), &InspectionEditFancy::action_ChangeQuestC)};
    m_reorder = newAction(QIcon(), tr("Перестроить порядок"), &InspectionEditFancy::action_ReorderQuests);
    m_kindsUsa = {kind(101, tr("ВВОДНЫЙ вопрос (P)"), &InspectionEditFancy::action_ChangeQuest_UsaP),
                  kind(102, tr("ИРРЕЛЕВАНТНЫЙ (I)"), &InspectionEditFancy::action_ChangeQuest_UsaI),
                  kind(103, tr("КОНТРОЛЬНЫЙ вопрос (C)"), &InspectionEditFancy::action_ChangeQuest_UsaC),
                  kind(104, tr("РЕЛЕВАНТНЫЙ вопрос (R)"), &InspectionEditFancy::action_ChangeQuest_UsaR),
                  kind(105, tr("ЖЕРТВЕННЫЙ РЕЛЕВАНТНЫЙ вопрос (SR)"), &InspectionEditFancy::action_ChangeQuest_UsaSR),
                  kind(106, tr("СИМПТОМАТИЧЕСКИЙ вопрос (So)"), &InspectionEditFancy::action_ChangeQuest_UsaSo),
                  kind(107, tr("вопрос КОМПЛЕКСА ВИНЫ (GC)"), &InspectionEditFancy::action_ChangeQuest_UsaGC)};
    // One exclusive group: a question has one kind, whichever set names it.
    m_kindGroup = new QActionGroup(this);
    for (const QList<KindAction> *set : {&m_kindsRus, &m_kindsUsa}) {
        for (const KindAction &each : *set)
            m_kindGroup->addAction(each.action);
    }
}

void InspectionEditFancy::createToolBar()
{
    QToolBar *bar = addToolBar(tr("Опросник"));
    bar->setObjectName(QStringLiteral("InspectionEditFancyToolBar"));
    bar->addActions({m_undo, m_redo});
    bar->addSeparator();
    bar->addActions({m_showRus, m_showUsa});
    bar->addSeparator();
    bar->addAction(m_addTest);
    bar->addSeparator();
    bar->addActions(m_addRus);
    m_setsSeparator = bar->addSeparator();
    bar->addActions(m_addUsa);
    bar->addSeparator();
    bar->addAction(m_addGroup);
    bar->addSeparator();
    bar->addActions({m_shiftDown, m_shiftUp});
    bar->addSeparator();
    bar->addActions({m_collapse, m_expand});
    bar->addSeparator();
    bar->addActions({m_talkYes, m_talkNo, m_extraInfo});
    bar->addSeparator();
    bar->addAction(m_excel);
}

void InspectionEditFancy::createDocks()
{
    m_subjects = new PersoneDockWindow(this);
    m_links = new PersoneLinkDockWindow(this);
    m_search = new PersoneSearchDockWindow(this);
    m_questions = new SpravQuestionsDockWindow(this);
    m_methodics = new SpravMethodicsDockWindow(this);
    m_preTest = new PreTestCanversationDockWindow(this);
    for (QDockWidget *dock : std::initializer_list<QDockWidget *>{m_subjects, m_search, m_methodics, m_questions,
                                                                  m_preTest, m_links})
        addDockWidget(Qt::RightDockWidgetArea, dock);
    for (QDockWidget *dock : std::initializer_list<QDockWidget *>{m_methodics, m_questions, m_search})
        tabifyDockWidget(m_subjects, dock);
    tabifyDockWidget(m_preTest, m_links);
    // A link goes with its subject through a rename of the subject or of its folder.
    connect(m_subjects, &PersoneDockWindow::notificationChangedPerosneSignal, m_links,
            &PersoneLinkDockWindow::followRename);
}

void InspectionEditFancy::connectDocks()
{
    // The three subject docks name their signals alike, each in its own class.
    const auto followChoice = [this](auto *dock) {
        using Dock = std::remove_pointer_t<decltype(dock)>;
        connect(dock, &Dock::notificationChangedPerosneSignal, this, &InspectionEditFancy::onChangedPersone2);
        // The other docks' choices move the subjects dock along when they sync.
        if constexpr (!std::is_same_v<Dock, PersoneDockWindow>)
            connect(dock, &Dock::notificationChangedPerosneSignal_ForSync, m_subjects,
                    &PersoneDockWindow::onChangedPerosneSignal_ForSync);
    };
    followChoice(m_links);
    followChoice(m_subjects);
    followChoice(m_search);
    connect(m_subjects, &PersoneDockWindow::notyfyCreatePersoneLinkAndVerify, m_links,
            &PersoneLinkDockWindow::onCreatePersoneLinkAndVerify);
    connect(m_search, &PersoneSearchDockWindow::notyfyCreatePersoneLinkAndVerifyFromSearch, m_links,
            &PersoneLinkDockWindow::onCreatePersoneLinkAndVerify);
    connect(this, &InspectionEditFancy::notifyChangePersone, m_preTest, &PreTestCanversationDockWindow::onChangedPersone);
    connect(m_links, &PersoneLinkDockWindow::notificationIsRecordedTest, this, &InspectionEditFancy::onIsRecordedTest);
    for (SpravDockWindow *book : std::initializer_list<SpravDockWindow *>{m_questions, m_methodics})
        connect(this, &InspectionEditFancy::notifyChangeRusUsaQuests, book, &SpravDockWindow::onChangeRusUsaQuests);
    m_subjects->initModel();
}

void InspectionEditFancy::createShortcuts()
{
    const auto shortcut = [this](const QKeySequence &keys, Slot slot) {
        auto *key = new QShortcut(keys, this, nullptr, nullptr, Qt::WindowShortcut);
        connect(key, &QShortcut::activated, this, slot);
        return key;
    };
    m_copyKey = shortcut(QKeySequence(Qt::CTRL + Qt::Key_C), &InspectionEditFancy::action_Copy);
    m_pasteKey = shortcut(QKeySequence(Qt::CTRL + Qt::Key_V), &InspectionEditFancy::action_Paste);
    m_editKey = shortcut(QKeySequence(Qt::Key_F2), &InspectionEditFancy::action_Edit);
    m_deleteKey = shortcut(QKeySequence(Qt::Key_Delete), &InspectionEditFancy::action_Delete);
    m_undoKey = shortcut(QKeySequence(Qt::CTRL + Qt::Key_Z), &InspectionEditFancy::onUndo);
    m_redoKey = shortcut(QKeySequence(Qt::CTRL + Qt::Key_Y), &InspectionEditFancy::onRedo);
    // The docks hold their own copy, paste and delete keys.
    for (QShortcut *key : {m_copyKey, m_pasteKey, m_editKey, m_deleteKey})
        key->setContext(Qt::WidgetWithChildrenShortcut);
}

void InspectionEditFancy::restoreLayout(const WindowLayout &layout)
{
    if (layout.state.isEmpty()) {
        // The first dock of each tab group is the one shown; the layout takes
        // that only once it runs.
        QTimer::singleShot(0, this, [this] {
            m_subjects->raise();
            m_preTest->raise();
            keepTreeShare();
        });
    }
    layout.restore(*this);
}

// A larger font widens the docks' tab titles: the docks keep the share of the
// window they have at scale 1.0, their titles elide, and the tree keeps its room.
void InspectionEditFancy::keepTreeShare()
{
    const double factor = Fancy::FontScale::factor();
    if (factor <= 1.0)
        return;
    int titles = 0;
    for (const QTabBar *bar : findChildren<QTabBar *>(QString(), Qt::FindDirectChildrenOnly))
        titles = std::max(titles, bar->sizeHint().width());
    const int width = int(std::lround(titles / factor));
    resizeDocks({m_subjects, m_preTest}, {width, width}, Qt::Horizontal);
}

void InspectionEditFancy::updateView()
{
    if (isOpen()) {
        reloadTree(true, nullptr);
        m_tree->setShowExtraInfo(m_showExtraInfo);
    }
    updateActions();
}

void InspectionEditFancy::reloadTree(bool keep, Inspection::_Test *test)
{
    m_tree->fillModel(&m_inspection, keep, test);
    // Unique connections: a refill may hand over the same view and selection model again.
    connect(m_tree, &InspectionTreeView::changeTest, this, &InspectionEditFancy::onChangeTest, Qt::UniqueConnection);
    connect(m_tree, &InspectionTreeView::saveRefused, this, &InspectionEditFancy::onSaveRefused, Qt::UniqueConnection);
    connect(m_tree->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &InspectionEditFancy::onTreeViewSelectionChanged, Qt::UniqueConnection);
    connect(m_tree, &QAbstractItemView::doubleClicked, this, &InspectionEditFancy::onDoubleClick, Qt::UniqueConnection);
}

int InspectionEditFancy::testRowOf(const QModelIndex &index) const
{
    if (!index.isValid())
        return -1;
    return index.parent().isValid() ? index.parent().row() : index.row();
}

Inspection::_Test *InspectionEditFancy::testOf(const QModelIndex &index)
{
    const int row = testRowOf(index);
    if (row < 0 || !m_tree->model())
        return nullptr;
    const QModelIndex testItem = m_tree->model()->index(row, 0);
    return m_inspection.test(testItem.data(Qt::UserRole + 1).toInt());
}

void InspectionEditFancy::closeTakenSubject(const QString &taken)
{
    const QString open = m_inspection.path;
    if (open.isEmpty() || (open != taken && !open.startsWith(taken + QLatin1Char('/'))))
        return;
    closeSubject();
    if (isOpen())
        return;
    QMessageBox::warning(this, tr("Воркел"),
                         tr("Файл обследуемого переименован, перемещён или удалён другой программой:\n%1\n"
                            "Обследуемый закрыт; выберите его снова в списке обследуемых.")
                             .arg(open));
}

// --- slots with small bodies ---

// A test dropped into the tree grew the test list.
void InspectionEditFancy::onChangeTest(Inspection::_Test *pTest)
{
    Q_UNUSED(pTest);
    if (m_inspection.tests.size() != m_announcedTests)
        announceInspection();
    updateActions();
}

void InspectionEditFancy::onTreeViewSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    Q_UNUSED(deselected);
    if (!selected.isEmpty())
        m_contextIndex = m_tree->currentIndex();
    updateActions();
}

void InspectionEditFancy::onDoubleClick(const QModelIndex &index)
{
    if (isQuestionItem(index)) {
        m_tree->edit(index);
        return;
    }
    const int row = index.data(Qt::UserRole + 1).toInt();
    const Inspection::_Test *test = testOf(index);
    if (!test)
        return;
    if (test->recorded)
        emit notifyDefViewPoligramme(row);
    else
        emit notifyDefRecordPoligramme(row);
}

void InspectionEditFancy::action_DefViewPoligramme()
{
    emit notifyDefViewPoligramme(testRowOf(m_contextIndex));
}

void InspectionEditFancy::action_DefRecordPoligramme()
{
    emit notifyDefRecordPoligramme(testRowOf(m_contextIndex));
}

void InspectionEditFancy::action_Edit()
{
    if (m_contextIndex.isValid())
        m_tree->edit(m_contextIndex);
}

void InspectionEditFancy::action_TestTalkShow()
{
    m_showExtraInfo = !m_showExtraInfo;
    m_tree->setShowExtraInfo(m_showExtraInfo);
    m_tree->viewport()->update();
}

void InspectionEditFancy::action_CollapseAll()
{
    m_tree->collapseAll();
}

void InspectionEditFancy::action_ExpandAll()
{
    m_tree->expandAll();
}

void InspectionEditFancy::action_ShiftDown()
{
    QApplication::postEvent(m_tree, new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::ControlModifier));
}

void InspectionEditFancy::action_ShiftUp()
{
    QApplication::postEvent(m_tree, new QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::ControlModifier));
}

void InspectionEditFancy::action_ToExcel()
{
    const WaitCursor wait;
    exportTreeViewToExcel(m_tree);
}

void InspectionEditFancy::onIsRecordedTest(bool *recorded)
{
    if (!recorded)
        return;
    *recorded = std::any_of(m_inspection.tests.cbegin(), m_inspection.tests.cend(),
                            [](const Inspection::_Test &test) { return test.recorded; });
}

void InspectionEditFancy::onShowRusQuests()
{
    updateRusUsaActions();
}

void InspectionEditFancy::onShowUsaQuests()
{
    updateRusUsaActions();
}
