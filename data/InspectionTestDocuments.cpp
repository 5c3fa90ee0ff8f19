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

// The recording time as written, "yyyy-MM-dd hh:mm:ss". Qt's format parser
// asks the time zone several times per call, which made reading the tests
// of many files slow; text of that exact shape is taken apart here, and any
// other (or a time the clock skips) goes through the parser as before.
QDateTime recordedAt(const QString &text)
{
    static const QString shape = QStringLiteral("0000-00-00 00:00:00");
    bool plain = text.size() == shape.size();
    for (int i = 0; plain && i < text.size(); ++i)
        plain = shape[i] == QLatin1Char('0') ? text[i].isDigit() && text[i].unicode() < 128 : text[i] == shape[i];
    if (plain) {
        const auto number = [&text](int at, int length) { return text.midRef(at, length).toInt(); };
        const QDate date(number(0, 4), number(5, 2), number(8, 2));
        const QTime time(number(11, 2), number(14, 2), number(17, 2));
        const QDateTime dateTime(date, time);
        if (date.isValid() && time.isValid() && dateTime.time() == time)
            return dateTime;
    }
    return QDateTime::fromString(text, kDateFormat);
}

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
    DateTimeRecorded = recordedAt(object.value(QStringLiteral("DateTimeRecorded")).toString());
    Comments = object.value(QStringLiteral("Comments")).toString();
}

namespace {

// An object of mark lists by key, as stored.
bool markListsToStored(std::initializer_list<std::pair<QString, const QVector<InspectionLabel> *>> lists,
                       BinaryJsonObject::Value &value)
{
    BinaryJsonObject object;
    for (const auto &list : lists) {
        BinaryJsonObject::Value marks;
        if (!BinaryJsonNumbers::writeRecords(*list.second, marks))
            return false;
        object.insert(list.first, marks);
    }
    value = object.toValue();
    return !value.data.isEmpty();
}

}  // namespace

bool InspectionTest::labelsToJson(BinaryJsonObject::Value &value) const
{
    return markListsToStored({{QStringLiteral("labelsNULL"), &labelsNULL}, {QStringLiteral("labels"), &labels}}, value);
}

void InspectionTest::labelsFromJson(const QJsonObject &object)
{
    recordsFromArray(object.value(QStringLiteral("labelsNULL")), labelsNULL);
    recordsFromArray(object.value(QStringLiteral("labels")), labels);
}

bool InspectionTest::labelsForRestoreToJson(BinaryJsonObject::Value &value) const
{
    return markListsToStored({{QStringLiteral("labels"), &labelsForRestore}}, value);
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

bool InspectionTest::samplesToJson(BinaryJsonObject::Value &value) const
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

bool InspectionTest::samplesFromJson(const BinaryJsonObject::Value &value)
{
    StoredBytes none{QByteArray()};
    return samplesFromJson(none, value);
}

bool InspectionTest::samplesFromJson(StoredBytes &bytes, const BinaryJsonObject::Value &value)
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
