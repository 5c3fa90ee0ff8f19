// What is known of the subject: questionnaire, photos, attached files and the
// pre-test conversation. None of these rows belongs to a test.
#include "Inspection.h"

#include "BinaryJson.h"
#include "InspectionStore.h"
#include "SharedConnection.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QSqlQuery>

namespace {

const QString kSubjectRow = QStringLiteral("");
// The pre-test conversation row is stored under this text exactly.
const QString kPreTestId = QStringLiteral("{B0F7BD78-5BAC-4139-A88B-5C4A7396F2F0}");
const QString kUpdatePerson = QStringLiteral("UPDATE inspection SET data=:1 WHERE data_type=:2");

QString tr(const char *text) { return QCoreApplication::translate("Inspection", text); }

QVector<InspectionStore::Row> rowsOfKind(InspectionStore &store, int kind)
{
    QVector<InspectionStore::Row> rows;
    store.readRows(kind, rows);
    return rows;
}


}  // namespace

StoreResult Inspection::loadPerson(_Person &person)
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.openFailure();
    return readPerson(store, person);
}

StoreResult Inspection::readPerson(InspectionStore &store, _Person &person)
{
    QVector<InspectionStore::Row> rows;
    const bool intact = store.readFirstRow(InspectionDataType::Questionnaire, rows);
    if (intact)
        noteStored(kSubjectRow, InspectionDataType::Questionnaire,
                   rows.isEmpty() ? InspectionStore::kAbsent : InspectionStore::fingerprintOf(rows.first().data));
    if (rows.isEmpty())
        return store.outcome(intact, StoreResult::Damaged);
    QJsonObject document;
    if (!BinaryJson::decode(rows.first().data, document))
        return StoreResult::Damaged;
    person.fromJson(document);
    return store.outcome(intact, StoreResult::Damaged);
}

StoreResult Inspection::savePerson(const _Person &person)
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.openFailure();
    QJsonObject document;
    person.toJson(document);
    const QByteArray bytes = BinaryJson::encode(document);
    if (bytes.isEmpty())
        return StoreResult::TooLarge;
    const QString changed = tr("Анкета обследуемого изменена другой программой");
    return writeChecked(store, {{kSubjectRow, InspectionDataType::Questionnaire, changed}}, [&] {
        // Whatever owner an older questionnaire row has, it is the one updated.
        QSqlQuery update(SharedConnection::database());
        const bool written = (store.run(update, kUpdatePerson, {bytes, InspectionDataType::Questionnaire})
                              && update.numRowsAffected() > 0)
                             || store.insertRow(kSubjectRow, InspectionDataType::Questionnaire, bytes);
        noteStored(kSubjectRow, InspectionDataType::Questionnaire, InspectionStore::fingerprintOf(bytes));
        return store.outcome(written, StoreResult::NotWritten);
    });
}

QByteArray Inspection::photoRecord(const QImage &photo)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    photo.save(&buffer, "PNG");  // a null image stays empty and loads back as a null image
    return bytes;
}

QVector<QImage> Inspection::loadPhotos(const QSize &bound, QVector<PhotoReader::Result> *results)
{
    QVector<QImage> photos;
    for (const QByteArray &record : loadPhotoRecords()) {
        QImage photo;
        const PhotoReader::Result result = PhotoReader::read(record, photo, bound);
        photos.append(photo);
        if (results)
            results->append(result);
    }
    return photos;
}

StoreResult Inspection::savePhotos(const QVector<QImage> &photos)
{
    QVector<QByteArray> records;
    for (const QImage &photo : photos)
        records.append(photoRecord(photo));
    return savePhotoRecords(records);
}

QVector<QByteArray> Inspection::loadPhotoRecords()
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    QVector<QByteArray> records;
    if (!store.isOpen())
        return records;
    for (const InspectionStore::Row &row : rowsOfKind(store, InspectionDataType::Photo))
        records.append(row.data);
    return records;
}

StoreResult Inspection::savePhotoRecords(const QVector<QByteArray> &records)
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.openFailure();
    return store.outcome(store.inTransaction([&store, &records] {
        if (!store.deleteKind(InspectionDataType::Photo))
            return false;
        for (const QByteArray &record : records) {
            if (!store.insertRow(kSubjectRow, InspectionDataType::Photo, record))
                return false;
        }
        return true;
    }), StoreResult::NotWritten);
}

QVector<Inspection::AttachedFile> Inspection::loadFiles()
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    QVector<AttachedFile> files;
    if (!store.isOpen())
        return files;
    const QVector<InspectionStore::Row> contents = rowsOfKind(store, InspectionDataType::FileContent);
    const QVector<InspectionStore::Row> names = rowsOfKind(store, InspectionDataType::FileName);
    // Counts that differ come from no save of ours; pair what has both halves.
    const int count = qMin(contents.size(), names.size());
    for (int i = 0; i < count; ++i)
        files.append({QString::fromUtf8(names[i].data), contents[i].data});
    return files;
}

StoreResult Inspection::saveFiles(const QVector<AttachedFile> &files)
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.openFailure();
    return store.outcome(store.inTransaction([&store, &files] {
        if (!store.deleteKind(InspectionDataType::FileContent) || !store.deleteKind(InspectionDataType::FileName))
            return false;
        for (const AttachedFile &file : files) {
            if (!store.insertRow(kSubjectRow, InspectionDataType::FileContent, file.second)
                || !store.insertRow(kSubjectRow, InspectionDataType::FileName, file.first))
                return false;
        }
        return true;
    }), StoreResult::NotWritten);
}

StoreResult Inspection::loadPreTestConversation()
{
    preTestText.clear();
    InspectionStore store(path, InspectionStore::ExistingFile);
    return store.isOpen() ? readPreTestConversation(store) : store.openFailure();
}

StoreResult Inspection::readPreTestConversation(InspectionStore &store)
{
    QJsonObject document;
    const StoreResult result = readFirstDocument(store, kPreTestId, InspectionDataType::Singleton, document);
    preTestText = document.value(QStringLiteral("preTestConversation")).toString();
    return result;
}

StoreResult Inspection::savePreTestConversation()
{
    return writeDocument(kPreTestId, InspectionDataType::Singleton,
                         {{QStringLiteral("preTestConversation"), preTestText}},
                         tr("Предтестовая беседа изменена другой программой"));
}
