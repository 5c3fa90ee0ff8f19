#include "StoreFixtures.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/TestHome.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

using namespace StoreFixtures;

Q_DECLARE_METATYPE(PhotoReader::Result)

namespace {

QImage photo(int width, QRgb colour)
{
    QImage image(width, 3, QImage::Format_ARGB32);
    image.fill(colour);
    image.setPixel(0, 0, qRgba(1, 2, 3, 255));
    return image;
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

// Every field of the record, to be compared in one.
QStringList fields(const Inspection::_Person &p)
{
    return {p.FirstName, p.MiddleName, p.LastName, QString::number(p.Birthday.toJulianDay()),
            p.Comments,  p.Tags,       QString::number(p.Sex)};
}

}  // namespace

class TestSubjectRecords : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void questionnaireRoundTripsAndUpdatesItsRow();
    void photosRoundTripAndAreReplaced();
    void photosAreMeasuredBeforeTheyAreDecoded_data();
    void photosAreMeasuredBeforeTheyAreDecoded();
    void setSurvivesFailedReplace_data();
    void setSurvivesFailedReplace();
    void attachedFilesKeepTheirNamesAsGiven();
    void attachedFilesPairOnlyAsFarAsBothExist();
    void preTestConversationRoundTripsUnderItsFixedRow();
    void missingFileIsNeverCreated();
    void questionnaireIsSavedWholeOrNotAtAll_data();
    void questionnaireIsSavedWholeOrNotAtAll();

private:
    QScopedPointer<QTemporaryDir> m_dir;
    QString m_path;  // a subject file with its table and no rows
};

void TestSubjectRecords::init()
{
    m_dir.reset(new QTemporaryDir);
    m_path = m_dir->filePath(QStringLiteral("subject.qmz"));
    makeSubjectFile(m_path);
}

// A file of photos only leaves the record as it was; once saved, its one row
// is updated in place.
void TestSubjectRecords::questionnaireRoundTripsAndUpdatesItsRow()
{
    Inspection inspection(m_path);
    QCOMPARE(inspection.savePhotos({photo(2, qRgb(9, 9, 9))}), StoreResult::Ok);
    Inspection::_Person loaded = person();
    QCOMPARE(inspection.loadPerson(loaded), StoreResult::Ok);
    QCOMPARE(fields(loaded), fields(person()));
    QCOMPARE(inspection.loadPhotos().size(), 1);

    Inspection::_Person saved = person();
    QCOMPARE(inspection.savePerson(saved), StoreResult::Ok);
    saved.LastName = QStringLiteral("Петров");
    QCOMPARE(inspection.savePerson(saved), StoreResult::Ok);
    const QVector<InspectionStore::Row> rows = rowsOf(m_path, InspectionDataType::Questionnaire);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].testId, QString());
    QJsonObject document;
    QVERIFY(BinaryJson::decode(rows[0].data, document));
    QCOMPARE(document.size(), 7);
    QCOMPARE(document.value(QStringLiteral("Birthday")).toDouble(), double(saved.Birthday.toJulianDay()));
    QCOMPARE(Inspection(m_path).loadPerson(loaded), StoreResult::Ok);
    QCOMPARE(fields(loaded), fields(saved));

    // A record made afresh has no birthday; it stays without one.
    QCOMPARE(inspection.savePerson(Inspection::_Person()), StoreResult::Ok);
    loaded = person();
    QCOMPARE(inspection.loadPerson(loaded), StoreResult::Ok);
    QCOMPARE(fields(loaded), fields(Inspection::_Person()));
    // Read without one, or with one not a day number, it has none.
    Inspection::_Person anna;
    anna.FirstName = QStringLiteral("Анна");
    loaded = person();
    loaded.fromJson({{QStringLiteral("FirstName"), anna.FirstName}});
    QCOMPARE(fields(loaded), fields(anna));
    loaded.fromJson({{QStringLiteral("Birthday"), 0}});
    QCOMPARE(loaded.Birthday, QDate::fromJulianDay(0));  // a stored day 0 is still that day
    loaded.fromJson({{QStringLiteral("Birthday"), QStringLiteral("1980-02-29")}});
    QVERIFY(loaded.Birthday.isNull());
}

void TestSubjectRecords::photosRoundTripAndAreReplaced()
{
    Inspection inspection(m_path);
    const QVector<QImage> first = {photo(4, qRgb(200, 0, 0)), photo(5, qRgb(0, 200, 0)), photo(6, qRgb(0, 0, 200))};
    QCOMPARE(inspection.savePhotos(first), StoreResult::Ok);
    const QVector<QImage> second = {photo(7, qRgb(50, 60, 70)), photo(8, qRgb(80, 90, 100))};
    QCOMPARE(inspection.savePhotos(second), StoreResult::Ok);
    const QVector<InspectionStore::Row> rows = rowsOf(m_path, InspectionDataType::Photo);
    QCOMPARE(rows.size(), 2);
    QVERIFY(rows[0].data.startsWith("\x89PNG"));
    QVERIFY(rows[0].testId.isEmpty());

    QVector<QImage> loaded = Inspection(m_path).loadPhotos();
    for (QImage &image : loaded)
        image = image.convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(loaded, second);

    QCOMPARE(inspection.savePhotos({}), StoreResult::Ok);
    QVERIFY(rowsOf(m_path, InspectionDataType::Photo).isEmpty());
    QVERIFY(inspection.loadPhotos().isEmpty());
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
// more of them the later ones came back unreadable as memory ran out. Saved
// back, a photo not read keeps its place as a null image.
void TestSubjectRecords::photosAreMeasuredBeforeTheyAreDecoded()
{
    QFETCH(QByteArray, record);
    QFETCH(QSize, size);
    Inspection inspection(m_path);
    QCOMPARE(inspection.savePhotoRecords({record}), StoreResult::Ok);
    const PeakMemory memory;
    QVector<PhotoReader::Result> results;
    QVector<QImage> photos = inspection.loadPhotos(QSize(100, 100), &results);
    QVERIFY2(memory.growthBytes() < 100 << 20, qPrintable(QString::number(memory.growthBytes() >> 20)));
    QCOMPARE(results.size(), 1);
    QTEST(results[0], "result");
    QCOMPARE(photos[0].size(), size);
    QCOMPARE(inspection.loadPhotoRecords(), QVector<QByteArray>{record});
    QCOMPARE(inspection.savePhotos(photos << photo(3, qRgb(1, 1, 1))), StoreResult::Ok);
    photos = inspection.loadPhotos();
    QCOMPARE(photos.size(), 2);
    QVERIFY(photos[0].isNull() == size.isEmpty() && !photos[1].isNull());
}

void TestSubjectRecords::setSurvivesFailedReplace_data()
{
    QTest::addColumn<int>("kind");  // the kind of row the file takes only one more of
    QTest::newRow("photos") << int(InspectionDataType::Photo);
    QTest::newRow("attached files") << int(InspectionDataType::FileName);
}

// The old rows can be deleted, but the new set is not written whole.
void TestSubjectRecords::setSurvivesFailedReplace()
{
    QFETCH(int, kind);
    Inspection inspection(m_path);
    const bool photos = kind == int(InspectionDataType::Photo);
    const auto save = [&](const QVector<QByteArray> &set) {
        QVector<Inspection::AttachedFile> files;
        for (const QByteArray &each : set)
            files.append({QString::fromUtf8(each), each});
        return photos ? inspection.savePhotoRecords(set) : inspection.saveFiles(files);
    };
    QCOMPARE(save({"a", "b", "c"}), StoreResult::Ok);
    const QVector<QByteArray> oldPhotos = inspection.loadPhotoRecords();
    const QVector<Inspection::AttachedFile> oldFiles = inspection.loadFiles();
    QCOMPARE(oldPhotos.size() + oldFiles.size(), 3);
    failWritesAfter(m_path, kind, 1);
    QCOMPARE(save({"x", "y"}), StoreResult::NotWritten);
    QCOMPARE(inspection.loadPhotoRecords(), oldPhotos);
    QCOMPARE(inspection.loadFiles(), oldFiles);
}

void TestSubjectRecords::attachedFilesKeepTheirNamesAsGiven()
{
    Inspection inspection(m_path);
    const QVector<Inspection::AttachedFile> files = {
        {QStringLiteral("Протокол опроса.docx"), QByteArray("PK\x03\x04 docx", 11)},
        {QStringLiteral("../../etc/пароли.txt"), QByteArray("\x00\x01\x02", 3)},
        {QStringLiteral("C:\\Документы\\скан.pdf"), QByteArray()},
        {QStringLiteral("Протокол опроса.docx"), QByteArray("second copy")},
    };
    QCOMPARE(inspection.saveFiles({{QStringLiteral("old.bin"), QByteArray("old")}}), StoreResult::Ok);
    QCOMPARE(inspection.saveFiles(files), StoreResult::Ok);
    QCOMPARE(rowsOf(m_path, InspectionDataType::FileContent).size(), 4);
    QCOMPARE(rowsOf(m_path, InspectionDataType::FileName).size(), 4);
    QCOMPARE(Inspection(m_path).loadFiles(), files);
    // Names are stored as text, contents as bytes.
    InspectionStore store(m_path, InspectionStore::ExistingFile);
    QSqlQuery query(SharedConnection::database());
    QVERIFY(store.run(query, QStringLiteral("SELECT data_type, typeof(data) FROM inspection WHERE data_type >= :1 "
                                            "ORDER BY data_type"),
                      {InspectionDataType::FileContent}));
    QVERIFY(query.next());
    QCOMPARE(query.value(1).toString(), QStringLiteral("blob"));
    query.last();
    QCOMPARE(query.value(1).toString(), QStringLiteral("text"));
}

void TestSubjectRecords::attachedFilesPairOnlyAsFarAsBothExist()
{
    Inspection inspection(m_path);
    QCOMPARE(inspection.saveFiles({{QStringLiteral("one"), QByteArray("1")}}), StoreResult::Ok);
    const auto insert = [&](int kind, const QVariantList &rows) {
        InspectionStore store(m_path, InspectionStore::ExistingFile);
        for (const QVariant &row : rows)
            QVERIFY(store.insertRow(QString(), kind, row));
    };
    insert(InspectionDataType::FileName, {QStringLiteral("orphan name"), QStringLiteral("another")});
    QCOMPARE(inspection.loadFiles(),
             QVector<Inspection::AttachedFile>{Inspection::AttachedFile(QStringLiteral("one"), "1")});
    insert(InspectionDataType::FileContent, {QByteArray("2"), QByteArray("3"), QByteArray("4")});
    const QVector<Inspection::AttachedFile> loaded = inspection.loadFiles();
    QCOMPARE(loaded.size(), 3);
    QCOMPARE(loaded[2], Inspection::AttachedFile(QStringLiteral("another"), QByteArray("3")));
}

void TestSubjectRecords::preTestConversationRoundTripsUnderItsFixedRow()
{
    Inspection inspection(m_path);
    inspection.preTestText = QStringLiteral("stale");
    QCOMPARE(inspection.loadPreTestConversation(), StoreResult::Ok);
    QVERIFY(inspection.preTestText.isEmpty());

    QCOMPARE(inspection.savePreTestConversation(), StoreResult::Ok);
    QVector<InspectionStore::Row> rows = rowsOf(m_path, InspectionDataType::Singleton);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].testId, QStringLiteral("{B0F7BD78-5BAC-4139-A88B-5C4A7396F2F0}"));
    QJsonObject document;
    QVERIFY(BinaryJson::decode(rows[0].data, document));
    QCOMPARE(document, QJsonObject({{QStringLiteral("preTestConversation"), QString()}}));

    inspection.preTestText = QStringLiteral("Беседа:\nпризнал, что \"был там\".");
    QCOMPARE(inspection.savePreTestConversation(), StoreResult::Ok);
    QCOMPARE(rowsOf(m_path, InspectionDataType::Singleton).size(), 1);
    Inspection loaded(m_path);
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
    const QString path = m_dir->filePath(QStringLiteral("absent.qmz"));
    Inspection inspection(path);
    inspection.preTestText = QStringLiteral("text");
    Inspection::_Person p = person();
    QCOMPARE(inspection.savePerson(p), StoreResult::NotOpen);
    QCOMPARE(inspection.savePhotos({photo(2, qRgb(1, 1, 1))}), StoreResult::NotOpen);
    QCOMPARE(inspection.saveFiles({{QStringLiteral("a"), QByteArray("a")}}), StoreResult::NotOpen);
    QCOMPARE(inspection.savePreTestConversation(), StoreResult::NotOpen);
    QCOMPARE(inspection.loadPerson(p), StoreResult::NotOpen);
    QCOMPARE(fields(p), fields(person()));
    QVERIFY(inspection.loadPhotos().isEmpty());
    QVERIFY(inspection.loadFiles().isEmpty());
    QCOMPARE(inspection.loadPreTestConversation(), StoreResult::NotOpen);
    QVERIFY(inspection.preTestText.isEmpty());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QFileInfo(m_path).fileName()});
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
    QCOMPARE(Inspection(m_path).savePerson(person()), StoreResult::Ok);
    Inspection b, a(m_path);
    Inspection::_Person read;
    QCOMPARE(b.loadSubject(m_path, read), StoreResult::Ok);
    for (Inspection *each : {&b, &a}) {
        each->loadPhotoRecords();
        each->loadFiles();
    }
    if (meanwhile == "photo")
        QCOMPARE(a.savePhotoRecords({Inspection::photoRecord(photo(2, qRgb(1, 1, 1)))}), StoreResult::Ok);
    if (meanwhile == "file")
        QCOMPARE(a.saveFiles({{QStringLiteral("a.txt"), QByteArray("A")}}), StoreResult::Ok);
    if (meanwhile == "refused")
        failWritesAfter(m_path, int(InspectionDataType::Singleton), 0);
    const QVector<QByteArray> photosBefore = Inspection(m_path).loadPhotoRecords();
    const QVector<Inspection::AttachedFile> filesBefore = Inspection(m_path).loadFiles();

    Inspection::_Person changed = read;
    changed.Comments = QStringLiteral("от B");
    b.preTestText = QStringLiteral("беседа B");
    const QVector<QByteArray> bPhotos{Inspection::photoRecord(photo(3, qRgb(2, 2, 2)))};
    const QVector<Inspection::AttachedFile> bFiles{{QStringLiteral("b.txt"), QByteArray("B")}};
    QCOMPARE(int(b.saveQuestionnaire(changed, bPhotos, bFiles)), result);

    // Another program's photo or file is never written over.
    Inspection stored;
    Inspection::_Person now;
    QCOMPARE(stored.loadSubject(m_path, now), StoreResult::Ok);
    const bool saved = result == int(StoreResult::Ok);
    QCOMPARE(now.Comments, saved ? changed.Comments : read.Comments);
    QCOMPARE(stored.preTestText, saved ? b.preTestText : QString());
    QCOMPARE(stored.loadPhotoRecords(), saved ? bPhotos : photosBefore);
    QCOMPARE(stored.loadFiles(), saved ? bFiles : filesBefore);
    QCOMPARE(photosBefore.size() + filesBefore.size(), int(!meanwhile.isEmpty() && meanwhile != "refused"));
}

VUG_TEST_MAIN(TestSubjectRecords, QGuiApplication)
#include "tst_subjectrecords.moc"
