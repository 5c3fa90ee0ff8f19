// The JSON documents of a test: its structure, marks, channels and samples.
#include "InspectionTest.h"

#include "BinaryJsonNumbers.h"
#include "ChannelBindings.h"
#include "JsonRecords.h"

#include <QJsonArray>
#include <QRegularExpression>

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");
const QString kTimeKey = QStringLiteral("TimeMM");

QString withoutControlCharacters(const QString &name)
{
    static const QRegularExpression unsafe(QStringLiteral("[\\n\\t\\r\"']"));
    return QString(name).remove(unsafe);
}

template <typename Number>
void numbersFromArray(const QJsonValue &value, QVector<Number> &numbers)
{
    const QJsonArray array = value.toArray();
    numbers.clear();
    numbers.reserve(array.size());
    for (const QJsonValue &element : array)
        numbers.append(Number(element.toInt()));
}

}  // namespace

void InspectionTest::toJson(QJsonObject &object)
{
    name = withoutControlCharacters(name);
    object.insert(QStringLiteral("name"), name);
    object.insert(QStringLiteral("ShowAllQuestSecondMonitor"), ShowAllQuestSecondMonitor);
    object.insert(QStringLiteral("themisNULL"), recordsToArray(themisNULL));
    object.insert(QStringLiteral("themis"), recordsToArray(themis));
    object.insert(QStringLiteral("orders"), recordsToArray(orders));
    object.insert(QStringLiteral("DateTimeRecorded"),
                  DateTimeRecorded.isValid() ? DateTimeRecorded.toString(kDateFormat) : QString());
    object.insert(QStringLiteral("Comments"), Comments);
}

void InspectionTest::fromJson(const QJsonObject &object)
{
    name = withoutControlCharacters(object.value(QStringLiteral("name")).toString());
    ShowAllQuestSecondMonitor = object.value(QStringLiteral("ShowAllQuestSecondMonitor")).toBool();
    recordsFromArray(object.value(QStringLiteral("themisNULL")), themisNULL);
    recordsFromArray(object.value(QStringLiteral("themis")), themis);
    recordsFromArray(object.value(QStringLiteral("orders")), orders);
    DateTimeRecorded = QDateTime::fromString(object.value(QStringLiteral("DateTimeRecorded")).toString(), kDateFormat);
    Comments = object.value(QStringLiteral("Comments")).toString();
}

void InspectionTest::labelsToJson(QJsonObject &object) const
{
    object.insert(QStringLiteral("labelsNULL"), recordsToArray(labelsNULL));
    object.insert(QStringLiteral("labels"), recordsToArray(labels));
}

void InspectionTest::labelsFromJson(const QJsonObject &object)
{
    recordsFromArray(object.value(QStringLiteral("labelsNULL")), labelsNULL);
    recordsFromArray(object.value(QStringLiteral("labels")), labels);
}

void InspectionTest::labelsForRestoreToJson(QJsonObject &object) const
{
    object.insert(QStringLiteral("labels"), recordsToArray(labelsForRestore));
}

void InspectionTest::labelsForRestoreFromJson(const QJsonObject &object)
{
    recordsFromArray(object.value(QStringLiteral("labels")), labelsForRestore);
}

void InspectionTest::channelsToJson(QJsonObject &object) const
{
    for (int code = 0; code < ChannelCode::Count; ++code) {
        QJsonObject record;
        channel(code).toJson(record);
        object.insert(ChannelCode::channelKey(code), record);
    }
}

void InspectionTest::channelsFromJson(const QJsonObject &object)
{
    for (int code = 0; code < ChannelCode::Count; ++code)
        channel(code).fromJson(object.value(ChannelCode::channelKey(code)).toObject());
    // The display settings are the program's shared ones, not the stored copies.
    bindChannelSettings(*this, false);
}

bool InspectionTest::samplesToBinaryJson(BinaryJsonObject::Value &value) const
{
    BinaryJsonObject object;
    BinaryJsonObject::Value array;
    for (int code = 0; code < ChannelCode::Count; ++code) {
        if (!BinaryJsonNumbers::write(*samples(code), array))
            return false;
        object.insert(ChannelCode::dataKey(code), array);
    }
    if (!BinaryJsonNumbers::write(TimeMM, array))
        return false;
    object.insert(kTimeKey, array);
    value = object.toValue();
    return value.type() == BinaryJsonObject::Object;
}

bool InspectionTest::samplesFromBinaryJson(const BinaryJsonObject::Value &value)
{
    StoredBytes none{QByteArray()};
    return samplesFromBinaryJson(none, value);
}

bool InspectionTest::samplesFromBinaryJson(StoredBytes &bytes, const BinaryJsonObject::Value &value)
{
    BinaryJsonObject object;
    QVector<qint16> channels[ChannelCode::Count];
    QVector<qint32> time;
    if (!object.readValue(bytes, value))
        return false;
    for (int code = 0; code < ChannelCode::Count; ++code) {
        if (!BinaryJsonNumbers::read(bytes, object.value(ChannelCode::dataKey(code)), channels[code]))
            return false;
    }
    if (!BinaryJsonNumbers::read(bytes, object.value(kTimeKey), time))
        return false;
    for (int code = 0; code < ChannelCode::Count; ++code)
        samples(code)->swap(channels[code]);
    TimeMM.swap(time);
    return true;
}

void InspectionTest::samplesFromJson(const QJsonObject &object)
{
    for (int code = 0; code < ChannelCode::Count; ++code)
        numbersFromArray(object.value(ChannelCode::dataKey(code)), *samples(code));
    numbersFromArray(object.value(kTimeKey), TimeMM);
}
