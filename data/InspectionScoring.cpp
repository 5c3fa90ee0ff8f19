// Points scores, metric parameters and measured metric values in the subject file.
#include "Inspection.h"

#include "BinaryJson.h"
#include "InspectionStore.h"

#include <QCoreApplication>
#include <QJsonArray>

namespace {

QString tr(const char *text) { return QCoreApplication::translate("Inspection", text); }

QString metricParamsChanged() { return tr("Список параметров метрической оценки изменён другой программой"); }

// The examination's parameter row is stored under this text exactly.
const QString kMetricParamsId = QStringLiteral("{0D379B2C-35B3-4F1C-9E3D-DB9BC88C010E}");

QJsonObject metricParamsDocument(const QVector<Inspection::_MetricParam> &list)
{
    QJsonArray params;
    for (const Inspection::_MetricParam &param : list) {
        QJsonObject object;
        param.toJson(object);
        params.append(object);
    }
    return {{QStringLiteral("valuationMetricParams"), params}};
}

}  // namespace

StoreResult Inspection::writeDocument(const QString &testId, int kind, const QJsonObject &document,
                                      const QVector<RowCheck> &checks)
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.openFailure();
    return writeChecked(store, checks,
                        [&] { return writeNotedDocument(store, testId, kind, document); });
}

StoreResult Inspection::writeNotedDocument(InspectionStore &store, const QString &testId, int kind,
                                           const QJsonObject &document)
{
    const QByteArray bytes = BinaryJson::encode(document);
    const StoreResult result = store.writeEncoded(testId, kind, bytes);
    if (result == StoreResult::Ok)
        noteStored(testId, kind, InspectionStore::fingerprintOf(bytes));
    return result;
}

StoreResult Inspection::readFirstDocument(InspectionStore &store, const QString &testId, int kind,
                                          QJsonObject &document)
{
    QVector<InspectionStore::Row> rows;
    const bool intact = store.readFirstRow(testId, kind, rows);
    if (intact)
        noteStored(testId, kind,
                   rows.isEmpty() ? InspectionStore::kAbsent : InspectionStore::fingerprintOf(rows.first().data));
    if (rows.isEmpty())
        return store.outcome(intact, StoreResult::Damaged);
    return store.outcome(BinaryJson::decode(rows.first().data, document) && intact, StoreResult::Damaged);
}

StoreResult Inspection::writeTestDocument(_Test *test, int kind, void (_Test::*build)(QJsonObject &) const,
                                          const QVector<RowCheck> &alsoChecked)
{
    if (!test)
        return StoreResult::NotWritten;
    QJsonObject document;
    (test->*build)(document);
    return writeDocument(test->rowId(), kind, document, scoredChecks(*test, kind) + alsoChecked);
}

StoreResult Inspection::saveBallValuation(_Test *test)
{
    return writeTestDocument(test, InspectionDataType::BallValuation, &_Test::ballValuationToJson);
}

void Inspection::loadBallValuation(_Test *test, const QJsonObject &document)
{
    if (test)
        test->ballValuationFromJson(document);
}

StoreResult Inspection::saveMetricParams()
{
    return writeDocument(kMetricParamsId, InspectionDataType::Singleton, metricParamsDocument(metricParams),
                         {{kMetricParamsId, InspectionDataType::Singleton, metricParamsChanged()}});
}

StoreResult Inspection::saveMetricParamsAndValuations(const QVector<_Test *> &changed)
{
    InspectionStore store(path, InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.openFailure();
    QVector<RowCheck> checks{{kMetricParamsId, InspectionDataType::Singleton, metricParamsChanged()}};
    for (_Test *test : changed)
        checks += scoredChecks(*test, InspectionDataType::MetricValuation);
    return writeChecked(store, checks, [&] {
        StoreResult result = writeNotedDocument(store, kMetricParamsId, InspectionDataType::Singleton,
                                                metricParamsDocument(metricParams));
        for (int i = 0; i < changed.size() && result == StoreResult::Ok; ++i) {
            QJsonObject document;
            changed[i]->metricValuationToJson(document);
            result = writeNotedDocument(store, changed[i]->rowId(), InspectionDataType::MetricValuation, document);
        }
        return result;
    });
}

StoreResult Inspection::loadMetricParams()
{
    metricParams.clear();
    InspectionStore store(path, InspectionStore::ExistingFile);
    if (!store.isOpen())
        return store.openFailure();
    QJsonObject document;
    StoreResult result = readFirstDocument(store, kMetricParamsId, InspectionDataType::Singleton, document);
    if (result == StoreResult::Ok && m_opened)
        result = rereadQuestionnaireOfSameSubject(store);
    for (const QJsonValue &element : document.value(QStringLiteral("valuationMetricParams")).toArray()) {
        _MetricParam param;
        param.fromJson(element.toObject());
        metricParams.append(param);
    }
    return result;
}

StoreResult Inspection::saveMetricValuation(_Test *test)
{
    // A value goes only onto a parameter the file still lists.
    return writeTestDocument(test, InspectionDataType::MetricValuation, &_Test::metricValuationToJson,
                             {{kMetricParamsId, InspectionDataType::Singleton, metricParamsChanged()}});
}

void Inspection::loadMetricValuation(_Test *test, const QJsonObject &document)
{
    if (test)
        test->metricValuationFromJson(document);
}
