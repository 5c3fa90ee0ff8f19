#include "scoring/points/QuestKey.h"
#include "tests/support/TestHome.h"

#include <QJsonArray>
#include <QStandardItem>

namespace {

QuestKey read(const QJsonObject &object)
{
    QuestKey key;
    key.iTest = key.iGroup = key.iParam = key.iQuest = 99;
    key.fromJson(object);
    return key;
}

QVector<int> fields(const QuestKey &key)
{
    return {key.iTest, key.iGroup, key.iParam, key.iQuest};
}

}  // namespace

class TestPointsQuestKey : public QObject
{
    Q_OBJECT
private slots:
    void readsNavigatorCell();
    void missingAndNonNumericKeysReadAsZero();
    void writingKeepsOtherKeys();
    void travelsInItemRole();
};

void TestPointsQuestKey::readsNavigatorCell()
{
    const QuestKey key = read({{"iTest", 2}, {"iGroup", 3}, {"iParam", 1}, {"iQuest", -1}});
    QCOMPARE(fields(key), QVector<int>({2, 3, 1, -1}));
}

void TestPointsQuestKey::missingAndNonNumericKeysReadAsZero()
{
    const QuestKey empty = read({});
    QCOMPARE(fields(empty), QVector<int>({0, 0, 0, 0}));

    const QuestKey odd =
        read({{"iTest", "2"}, {"iGroup", true}, {"iParam", QJsonValue::Null}, {"iQuest", QJsonArray{4}}});
    QCOMPARE(fields(odd), QVector<int>({0, 0, 0, 0}));

    const QuestKey partial = read({{"iQuest", 7}, {"other", 5}});
    QCOMPARE(fields(partial), QVector<int>({0, 0, 0, 7}));
}

void TestPointsQuestKey::writingKeepsOtherKeys()
{
    QJsonObject object{{"name", "тест"}, {"iGroup", 9}};
    QuestKey key;
    key.iTest = 4;
    key.iGroup = 1;
    key.iParam = 2;
    key.iQuest = 5;
    key.toJson(object);
    QCOMPARE(object, QJsonObject({{"name", "тест"}, {"iTest", 4}, {"iGroup", 1}, {"iParam", 2}, {"iQuest", 5}}));
}

void TestPointsQuestKey::travelsInItemRole()
{
    QCOMPARE(QuestKey::Role, 257);
    QuestKey key;
    key.iTest = 1;
    key.iGroup = 2;
    key.iParam = 0;
    key.iQuest = 3;
    QJsonObject object;
    key.toJson(object);
    QStandardItem item;
    item.setData(QVariant(object), QuestKey::Role);
    const QuestKey back = read(item.data(QuestKey::Role).toJsonObject());
    QCOMPARE(fields(back), QVector<int>({1, 2, 0, 3}));
}

VUG_TEST_MAIN(TestPointsQuestKey, QCoreApplication)
#include "tst_pointsquestkey.moc"
