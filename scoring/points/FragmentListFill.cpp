#include "FragmentListFill.h"

#include "PointsScale.h"

#include <QStandardItemModel>

FragmentListFill::FragmentListFill(Inspection &examination, int scale, const PointsPanelOptions &panel, int unit)
    : m_examination(examination), m_scale(scale), m_panel(panel), m_options(fragmentOptions(panel, unit))
{
}

FragmentOptions FragmentListFill::fragmentOptions(const PointsPanelOptions &panel, int unit)
{
    FragmentOptions options;
    options.unit = unit;
    options.unfold = panel.iUnfold;
    options.allChannels = panel.bShowAllChannels;
    options.reactionShades = panel.bShowBkIA;
    options.questionShades = panel.bShowBkQuest;
    options.questionText = panel.bShowQuestText;
    options.kindFrame = panel.bShowQuestText;
    options.analysisOnly = panel.bShowAsIA;
    options.questionInterval = panel.bShowQuest;
    return options;
}

QStandardItemModel *FragmentListFill::build(const QVector<QJsonObject> &selected, const QuestKey &current,
                                            int *currentRow) const
{
    auto *model = new QStandardItemModel(0, 1);
    *currentRow = -1;
    if (selected.size() == 1) {
        InspectionTest *test = m_examination.test(current.iTest);
        if (!test)
            return model;
        for (int quest : questionsOf(*test, current)) {
            const InspectionBallValuation &entry = scaleMapOf(*test, m_scale).value(current.iGroup).value(quest);
            if (!entry.bEnable || !passesKind(*test, quest))
                continue;
            const QuestKey place{current.iTest, current.iGroup, current.iParam, quest};
            QJsonObject key;
            place.toJson(key);
            if (quest == current.iQuest)
                *currentRow = model->rowCount();
            appendImage(*model, key, place);
        }
        return model;
    }
    for (const QJsonObject &key : selected) {
        QuestKey place;
        place.fromJson(key);
        if (!m_examination.test(place.iTest))
            break;
        appendImage(*model, key, place);
    }
    return model;
}

QVector<int> FragmentListFill::questionsOf(const InspectionTest &test, const QuestKey &cell) const
{
    QVector<int> quests;
    if (!m_panel.bShowAsLabel) {
        for (int quest = 0; quest < test.themis.size(); ++quest)
            quests << quest;
        return quests;
    }
    for (const InspectionLabel &mark : test.labels) {
        if (mark.Group == cell.iGroup)
            quests << mark.Theme;
    }
    return quests;
}

bool FragmentListFill::passesKind(const InspectionTest &test, int quest) const
{
    const int kind = quest >= 0 && quest < test.themis.size() ? test.themis.at(quest).Type : -1;
    return questionKindShown(kind, m_panel.bShowQuestC, m_panel.bShowQuestP, m_panel.bShowQuestN);
}

void FragmentListFill::appendImage(QStandardItemModel &model, const QJsonObject &key, const QuestKey &place) const
{
    InspectionTest *test = m_examination.test(place.iTest);
    // The window read the samples, or told why it could not: an unread
    // recording gives no image.
    if (!test->samplesLoaded())
        return;
    const InspectionBallValuation &entry = scaleMapOf(*test, m_scale).value(place.iGroup).value(place.iQuest);
    QPixmap picture = FragmentPicture::renderFragment(test, place.iGroup, place.iQuest,
                                                      FragmentPicture::groupChannels(place.iParam), m_options);
    auto *item = new QStandardItem;
    item->setEditable(false);
    item->setData(key, QuestKey::Role);
    item->setData(picture, PlainPictureRole);
    FragmentPicture::drawBallOverlay(picture, place.iParam, entry, test, place.iGroup, place.iQuest, m_scale, m_options);
    item->setData(picture, Qt::DecorationRole);
    model.appendRow(item);
}
