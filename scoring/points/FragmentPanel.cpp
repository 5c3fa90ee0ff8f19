#include "FragmentPanel.h"

#include "_QDockWidget.h"
#include "_QListView.h"
#include "PresetMenus.h"

#include "data/InspectionTheme.h"
#include "fancy/FontScale.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>

namespace {

const char *const kUnfoldTexts[] = {
    QT_TRANSLATE_NOOP("FragmentPanel", "  1 сек.  "),          QT_TRANSLATE_NOOP("FragmentPanel", "    1.25 сек.  "),
    QT_TRANSLATE_NOOP("FragmentPanel", "      1.5 сек.  "),    QT_TRANSLATE_NOOP("FragmentPanel", "        1.75 сек.  "),
    QT_TRANSLATE_NOOP("FragmentPanel", "  2 сек.  "),          QT_TRANSLATE_NOOP("FragmentPanel", "    2.25 сек.  "),
    QT_TRANSLATE_NOOP("FragmentPanel", "      2.5 сек.  "),    QT_TRANSLATE_NOOP("FragmentPanel", "        2.75 сек.  "),
    QT_TRANSLATE_NOOP("FragmentPanel", "  3 сек.  "),          QT_TRANSLATE_NOOP("FragmentPanel", "    3.25 сек.  "),
    QT_TRANSLATE_NOOP("FragmentPanel", "      3.5 сек.  "),    QT_TRANSLATE_NOOP("FragmentPanel", "        3.75 сек.  "),
    QT_TRANSLATE_NOOP("FragmentPanel", "  4 сек.  ")};
const char *const kScaleTexts[] = {"--auto--", "  100%  ", "    95%  ", "   90%  ", "    85% ",
                                   "   80%  ", "    75%  ", "   70%  ", "    65%  ", "   60%  "};
constexpr int kComboWidth = 150;

// The entry whose item data is value; none found clears the selection.
void selectComboData(QComboBox *combo, int value)
{
    combo->setCurrentIndex(combo->findData(value));
}

}  // namespace

const QVector<int> &FragmentPanel::unfoldValues()
{
    static const QVector<int> values{1000, 1250, 1500, 1750, 2000, 2250, 2500, 2750, 3000, 3250, 3500, 3750, 4000};
    return values;
}

const QVector<int> &FragmentPanel::scaleValues()
{
    static const QVector<int> values{-1, 100, 95, 90, 85, 80, 75, 70, 65, 60};
    return values;
}

FragmentPanel::FragmentPanel(const QString &caption, const QString &name, PointsPanelOptions &options,
                             QWidget *window)
    : QObject(window), m_options(options), m_dock(new _QDockWidget(caption, window)), m_list(new _QListView)
{
    m_dock->setObjectName(name);
    m_dock->setStyleSheet(QStringLiteral("QDockWidget { font: bold }"));
    m_dock->setFeatures(QDockWidget::DockWidgetMovable);
    m_dock->setFloatingMode(m_options.bModePinnable);
    // One row of images at their own size, scrolled sideways.
    m_list->setViewMode(QListView::IconMode);
    m_list->setLayoutMode(QListView::Batched);
    m_list->setFlow(QListView::LeftToRight);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setWrapping(false);
    m_list->setDragEnabled(false);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_dock->setWidget(createToolBarWindow());
}

QWidget *FragmentPanel::createToolBarWindow()
{
    auto *inner = new QMainWindow;
    auto *bar = new QToolBar(inner);
    bar->setMovable(false);
    // No tool bar menu of its own.
    bar->setContextMenuPolicy(Qt::CustomContextMenu);
    bar->addWidget(new QLabel(tr(" Развертка (X): ")));
    m_unfold = createCombo(kUnfoldTexts, unfoldValues(), m_options.iUnfold);
    connect(m_unfold, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &FragmentPanel::onSelectUnfold);
    bar->addWidget(m_unfold);
    bar->addWidget(new QLabel(tr("   Масштаб (Y): ")));
    m_scale = createCombo(kScaleTexts, scaleValues(), m_options.iScale);
    connect(m_scale, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &FragmentPanel::onSelectScale);
    bar->addWidget(m_scale);
    bar->addSeparator();
    m_neutral = createKindBox(tr(" Нейтральные"), QStringLiteral("green"), m_options.bShowQuestN);
    m_test = createKindBox(tr(" Проверочные"), QStringLiteral("red"), m_options.bShowQuestP);
    m_control = createKindBox(tr(" Контрольные"), QStringLiteral("blue"), m_options.bShowQuestC);
    connect(m_neutral, &QCheckBox::released, this, &FragmentPanel::onChangeQuestN);
    connect(m_test, &QCheckBox::released, this, &FragmentPanel::onChangeQuestP);
    connect(m_control, &QCheckBox::released, this, &FragmentPanel::onChangeQuestC);
    for (QCheckBox *box : {m_neutral, m_test, m_control})
        m_kindActions << bar->addWidget(box);
    inner->addToolBar(bar);
    inner->setCentralWidget(m_list);
    return inner;
}

// Filled and set to the stored value before the caller hears its changes.
QComboBox *FragmentPanel::createCombo(const char *const texts[], const QVector<int> &values, int selected)
{
    auto *combo = new QComboBox;
    combo->setFixedWidth(Fancy::FontScale::px(kComboWidth));
    for (int entry = 0; entry < values.size(); ++entry)
        combo->addItem(tr(texts[entry]), values[entry]);
    selectComboData(combo, selected);
    return combo;
}

QCheckBox *FragmentPanel::createKindBox(const QString &text, const QString &colour, bool checked)
{
    auto *box = new QCheckBox(text);
    box->setStyleSheet(QStringLiteral("QCheckBox { color: %1 }").arg(colour));
    box->setChecked(checked);
    return box;
}

QCheckBox *FragmentPanel::kindBox(int kind) const
{
    switch (kind) {
    case QuestionKind::Neutral:
        return m_neutral;
    case QuestionKind::Test:
        return m_test;
    case QuestionKind::Control:
        return m_control;
    default:
        return nullptr;
    }
}

void FragmentPanel::showKindFilter(bool shown)
{
    for (QAction *action : qAsConst(m_kindActions))
        action->setVisible(shown);
}

void FragmentPanel::selectScale(int value)
{
    selectComboData(m_scale, value);
}

void FragmentPanel::selectUnfold(int value)
{
    selectComboData(m_unfold, value);
}

void FragmentPanel::onSelectScale(int index)
{
    if (index < 0)
        return;
    m_options.iScale = m_scale->itemData(index).toInt();
    emit refill();
}

void FragmentPanel::onSelectUnfold(int index)
{
    if (index < 0)
        return;
    m_options.iUnfold = m_unfold->itemData(index).toInt();
    emit refill();
}

void FragmentPanel::toggle(bool PointsPanelOptions::*flag)
{
    m_options.*flag = !(m_options.*flag);
    emit refill();
}

void FragmentPanel::onShowTextQuestAction()
{
    toggle(&PointsPanelOptions::bShowQuestText);
}

void FragmentPanel::onShowAllChannels()
{
    toggle(&PointsPanelOptions::bShowAllChannels);
}

void FragmentPanel::onShowBkIA()
{
    toggle(&PointsPanelOptions::bShowBkIA);
}

void FragmentPanel::onShowQuest()
{
    toggle(&PointsPanelOptions::bShowQuest);
}

void FragmentPanel::onShowBkQuest()
{
    toggle(&PointsPanelOptions::bShowBkQuest);
}

void FragmentPanel::onShowAsIA()
{
    toggle(&PointsPanelOptions::bShowAsIA);
}

void FragmentPanel::onShowAsLabel()
{
    toggle(&PointsPanelOptions::bShowAsLabel);
}

// From the menu: the check box follows the flag.
void FragmentPanel::toggleKind(bool PointsPanelOptions::*flag, QCheckBox *box)
{
    m_options.*flag = !(m_options.*flag);
    box->setChecked(m_options.*flag);
    emit refill();
}

// From the check box, which shows the new state already.
void FragmentPanel::takeKind(bool PointsPanelOptions::*flag, QCheckBox *box)
{
    m_options.*flag = box->isChecked();
    emit refill();
}

void FragmentPanel::onShowQuestC()
{
    toggleKind(&PointsPanelOptions::bShowQuestC, m_control);
}

void FragmentPanel::onShowQuestP()
{
    toggleKind(&PointsPanelOptions::bShowQuestP, m_test);
}

void FragmentPanel::onShowQuestN()
{
    toggleKind(&PointsPanelOptions::bShowQuestN, m_neutral);
}

void FragmentPanel::onChangeQuestC()
{
    takeKind(&PointsPanelOptions::bShowQuestC, m_control);
}

void FragmentPanel::onChangeQuestP()
{
    takeKind(&PointsPanelOptions::bShowQuestP, m_test);
}

void FragmentPanel::onChangeQuestN()
{
    takeKind(&PointsPanelOptions::bShowQuestN, m_neutral);
}

void FragmentPanel::onPinnable()
{
    m_options.bModePinnable = !m_options.bModePinnable;
    m_dock->setFloatingMode(m_options.bModePinnable);
}

QAction *FragmentPanel::addFlag(QMenu *menu, const QString &text, bool PointsPanelOptions::*flag,
                                void (FragmentPanel::*slot)())
{
    return addFlagAction(menu, text, m_options.*flag, this, [this, slot] { (this->*slot)(); });
}

void FragmentPanel::addMenuEntries(QMenu *menu, bool expert)
{
    menu->addSeparator();
    addScaleMenu(menu, scaleValues(), m_options.iScale, this, [this](int value) { selectScale(value); });
    menu->addSeparator();
    addUnfoldMenu(menu, unfoldValues(), m_options.iUnfold, this, [this](int value) { selectUnfold(value); });
    menu->addSeparator();
    addFlag(menu, tr("Показать вопросы"), &PointsPanelOptions::bShowQuestText, &FragmentPanel::onShowTextQuestAction);
    addFlag(menu, tr("Показать все каналы"), &PointsPanelOptions::bShowAllChannels, &FragmentPanel::onShowAllChannels);
    addFlag(menu, tr("Показывать в порядке предъявления"), &PointsPanelOptions::bShowAsLabel,
            &FragmentPanel::onShowAsLabel);
    menu->addSeparator();
    addFlag(menu, tr("Подсвечивать интервал предъявления"), &PointsPanelOptions::bShowBkQuest,
            &FragmentPanel::onShowBkQuest);
    addFlag(menu, tr("Подсвечивать интервал анализа"), &PointsPanelOptions::bShowBkIA, &FragmentPanel::onShowBkIA);
    menu->addSeparator();
    addFlag(menu, tr("Показывать инервал предъявления"), &PointsPanelOptions::bShowQuest, &FragmentPanel::onShowQuest);
    addFlag(menu, tr("Показывать только инервал анализа"), &PointsPanelOptions::bShowAsIA, &FragmentPanel::onShowAsIA);
    menu->addSeparator();
    if (expert) {
        addFlag(menu, tr("Показывать только КОНТРОЛЬНЫЙ вопросы"), &PointsPanelOptions::bShowQuestC,
                &FragmentPanel::onShowQuestC);
        addFlag(menu, tr("Показывать только ПРОВЕРОЧНЫЕ вопросы"), &PointsPanelOptions::bShowQuestP,
                &FragmentPanel::onShowQuestP);
        addFlag(menu, tr("Показывать только НЕЙТРАЛЬНЫЕ вопросы"), &PointsPanelOptions::bShowQuestN,
                &FragmentPanel::onShowQuestN);
        menu->addSeparator();
    }
    addFlag(menu, tr("Режим поплавка"), &PointsPanelOptions::bModePinnable, &FragmentPanel::onPinnable);
}
