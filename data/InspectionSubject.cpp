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

quint64 foldedRow(quint64 fingerprint, const QByteArray &row)
{
    return InspectionStore::folded(fingerprint, InspectionStore::fingerprintOf(row));
}

// Every row of a kind, noted as read when all of them were.
QVector<InspectionStore::Row> rowsOfKind(InspectionStore &store, int kind, RowsAsRead &asRead)
{
    QVector<InspectionStore::Row> rows;
    if (!store.readRows(kind, rows))
        return rows;
    quint64 fingerprint = InspectionStore::kAbsent;
    for (const InspectionStore::Row &row : qAsConst(rows))
        fingerprint = foldedRow(fingerprint, row.data);
    asRead.note(kSubjectRow, kind, fingerprint);
    return rows;
}

StoreResult writePerson(InspectionStore &store, RowsAsRead &asRead, const InspectionPerson &person)
{
    QJsonObject document;
    person.toJson(document);
    const QByteArray bytes = BinaryJson::encode(document);
    if (bytes.isEmpty())
        return StoreResult::TooLarge;
    // Whatever owner an older questionnaire row has, it is the one updated.
    QSqlQuery update(SharedConnection::database());
    const bool written = (store.run(update, kUpdatePerson, {bytes, InspectionDataType::Questionnaire})
                          && update.numRowsAffected() > 0)
                         || store.insertRow(kSubjectRow, InspectionDataType::Questionnaire, bytes);
    asRead.note(kSubjectRow, InspectionDataType::Questionnaire, InspectionStore::fingerprintOf(bytes));
    return store.outcome(written, StoreResult::NotWritten);
}

// Each write replaces every row of its kind, and notes them as stored.
bool writePhotos(InspectionStore &store, RowsAsRead &asRead, const QVector<QByteArray> &records)
{
    if (!store.deleteKind(InspectionDataType::Photo))
        return false;
    quint64 fingerprint = InspectionStore::kAbsent;
    for (const QByteArray &record : records) {
        if (!store.insertRow(kSubjectRow, InspectionDataType::Photo, record))
            return false;
        fingerprint = foldedRow(fingerprint, record);
    }
    asRead.note(kSubjectRow, InspectionDataType::Photo, fingerprint);
    return true;
}

// Contents and names paired by position, as loadFiles reads them.
bool writeFiles(InspectionStore &store, RowsAsRead &asRead, const QVector<Inspection::AttachedFile> &files)
{
    if (!store.deleteKind(InspectionDataType::FileContent) || !store.deleteKind(InspectionDataType::FileName))
        return false;
    quint64 contents = InspectionStore::kAbsent, names = InspectionStore::kAbsent;
    for (const Inspection::AttachedFile &file : files) {
        if (!store.insertRow(kSubjectRow, InspectionDataType::FileContent, file.second)
            || !store.insertRow(kSubjectRow, InspectionDataType::FileName, file.first))
            return false;
        contents = foldedRow(contents, file.second);
        names = foldedRow(names, file.first.toUtf8());
    }
    asRead.note(kSubjectRow, InspectionDataType::FileContent, contents);
    asRead.note(kSubjectRow, InspectionDataType::FileName, names);
    return true;
}

QJsonObject preTestDocument(const QString &text)
{
    return {{QStringLiteral("preTestConversation"), text}};
}

QString preTestChanged() { return tr("Предтестовая беседа изменена другой программой"); }
QString photosChanged() { return tr("Фото обследуемого изменены другой программой"); }
QString filesChanged() { return tr("Файлы обследуемого изменены другой программой"); }

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
    return writeChecked(store, {{kSubjectRow, InspectionDataType::Questionnaire, questionnaireChanged()}},
                        [&] { return writePerson(store, m_rows, person); });
}

StoreResult Inspection::saveQuestionnaire(const _Person &person, const QVector<QByteArray> &photos,
                                          const QVector<AttachedFile> &files)
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.openFailure();
    // What the examiner saw of the photos and files was read: never replaced unseen.
    const QVector<RowCheck> checks{
        {kSubjectRow, InspectionDataType::Questionnaire, questionnaireChanged()},
        {kPreTestId, InspectionDataType::Singleton, preTestChanged()},
        {kSubjectRow, InspectionDataType::Photo, photosChanged(), true},
        {kSubjectRow, InspectionDataType::FileContent, filesChanged(), true},
        {kSubjectRow, InspectionDataType::FileName, filesChanged(), true}};
    return writeChecked(store, checks, [&] {
        StoreResult result = writePerson(store, m_rows, person);
        if (result == StoreResult::Ok)
            result = store.outcome(writePhotos(store, m_rows, photos), StoreResult::NotWritten);
        if (result == StoreResult::Ok)
            result = writeNotedDocument(store, kPreTestId, InspectionDataType::Singleton, preTestDocument(preTestText));
        if (result == StoreResult::Ok)
            result = store.outcome(writeFiles(store, m_rows, files), StoreResult::NotWritten);
        return result;
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
    for (const InspectionStore::Row &row : rowsOfKind(store, InspectionDataType::Photo, m_rows))
        records.append(row.data);
    return records;
}

StoreResult Inspection::savePhotoRecords(const QVector<QByteArray> &records)
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.openFailure();
    return writeChecked(store, {{kSubjectRow, InspectionDataType::Photo, photosChanged()}},
                        [&] { return store.outcome(writePhotos(store, m_rows, records), StoreResult::NotWritten); });
}

QVector<Inspection::AttachedFile> Inspection::loadFiles()
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    QVector<AttachedFile> files;
    if (!store.isOpen())
        return files;
    const QVector<InspectionStore::Row> contents = rowsOfKind(store, InspectionDataType::FileContent, m_rows);
    const QVector<InspectionStore::Row> names = rowsOfKind(store, InspectionDataType::FileName, m_rows);
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
    const QVector<RowCheck> checks{{kSubjectRow, InspectionDataType::FileContent, filesChanged()},
                                   {kSubjectRow, InspectionDataType::FileName, filesChanged()}};
    return writeChecked(store, checks,
                        [&] { return store.outcome(writeFiles(store, m_rows, files), StoreResult::NotWritten); });
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
    return writeDocument(kPreTestId, InspectionDataType::Singleton, preTestDocument(preTestText), preTestChanged());
}
