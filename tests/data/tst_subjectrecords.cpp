#include "StoreFixtures.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/TestHome.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

using namespace StoreFixtures;

Q_DECLARE_METATYPE(PhotoReader::Result)

namespace {

const QString kPreTestId = QStringLiteral("{B0F7BD78-5BAC-4139-A88B-5C4A7396F2F0}");

QImage photo(int width, QRgb colour)
{
    QImage image(width, 3, QImage::Format_ARGB32);
    image.fill(colour);
    image.setPixel(0, 0, qRgba(1, 2, 3, 255));
    return image;
}

void comparePhoto(const QImage &loaded, const QImage &saved)
{
    QCOMPARE(loaded.convertToFormat(QImage::Format_ARGB32), saved);
}

QByteArray bigEndian(quint32 value)
{
    const quint32 be = qToBigEndian(value);
    return QByteArray(reinterpret_cast<const char *>(&be), 4);
}

QByteArray pngChunk(const QByteArray &type, const QByteArray &data)
{
    quint32 crc = 0xFFFFFFFF;
    for (const char byte : type + data) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320 & (0u - (crc & 1)));
    }
    return bigEndian(quint32(data.size())) + type + data + bigEndian(~crc);
}

// A PNG of a picture side x side in 8-bit RGB that holds the data of its
// first row only: a few hundred bytes that ask for gigabytes once decoded.
QByteArray hugePng(quint32 side)
{
    const QByteArray header = bigEndian(side) + bigEndian(side) + QByteArray("\x08\x02\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header)
           + pngChunk("IDAT", qCompress(QByteArray(int(1 + 3 * side), '\0')).mid(4)) + pngChunk("IEND", {});
}

Inspection::_Person person()
{
    Inspection::_Person p;
    p.FirstName = QStringLiteral("Иван");
    p.MiddleName = QStringLiteral("Петрович");
    p.LastName = QStringLiteral("Сидоров");
    p.Birthday = QDate(1980, 2, 29);
    p.Comments = QStringLiteral("левша");
    p.Tags = QStringLiteral("водитель;склад");
    p.Sex = 1;
    return p;
}

void comparePerson(const Inspection::_Person &a, const Inspection::_Person &b)
{
    QCOMPARE(a.FirstName, b.FirstName);
    QCOMPARE(a.MiddleName, b.MiddleName);
    QCOMPARE(a.LastName, b.LastName);
    QCOMPARE(a.Birthday, b.Birthday);
    QCOMPARE(a.Comments, b.Comments);
    QCOMPARE(a.Tags, b.Tags);
    QCOMPARE(a.Sex, b.Sex);
}

}  // namespace

class TestSubjectRecords : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void questionnaireRoundTripsAndUpdatesItsRow();
    void questionnaireWithoutBirthdayHasNoDate();
    void fileWithoutQuestionnaireLeavesRecordUnchanged();
    void photosRoundTripAndAreReplaced();
    void undecodablePhotoIsANullImage();
    void photosAreMeasuredBeforeTheyAreDecoded_data();
    void photosAreMeasuredBeforeTheyAreDecoded();
    void photoSetSurvivesFailedReplace();
    void attachedFilesKeepTheirNamesAsGiven();
    void attachedFilesSurviveFailedReplace();
    void attachedFilesPairOnlyAsFarAsBothExist();
    void preTestConversationRoundTripsUnderItsFixedRow();
    void missingFileIsNeverCreated();
    void questionnaireIsSavedWholeOrNotAtAll_data();
    void questionnaireIsSavedWholeOrNotAtAll();

private:
    QString pathOf(const QString &name) const { return m_dir->filePath(name); }
    QScopedPointer<QTemporaryDir> m_dir;
};

void TestSubjectRecords::init()
{
    m_dir.reset(new QTemporaryDir);
}

void TestSubjectRecords::questionnaireRoundTripsAndUpdatesItsRow()
{
    const QString path = pathOf("person.qmz");
    makeSubjectFile(path);
    Inspection inspection(path);
    Inspection::_Person saved = person();
    QCOMPARE(inspection.savePerson(saved), StoreResult::Ok);
    saved.LastName = QStringLiteral("Петров");
    QCOMPARE(inspection.savePerson(saved), StoreResult::Ok);
    const QVector<InspectionStore::Row> rows = rowsOf(path, InspectionDataType::Questionnaire);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].testId, QString());
    QJsonObject document;
    QVERIFY(BinaryJson::decode(rows[0].data, document));
    QCOMPARE(document.size(), 7);
    QCOMPARE(document.value(QStringLiteral("Birthday")).toDouble(), double(saved.Birthday.toJulianDay()));

    Inspection::_Person loaded;
    QCOMPARE(Inspection(path).loadPerson(loaded), StoreResult::Ok);
    comparePerson(loaded, saved);

    // A record made afresh has no birthday; it stays without one.
    QCOMPARE(inspection.savePerson(Inspection::_Person()), StoreResult::Ok);
    loaded = person();
    QCOMPARE(inspection.loadPerson(loaded), StoreResult::Ok);
    comparePerson(loaded, Inspection::_Person());
}

void TestSubjectRecords::questionnaireWithoutBirthdayHasNoDate()
{
    Inspection::_Person p = person();
    p.fromJson({{QStringLiteral("FirstName"), QStringLiteral("Анна")}});
    QVERIFY(p.Birthday.isNull());
    QCOMPARE(p.Sex, 0);
    QVERIFY(p.LastName.isEmpty());
    p.fromJson({{QStringLiteral("Birthday"), 0}});
    QCOMPARE(p.Birthday, QDate::fromJulianDay(0));  // a stored day 0 is still that day
    p.fromJson({{QStringLiteral("Birthday"), QStringLiteral("1980-02-29")}});
    QVERIFY(p.Birthday.isNull());
}

void TestSubjectRecords::fileWithoutQuestionnaireLeavesRecordUnchanged()
{
    const QString path = pathOf("photos-only.qmz");
    makeSubjectFile(path);
    Inspection inspection(path);
    QCOMPARE(inspection.savePhotos({photo(2, qRgb(9, 9, 9))}), StoreResult::Ok);
    Inspection::_Person loaded = person();
    QCOMPARE(inspection.loadPerson(loaded), StoreResult::Ok);
    comparePerson(loaded, person());
    QCOMPARE(inspection.loadPhotos().size(), 1);
}

void TestSubjectRecords::photosRoundTripAndAreReplaced()
{
    const QString path = pathOf("photos.qmz");
    makeSubjectFile(path);
    Inspection inspection(path);
    const QVector<QImage> first = {photo(4, qRgb(200, 0, 0)), photo(5, qRgb(0, 200, 0)), photo(6, qRgb(0, 0, 200))};
    QCOMPARE(inspection.savePhotos(first), StoreResult::Ok);
    const QVector<QImage> second = {photo(7, qRgb(50, 60, 70)), photo(8, qRgb(80, 90, 100))};
    QCOMPARE(inspection.savePhotos(second), StoreResult::Ok);
    const QVector<InspectionStore::Row> rows = rowsOf(path, InspectionDataType::Photo);
    QCOMPARE(rows.size(), 2);
    QVERIFY(rows[0].data.startsWith("\x89PNG"));
    QVERIFY(rows[0].testId.isEmpty());

    const QVector<QImage> loaded = Inspection(path).loadPhotos();
    QCOMPARE(loaded.size(), 2);
    comparePhoto(loaded[0], second[0]);
    comparePhoto(loaded[1], second[1]);

    QCOMPARE(inspection.savePhotos({}), StoreResult::Ok);
    QVERIFY(rowsOf(path, InspectionDataType::Photo).isEmpty());
    QVERIFY(inspection.loadPhotos().isEmpty());
}

void TestSubjectRecords::undecodablePhotoIsANullImage()
{
    const QString path = pathOf("bad-photo.qmz");
    makeSubjectFile(path);
    {
        InspectionStore store(path, InspectionStore::ExistingFile);
        QVERIFY(store.insertRow(QString(), InspectionDataType::Photo, QByteArray("no image")));
    }
    Inspection inspection(path);
    QVector<QImage> photos = inspection.loadPhotos();
    QCOMPARE(photos.size(), 1);
    QVERIFY(photos[0].isNull());
    // Saved back, the null image keeps its place.
    photos.append(photo(3, qRgb(1, 1, 1)));
    QCOMPARE(inspection.savePhotos(photos), StoreResult::Ok);
    photos = inspection.loadPhotos();
    QCOMPARE(photos.size(), 2);
    QVERIFY(photos[0].isNull());
    QVERIFY(!photos[1].isNull());
}

void TestSubjectRecords::photosAreMeasuredBeforeTheyAreDecoded_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<PhotoReader::Result>("result");
    QTest::addColumn<QSize>("size");
    QTest::newRow("23000 squared") << hugePng(23000) << PhotoReader::Result::TooLarge << QSize(0, 0);
    QTest::newRow("larger than the view") << Inspection::photoRecord(QImage(400, 200, QImage::Format_RGB32))
                                          << PhotoReader::Result::Read << QSize(100, 50);
    QTest::newRow("within the view") << Inspection::photoRecord(QImage(40, 20, QImage::Format_RGB32))
                                     << PhotoReader::Result::Read << QSize(40, 20);
    QTest::newRow("no picture") << QByteArray("no image") << PhotoReader::Result::Unreadable << QSize(0, 0);
}

// A 2 MB photo of 23000 x 23000 pixels blocked the window at 4.3 GB; with
// more of them the later ones came back unreadable as memory ran out.
void TestSubjectRecords::photosAreMeasuredBeforeTheyAreDecoded()
{
    QFETCH(QByteArray, record);
    QFETCH(QSize, size);
    const QString path = pathOf("photo.qmz");
    makeSubjectFile(path);
    Inspection inspection(path);
    QCOMPARE(inspection.savePhotoRecords({record}), StoreResult::Ok);
    const PeakMemory memory;
    QVector<PhotoReader::Result> results;
    const QVector<QImage> photos = inspection.loadPhotos(QSize(100, 100), &results);
    QVERIFY2(memory.growthBytes() < 100 << 20, qPrintable(QString::number(memory.growthBytes() >> 20)));
    QCOMPARE(results.size(), 1);
    QTEST(results[0], "result");
    QCOMPARE(photos[0].size(), size);
    QCOMPARE(inspection.loadPhotoRecords(), QVector<QByteArray>{record});
}

void TestSubjectRecords::photoSetSurvivesFailedReplace()
{
    const QString path = pathOf("full.qmz");
    makeSubjectFile(path);
    Inspection inspection(path);
    const QVector<QImage> old = {photo(4, qRgb(10, 20, 30)), photo(5, qRgb(40, 50, 60)), photo(6, qRgb(70, 80, 90))};
    QCOMPARE(inspection.savePhotos(old), StoreResult::Ok);
    // The old rows can be deleted, but the file takes only one new photo.
    failWritesAfter(path, InspectionDataType::Photo, 1);

    QCOMPARE(inspection.savePhotos({photo(9, qRgb(1, 1, 1)), photo(9, qRgb(2, 2, 2))}), StoreResult::NotWritten);
    const QVector<QImage> loaded = inspection.loadPhotos();
    QCOMPARE(loaded.size(), 3);
    for (int i = 0; i < 3; ++i)
        comparePhoto(loaded[i], old[i]);
}

void TestSubjectRecords::attachedFilesKeepTheirNamesAsGiven()
{
    const QString path = pathOf("files.qmz");
    makeSubjectFile(path);
    Inspection inspection(path);
    const QVector<Inspection::AttachedFile> files = {
        {QStringLiteral("Протокол опроса.docx"), QByteArray("PK\x03\x04 docx", 11)},
        {QStringLiteral("../../etc/пароли.txt"), QByteArray("\x00\x01\x02", 3)},
        {QStringLiteral("C:\\Документы\\скан.pdf"), QByteArray()},
        {QStringLiteral("Протокол опроса.docx"), QByteArray("second copy")},
    };
    QCOMPARE(inspection.saveFiles({{QStringLiteral("old.bin"), QByteArray("old")}}), StoreResult::Ok);
    QCOMPARE(inspection.saveFiles(files), StoreResult::Ok);
    QCOMPARE(rowsOf(path, InspectionDataType::FileContent).size(), 4);
    QCOMPARE(rowsOf(path, InspectionDataType::FileName).size(), 4);

    const QVector<Inspection::AttachedFile> loaded = Inspection(path).loadFiles();
    QCOMPARE(loaded.size(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(loaded[i].first, files[i].first);
        QCOMPARE(loaded[i].second, files[i].second);
    }
    // Names are stored as text, contents as bytes.
    InspectionStore store(path, InspectionStore::ExistingFile);
    QSqlQuery query(SharedConnection::database());
    QVERIFY(store.run(query, QStringLiteral("SELECT data_type, typeof(data) FROM inspection WHERE data_type >= :1 "
                                            "ORDER BY data_type"),
                      {InspectionDataType::FileContent}));
    QVERIFY(query.next());
    QCOMPARE(query.value(1).toString(), QStringLiteral("blob"));
    query.last();
    QCOMPARE(query.value(1).toString(), QStringLiteral("text"));
}

void TestSubjectRecords::attachedFilesSurviveFailedReplace()
{
    const QString path = pathOf("files-full.qmz");
    makeSubjectFile(path);
    Inspection inspection(path);
    const QVector<Inspection::AttachedFile> old = {{QStringLiteral("а.txt"), QByteArray("a")},
                                                   {QStringLiteral("б.txt"), QByteArray("b")}};
    QCOMPARE(inspection.saveFiles(old), StoreResult::Ok);
    failWritesAfter(path, InspectionDataType::FileName, 1);
    QCOMPARE(inspection.saveFiles({{QStringLiteral("x"), QByteArray("x")}, {QStringLiteral("y"), QByteArray("y")}}),
             StoreResult::NotWritten);
    const QVector<Inspection::AttachedFile> loaded = inspection.loadFiles();
    QCOMPARE(loaded.size(), 2);
    QCOMPARE(loaded[0], old[0]);
    QCOMPARE(loaded[1], old[1]);
}

void TestSubjectRecords::attachedFilesPairOnlyAsFarAsBothExist()
{
    const QString path = pathOf("uneven.qmz");
    makeSubjectFile(path);
    Inspection inspection(path);
    QCOMPARE(inspection.saveFiles({{QStringLiteral("one"), QByteArray("1")}}), StoreResult::Ok);
    {
        InspectionStore store(path, InspectionStore::ExistingFile);
        QVERIFY(store.insertRow(QString(), InspectionDataType::FileName, QStringLiteral("orphan name")));
        QVERIFY(store.insertRow(QString(), InspectionDataType::FileName, QStringLiteral("another")));
    }
    QVector<Inspection::AttachedFile> loaded = inspection.loadFiles();
    QCOMPARE(loaded.size(), 1);
    QCOMPARE(loaded[0], Inspection::AttachedFile(QStringLiteral("one"), QByteArray("1")));
    {
        InspectionStore store(path, InspectionStore::ExistingFile);
        for (const char *content : {"2", "3", "4"})
            QVERIFY(store.insertRow(QString(), InspectionDataType::FileContent, QByteArray(content)));
    }
    loaded = inspection.loadFiles();
    QCOMPARE(loaded.size(), 3);
    QCOMPARE(loaded[2], Inspection::AttachedFile(QStringLiteral("another"), QByteArray("3")));
}

void TestSubjectRecords::preTestConversationRoundTripsUnderItsFixedRow()
{
    const QString path = pathOf("pretest.qmz");
    makeSubjectFile(path);
    Inspection inspection(path);
    inspection.preTestText = QStringLiteral("stale");
    QCOMPARE(inspection.loadPreTestConversation(), StoreResult::Ok);
    QVERIFY(inspection.preTestText.isEmpty());

    QCOMPARE(inspection.savePreTestConversation(), StoreResult::Ok);
    QVector<InspectionStore::Row> rows = rowsOf(path, InspectionDataType::Singleton);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].testId, kPreTestId);
    QJsonObject document;
    QVERIFY(BinaryJson::decode(rows[0].data, document));
    QCOMPARE(document, QJsonObject({{QStringLiteral("preTestConversation"), QString()}}));

    inspection.preTestText = QStringLiteral("Беседа:\nпризнал, что \"был там\".");
    QCOMPARE(inspection.savePreTestConversation(), StoreResult::Ok);
    QCOMPARE(rowsOf(path, InspectionDataType::Singleton).size(), 1);
    Inspection loaded(path);
    QCOMPARE(loaded.loadPreTestConversation(), StoreResult::Ok);
    QCOMPARE(loaded.preTestText, inspection.preTestText);

    // The metric parameters share the kind; each reads its own row.
    loaded.metricParams.append(Inspection::_MetricParam());
    QCOMPARE(loaded.saveMetricParams(), StoreResult::Ok);
    QCOMPARE(loaded.loadPreTestConversation(), StoreResult::Ok);
    QCOMPARE(loaded.preTestText, inspection.preTestText);
}

void TestSubjectRecords::missingFileIsNeverCreated()
{
    const QString path = pathOf("absent.qmz");
    Inspection inspection(path);
    inspection.preTestText = QStringLiteral("text");
    Inspection::_Person p = person();
    QCOMPARE(inspection.savePerson(p), StoreResult::NotOpen);
    QCOMPARE(inspection.savePhotos({photo(2, qRgb(1, 1, 1))}), StoreResult::NotOpen);
    QCOMPARE(inspection.saveFiles({{QStringLiteral("a"), QByteArray("a")}}), StoreResult::NotOpen);
    QCOMPARE(inspection.savePreTestConversation(), StoreResult::NotOpen);
    QCOMPARE(inspection.loadPerson(p), StoreResult::NotOpen);
    comparePerson(p, person());
    QVERIFY(inspection.loadPhotos().isEmpty());
    QVERIFY(inspection.loadFiles().isEmpty());
    QCOMPARE(inspection.loadPreTestConversation(), StoreResult::NotOpen);
    QVERIFY(inspection.preTestText.isEmpty());
    QVERIFY(!QFile::exists(path));
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files).isEmpty());
}

// B read the questionnaire, then another program A saved part of it, or a
// write of B's failed: B's save writes all of it or nothing.
void TestSubjectRecords::questionnaireIsSavedWholeOrNotAtAll_data()
{
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<int>("result");
    QTest::newRow("A added a photo") << "photo" << int(StoreResult::Changed);
    QTest::newRow("A attached a file") << "file" << int(StoreResult::Changed);
    QTest::newRow("the pre-test text refused") << "refused" << int(StoreResult::NotWritten);
    QTest::newRow("nothing") << "" << int(StoreResult::Ok);
}

void TestSubjectRecords::questionnaireIsSavedWholeOrNotAtAll()
{
    QFETCH(QString, meanwhile);
    QFETCH(int, result);
    const QString path = pathOf("whole.qmz");
    makeSubjectFile(path);
    QCOMPARE(Inspection(path).savePerson(person()), StoreResult::Ok);
    Inspection b(path);
    Inspection::_Person read;
    QCOMPARE(b.loadPerson(read), StoreResult::Ok);
    QCOMPARE(b.loadPreTestConversation(), StoreResult::Ok);
    b.loadPhotoRecords();
    b.loadFiles();

    Inspection a(path);
    a.loadPhotoRecords();
    a.loadFiles();
    const QByteArray aPhoto = Inspection::photoRecord(photo(2, qRgb(1, 1, 1)));
    if (meanwhile == "photo")
        QCOMPARE(a.savePhotoRecords({aPhoto}), StoreResult::Ok);
    if (meanwhile == "file")
        QCOMPARE(a.saveFiles({{QStringLiteral("a.txt"), QByteArray("A")}}), StoreResult::Ok);
    if (meanwhile == "refused")
        failWritesAfter(path, int(InspectionDataType::Singleton), 0);
    const QVector<QByteArray> before = Inspection(path).loadPhotoRecords();
    const QVector<Inspection::AttachedFile> filesBefore = Inspection(path).loadFiles();

    Inspection::_Person changed = read;
    changed.Comments = QStringLiteral("от B");
    b.preTestText = QStringLiteral("беседа B");
    const QVector<QByteArray> bPhotos{Inspection::photoRecord(photo(3, qRgb(2, 2, 2)))};
    const QVector<Inspection::AttachedFile> bFiles{{QStringLiteral("b.txt"), QByteArray("B")}};
    QCOMPARE(int(b.saveQuestionnaire(changed, bPhotos, bFiles)), result);

    Inspection stored(path);
    Inspection::_Person now;
    QCOMPARE(stored.loadPerson(now), StoreResult::Ok);
    QCOMPARE(stored.loadPreTestConversation(), StoreResult::Ok);
    const bool saved = result == int(StoreResult::Ok);
    QCOMPARE(now.Comments, saved ? changed.Comments : read.Comments);
    QCOMPARE(stored.preTestText, saved ? b.preTestText : QString());
    QCOMPARE(stored.loadPhotoRecords(), saved ? bPhotos : before);
    QCOMPARE(stored.loadFiles(), saved ? bFiles : filesBefore);
    // Another program's photo or file is never written over.
    if (meanwhile == "photo")
        QCOMPARE(stored.loadPhotoRecords(), QVector<QByteArray>{aPhoto});
    if (meanwhile == "file")
        QCOMPARE(stored.loadFiles().size(), 1);
}

VUG_TEST_MAIN(TestSubjectRecords, QGuiApplication)
#include "tst_subjectrecords.moc"
