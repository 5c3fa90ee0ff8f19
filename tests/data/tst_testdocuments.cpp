#include "StoreFixtures.h"
#include "data/BinaryJson.h"
#include "data/BinaryJsonObject.h"
#include "data/Inspection.h"
#include "data/JsonRecords.h"
#include "tests/support/TestHome.h"

#include <QJsonArray>

Q_DECLARE_METATYPE(QVector<Inspection::_Label>)

class TestTestDocuments : public QObject
{
    Q_OBJECT
private slots:
    void structureDocumentHasItsKeysAndReadsBack();
    void questionReadsWithItsDefaults();
    void recordingTimeReadsAsTheParserReadsIt_data();
    void recordingTimeReadsAsTheParserReadsIt();
    void channelObjectKeysAndCalibrationRules();
    void markListsAreStoredAsQtStoresThem_data();
    void markListsAreStoredAsQtStoresThem();
    void sampleDocumentKeysAndWidths();
    void binaryFormatIsQtBinaryJson();
    void sampleArraysAreWrittenAsQtWritesThem_data();
    void sampleArraysAreWrittenAsQtWritesThem();
    void damagedSamplesReadOnlyAsQtReadsThem();
    void objectsAreWrittenAsQtWritesThem_data();
    void objectsAreWrittenAsQtWritesThem();
};

namespace {

QStringList sortedKeys(const QJsonObject &object)
{
    QStringList keys = object.keys();
    keys.sort();
    return keys;
}

QStringList sorted(QStringList keys)
{
    keys.sort();
    return keys;
}

// The object after a trip through the stored form.
QJsonObject stored(const QJsonObject &object)
{
    QJsonObject back;
    if (!BinaryJson::decode(BinaryJson::encode(object), back))
        qFatal("binary JSON round trip failed");
    return back;
}

}  // namespace

void TestTestDocuments::structureDocumentHasItsKeysAndReadsBack()
{
    Inspection::_Test test(QStringLiteral("Te\tst \"one\"\n'x'\r"));
    test.addTheme(QStringLiteral("вопрос"), QuestionKind::IntR, 1, -1);
    test.addTheme(QStringLiteral("ноль"), QuestionKind::Null, 1, -1);
    test.themis[0].PhotoImage4 = QByteArray("\x89PNG\0\x01\xff", 7);
    test.themis[0].State = 7;
    test.ShowAllQuestSecondMonitor = true;
    test.DateTimeRecorded = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9));
    test.Comments = QStringLiteral("заметка");

    QJsonObject object;
    test.toJson(object);
    object = stored(object);
    QCOMPARE(sortedKeys(object), sorted({"name", "ShowAllQuestSecondMonitor", "themisNULL", "themis", "orders",
                                         "DateTimeRecorded", "Comments"}));
    QCOMPARE(object.value("name").toString(), QStringLiteral("Test onex"));
    QCOMPARE(test.name, QStringLiteral("Test onex"));
    QCOMPARE(object.value("DateTimeRecorded").toString(), QStringLiteral("2024-03-05 14:07:09"));
    QVERIFY(object.value("ShowAllQuestSecondMonitor").isBool());
    QCOMPARE(object.value("orders").toArray().size(), 4);
    QCOMPARE(sortedKeys(object.value("orders").toArray().at(0).toObject()), sorted({"State", "Theme", "Group"}));
    QCOMPARE(object.value("orders").toArray().at(0).toObject().value("Theme").toInt(), -1);

    const QJsonObject picture = object.value("themis").toArray().at(0).toObject();
    QCOMPARE(sortedKeys(picture), sorted({"Type", "SubType", "Number", "Answer", "Theme", "PhotoImage4", "State",
                                          "ShowQuestToSecondMonitor"}));
    QCOMPARE(picture.value("PhotoImage4").toString(), QString::fromLatin1(test.themis[0].PhotoImage4.toBase64()));
    QCOMPARE(picture.value("Answer").toInt(), -1);
    QCOMPARE(picture.value("SubType").toInt(), 104);
    QVERIFY(picture.value("ShowQuestToSecondMonitor").isBool());
    const QJsonObject plain = object.value("themisNULL").toArray().at(0).toObject();
    QVERIFY(!plain.contains("PhotoImage4"));
    QCOMPARE(plain.value("Type").toInt(), 10000);

    Inspection::_Test back;
    back.themis.append(Inspection::_Theme(QStringLiteral("stale"), 0));
    back.fromJson(object);
    QCOMPARE(back.name, test.name);
    QCOMPARE(back.ShowAllQuestSecondMonitor, true);
    QCOMPARE(back.DateTimeRecorded, test.DateTimeRecorded);
    QCOMPARE(back.Comments, test.Comments);
    QCOMPARE(back.themis.size(), 1);
    QCOMPARE(back.themis[0].PhotoImage4, test.themis[0].PhotoImage4);
    QCOMPARE(back.themis[0].Number, qint16(1));
    QCOMPARE(back.themis[0].State, 7);
    QCOMPARE(back.themisNULL.size(), 1);
    QCOMPARE(back.orders.size(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(back.orders[i].Theme, test.orders[i].Theme);
        QCOMPARE(back.orders[i].Group, test.orders[i].Group);
    }

    // No date is written as an empty string and reads back as no date.
    test.DateTimeRecorded = QDateTime();
    object = {};
    test.toJson(object);
    QCOMPARE(object.value("DateTimeRecorded").toString(), QString());
    back.fromJson(object);
    QVERIFY(!back.DateTimeRecorded.isValid());
}

void TestTestDocuments::recordingTimeReadsAsTheParserReadsIt_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("as written") << "2024-03-05 14:07:09";
    QTest::newRow("last second of a year") << "1999-12-31 23:59:59";
    QTest::newRow("no such month") << "2024-13-05 14:07:09";
    QTest::newRow("no such hour") << "2024-03-05 24:07:09";
    QTest::newRow("short fields") << "2024-3-5 4:07:09";
    QTest::newRow("other separators") << "2024/03/05 14:07:09";
    QTest::newRow("wide digits") << QString::fromUtf8("２０２４-03-05 14:07:09");
    QTest::newRow("empty") << "";
}

void TestTestDocuments::recordingTimeReadsAsTheParserReadsIt()
{
    QFETCH(QString, text);
    Inspection::_Test test;
    test.fromJson({{QStringLiteral("DateTimeRecorded"), text}});
    QCOMPARE(test.DateTimeRecorded, QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss")));
}

void TestTestDocuments::questionReadsWithItsDefaults()
{
    Inspection::_Theme question;
    question.fromJson(QJsonObject());
    QCOMPARE(question.Type, qint16(0));
    QCOMPARE(question.SubType, qint16(-1));
    QCOMPARE(question.Answer, qint16(0));
    QVERIFY(question.PhotoImage4.isEmpty());

    question.fromJson({{"Type", -3}, {"SubType", 2}, {"Answer", 1.5}});
    QCOMPARE(question.Type, qint16(10000));
    QCOMPARE(question.SubType, qint16(2));
    QCOMPARE(question.Answer, qint16(0));  // read as whole numbers only
}

void TestTestDocuments::channelObjectKeysAndCalibrationRules()
{
    bool enable = true, amp2 = false, inverse = true;
    qint32 penWidth = 3, position = 5;
    QColor colour(Qt::black), tube(255, 0, 0, 128);
    Inspection::_Channel record;
    record.Kod = 4;
    record.KodDrv = 9;
    record.Enable = &enable;
    record.Amp2 = &amp2;
    record.Inverse = &inverse;
    record.PenWidth = &penWidth;
    record.ChannelPos = &position;
    record.Color = &colour;
    record.TubeColor = &tube;
    record.Offset = 300;
    record.ADT = 2;

    QJsonObject object;
    record.toJson(object);
    object = stored(object);
    QCOMPARE(sortedKeys(object), sorted({"Enable", "PenWidth", "Offset", "Amplify", "ADT", "ShiftADT", "Kod",
                                         "KodDrv", "Inverse", "Color", "TubeColor", "Amp2", "ChannelPos"}));
    QCOMPARE(object.value("Color").toInt(), -16777216);
    QCOMPARE(object.value("TubeColor").toInt(), qint32(0x80ff0000));
    QVERIFY(object.value("Enable").isBool() && object.value("Inverse").toBool());
    QCOMPARE(object.value("ChannelPos").toInt(), 5);

    Inspection::_Channel back;
    back.fromJson(object);
    QCOMPARE(back.Offset, 300.0);
    QCOMPARE(back.Kod, 4);
    QCOMPARE(back.KodDrv, 9);
    QCOMPARE(back.ADT, 2);
    QVERIFY(!back.Enable);  // display settings are bound, never read

    object.insert("Offset", 2.5);
    back.fromJson(object);
    QCOMPARE(back.Offset, 0.0);

    Inspection::_Channel kept;
    kept.ADT = 77;
    kept.fromJson({{"Kod", 13}, {"ADT", 1}});
    QCOMPARE(kept.ADT, 77);
    kept.fromJson(QJsonObject());
    QCOMPARE(kept.ADT, 0);

    // A record never bound is written with defaults rather than read through null.
    QJsonObject unbound;
    Inspection::_Channel().toJson(unbound);
    QCOMPARE(unbound.value("Enable").toBool(true), false);
}

void TestTestDocuments::markListsAreStoredAsQtStoresThem_data()
{
    QTest::addColumn<QVector<Inspection::_Label>>("marks");
    const auto mark = [](qint16 group, qint16 theme, qint32 q, qint32 a) {
        Inspection::_Label label;
        label.Group = group;
        label.Theme = theme;
        label.TickQStart = q;
        label.TickQEnd = q + 40;
        label.TickAStart = a;
        label.TickAEnd = a + 10;
        return label;
    };
    QTest::newRow("none") << QVector<Inspection::_Label>();
    QTest::newRow("ordinary and null") << QVector<Inspection::_Label>{mark(2, 1, 100, 150), mark(2, 10001, 200, 250)};
    // Zero and numbers past 2^26 are kept apart as doubles.
    QTest::newRow("zeros, negatives, far ticks")
        << QVector<Inspection::_Label>{mark(0, 0, 0, -5), mark(-1, -32768, (1 << 26) - 41, 1 << 26),
                                       mark(32767, 9999, INT_MIN, INT_MAX - 10)};
}

void TestTestDocuments::markListsAreStoredAsQtStoresThem()
{
    QFETCH(QVector<Inspection::_Label>, marks);
    Inspection::_Test test;
    for (const Inspection::_Label &mark : marks)
        test.appendLabel(mark);
    test.labelsForRestore = marks;
    const auto asJson = recordsToArray<Inspection::_Label>;
    BinaryJsonObject::Value lists, restore;
    QVERIFY(test.labelsToJson(lists));
    QVERIFY(test.labelsForRestoreToJson(restore));
    BinaryJsonObject document;
    document.insert("labels", lists);
    document.insert("labelsForRestore", restore);
    const QJsonObject expected{
        {"labels", QJsonObject{{"labelsNULL", asJson(test.labelsNULL)}, {"labels", asJson(test.labels)}}},
        {"labelsForRestore", QJsonObject{{"labels", asJson(marks)}}}};
    QCOMPARE(document.toDocument().toHex(), BinaryJson::encode(expected).toHex());

    // Read back, each element goes to the list of its key, as stored.
    QJsonObject whole;
    QVERIFY(BinaryJson::decode(document.toDocument(), whole));
    QJsonObject swapped = whole.value("labels").toObject();
    swapped = {{"labels", swapped.value("labelsNULL")}, {"labelsNULL", swapped.value("labels")}};
    Inspection::_Test back;
    back.labelsFromJson(swapped);
    back.labelsForRestoreFromJson(whole.value("labelsForRestore").toObject());
    QCOMPARE(asJson(back.labels), asJson(test.labelsNULL));
    QCOMPARE(asJson(back.labelsNULL), asJson(test.labels));
    QCOMPARE(asJson(back.labelsForRestore), asJson(marks));
    back.labelsForRestoreFromJson(QJsonObject());
    QVERIFY(back.labelsForRestore.isEmpty());
}

void TestTestDocuments::sampleDocumentKeysAndWidths()
{
    Inspection::_Test test;
    for (int code = 0; code < 13; ++code)
        *test.samples(code) = {qint16(code), qint16(-32768), qint16(32767)};
    test.TimeMM = {0, 40000, 2000000000};

    QJsonObject document = stored(StoreFixtures::samplesJson(test));
    QCOMPARE(sortedKeys(document),
             sorted({"dataGSR", "dataGSR_C", "dataRG_HI", "dataRG_LO", "dataPG", "dataTRM", "dataMIC", "dataAD",
                     "dataTGM", "dataADVANCED", "dataMIC2", "dataAD2", "dataRG_DIFF", "TimeMM"}));
    QCOMPARE(document.value("dataPG").toArray().at(0).toInt(), 4);
    QCOMPARE(document.value("dataRG_LO").toArray().at(0).toInt(), 2);
    QCOMPARE(document.value("dataGSR").toArray().at(1).toInt(), -32768);

    Inspection::_Test back;
    back.samplesFromJson(document);
    for (int code = 0; code < 13; ++code)
        QCOMPARE(*back.samples(code), *test.samples(code));
    QCOMPARE(back.TimeMM, test.TimeMM);

    // Samples are 16-bit; a missing key leaves its array empty.
    document.insert("dataTRM", QJsonArray{40000});
    document.remove("dataMIC");
    back.samplesFromJson(document);
    QCOMPARE(back.samples(5)->value(0), qint16(40000 - 65536));
    QVERIFY(back.samples(6)->isEmpty());
}

void TestTestDocuments::binaryFormatIsQtBinaryJson()
{
    // {"a": 1} byte for byte as Qt 5 writes binary JSON ("qbjs", version 1),
    // so files of older program versions and ours stay interchangeable.
    const QByteArray expected = QByteArray::fromHex("71626a73010000001800000003000000140000003a000000010061000c000000");
    const QByteArray bytes = BinaryJson::encode({{"a", 1}});
    QCOMPARE(bytes.toHex(), expected.toHex());
    QJsonObject object;
    QVERIFY(BinaryJson::decode(expected, object));
    QCOMPARE(object.value("a").toInt(), 1);

    QVERIFY(!BinaryJson::decode(QByteArray("qbjs\x01\0\0\0garbage", 15), object));
    QVERIFY(!BinaryJson::decode(QByteArray(), object));
    QVERIFY(!BinaryJson::decode(bytes.left(bytes.size() - 4), object));
}

void TestTestDocuments::sampleArraysAreWrittenAsQtWritesThem_data()
{
    QTest::addColumn<QVector<qint16>>("samples");
    QTest::addColumn<QVector<qint32>>("time");
    QTest::newRow("empty") << QVector<qint16>() << QVector<qint32>();
    QTest::newRow("one zero") << QVector<qint16>{0} << QVector<qint32>{0};
    QTest::newRow("odd length, 16-bit ends") << QVector<qint16>{1, -1, 32767, -32768, 0} << QVector<qint32>{0, 50, 100};
    // Beyond 2^26 in magnitude a number is stored as a double.
    QTest::newRow("time as doubles") << QVector<qint16>{7, 0, 0, -3}
                                     << QVector<qint32>{(1 << 26) - 1, 1 << 26, -(1 << 26) + 1, -(1 << 26), INT_MAX, INT_MIN};
}

void TestTestDocuments::sampleArraysAreWrittenAsQtWritesThem()
{
    QFETCH(QVector<qint16>, samples);
    QFETCH(QVector<qint32>, time);
    Inspection::_Test test;
    for (int code = 0; code < 13; ++code) {
        *test.samples(code) = samples.mid(code % qMax(1, samples.size()));  // each channel its own length
        std::rotate(test.samples(code)->begin(), test.samples(code)->begin() + test.samples(code)->size() / 2,
                    test.samples(code)->end());
    }
    test.TimeMM = time;

    BinaryJsonObject::Value value;
    QVERIFY(test.samplesToJson(value));
    BinaryJsonObject document;
    document.insert("data", value);
    QCOMPARE(document.toDocument().toHex(), BinaryJson::encode({{"data", StoreFixtures::samplesJson(test)}}).toHex());

    Inspection::_Test back;
    QVERIFY(back.samplesFromJson(value));
    for (int code = 0; code < 13; ++code)
        QCOMPARE(*back.samples(code), *test.samples(code));
    QCOMPARE(back.TimeMM, test.TimeMM);
}

void TestTestDocuments::damagedSamplesReadOnlyAsQtReadsThem()
{
    // Every word of a stored recording spoiled in turn: what the direct reader
    // takes, Qt takes too, with the same numbers; nothing reads out of bounds.
    Inspection::_Test test = StoreFixtures::recordedTest("spoilt", 3);
    test.TimeMM[1] = 1 << 27;
    const QByteArray intact = BinaryJson::encode({{"data", StoreFixtures::samplesJson(test)}, {"ia", QJsonObject()}});
    int taken = 0;
    for (int at = 0; at < intact.size(); at += 4) {
        const quint32 word = qFromLittleEndian<quint32>(intact.constData() + at);
        for (quint32 spoilt : {word ^ 1u, word ^ 8u, word + 4, word - 4, word + (4u << 5), 0xffffffffu, 0x7fffffe2u}) {
            QByteArray bytes = intact;
            qToLittleEndian(spoilt, bytes.data() + at);
            BinaryJsonObject document;
            Inspection::_Test direct;
            QJsonObject whole;
            // As a recording is read: the rest of the document goes to Qt.
            if (!document.readDocument(bytes) || !direct.samplesFromJson(document.take("data"))
                || !BinaryJson::decode(document.toDocument(), whole))
                continue;
            ++taken;
            QVERIFY2(BinaryJson::decode(bytes, whole), qPrintable(QString("word %1").arg(at)));
            Inspection::_Test generic;
            generic.samplesFromJson(whole.value("data").toObject());
            for (int code = 0; code < 13; ++code)
                QCOMPARE(*direct.samples(code), *generic.samples(code));
            QCOMPARE(direct.TimeMM, generic.TimeMM);
        }
        QVERIFY(!BinaryJsonObject().readDocument(intact.left(at)));
    }
    QVERIFY2(taken > 40, qPrintable(QString::number(taken)));  // changed numbers still read
}

void TestTestDocuments::objectsAreWrittenAsQtWritesThem_data()
{
    QTest::addColumn<QJsonObject>("object");
    QTest::newRow("numbers") << QJsonObject{{"zero", 0}, {"minus zero", -0.0}, {"one", 1}, {"inline end", (1 << 26) - 1},
                                            {"past it", 1 << 26}, {"negative end", -(1 << 26) + 1},
                                            {"negative past", -(1 << 26)}, {"half", 0.5}, {"huge", 1e300},
                                            {"wide", (qint64(1) << 53) + 1}, {"yes", true}, {"no", false},
                                            {"null", QJsonValue()}};
    QTest::newRow("strings") << QJsonObject{{"", ""}, {"latin", "abc"}, {"latin1", QString::fromUtf8("é")},
                                            {"cyrillic", QString::fromUtf8("Метка")},
                                            {"longest latin1", QString(0x7fff, 'b')}, {"too long", QString(0x8000, 'a')}};
    QTest::newRow("keys") << QJsonObject{{QString::fromUtf8("Метка"), 1}, {QString::fromUtf8("é"), 2}, {"a", 3},
                                         {"Z", 4}, {QString(0x8000, 'k'), 5}};
    QTest::newRow("nested") << QJsonObject{
        {"arrays", QJsonArray{QJsonArray(), QJsonObject(), QJsonArray{1, "x", QJsonValue(), true, 2.5},
                              QJsonArray{QJsonObject{{QString::fromUtf8("ключ"), QString::fromUtf8("Ж")}}}}},
        {"objects", QJsonObject{{"inner", QJsonObject{{"deeper", QJsonObject()}, {"list", QJsonArray{0, -7}}}}}}};
}

void TestTestDocuments::objectsAreWrittenAsQtWritesThem()
{
    QFETCH(QJsonObject, object);
    BinaryJsonObject document;
    QVERIFY(document.readJson(object));
    QCOMPARE(document.toDocument().toHex(), BinaryJson::encode(object).toHex());
}

VUG_TEST_MAIN(TestTestDocuments, QCoreApplication)
#include "tst_testdocuments.moc"
