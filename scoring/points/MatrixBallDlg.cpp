#include "MatrixBallDlg.h"

#include "FragmentPanel.h"
#include "FragmentPicture.h"
#include "PointsPanelOptions.h"
#include "PresetMenus.h"
#include "data/ViewModel.h"

#include "data/ActivePopupMenu.h"
#include "data/SettingsStore.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QMenu>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const char kSettingsGroup[] = "MatrixBallDlg_v1";
constexpr int kTicksPerSecond = 20;

QVector<int> allChannels()
{
    QVector<int> codes;
    for (int code = 0; code < ChannelCode::Count; ++code)
        codes << code;
    return codes;
}

}  // namespace

MatrixBallDlg::MatrixBallDlg(Inspection::_Test *test, QWidget *parent)
    : QDialog(parent), m_table(new QTableView), m_test(test)
{
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    readSettings();
    fillGrid();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->hide();
    m_table->verticalHeader()->hide();
    m_table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_table, &QWidget::customContextMenuRequested, this, &MatrixBallDlg::onImageListMenu);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
}

MatrixBallDlg::~MatrixBallDlg()
{
    auto settings = SettingsStore::open();
    settings->beginGroup(QLatin1String(kSettingsGroup));
    settings->setValue(QStringLiteral("iScale"), iScale);
    settings->setValue(QStringLiteral("iUnfold"), iUnfold);
    settings->setValue(QStringLiteral("bShowQuestText"), bShowQuestText);
    settings->setValue(QStringLiteral("bShowQuestC"), bShowQuestC);
    settings->setValue(QStringLiteral("bShowQuestP"), bShowQuestP);
    settings->setValue(QStringLiteral("bShowQuestN"), bShowQuestN);
    settings->setValue(QStringLiteral("bShowQuestBk"), bShowQuestBk);
    settings->setValue(QStringLiteral("bShowAsLabel"), bShowAsLabel);
    settings->endGroup();
    settings->sync();
}

void MatrixBallDlg::readSettings()
{
    auto settings = SettingsStore::open();
    settings->beginGroup(QLatin1String(kSettingsGroup));
    iScale = sanePictureScale(SettingsStore::read(*settings, QStringLiteral("iScale"), iScale), iScale);
    iUnfold = saneUnfold(SettingsStore::read(*settings, QStringLiteral("iUnfold"), iUnfold), iUnfold);
    bShowQuestText = SettingsStore::read(*settings, QStringLiteral("bShowQuestText"), bShowQuestText);
    bShowQuestC = SettingsStore::read(*settings, QStringLiteral("bShowQuestC"), bShowQuestC);
    bShowQuestP = SettingsStore::read(*settings, QStringLiteral("bShowQuestP"), bShowQuestP);
    bShowQuestN = SettingsStore::read(*settings, QStringLiteral("bShowQuestN"), bShowQuestN);
    bShowQuestBk = SettingsStore::read(*settings, QStringLiteral("bShowQuestBk"), bShowQuestBk);
    bShowAsLabel = SettingsStore::read(*settings, QStringLiteral("bShowAsLabel"), bShowAsLabel);
}

int MatrixBallDlg::maxQuestInterval(const Inspection::_Test &test)
{
    int longest = 0;
    for (const InspectionLabel &mark : test.labels)
        longest = qMax(longest, mark.TickQEnd - mark.TickQStart);
    return longest;
}

// Every cell of the test is as wide as the analysis interval and, with the
// question intervals shown, the longest of them.
QPixmap MatrixBallDlg::renderFragment(const InspectionLabel &mark) const
{
    const int analysis = int(m_test->ia.nIALength);
    int width = analysis * kTicksPerSecond * 1000 / iUnfold;
    if (bShowQuestBk)
        width += maxQuestInterval(*m_test) * 1000 / iUnfold;
    FragmentOptions options;
    options.unfold = iUnfold;
    options.allChannels = false;
    options.questionShades = bShowQuestBk;
    options.reactionShades = true;
    options.questionText = bShowQuestText;
    options.kindFrame = true;
    const FragmentPicture::Span span{mark.TickQEnd + kTicksPerSecond * analysis, width - 1};
    return FragmentPicture::drawFragment(m_test, mark.Theme, allChannels(), span, iScale * 5, options);
}

bool MatrixBallDlg::passesKind(const InspectionLabel &mark) const
{
    return questionKindShown(m_test->theme(mark.Theme).Type, bShowQuestC, bShowQuestP, bShowQuestN);
}

// By question the cells are packed from the left; in recorded order each mark
// follows the one before it in its presentation's row.
void MatrixBallDlg::fillGrid()
{
    const int presentations = m_test ? m_test->presentationCount() : 0;
    auto *model = new QStandardItemModel(presentations, m_test ? m_test->themis.size() : 0, this);
    if (m_test && !bShowAsLabel) {
        for (int presentation = 1; presentation <= presentations; ++presentation) {
            int column = 0;
            for (int quest = 0; quest < m_test->themis.size(); ++quest) {
                const InspectionLabel *mark = m_test->findLabel(presentation, quest);
                if (!mark || !passesKind(*mark))
                    continue;
                model->setData(model->index(presentation - 1, column++), renderFragment(*mark), Qt::DecorationRole);
            }
        }
    } else if (m_test) {
        int column = 0;
        int lastRow = -1;
        for (const InspectionLabel &mark : qAsConst(m_test->labels)) {
            if (!passesKind(mark) || mark.Group < 1)
                continue;
            const int row = mark.Group - 1;
            column = row == lastRow ? column : 0;
            auto *item = new QStandardItem;
            item->setData(int(Qt::AlignRight), Qt::TextAlignmentRole);
            item->setData(renderFragment(mark), Qt::DecorationRole);
            model->setItem(row, column, item);
            ++column;
            lastRow = row;
        }
    }
    replaceViewModel(m_table, model);
    m_table->resizeRowsToContents();
}

QMenu *MatrixBallDlg::buildMenu()
{
    auto *menu = new QMenu;
    static const QVector<int> scales{100, 95, 90, 85, 80, 75, 70, 65, 60};
    menu->addSeparator();
    addScaleMenu(menu, scales, iScale, this, [this](int value) { setScale(value); });
    menu->addSeparator();
    addUnfoldMenu(menu, FragmentPanel::unfoldValues(), iUnfold, this, [this](int value) { setUnfold(value); });
    menu->addSeparator();
    addFlagAction(menu, tr("Показать вопросы"), bShowQuestText, this, [this] { onShowTextQuestAction(); });
    addFlagAction(menu, tr("Показывать инервал предъявления"), bShowQuestBk, this, [this] { onShowQuest(); });
    menu->addSeparator();
    addFlagAction(menu, tr("Показывать в порядке предъявления"), bShowAsLabel, this, [this] { onShowAsLabel(); });
    menu->addSeparator();
    addFlagAction(menu, tr("Показывать только КОНТРОЛЬНЫЙ вопросы"), bShowQuestC, this, [this] { onShowQuestC(); });
    addFlagAction(menu, tr("Показывать только ПРОВЕРОЧНЫЕ вопросы"), bShowQuestP, this, [this] { onShowQuestP(); });
    addFlagAction(menu, tr("Показывать только НЕЙТРАЛЬНЫЕ вопросы"), bShowQuestN, this, [this] { onShowQuestN(); });
    return menu;
}

void MatrixBallDlg::onImageListMenu(const QPoint &point)
{
    QScopedPointer<QMenu> menu(buildMenu());
    ActivePopupMenu marker(menu.data());
    menu->exec(m_table->viewport()->mapToGlobal(point));
}

void MatrixBallDlg::setScale(int value)
{
    iScale = value;
    fillGrid();
}

void MatrixBallDlg::setUnfold(int value)
{
    iUnfold = value;
    fillGrid();
}

void MatrixBallDlg::toggle(bool &flag)
{
    flag = !flag;
    fillGrid();
}

void MatrixBallDlg::onShowTextQuestAction()
{
    toggle(bShowQuestText);
}

void MatrixBallDlg::onShowQuest()
{
    toggle(bShowQuestBk);
}

void MatrixBallDlg::onShowAsLabel()
{
    toggle(bShowAsLabel);
}

void MatrixBallDlg::onShowQuestC()
{
    toggle(bShowQuestC);
}

void MatrixBallDlg::onShowQuestN()
{
    toggle(bShowQuestN);
}

void MatrixBallDlg::onShowQuestP()
{
    toggle(bShowQuestP);
}
